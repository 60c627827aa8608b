#include "EnterPressesButton.h"

#include <QAbstractButton>
#include <QKeyEvent>

namespace pellorin {

EnterPressesButton::EnterPressesButton(QAbstractButton* button)
    : QObject(button)
{
    button->installEventFilter(this);
}

bool EnterPressesButton::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers others = key->modifiers() & ~Qt::KeypadModifier;
    if (!enter || others != Qt::NoModifier)
        return false;
    // A held key presses once, as a held Space does.
    if (!key->isAutoRepeat())
        static_cast<QAbstractButton*>(watched)->click();
    return true;
}

} // namespace pellorin
