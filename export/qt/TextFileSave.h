#pragma once

#include <QString>

#include <stdexcept>

class QIODevice;

namespace pellorin {

class ResultsModel;
class RowSource;
class TableText;
class Yielder;

// A file that could not be written. what() names the file and gives the
// system's reason, for the user.
class FileSaveError : public std::runtime_error {
public:
    FileSaveError(const QString& fileName, const QString& reason);
};

// Writes the ticked rows as padded table text under a header line of column
// captions: 8-bit text, CR LF line ends. The text streams to the file in
// blocks, so memory stays bounded however long the list is. An ordinary file
// is written beside the target and renamed over it only once complete: a
// failed save leaves the old file as it was. A read-only file is refused. A
// device or pipe is written directly. Throws TableTextError or FileSaveError.
void SaveListToTextFile(const RowSource& rows, const QString& fileName, Yielder& yielder);

// The same for the results list, yielding to the event loop now and then.
void SaveListToTextFile(const ResultsModel& list, const QString& fileName);

// Writes the text of a measured `table` to an open `device`. Throws
// FileSaveError naming `fileName` when a write fails.
void writeTableText(TableText& table, QIODevice& device, const QString& fileName);

} // namespace pellorin
