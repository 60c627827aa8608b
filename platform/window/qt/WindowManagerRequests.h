#pragma once

#include <QMargins>

class QWidget;

namespace pellorin {

// Lets a close request from the window system reach `window` while a modal
// dialog or message box of the program blocks it. Qt drops such a request
// (a window manager's or compositor's close button, WM_DELETE_WINDOW, the
// close button of the frame Qt draws on Wayland) for a blocked window; here
// it is passed on as `window.close()`, on any window system.
void acceptCloseRequestsWhileBlocked(QWidget& window);

// The frame (title bar and borders) the window manager will put around the
// top-level `window` once it is shown, asked for before it is shown. Empty
// margins without a window manager that can tell, or outside X11.
QMargins expectedFrameMargins(QWidget& window);

} // namespace pellorin
