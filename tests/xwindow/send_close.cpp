// Asks a window to close. By default the way a window manager does when
// the user clicks its close button: a WM_DELETE_WINDOW ClientMessage.
// Without a window manager, `xdotool windowclose` would destroy the
// window instead. With --window-manager it asks the running window
// manager to close the window, as a task bar does (_NET_CLOSE_WINDOW);
// the window manager then decides how.
// Usage: send_close [--window-manager] WINDOW_ID (decimal or 0x-hex),
// DISPLAY from the environment.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    const bool viaWindowManager = argc == 3 && std::strcmp(argv[1], "--window-manager") == 0;
    if (argc != 2 && !viaWindowManager) {
        std::fputs("usage: send_close [--window-manager] WINDOW_ID\n", stderr);
        return 2;
    }
    const Window window = std::strtoul(argv[argc - 1], nullptr, 0);
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fputs("send_close: cannot open the display\n", stderr);
        return 1;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.format = 32;
    Status sent = 0;
    if (viaWindowManager) {
        event.xclient.message_type = XInternAtom(display, "_NET_CLOSE_WINDOW", False);
        event.xclient.data.l[0] = CurrentTime;
        event.xclient.data.l[1] = 2; // a pager or task bar asks
        sent = XSendEvent(display, DefaultRootWindow(display), False,
                          SubstructureRedirectMask | SubstructureNotifyMask, &event);
    } else {
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.data.l[0] =
            static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        sent = XSendEvent(display, window, False, NoEventMask, &event);
    }
    XSync(display, False);
    XCloseDisplay(display);
    return sent ? 0 : 1;
}
