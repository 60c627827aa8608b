#include "platform/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace pellorin {

void QtClipboard::clear()
{
    QGuiApplication::clipboard()->clear();
}

void QtClipboard::setText(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}

} // namespace pellorin
