#include "app/x_connection.h"

#include "app/platform.h"

#include <X11/Xlib.h>
#include <dlfcn.h>
#include <poll.h>

namespace {

// The connections opened and not yet closed, oldest first. The game's own
// (app/window_identity.cpp) is opened before the device and closed before
// the first frame; an OpenGL try on a server without GLX closes its own
// before the software renderer opens one.
const int MOST_OPEN = 8;
Display* openConnections[MOST_OPEN] = {};
int openCount = 0;

template <typename Function> Function xlib(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

// Defined here, these are the functions the engine's calls reach: a
// program's own functions come before those of the libraries it loads.
// They open and close connections with Xlib's and keep count of them.
extern "C" __attribute__((visibility("default"))) Display* XOpenDisplay(const char* name) {
    using Open = Display* (*)(const char*);
    static const Open open = xlib<Open>("XOpenDisplay");
    Display* display = open ? open(name) : nullptr;
    if (display && openCount < MOST_OPEN)
        openConnections[openCount++] = display;
    return display;
}

extern "C" __attribute__((visibility("default"))) int XCloseDisplay(Display* display) {
    using Close = int (*)(Display*);
    static const Close close = xlib<Close>("XCloseDisplay");
    int kept = 0;
    for (int i = 0; i < openCount; ++i)
        if (openConnections[i] != display)
            openConnections[kept++] = openConnections[i];
    openCount = kept;
    return close ? close(display) : 0;
}

void* engineXConnection() {
    // The newest: the engine's device opens its connection after the
    // game's own.
    return openCount > 0 ? openConnections[openCount - 1] : nullptr;
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
