#include "ProgramIcon.h"

namespace pellorin {

QIcon programIcon()
{
    return QIcon(QStringLiteral(":/pellorin/pellorin.ico"));
}

} // namespace pellorin
