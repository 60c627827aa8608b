#pragma once

#include <QRadioButton>

namespace pellorin {

// An option button that takes the click, and shows the hover, anywhere in its
// box, as the options of the window's design do. Qt's own takes them only on
// the circle and the caption, so a click right of " Visa", inside its box,
// would do nothing.
class WholeBoxRadioButton final : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

} // namespace pellorin
