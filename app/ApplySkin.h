#pragma once

#include <QString>

class QWidget;

namespace pellorin {

class SkinEngine;

// The skin file beside the executable: "x/o.cjs" in `programFolder`.
QString skinFilePath(const QString& programFolder);

// Whether a directory search finds `path` as an ordinary file: a folder of
// that name or a hidden file does not count.
bool isOrdinaryFile(const QString& path);

// Gives `window` the look of the skin file when there is one: turns the
// backgrounds of the window, its frames, option buttons, check boxes and
// labels to the button face, then hands the file and the window to `engine`.
// Without the file it does nothing. Engine failures go to the caller.
void ApplySkin(QWidget& window, SkinEngine& engine, const QString& programFolder);

} // namespace pellorin
