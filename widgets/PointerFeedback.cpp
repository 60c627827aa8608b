#include "PointerFeedback.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace pellorin {

PointerFeedback::PointerFeedback(QWidget& window)
    : QObject(&window)
    , m_window(window)
{
    add(&window, kDefault);
    // Pointer moves over controls that do not track them never reach the
    // controls' own filters, and those that do are passed on up to the
    // containers; the application's filter sees each move first, once per
    // receiver, and tells by position which control the pointer is over.
    qApp->installEventFilter(this);
}

void PointerFeedback::setShape(int shape)
{
    m_shape = shape;
    if (shape == kBusy)
        m_window.setCursor(Qt::WaitCursor);
    else if (shape == kHand && m_hand)
        m_window.setCursor(*m_hand);
    else
        m_window.unsetCursor();
}

void PointerFeedback::setHandCursor(std::optional<QCursor> cursor)
{
    m_hand = std::move(cursor);
    setShape(m_shape);
}

void PointerFeedback::addHoverHandler(QWidget* control, int shape)
{
    add(control, shape);
}

void PointerFeedback::addControlWithoutHandler(QWidget* control)
{
    add(control, std::nullopt);
}

void PointerFeedback::add(QWidget* control, std::optional<int> shape)
{
    m_controls[control] = shape;
    if (shape)
        control->setMouseTracking(true);
    if (control != &m_window)
        connect(control, &QObject::destroyed, this, [this, control] { m_controls.erase(control); });
}

void PointerFeedback::hover(int shape)
{
    if (m_shape == kBusy)
        return;
    setShape(shape);
}

bool PointerFeedback::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove && watched->isWidgetType()) {
        const auto* move = static_cast<QMouseEvent*>(event);
        pointerMoved(static_cast<QWidget*>(watched), move->position().toPoint(),
            move->buttons() != Qt::NoButton);
    }
    return QObject::eventFilter(watched, event);
}

void PointerFeedback::pointerMoved(QWidget* receiver, QPoint position, bool buttonHeld)
{
    if (receiver->window() != &m_window)
        return;
    // From the receiver to the window through the widgets' own geometry: the
    // window's place on the screen, as Qt believes it, can be out of date
    // where a window manager moved the frame without telling (XWayland).
    position = receiver->mapTo(&m_window, position);
    // While a button is held the control that was pressed has the pointer,
    // wherever it is; otherwise the control under the pointer.
    QWidget* target = receiver;
    if (!buttonHeld) {
        if (!m_window.rect().contains(position))
            return;
        target = m_window.childAt(position);
        if (!target)
            target = &m_window;
    }
    for (QWidget* w = target; w; w = w->parentWidget()) {
        const auto control = m_controls.find(w);
        if (control != m_controls.end()) {
            if (control->second)
                hover(*control->second);
            return;
        }
        if (w == &m_window)
            return;
    }
}

} // namespace pellorin
