#include "TextFileSave.h"

#include "BlockWriter.h"
#include "EventLoopYielder.h"
#include "ResultsRowSource.h"
#include "SaveHints.h"
#include "TableText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace pellorin {

namespace {

// How much is written before the disk is asked to start on it: enough for
// the disk to take it in large runs, little enough that the final sync of a
// long save waits for a few blocks at most.
constexpr std::uint64_t kWritebackStep = std::uint64_t { 8 } << 20;

// Blocks larger than the renderer's own: every block is handed from one
// thread to the other and written in one call, and with ten million rows
// the hand-overs and calls of small blocks cost more than the bytes.
constexpr std::size_t kSaveBlockSize = std::size_t { 1 } << 20;

QString shownName(const QString& fileName)
{
    return QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath());
}

} // namespace

FileSaveError::FileSaveError(const QString& fileName, const QString& reason)
    : std::runtime_error(
        QStringLiteral("Cannot save \"%1\": %2").arg(shownName(fileName), reason).toStdString())
{
}

void writeTableText(TableText& table, QIODevice& device, const QString& fileName)
{
    // An ordinary file's bytes go to the disk while the rest is made, so the
    // save's final sync does not wait for all of them.
    auto* file = qobject_cast<QFileDevice*>(&device);
    const int fd = file != nullptr && !file->isSequential() ? file->handle() : -1;
    std::uint64_t total = 0;
    std::uint64_t sent = 0;
    // The device is the writer's alone until finish(): the next block is
    // made here while the last one is written there.
    BlockWriter writer([&](std::string_view block) {
        // A disk that fills up mid-block takes part of it and reports
        // nothing; writing the rest brings out the system's reason.
        qint64 written = 0;
        while (written < qint64(block.size())) {
            const qint64 n = device.write(block.data() + written, qint64(block.size()) - written);
            if (n <= 0)
                throw FileSaveError(fileName, device.errorString());
            written += n;
        }
        total += block.size();
        if (fd >= 0 && total - sent >= kWritebackStep) {
            startWriteback(fd, sent, total - sent);
            sent = total;
        }
    });
    table.renderBuffers([&](ByteBuffer& block) { writer.submit(block); }, kSaveBlockSize);
    writer.finish();
}

void SaveListToTextFile(const RowSource& rows, const QString& fileName, Yielder& yielder)
{
    // Measure first: a list that cannot be rendered leaves the file untouched.
    TableText table(rows, TableLayout::File, yielder);
    table.measure();

    const QFileInfo target(fileName);
    if (target.isDir())
        throw FileSaveError(fileName, QStringLiteral("It is a folder"));

    if (target.exists() && !target.isFile()) {
        // A device or a pipe: there is nothing to replace, and a temporary
        // file renamed over it would destroy the device node.
        QFile file(fileName);
        if (!file.open(QIODevice::WriteOnly))
            throw FileSaveError(fileName, file.errorString());
        writeTableText(table, file, fileName);
        if (!file.flush())
            throw FileSaveError(fileName, file.errorString());
        return;
    }

    // Read-only means read-only for everyone: the permission check of the
    // system lets the superuser through, the file's own bits do not.
    constexpr auto writeBits
        = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (target.exists() && !(target.permissions() & writeBits))
        throw FileSaveError(fileName, QStringLiteral("The file is read-only"));

    QSaveFile file(fileName);
    // Where the folder refuses the temporary file but the file itself may be
    // written, write it in place: the only way the user's save can succeed
    // there, at the price that a failure half-way leaves the file cut short.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        throw FileSaveError(fileName, file.errorString());
    writeTableText(table, file, fileName);
    const ReplacedFileHold oldFile(QFile::encodeName(fileName).toStdString());
    if (!file.commit())
        throw FileSaveError(fileName, file.errorString());
}

void SaveListToTextFile(const ResultsModel& list, const QString& fileName)
{
    ResultsRowSource rows(list);
    EventLoopYielder yielder;
    SaveListToTextFile(rows, fileName, yielder);
}

} // namespace pellorin
