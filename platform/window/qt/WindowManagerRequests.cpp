#include "WindowManagerRequests.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <qpa/qwindowsysteminterface_p.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace pellorin {

namespace {

xcb_connection_t* xcbConnection()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    const xcb_intern_atom_cookie_t cookie
        = xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

using PropertyReply = std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)>;

PropertyReply cardinals(
    xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property, xcb_atom_t type)
{
    const xcb_get_property_cookie_t cookie
        = xcb_get_property(connection, 0, window, property, type, 0, 1024);
    PropertyReply reply(xcb_get_property_reply(connection, cookie, nullptr), &std::free);
    if (reply && (reply->format != 32 || reply->type != type))
        reply.reset();
    return reply;
}

// Qt drops a close request from the window system for a window that a modal
// window blocks, before any event or native event filter could see it, on
// every platform (X11's WM_DELETE_WINDOW, a Wayland compositor's close, the
// close button of the frame Qt draws itself on Wayland). A request that a
// plugin queues, as the X11 and Wayland plugins do, passes through the
// installed window system event handler on its way, so it is seen here,
// whatever the window system, and handed to the window as a
// QWidget::close(), which Qt lets pass. (One delivered synchronously would
// bypass the handler; no plugin on Linux sends close requests so.)
class BlockedCloseForwarder final : public QObject, public QWindowSystemEventHandler {
public:
    explicit BlockedCloseForwarder(QWidget& window)
        : QObject(&window)
        , m_window(&window)
    {
        QWindowSystemInterfacePrivate::installWindowSystemEventHandler(this);
    }

    ~BlockedCloseForwarder() override
    {
        QWindowSystemInterfacePrivate::removeWindowSystemEventhandler(this);
    }

    BlockedCloseForwarder(const BlockedCloseForwarder&) = delete;
    BlockedCloseForwarder& operator=(const BlockedCloseForwarder&) = delete;

    bool sendEvent(QWindowSystemInterfacePrivate::WindowSystemEvent* event) override
    {
        if (event->type == QWindowSystemInterfacePrivate::Close && m_window) {
            const auto* request = static_cast<QWindowSystemInterfacePrivate::CloseEvent*>(event);
            const QWindow* modal = QGuiApplication::modalWindow();
            // An unblocked window gets the request from Qt as usual.
            if (request->window && request->window == m_window->windowHandle() && modal
                && modal != request->window) {
                event->eventAccepted = m_window->close();
                return true;
            }
        }
        return QWindowSystemEventHandler::sendEvent(event);
    }

private:
    QPointer<QWidget> m_window;
};

} // namespace

void acceptCloseRequestsWhileBlocked(QWidget& window)
{
    new BlockedCloseForwarder(window);
}

QMargins expectedFrameMargins(QWidget& window)
{
    xcb_connection_t* connection = xcbConnection();
    if (!connection || !window.isWindow())
        return {};
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const xcb_atom_t supported = atom(connection, "_NET_SUPPORTED");
    const xcb_atom_t request = atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    const xcb_atom_t extents = atom(connection, "_NET_FRAME_EXTENTS");

    // Only a window manager that says it answers is asked; without one the
    // window gets no frame and start-up must not wait.
    const PropertyReply features = cardinals(connection, root, supported, XCB_ATOM_ATOM);
    if (!features)
        return {};
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(features.get()));
    const int count = xcb_get_property_value_length(features.get()) / int(sizeof(xcb_atom_t));
    if (std::find(atoms, atoms + count, request) == atoms + count)
        return {};

    const auto id = xcb_window_t(window.winId());
    xcb_client_message_event_t message {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = request;
    xcb_send_event(connection, 0, root,
        XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
        reinterpret_cast<const char*>(&message));
    xcb_flush(connection);

    // The answer is a property on the window; a window manager that never
    // sets it costs start-up at most this long.
    const QDeadlineTimer deadline(1000);
    do {
        const PropertyReply frame = cardinals(connection, id, extents, XCB_ATOM_CARDINAL);
        if (frame && xcb_get_property_value_length(frame.get()) == 4 * 4) {
            const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(frame.get()));
            // left, right, top, bottom
            return { int(v[0]), int(v[2]), int(v[1]), int(v[3]) };
        }
        QThread::msleep(5);
    } while (!deadline.hasExpired());
    return {};
}

} // namespace pellorin
