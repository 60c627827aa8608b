#include "Announcement.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace pellorin {

namespace {

QAccessibleInterface* announcementAccessible(const QString& className, QObject* object)
{
    if (className != QLatin1String(Announcement::staticMetaObject.className()))
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
}

} // namespace

Announcement::Announcement(QWidget* parent)
    : QWidget(parent)
{
    // Qt installs a factory once, however often it is asked to.
    QAccessible::installFactory(&announcementAccessible);
    setObjectName(QStringLiteral("Announcement"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_DontShowOnScreen);
    hide();
}

void Announcement::say(const QString& text)
{
    setAccessibleName(text);
    // Orca speaks a notification when it comes into view; it never really
    // does, so the same words can be said again.
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

QString resultCount(qint64 count)
{
    if (count == 0)
        return QStringLiteral("No results");
    if (count == 1)
        return QStringLiteral("1 result");
    return QStringLiteral("%1 results").arg(count);
}

} // namespace pellorin
