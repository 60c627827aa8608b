#pragma once

#include <QString>

namespace pellorin {

// The system clipboard, plain text only.
class Clipboard {
public:
    virtual ~Clipboard() = default;

    // Empties the clipboard.
    virtual void clear() = 0;

    // Puts `text` on the clipboard as plain text, whole.
    virtual void setText(const QString& text) = 0;
};

} // namespace pellorin
