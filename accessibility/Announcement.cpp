#include "Announcement.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace pellorin {

Announcement::Announcement(QWidget* parent)
    : QWidget(parent)
{
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

QAccessibleInterface* Announcement::createAccessible(const QString& className, QObject* object)
{
    if (className != QLatin1String(staticMetaObject.className()))
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
}

} // namespace pellorin
