#include "app/platform.h"

#include <X11/Xlib.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>

extern char** environ;

unsigned millisecondTicks() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const unsigned long long ms =
        static_cast<unsigned long long>(now.tv_sec) * 1000ULL + now.tv_nsec / 1000000;
    return static_cast<unsigned>(ms);
}

void openInBrowser(const char* address) {
    char program[] = "xdg-open";
    char* argv[] = {program, const_cast<char*>(address), nullptr};
    pid_t pid = 0;
    posix_spawnp(&pid, program, nullptr, nullptr, argv, environ);
}

void reapFinishedChildren() {
    while (waitpid(-1, nullptr, WNOHANG) > 0) {
    }
}

bool waitForInput(void* display, unsigned timeoutMs) {
    const unsigned BLIND_WAIT_MS = 40;
    if (!display) {
        const unsigned ms = timeoutMs < BLIND_WAIT_MS ? timeoutMs : BLIND_WAIT_MS;
        const timespec pause{0, static_cast<long>(ms) * 1000000L};
        nanosleep(&pause, nullptr);
        return false;
    }
    Display* x = static_cast<Display*>(display);
    // Events Xlib has already read off the socket would not wake poll.
    if (XEventsQueued(x, QueuedAlready) > 0)
        return true;
    pollfd connection{ConnectionNumber(x), POLLIN, 0};
    return poll(&connection, 1, static_cast<int>(timeoutMs)) > 0;
}

namespace {

int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

} // namespace

void tolerateXErrors() {
    XSetErrorHandler(ignoreXError);
}
