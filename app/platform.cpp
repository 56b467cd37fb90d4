#include "app/platform.h"

#include <X11/Xlib.h>
#include <algorithm>
#include <arpa/inet.h>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

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
    // The opener and the browser it starts get nothing of the game's but
    // its standard error, where a desktop's log still sees complaints: a
    // text-mode browser would otherwise read the game's input, write its
    // page into the deal trace, and keep the archive and the X connection
    // open. In a session of its own it cannot take over the terminal the
    // game was started from either.
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&files, STDERR_FILENO + 1);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    posix_spawnp(&pid, program, &files, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&files);
}

void reapFinishedChildren() {
    while (waitpid(-1, nullptr, WNOHANG) > 0) {
    }
}

namespace {

// Above the largest buffer the game sees: 800 x 500 pixels of 4 bytes.
const int LARGE_BUFFER_BYTES = 4 * 1024 * 1024;
// Free memory at the top of the heap is handed back beyond this much.
const int KEPT_FREE_BYTES = 2 * LARGE_BUFFER_BYTES;

} // namespace

void keepLargeFreedBuffers() {
    mallopt(M_MMAP_THRESHOLD, LARGE_BUFFER_BYTES);
    mallopt(M_TRIM_THRESHOLD, KEPT_FREE_BYTES);
}

void sleepMilliseconds(unsigned ms) {
    const timespec pause{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    nanosleep(&pause, nullptr);
}

namespace {

// True when `fd` is a stream socket whose other end is an X server: a
// local one at /tmp/.X11-unix/X<n> (Linux names it in the abstract
// namespace too) or a remote or forwarded one at TCP port 6000 + n.
bool isXServerConnection(int fd) {
    sockaddr_storage peer{};
    socklen_t length = sizeof peer;
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) != 0)
        return false;
    unsigned port = 0;
    switch (peer.ss_family) {
    case AF_UNIX: {
        const auto* local = reinterpret_cast<const sockaddr_un*>(&peer);
        const std::size_t pathLength = length - offsetof(sockaddr_un, sun_path);
        const char* const path = local->sun_path;
        const char* const mark = "/.X11-unix/X";
        return std::search(path, path + pathLength, mark, mark + std::strlen(mark)) !=
               path + pathLength;
    }
    case AF_INET:
        port = ntohs(reinterpret_cast<const sockaddr_in*>(&peer)->sin_port);
        break;
    case AF_INET6:
        port = ntohs(reinterpret_cast<const sockaddr_in6*>(&peer)->sin6_port);
        break;
    default:
        return false;
    }
    return port >= 6000 && port < 6064;
}

// The engine's software renderer does not expose its X connection. The
// game's own connection (app/window_identity.cpp) is closed again before
// the first frame, so the one connection to an X server among
// the process's open files is the engine's. -1 when there is none.
int engineXConnection() {
    static int found = -1;
    if (found >= 0 && isXServerConnection(found))
        return found;
    found = -1;
    DIR* open = opendir("/proc/self/fd");
    if (!open)
        return found;
    while (const dirent* entry = readdir(open)) {
        const int fd = std::atoi(entry->d_name);
        if (entry->d_name[0] != '.' && fd != dirfd(open) && isXServerConnection(fd)) {
            found = fd;
            break;
        }
    }
    closedir(open);
    return found;
}

bool waitOnSocket(int fd, unsigned timeoutMs) {
    pollfd connection{fd, POLLIN, 0};
    return poll(&connection, 1, static_cast<int>(timeoutMs)) > 0;
}

} // namespace

bool waitForInput(void* display, unsigned timeoutMs) {
    if (!display) {
        // Without Xlib's Display, events it took off the socket while the
        // frame was drawn are not seen here; the next frame, at most one
        // resting period later, still delivers them.
        const int fd = engineXConnection();
        if (fd >= 0)
            return waitOnSocket(fd, timeoutMs);
        const unsigned BLIND_WAIT_MS = 40;
        sleepMilliseconds(timeoutMs < BLIND_WAIT_MS ? timeoutMs : BLIND_WAIT_MS);
        return false;
    }
    Display* x = static_cast<Display*>(display);
    const unsigned deadline = millisecondTicks() + timeoutMs;
    for (;;) {
        // Takes in whatever has arrived: events Xlib or xcb read off the
        // socket while the frame was drawn would not wake poll, and a
        // readable socket may carry only replies or the GL driver's own
        // events, which are no input.
        if (XEventsQueued(x, QueuedAfterFlush) > 0)
            return true;
        const int left = static_cast<int>(deadline - millisecondTicks());
        if (left <= 0)
            return false;
        waitOnSocket(ConnectionNumber(x), static_cast<unsigned>(left));
    }
}

namespace {

int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

// Xlib's own words on a lost connection take two lines and name whatever
// errno last held. Nothing can be drawn or read any more, and the driver
// must not touch the dead connection on the way out: straight to the exit.
int endOnLostConnection(Display*) {
    const char message[] = "kavenna: the connection to the X server was lost\n";
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, message, sizeof message - 1);
    _exit(1);
}

} // namespace

void tolerateXErrors() {
    XSetErrorHandler(ignoreXError);
    XSetIOErrorHandler(endOnLostConnection);
}
