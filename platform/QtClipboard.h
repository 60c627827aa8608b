#pragma once

#include "platform/Clipboard.h"

namespace pellorin {

class QtClipboard final : public Clipboard {
public:
    void clear() override;
    void setText(const QString& text) override;
};

} // namespace pellorin
