#include "platform/CursorFile.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QtEndian>

#include <algorithm>

namespace pellorin {

namespace {

// Cursors are at most 256 x 256 pixels of 32 bits, a few hundred kilobytes.
constexpr qint64 kMaxCursorBytes = qint64{1024} * 1024;

// Header: reserved (0), type (2 for a cursor), image count. The first
// directory entry follows, whose bytes 4-7 hold the hotspot's x and y.
constexpr int kHeaderBytes = 6;
constexpr int kEntryBytes = 16;

} // namespace

std::optional<QCursor> readCursorFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxCursorBytes)
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (bytes.size() < kHeaderBytes + kEntryBytes)
        return std::nullopt;
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    if (qFromLittleEndian<quint16>(data) != 0 || qFromLittleEndian<quint16>(data + 2) != 2
        || qFromLittleEndian<quint16>(data + 4) == 0)
        return std::nullopt;
    const int hotX = qFromLittleEndian<quint16>(data + kHeaderBytes + 4);
    const int hotY = qFromLittleEndian<quint16>(data + kHeaderBytes + 6);

    // Qt's icon reader takes cursor files but does not report the hotspot.
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "cur");
    const QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    return QCursor(QPixmap::fromImage(image), std::min(hotX, image.width() - 1),
        std::min(hotY, image.height() - 1));
}

} // namespace pellorin
