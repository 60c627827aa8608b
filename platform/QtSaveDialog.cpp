#include "platform/QtSaveDialog.h"

namespace pellorin {

QString QtSaveDialog::askSaveFileName(const QString&, const QStringList&)
{
    return {};
}

} // namespace pellorin
