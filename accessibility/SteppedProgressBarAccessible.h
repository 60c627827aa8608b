#pragma once

#include <QAccessibleWidget>

namespace pellorin {

class SteppedProgressBar;

// The progress bar's value interface, with the step Orca takes the digits it
// speaks from.
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
