#include "WindowUtilities.h"

#include "Twips.h"
#include "WindowManagerRequests.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace pellorin {

QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}

float centeredEdge(float screenTwips, float windowTwips)
{
    return (screenTwips - windowTwips) / 2.0f;
}

void CenterOnScreen(QWidget& window)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    // Before it is shown the window has no frame yet. Where a window manager
    // will add one, the outer window is centred and the client area placed
    // inside it, so nothing moves once the frame is there. (Asking made the
    // native window, so a move now places the client area.)
    const QMargins frame = window.isVisible() ? QMargins() : expectedFrameMargins(window);
    const QSize size = window.frameGeometry().size().grownBy(frame);

    const float left
        = centeredEdge(float(pixelsToTwips(area.width())), float(pixelsToTwips(size.width())));
    window.move(area.left() + twipsToPixels(left) + frame.left(), window.pos().y());

    const float top
        = centeredEdge(float(pixelsToTwips(area.height())), float(pixelsToTwips(size.height())));
    window.move(window.pos().x(), area.top() + twipsToPixels(top) + frame.top());
}

bool FileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.isFile() && info.lastModified().isValid();
}

QString handCursorFile(const QString& programFolder, const QString& installedProgramDir,
    const QString& installedDataDir)
{
    const QString fileName = QStringLiteral("/HAND-M.CUR");
    const QString folder = QDir::cleanPath(programFolder);
    const QString installedSuffix = QLatin1Char('/') + QDir::cleanPath(installedProgramDir);
    if (folder.endsWith(installedSuffix)) {
        const QString prefix = folder.chopped(installedSuffix.size());
        QString shared = prefix + QLatin1Char('/') + installedDataDir + fileName;
        if (FileExists(shared))
            return shared;
    }
    const QString beside = programFolder + fileName;
    return FileExists(beside) ? beside : QString();
}

} // namespace pellorin
