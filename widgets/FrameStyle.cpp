#include "FrameStyle.h"

#include <QApplication>
#include <QGroupBox>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>

namespace pellorin {

namespace {

// How far the caption stands in from the frame's left edge.
constexpr int kCaptionIndent = 6;

class FrameStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
        const QWidget* widget) const override
    {
        QRect rect = QProxyStyle::subControlRect(control, option, part, widget);
        if (control == CC_GroupBox && part == SC_GroupBoxLabel)
            rect.translate(kCaptionIndent, 0);
        return rect;
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
        const QWidget* widget) const override
    {
        const auto* frame = qobject_cast<const QGroupBox*>(widget);
        if (element != PE_FrameGroupBox || !frame) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        // One line around the frame, through the middle of the caption and
        // broken where the caption stands.
        QStyleOptionGroupBox box;
        box.initFrom(frame);
        box.text = frame->title();
        box.textAlignment = frame->alignment();
        box.subControls = SC_GroupBoxFrame | SC_GroupBoxLabel;
        const QRect label = subControlRect(CC_GroupBox, &box, SC_GroupBoxLabel, widget);
        QRectF line = QRectF(frame->rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        painter->save();
        if (!frame->title().isEmpty()) {
            line.setTop(label.center().y() + 0.5);
            painter->setClipRegion(QRegion(frame->rect()) - label.adjusted(-2, 0, 2, 0));
        }
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->setPen(option->palette.color(QPalette::Mid));
        painter->setBrush(Qt::NoBrush);
        painter->drawRoundedRect(line, 2, 2);
        painter->restore();
    }
};

} // namespace

QStyle* frameStyle()
{
    static QPointer<QStyle> style;
    if (!style) {
        style = new FrameStyle(QStyleFactory::create(QApplication::style()->name()));
        style->setParent(qApp);
    }
    return style;
}

} // namespace pellorin
