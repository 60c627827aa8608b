#include "SteppedProgressBar.h"

#include <QAccessibleWidget>
#include <QStyleOptionProgressBar>

namespace pellorin {

namespace {

// The value interface, with the step Orca takes the digits it speaks from.
class SteppedProgressBarAccessible final : public QAccessibleWidget,
                                           public QAccessibleValueInterface {
public:
    explicit SteppedProgressBarAccessible(SteppedProgressBar* bar)
        : QAccessibleWidget(bar, QAccessible::ProgressBar)
    {
    }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return bar()->text();
        return QAccessibleWidget::text(t);
    }

    QVariant currentValue() const override { return bar()->value(); }
    void setCurrentValue(const QVariant& value) override { Q_UNUSED(value); }
    QVariant maximumValue() const override { return bar()->maximum(); }
    QVariant minimumValue() const override { return bar()->minimum(); }
    // Orca takes the number of digits it speaks from the step.
    QVariant minimumStepSize() const override
    {
        return (bar()->maximum() - bar()->minimum()) / 100.0;
    }

private:
    SteppedProgressBar* bar() const { return static_cast<SteppedProgressBar*>(widget()); }
};

QAccessibleInterface* createSteppedProgressBarAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String(SteppedProgressBar::staticMetaObject.className()))
        return new SteppedProgressBarAccessible(static_cast<SteppedProgressBar*>(object));
    return nullptr;
}

} // namespace

SteppedProgressBar::SteppedProgressBar(QWidget* parent)
    : QProgressBar(parent)
{
    // Qt installs a factory once, however often it is asked to.
    QAccessible::installFactory(&createSteppedProgressBarAccessible);
    connect(this, &QProgressBar::valueChanged, this, [this](int v) { m_drawn = v; });
}

void SteppedProgressBar::setProgress(int percent)
{
    if (percent != m_drawn) {
        m_drawn = percent;
        repaint();
    }
}

void SteppedProgressBar::initStyleOption(QStyleOptionProgressBar* option) const
{
    QProgressBar::initStyleOption(option);
    option->progress = m_drawn;
}

} // namespace pellorin
