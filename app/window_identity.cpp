#include "app/window_identity.h"

#include "app/picture.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XRes.h>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

// The X clients of this process, `x` among them, each as the base and
// the mask of the ids it allocates. X-Resource 1.2 names each client's
// process.
std::vector<XResClient> clientsOfThisProcess(Display* x) {
    std::vector<XResClient> own;
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XResQueryExtension(x, &eventBase, &errorBase) || !XResQueryVersion(x, &major, &minor) ||
        major * 100 + minor < 102)
        return own;
    XResClientIdSpec everyClient{0, XRES_CLIENT_ID_PID_MASK};
    long idCount = 0;
    XResClientIdValue* ids = nullptr;
    int clientCount = 0;
    XResClient* clients = nullptr;
    if (XResQueryClientIds(x, 1, &everyClient, &idCount, &ids) == Success &&
        XResQueryClients(x, &clientCount, &clients)) {
        for (long i = 0; i < idCount; ++i) {
            if (XResGetClientPid(&ids[i]) != getpid())
                continue;
            for (int c = 0; c < clientCount; ++c)
                if (clients[c].resource_base == ids[i].spec.client)
                    own.push_back(clients[c]);
        }
    }
    if (ids)
        XResClientIdsDestroy(idCount, ids);
    if (clients)
        XFree(clients);
    return own;
}

// The engine's window where its driver does not tell: the game's own
// connection creates no windows, so a window made by another client of
// this process is the engine's. Window managers put a client's window
// into frames of their own a level or two below the root.
Window findEngineWindow(Display* x) {
    const std::vector<XResClient> own = clientsOfThisProcess(x);
    if (own.empty())
        return None;
    std::vector<Window> level{DefaultRootWindow(x)};
    for (int depth = 0; depth < 3 && !level.empty(); ++depth) {
        std::vector<Window> below;
        for (Window parent : level) {
            Window root = None, parentOfParent = None;
            Window* children = nullptr;
            unsigned count = 0;
            if (!XQueryTree(x, parent, &root, &parentOfParent, &children, &count))
                continue;
            below.insert(below.end(), children, children + count);
            if (children)
                XFree(children);
        }
        for (Window window : below)
            for (const XResClient& client : own)
                if ((window & ~client.resource_mask) == client.resource_base)
                    return window;
        level.swap(below);
    }
    return None;
}

} // namespace

WindowIdentity openWindowIdentity() {
    WindowIdentity identity;
    identity.connection = XOpenDisplay(nullptr);
    if (identity.connection) {
        // Interned atoms live as long as the server; the engine's lookup
        // comes after this has reached it.
        XInternAtom(identity.connection, "WM_DELETE_WINDOW", False);
    }
    return identity;
}

void nameWindow(WindowIdentity& identity, irr::IrrlichtDevice* device) {
    Display* x = identity.connection;
    if (!x || !device)
        return;
    irr::video::IVideoDriver* driver = device->getVideoDriver();
    if (driver->getDriverType() == irr::video::EDT_OPENGL)
        identity.window = driver->getExposedVideoData().OpenGLLinux.X11Window;
    if (!identity.window)
        identity.window = findEngineWindow(x);
    if (!identity.window)
        return;
    const Window window = identity.window;

    char name[] = "kavenna";
    char className[] = "Kavenna";
    XClassHint classHint{name, className};
    XSetClassHint(x, window, &classHint);

    const unsigned long pid = static_cast<unsigned long>(getpid());
    XChangeProperty(x, window, XInternAtom(x, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
    // _NET_WM_PID means something only together with the host.
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) == 0) {
        char* hostList[] = {host};
        XTextProperty machine{};
        if (XStringListToTextProperty(hostList, 1, &machine)) {
            XSetWMClientMachine(x, window, &machine);
            XFree(machine.value);
        }
    }

    // The pictures are drawn 1:1 for this size: larger, they sit in a
    // corner; smaller, they are cut off.
    const irr::core::dimension2du size = driver->getScreenSize();
    XSizeHints* hints = XAllocSizeHints();
    if (hints) {
        hints->flags = PMinSize | PMaxSize;
        hints->min_width = hints->max_width = static_cast<int>(size.Width);
        hints->min_height = hints->max_height = static_cast<int>(size.Height);
        XSetWMNormalHints(x, window, hints);
        XFree(hints);
    }
    XSync(x, False);
}

void setWindowIcon(WindowIdentity& identity) {
    Display* x = identity.connection;
    if (!x || !identity.window)
        return;
    // Each picture as its width, its height and then its pixels, ARGB in
    // one cardinal each; Xlib takes 32-bit properties as longs.
    std::vector<unsigned long> icons;
    for (const unsigned side : {16u, 32u, 48u, 64u, 128u}) {
        char name[16];
        std::snprintf(name, sizeof name, "icon-%u.png", side);
        PictureLimits limits;
        limits.maxSide = side;
        limits.maxFileBytes = 256u << 10;
        irr::video::IImage* picture = loadCheckedPicture(name, limits);
        if (!picture)
            continue;
        const irr::core::dimension2du size = picture->getDimension();
        icons.push_back(size.Width);
        icons.push_back(size.Height);
        for (unsigned row = 0; row < size.Height; ++row)
            for (unsigned column = 0; column < size.Width; ++column)
                icons.push_back(picture->getPixel(column, row).color);
        picture->drop();
    }
    if (icons.empty())
        return;
    XChangeProperty(x, identity.window, XInternAtom(x, "_NET_WM_ICON", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(icons.data()),
                    static_cast<int>(icons.size()));
    XSync(x, False);
}

void closeWindowIdentity(WindowIdentity& identity) {
    if (identity.connection)
        XCloseDisplay(identity.connection);
    identity = WindowIdentity();
}
