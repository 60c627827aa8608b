// Waits until a program has handled every X event sent to it so far: sends
// its window a _NET_WM_PING and waits for the answer, which the program
// gives only once it has read everything before it (X delivers a client's
// events in order). What a click or key was going to open or move is then
// on the screen, so "nothing else happened" can be checked at once.

#include <X11/Xlib.h>

#include <sys/select.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s WINDOW-ID [SECONDS]\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "cannot open the display\n");
        return 1;
    }
    const auto window = static_cast<Window>(std::strtoul(argv[1], nullptr, 0));
    const double seconds = argc == 3 ? std::atof(argv[2]) : 10.0;
    const Window root = DefaultRootWindow(display);
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom ping = XInternAtom(display, "_NET_WM_PING", False);
    // A program answers a ping by sending it on to the root window.
    XSelectInput(display, root, SubstructureNotifyMask);

    // A stamp of our own, so that an earlier ping's answer is not taken.
    const long stamp = static_cast<long>(
        std::chrono::steady_clock::now().time_since_epoch().count() & 0x7fffffff);
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(ping);
    event.xclient.data.l[1] = stamp;
    event.xclient.data.l[2] = static_cast<long>(window);
    if (XSendEvent(display, window, False, NoEventMask, &event) == 0) {
        std::fprintf(stderr, "the ping could not be sent\n");
        return 1;
    }
    XFlush(display);

    const auto deadline = std::chrono::steady_clock::now()
        + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(seconds));
    const int fd = ConnectionNumber(display);
    while (std::chrono::steady_clock::now() < deadline) {
        while (XPending(display) > 0) {
            XEvent answer;
            XNextEvent(display, &answer);
            if (answer.type == ClientMessage && answer.xclient.message_type == protocols
                && static_cast<Atom>(answer.xclient.data.l[0]) == ping
                && answer.xclient.data.l[1] == stamp) {
                XCloseDisplay(display);
                return 0;
            }
        }
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        timeval wait { 0, 50'000 };
        select(fd + 1, &readable, nullptr, nullptr, &wait);
    }
    std::fprintf(stderr, "window %s did not answer a ping within %g s\n", argv[1], seconds);
    XCloseDisplay(display);
    return 1;
}
