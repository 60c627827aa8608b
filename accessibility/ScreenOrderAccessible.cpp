#include "ScreenOrderAccessible.h"

#include <QGroupBox>

#include <algorithm>
#include <tuple>

namespace pellorin {

ScreenOrderAccessible::ScreenOrderAccessible(QWidget* widget, QAccessible::Role role)
    : QAccessibleWidget(widget, role)
{
}

QAccessibleInterface* ScreenOrderAccessible::create(const QString& className, QObject* object)
{
    if (className == QLatin1String(QGroupBox::staticMetaObject.className()))
        return new ScreenOrderAccessible(static_cast<QWidget*>(object), QAccessible::Grouping);
    return nullptr;
}

QString ScreenOrderAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
        if (const auto* box = qobject_cast<const QGroupBox*>(widget()))
            return box->title();
    return QAccessibleWidget::text(t);
}

QList<QAccessibleInterface*> ScreenOrderAccessible::childrenOnScreen() const
{
    QList<QAccessibleInterface*> children;
    const int count = QAccessibleWidget::childCount();
    children.reserve(count);
    for (int i = 0; i < count; ++i)
        if (QAccessibleInterface* child = QAccessibleWidget::child(i))
            children << child;
    auto place = [](const QAccessibleInterface* child) {
        const auto* w = qobject_cast<const QWidget*>(child->object());
        if (!w)
            return std::tuple(true, 0, 0);
        return std::tuple(w->isHidden(), w->y(), w->x());
    };
    std::stable_sort(children.begin(), children.end(),
        [&](const QAccessibleInterface* a, const QAccessibleInterface* b) {
            return place(a) < place(b);
        });
    return children;
}

QAccessibleInterface* ScreenOrderAccessible::child(int index) const
{
    return childrenOnScreen().value(index);
}

int ScreenOrderAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    return int(childrenOnScreen().indexOf(child));
}

} // namespace pellorin
