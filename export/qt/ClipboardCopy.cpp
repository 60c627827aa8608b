#include "ClipboardCopy.h"

#include "Clipboard.h"
#include "EventLoopYielder.h"
#include "ResultsRowSource.h"
#include "TableText.h"

#include <QByteArray>

#include <limits>
#include <new>

namespace pellorin {

void CopyListToClipboard(const RowSource& rows, Clipboard& clipboard, Yielder& yielder)
{
    if (rows.rowCount() == 0)
        return;
    // Our previous copy goes before the next one is built, so that a copy
    // after a copy needs no more memory than the first. Should this copy
    // then fail, the clipboard is left empty rather than as it was.
    clipboard.releaseOwnText();
    TableText table(rows, TableLayout::Clipboard, yielder);
    table.measure();

    // Ten million rows make a text of some 160 MB: take it in one piece up
    // front, so running out of memory shows now rather than half-way. The
    // text is handed to the clipboard as these bytes, never copied.
    const std::uint64_t size = table.sizeHint();
    if (size > std::uint64_t(std::numeric_limits<qsizetype>::max() / 2))
        throw std::bad_alloc();
    QByteArray text;
    text.reserve(qsizetype(size));
    if (text.capacity() < qsizetype(size))
        throw std::bad_alloc();
    table.render(
        [&](std::string_view block) { text.append(block.data(), qsizetype(block.size())); });

    clipboard.clear();
    clipboard.setText(text);
}

void CopyListToClipboard(const ResultsModel& list, Clipboard& clipboard)
{
    ResultsRowSource rows(list);
    EventLoopYielder yielder;
    CopyListToClipboard(rows, clipboard, yielder);
}

} // namespace pellorin
