#pragma once

#include <QObject>

class QAbstractButton;

namespace pellorin {

// Enter and the keypad's Enter press the focused button, as Space does: Qt
// gives them that meaning only in dialogs, where a default button exists.
class EnterPressesButton final : public QObject {
public:
    // Watches `button`, and ends with it.
    explicit EnterPressesButton(QAbstractButton* button);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace pellorin
