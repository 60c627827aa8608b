#pragma once

#include <QCursor>
#include <QString>

#include <optional>

namespace pellorin {

// Reads a Windows cursor file (.cur): its first image with that image's
// hotspot. A missing, unreadable or corrupt file gives nothing.
std::optional<QCursor> readCursorFile(const QString& path);

} // namespace pellorin
