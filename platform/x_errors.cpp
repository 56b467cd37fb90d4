#include "platform/x_errors.h"

#include "platform/translation.h"

#include <X11/Xlib.h>
#include <cstring>
#include <unistd.h>

namespace {

int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

// Xlib's own words on a lost connection take two lines and name whatever
// errno last held. Nothing can be drawn or read any more, and the driver
// must not touch the dead connection on the way out: straight to the exit.
int endOnLostConnection(Display*) {
    const char* message = _("kavenna: the connection to the X server was lost\n");
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, message, std::strlen(message));
    _exit(1);
}

} // namespace

void tolerateXErrors() {
    XSetErrorHandler(ignoreXError);
    XSetIOErrorHandler(endOnLostConnection);
}
