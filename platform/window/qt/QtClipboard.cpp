#include "QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace pellorin {

void QtClipboard::clear()
{
    QGuiApplication::clipboard()->clear();
}

void QtClipboard::setText(const QByteArray& text)
{
    // 8-bit data under "text/plain" rather than QMimeData::setText(), which
    // would hold the text as UTF-16, twice its size. The X11 clipboard offers
    // "text/plain" also as UTF8_STRING, STRING and TEXT, which GTK and plain
    // X11 clients ask for; the charset form is for clients that want it named.
    // Both formats share the one buffer.
    auto* data = new QMimeData;
    data->setData(QStringLiteral("text/plain;charset=utf-8"), text);
    data->setData(QStringLiteral("text/plain"), text);
    m_own = data;
    QGuiApplication::clipboard()->setMimeData(data);
}

void QtClipboard::releaseOwnText()
{
    if (m_own && QGuiApplication::clipboard()->mimeData() == m_own)
        QGuiApplication::clipboard()->clear();
}

} // namespace pellorin
