#pragma once

#include <QCursor>
#include <QObject>

#include <optional>
#include <unordered_map>

class QWidget;

namespace pellorin {

// The window-wide pointer shape and the hover handlers that switch it.
//
// The shape is one of kDefault (the ordinary pointer), kBusy (hourglass) and
// kHand (the custom hand image, or the ordinary pointer when none was loaded).
// The window shows it, and so do its controls that have no pointer of their
// own. A pointer move over a control with a hover handler sets the handler's
// shape unless the window is busy; a move over a control without one leaves
// the shape as it is.
class PointerFeedback final : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefault = 0;
    static constexpr int kBusy = 11;
    static constexpr int kHand = 99;

    // `window` counts as a control with a handler for kDefault: its bare
    // background.
    explicit PointerFeedback(QWidget& window);

    int shape() const { return m_shape; }
    // Sets the shape and shows the matching pointer over the window.
    void setShape(int shape);

    // The image that kHand shows; without one kHand looks like kDefault.
    void setHandCursor(std::optional<QCursor> cursor);

    // Pointer moves over `control`, its inner parts included (a list's
    // header and scroll bars), run the hover handler with `shape`.
    void addHoverHandler(QWidget* control, int shape);
    // Pointer moves over `control` run nothing, though it lies in a control
    // that has a handler (the options in their frame).
    void addControlWithoutHandler(QWidget* control);

    // The hover handler: unless busy, set `shape`, even when already set.
    void hover(int shape);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void add(QWidget* control, std::optional<int> shape);
    // `position` is the pointer's, relative to `receiver`.
    void pointerMoved(QWidget* receiver, QPoint position, bool buttonHeld);

    QWidget& m_window;
    int m_shape = kDefault;
    std::optional<QCursor> m_hand;
    // Each control of the window with its handler's shape, or none.
    std::unordered_map<const QWidget*, std::optional<int>> m_controls;
};

} // namespace pellorin
