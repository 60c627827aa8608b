#include "SteppedProgressBar.h"

#include <QStyleOptionProgressBar>

namespace pellorin {

SteppedProgressBar::SteppedProgressBar(QWidget* parent)
    : QProgressBar(parent)
{
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
