#include "WindowColors.h"

#include <QGuiApplication>
#include <QPalette>
#include <QPushButton>
#include <QWidget>

namespace pellorin {

QColor resolveColor(ColorValue value)
{
    if ((value & kSystemColorFlag) == 0)
        return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
    const QPalette palette = QGuiApplication::palette();
    switch (value & ~kSystemColorFlag) {
    case 5:
        return palette.color(QPalette::Base);
    case 8:
        return palette.color(QPalette::Text);
    case 13:
        return palette.color(QPalette::Highlight);
    case 18:
        return palette.color(QPalette::ButtonText);
    default:
        return palette.color(QPalette::Button);
    }
}

void setBackColor(QWidget& widget, ColorValue value)
{
    QPalette palette = widget.palette();
    palette.setColor(widget.backgroundRole(), resolveColor(value));
    widget.setPalette(palette);
    // A push button paints its own face; everything else fills its rectangle.
    if (!qobject_cast<QPushButton*>(&widget))
        widget.setAutoFillBackground(true);
}

} // namespace pellorin
