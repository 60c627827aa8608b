#pragma once

#include "platform/SaveDialog.h"

namespace pellorin {

class QtSaveDialog final : public SaveDialog {
public:
    QString askSaveFileName(const QString& title, const QStringList& filters) override;
};

} // namespace pellorin
