#pragma once

#include <QProgressBar>

namespace pellorin {

// A progress bar that draws every percent but takes on its value, and tells
// assistive technology of it, only when the tens digit changes and at the
// ends. A short run moves the bar a hundred times in a blink; a hundred
// value changes at once flood a screen reader (Orca then drops the
// announcement that follows the run), which speaks progress only every few
// seconds anyway.
class SteppedProgressBar final : public QProgressBar {
    Q_OBJECT
public:
    explicit SteppedProgressBar(QWidget* parent);

    void setProgress(int percent);

protected:
    void initStyleOption(QStyleOptionProgressBar* option) const override;

private:
    int m_drawn = 0;
};

} // namespace pellorin
