#pragma once

#include <QProgressBar>

namespace pellorin {

// A progress bar that draws every percent but takes on its value only when
// the tens digit changes and at the ends. A short run moves the bar a
// hundred times in a blink, and each value change goes through Qt's
// accessibility machinery; outside a run a screen reader hears them, and it
// speaks progress only every few seconds anyway.
class SteppedProgressBar final : public QProgressBar {
    Q_OBJECT
public:
    explicit SteppedProgressBar(QWidget* parent);

    // Moves the bar during a run that holds the event loop until it ends.
    // Assistive technology is not told of these moves: it can ask for the
    // value only once the run is over, when the bar is back at 0, so every
    // move it was told of would be read as 0 (Orca says "0 percent" after
    // the run). To it the bar stays at 0, as it was before the run.
    void setProgress(int percent);

    // Whether assistive technology is told of value changes at the moment.
    bool tellsValueChanges() const { return !m_inRun; }

protected:
    void initStyleOption(QStyleOptionProgressBar* option) const override;

private:
    int m_drawn = 0;
    bool m_inRun = false;
};

} // namespace pellorin
