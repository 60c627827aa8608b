#pragma once

#include <QString>

namespace pellorin {

// The caption of the main window and of every message box that names no
// caption of its own.
inline QString applicationTitle()
{
    return QStringLiteral("Pellorin");
}

} // namespace pellorin
