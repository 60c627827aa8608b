#pragma once

#include <QAccessibleWidget>

namespace pellorin {

class SteppedProgressBar;

// Qt's platform bridges pass a value change on to assistive technology only
// when the object offers its value at that moment; the bar holds it back
// while it is moved by a run.
class SteppedProgressBarAccessible final : public QAccessibleWidget,
                                           public QAccessibleValueInterface {
public:
    explicit SteppedProgressBarAccessible(SteppedProgressBar* bar);

    // A QAccessible factory: this interface for a SteppedProgressBar.
    static QAccessibleInterface* create(const QString& className, QObject* object);

    void* interface_cast(QAccessible::InterfaceType t) override;
    QString text(QAccessible::Text t) const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override { Q_UNUSED(value); }
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

private:
    SteppedProgressBar* bar() const;
};

} // namespace pellorin
