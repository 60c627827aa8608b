#pragma once

#include "Clipboard.h"

#include <QMimeData>
#include <QPointer>

namespace pellorin {

class QtClipboard final : public Clipboard {
public:
    void clear() override;
    void setText(const QByteArray& text) override;
    void releaseOwnText() override;

private:
    // What this program last put on the clipboard; Qt deletes it when the
    // clipboard is cleared or another program takes it over.
    QPointer<QMimeData> m_own;
};

} // namespace pellorin
