#pragma once

#include <QProgressBar>

namespace pellorin {

// A progress bar that a run moves only on the screen. A run holds the
// window until it ends, when the bar is back at 0: assistive technology could
// ask for the value only then, so every move it was told of would be read as
// 0 (Orca says "0 percent" after the run), and Qt's bridge could not pass the
// moves on anyway while the run holds it. To it, and to value(), the bar stays
// where it was before the run; no value change is sent for the run's moves.
class SteppedProgressBar final : public QProgressBar {
    Q_OBJECT
public:
    explicit SteppedProgressBar(QWidget* parent);

    // Draws `percent` during a run that holds the event loop until it ends,
    // where setValue() would tell assistive technology of it.
    void setProgress(int percent);

protected:
    void initStyleOption(QStyleOptionProgressBar* option) const override;

private:
    int m_drawn = 0;
};

} // namespace pellorin
