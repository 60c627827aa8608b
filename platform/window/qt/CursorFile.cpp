#include "CursorFile.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QtEndian>
#include <QtMath>

#include <algorithm>

namespace pellorin {

namespace {

// Cursors are at most 256 x 256 pixels of 32 bits, a few hundred kilobytes.
constexpr qint64 kMaxCursorBytes = qint64 { 1024 } * 1024;

// Header: reserved (0), type (2 for a cursor), image count. The first
// directory entry follows, whose bytes 4-7 hold the hotspot's x and y.
constexpr int kHeaderBytes = 6;
constexpr int kEntryBytes = 16;

// On Wayland the pixmap says that the image is drawn for `devicePixelRatio`,
// else the compositor, which scales pointers itself, enlarges the already
// large image once more; Qt's Wayland plugin then takes the hotspot in the
// window's pixels. Qt's X11 plugin ignores the ratio and takes the hotspot in
// the image's own pixels, so there the image goes as it is.
QCursor cursorFromImage(const QImage& image, QPoint hotspot, qreal devicePixelRatio)
{
    QPixmap pixmap = QPixmap::fromImage(image);
    if (devicePixelRatio <= 1 || QGuiApplication::platformName() != QLatin1String("wayland"))
        return QCursor(pixmap, hotspot.x(), hotspot.y());
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return QCursor(
        pixmap, qRound(hotspot.x() / devicePixelRatio), qRound(hotspot.y() / devicePixelRatio));
}

} // namespace

std::optional<QCursor> readCursorFile(const QString& path, qreal devicePixelRatio)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxCursorBytes)
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (bytes.size() < kHeaderBytes + kEntryBytes)
        return std::nullopt;
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    const int declared = qFromLittleEndian<quint16>(data + 4);
    if (qFromLittleEndian<quint16>(data) != 0 || qFromLittleEndian<quint16>(data + 2) != 2
        || declared == 0)
        return std::nullopt;
    const int entries = std::min(declared, int((bytes.size() - kHeaderBytes) / kEntryBytes));
    const auto entry
        = [&](int index) { return data + kHeaderBytes + qsizetype(index) * kEntryBytes; };
    const auto side = [&](int index) { return entry(index)[0] == 0 ? 256 : int(entry(index)[0]); };

    // The first image is drawn for ordinary screens; a denser screen takes
    // the smallest image that covers the same area, else the largest there is.
    const int wanted = qCeil(side(0) * devicePixelRatio - 0.01);
    int chosen = 0;
    for (int i = 1; i < entries; ++i) {
        const bool covers = side(i) >= wanted;
        const bool chosenCovers = side(chosen) >= wanted;
        if ((covers && (!chosenCovers || side(i) < side(chosen)))
            || (!covers && !chosenCovers && side(i) > side(chosen)))
            chosen = i;
    }
    const int hotX = qFromLittleEndian<quint16>(entry(chosen) + 4);
    const int hotY = qFromLittleEndian<quint16>(entry(chosen) + 6);

    // Qt's icon reader takes cursor files but does not report the hotspot.
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "cur");
    if (chosen > 0 && !reader.jumpToImage(chosen))
        return std::nullopt;
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    QPoint hotspot(std::min(hotX, image.width() - 1), std::min(hotY, image.height() - 1));
    if (image.width() != wanted && devicePixelRatio > 1) {
        // No image for this density: the nearest one is scaled, so the hand
        // keeps its size beside the rest of the window.
        const qreal scale = qreal(wanted) / image.width();
        image = image.scaled(wanted, qRound(image.height() * scale), Qt::IgnoreAspectRatio,
            Qt::SmoothTransformation);
        hotspot = QPoint(std::min(qRound(hotspot.x() * scale), wanted - 1),
            std::min(qRound(hotspot.y() * scale), image.height() - 1));
    }
    return cursorFromImage(image, hotspot, devicePixelRatio);
}

} // namespace pellorin
