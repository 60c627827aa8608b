#include "app/WindowUtilities.h"

#include "app/Twips.h"

#include <QCoreApplication>
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
    const QSize size = window.frameGeometry().size();

    const float left
        = centeredEdge(float(pixelsToTwips(area.width())), float(pixelsToTwips(size.width())));
    window.move(area.left() + twipsToPixels(left), window.pos().y());

    const float top
        = centeredEdge(float(pixelsToTwips(area.height())), float(pixelsToTwips(size.height())));
    window.move(window.pos().x(), area.top() + twipsToPixels(top));
}

bool FileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.isFile() && info.lastModified().isValid();
}

} // namespace pellorin
