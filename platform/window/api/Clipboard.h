#pragma once

#include <QByteArray>

namespace pellorin {

// The system clipboard, plain text only.
class Clipboard {
public:
    virtual ~Clipboard() = default;

    // Empties the clipboard.
    virtual void clear() = 0;

    // Puts `text`, UTF-8 bytes, on the clipboard as plain text, whole. The
    // bytes are handed over as they are: no copy, no conversion.
    virtual void setText(const QByteArray& text) = 0;

    // Drops the text this program put on the clipboard, if the clipboard
    // still holds it, so its memory is free before the next copy is built.
    // Text that another program put there stays.
    virtual void releaseOwnText() = 0;
};

} // namespace pellorin
