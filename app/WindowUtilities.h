#pragma once

#include <QString>

class QWidget;

namespace pellorin {

// The folder that holds the executable, without a trailing separator. Files
// beside the executable are joined to it with a leading "/".
QString programFolder();

// The edge that centres an extent of `windowTwips` on one of `screenTwips`:
// (screen - window) / 2 in single precision, negative when the window is the
// larger, so that it overhangs both sides equally.
float centeredEdge(float screenTwips, float windowTwips);

// Moves `window` to the centre of the primary screen, taskbar included:
// first horizontally, then vertically. Its size does not change. What is
// centred is the outer window, with the frame and title bar that a window
// manager puts around it, also when it is not shown yet.
void CenterOnScreen(QWidget& window);

// Whether `path` names a file whose modification time can be read. Every
// failure (absent, empty or malformed path, unreachable folder) gives false
// and is reported nowhere. A folder is not a file.
bool FileExists(const QString& path);

// The hand pointer shown over the buttons, for a program in `programFolder`.
// An installed program (one in `<prefix>/<installedProgramDir>`) reads it
// first from the architecture-independent `<prefix>/<installedDataDir>`,
// then from its own folder, where a build tree keeps it; wherever the tree
// was unpacked, it finds its own. Empty when neither place has the file.
QString handCursorFile(const QString& programFolder,
    const QString& installedProgramDir = QStringLiteral(PELLORIN_INSTALL_PROGRAMDIR),
    const QString& installedDataDir = QStringLiteral(PELLORIN_INSTALL_DATADIR));

} // namespace pellorin
