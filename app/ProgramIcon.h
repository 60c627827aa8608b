#pragma once

#include <QIcon>

namespace pellorin {

// The program icon, in every size the executable carries (16 to 256 pixels).
QIcon programIcon();

} // namespace pellorin
