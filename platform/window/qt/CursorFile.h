#pragma once

#include <QCursor>
#include <QString>

#include <optional>

namespace pellorin {

// Reads a Windows cursor file (.cur): of its images, the one drawn for
// `devicePixelRatio` device pixels to the pixel (the first image is the one
// for 1; a file with only that one is shown scaled), with that image's
// hotspot. A missing, unreadable or corrupt file gives nothing.
std::optional<QCursor> readCursorFile(const QString& path, qreal devicePixelRatio = 1);

} // namespace pellorin
