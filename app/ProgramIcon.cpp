#include "ProgramIcon.h"

// The icon's resource is compiled into this static library; only a reference
// to it makes the linker take it into the program. Outside any namespace, as
// the resource's functions are.
static int registerIconResource()
{
    Q_INIT_RESOURCE(pellorin_icon);
    return 0;
}

namespace pellorin {

QIcon programIcon()
{
    [[maybe_unused]] static const int registered = registerIconResource();
    return QIcon(QStringLiteral(":/pellorin/pellorin.ico"));
}

} // namespace pellorin
