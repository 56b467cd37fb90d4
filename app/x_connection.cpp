#include "app/x_connection.h"

#include "app/platform.h"
#include "app/window_identity.h"

#include <X11/Xlib.h>
#include <dlfcn.h>
#include <poll.h>

namespace {

Display* shownOn = nullptr;
Window shown = None;

} // namespace

// The engine maps only its own top-level window this way. A try with
// OpenGL that fails once its window is shown closes that connection, and
// the software renderer's window, on a connection of its own, follows.
extern "C" __attribute__((visibility("default"))) int XMapRaised(Display* display, Window window) {
    using Map = int (*)(Display*, Window);
    static const Map map = reinterpret_cast<Map>(dlsym(RTLD_NEXT, "XMapRaised"));
    shownOn = display;
    shown = window;
    nameWindow(display, window);
    return map ? map(display, window) : 0;
}

void* engineXConnection() {
    return shownOn;
}

unsigned long engineWindow() {
    return shown;
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
