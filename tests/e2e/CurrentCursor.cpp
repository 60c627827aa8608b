// Prints the pointer image the X server shows now, as "WIDTH HEIGHT XHOT
// YHOT": what a user sees, whichever window set it.

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <cstdio>

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "cannot open the display\n");
        return 1;
    }
    int eventBase = 0;
    int errorBase = 0;
    XFixesCursorImage* image = XFixesQueryExtension(display, &eventBase, &errorBase) != 0
        ? XFixesGetCursorImage(display)
        : nullptr;
    if (image == nullptr) {
        std::fprintf(stderr, "the X server cannot tell its pointer image\n");
        XCloseDisplay(display);
        return 1;
    }
    std::printf("%u %u %u %u\n", unsigned(image->width), unsigned(image->height),
        unsigned(image->xhot), unsigned(image->yhot));
    XFree(image);
    XCloseDisplay(display);
    return 0;
}
