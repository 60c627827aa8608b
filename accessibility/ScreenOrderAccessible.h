#pragma once

#include <QAccessibleWidget>

namespace pellorin {

// A container as assistive technology sees it, with its child controls in
// screen order (top to bottom, then left to right) rather than in the order
// they were made, so flat review reads the window as it looks. Hidden
// controls come last. Unnamed, it goes by its group box title, if it is one.
class ScreenOrderAccessible final : public QAccessibleWidget {
public:
    ScreenOrderAccessible(QWidget* widget, QAccessible::Role role);

    QString text(QAccessible::Text t) const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

    // A QAccessible factory: this interface, as a grouping, for every group box.
    static QAccessibleInterface* create(const QString& className, QObject* object);

private:
    QList<QAccessibleInterface*> childrenOnScreen() const;
};

} // namespace pellorin
