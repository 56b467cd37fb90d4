#include "platform/x_display.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

// The CARDINALs of `property` on `window`, at most `count` of them; how
// many were read.
int readCardinals(Display* x, Window window, const char* property, long count,
                  unsigned long* values) {
    const Atom name = XInternAtom(x, property, True);
    if (name == None)
        return 0;
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(x, window, name, 0, count, False, XA_CARDINAL, &type, &format, &items,
                           &after, &data) != Success ||
        !data)
        return 0;
    int read = 0;
    if (type == XA_CARDINAL && format == 32) {
        // Xlib hands 32-bit items over as longs.
        const unsigned long* longs = reinterpret_cast<const unsigned long*>(data);
        for (; read < static_cast<int>(items) && read < count; ++read)
            values[read] = longs[read];
    }
    XFree(data);
    return read;
}

void readWorkArea(Display* x, DesktopSize& inputs) {
    const Window root = DefaultRootWindow(x);
    inputs.workWidth = DisplayWidth(x, DefaultScreen(x));
    inputs.workHeight = DisplayHeight(x, DefaultScreen(x));
    unsigned long desktop = 0;
    if (readCardinals(x, root, "_NET_CURRENT_DESKTOP", 1, &desktop) != 1 || desktop > 63)
        desktop = 0;
    // x, y, width and height for each desktop in turn.
    unsigned long areas[64 * 4] = {};
    const int read = readCardinals(x, root, "_NET_WORKAREA", 64 * 4, areas);
    if (read >= static_cast<int>(desktop * 4 + 4) && areas[desktop * 4 + 2] > 0 &&
        areas[desktop * 4 + 3] > 0) {
        inputs.workWidth = static_cast<int>(areas[desktop * 4 + 2] & 0xffffff);
        inputs.workHeight = static_cast<int>(areas[desktop * 4 + 3] & 0xffffff);
    }
}

Display* probe = nullptr;

} // namespace

void readXDisplay(DesktopSize& inputs) {
    if (!probe)
        probe = XOpenDisplay(nullptr);
    if (!probe)
        return;
    if (const char* resources = XResourceManagerString(probe))
        inputs.xResources = resources;
    readWorkArea(probe, inputs);
}

void releaseXDisplay() {
    if (probe)
        XCloseDisplay(probe);
    probe = nullptr;
}
