#include "SteppedProgressBarAccessible.h"

#include "SteppedProgressBar.h"

namespace pellorin {

SteppedProgressBarAccessible::SteppedProgressBarAccessible(SteppedProgressBar* bar)
    : QAccessibleWidget(bar, QAccessible::ProgressBar)
{
}

QAccessibleInterface* SteppedProgressBarAccessible::create(
    const QString& className, QObject* object)
{
    if (className == QLatin1String(SteppedProgressBar::staticMetaObject.className()))
        return new SteppedProgressBarAccessible(static_cast<SteppedProgressBar*>(object));
    return nullptr;
}

SteppedProgressBar* SteppedProgressBarAccessible::bar() const
{
    return static_cast<SteppedProgressBar*>(widget());
}

void* SteppedProgressBarAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

QString SteppedProgressBarAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return bar()->text();
    return QAccessibleWidget::text(t);
}

QVariant SteppedProgressBarAccessible::currentValue() const
{
    return bar()->value();
}

QVariant SteppedProgressBarAccessible::maximumValue() const
{
    return bar()->maximum();
}

QVariant SteppedProgressBarAccessible::minimumValue() const
{
    return bar()->minimum();
}

QVariant SteppedProgressBarAccessible::minimumStepSize() const
{
    // Orca takes the number of digits it speaks from the step.
    return (bar()->maximum() - bar()->minimum()) / 100.0;
}

} // namespace pellorin
