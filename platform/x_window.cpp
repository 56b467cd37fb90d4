#include "platform/x_window.h"

#include "platform/clock.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cstdio>
#include <dlfcn.h>
#include <poll.h>
#include <unistd.h>
#include <vector>

namespace {

Display* mappedDisplay = nullptr;
Window mappedWindow = None;

// WM_CLASS ties the window to the menu entry; _NET_WM_PID means something
// only together with the host.
void setClassAndOwner(Display* x, Window window) {
    char name[] = "kavenna";
    char className[] = "Kavenna";
    XClassHint classHint{name, className};
    XSetClassHint(x, window, &classHint);

    const unsigned long pid = static_cast<unsigned long>(getpid());
    XChangeProperty(x, window, XInternAtom(x, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) == 0) {
        char* hostList[] = {host};
        XTextProperty machine{};
        if (XStringListToTextProperty(hostList, 1, &machine)) {
            XSetWMClientMachine(x, window, &machine);
            XFree(machine.value);
        }
    }
}

// The pictures are drawn 1:1 for the size the window was made with:
// larger, they sit in a corner; smaller, they are cut off.
void holdSize(Display* x, Window window) {
    Window root = None;
    int left = 0, top = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    XSizeHints* hints = XAllocSizeHints();
    if (hints && XGetGeometry(x, window, &root, &left, &top, &width, &height, &border, &depth)) {
        hints->flags = PMinSize | PMaxSize;
        hints->min_width = hints->max_width = static_cast<int>(width);
        hints->min_height = hints->max_height = static_cast<int>(height);
        XSetWMNormalHints(x, window, hints);
    }
    if (hints)
        XFree(hints);
}

void nameWindow(Display* x, Window window) {
    // The engine looks the atom up right after the map, and only if it
    // exists; on a server no window manager has touched yet it does not,
    // and the window would offer a close request none could send.
    XInternAtom(x, "WM_DELETE_WINDOW", False);
    setClassAndOwner(x, window);
    holdSize(x, window);
}

} // namespace

// The engine maps only its own top-level window this way. A try with
// OpenGL that fails once its window is shown closes that connection, and
// the software renderer's window, on a connection of its own, follows.
extern "C" __attribute__((visibility("default"))) int XMapRaised(Display* display, Window window) {
    using Map = int (*)(Display*, Window);
    static const Map map = reinterpret_cast<Map>(dlsym(RTLD_NEXT, "XMapRaised"));
    mappedDisplay = display;
    mappedWindow = window;
    nameWindow(display, window);
    return map ? map(display, window) : 0;
}

void* engineXConnection() {
    return mappedDisplay;
}

unsigned long engineWindow() {
    return mappedWindow;
}

bool waitForXEvents(void* display, int timeoutMs) {
    Display* x = static_cast<Display*>(display);
    const unsigned start = millisecondTicks();
    for (;;) {
        // Sends what is buffered and takes in whatever has arrived: events
        // Xlib or xcb read off the socket while the frame was drawn would
        // not wake poll, and a readable socket may carry only replies.
        if (XEventsQueued(x, QueuedAfterFlush) > 0)
            return true;
        int left = -1;
        if (timeoutMs >= 0) {
            left = timeoutMs - static_cast<int>(millisecondTicks() - start);
            if (left <= 0)
                return false;
        }
        pollfd connection{ConnectionNumber(x), POLLIN, 0};
        poll(&connection, 1, left);
    }
}

void setWindowIcon(irr::video::IImage* const* icons, int count) {
    Display* x = static_cast<Display*>(engineXConnection());
    const Window window = engineWindow();
    if (!x || !window)
        return;
    // Each picture as its width, its height and then its pixels, ARGB in
    // one cardinal each; Xlib takes 32-bit properties as longs.
    std::vector<unsigned long> cardinals;
    for (int i = 0; i < count; ++i) {
        irr::video::IImage* picture = icons[i];
        if (!picture)
            continue;
        const irr::core::dimension2du size = picture->getDimension();
        cardinals.push_back(size.Width);
        cardinals.push_back(size.Height);
        for (unsigned row = 0; row < size.Height; ++row)
            for (unsigned column = 0; column < size.Width; ++column)
                cardinals.push_back(picture->getPixel(column, row).color);
    }
    if (cardinals.empty())
        return;
    XChangeProperty(x, window, XInternAtom(x, "_NET_WM_ICON", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(cardinals.data()),
                    static_cast<int>(cardinals.size()));
    XFlush(x);
}
