#include "platform/standard_streams.h"

#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <limits.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

void openClosedStandardDescriptors() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd)
        if (fcntl(fd, F_GETFD) == -1)
            // The lowest free descriptor is this one: those below are open by now.
            open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
}

namespace {

void writeOnce(int fd, const char* text, std::size_t length) {
    // A write that fails only loses this deal's trace.
    [[maybe_unused]] const ssize_t written = write(fd, text, length);
}

// Pipes and terminals: O_NONBLOCK on descriptor 1 itself would change the
// open file description the shell and the rest of a pipeline share, and
// a terminal left non-blocking breaks the shell after the game. Opened
// again through /proc, the same pipe or terminal gets a description of
// the game's own, and a pipe whose reader has left refuses that open.
void writeWithoutWaiting(const char* text, std::size_t length) {
    const int own = open("/proc/self/fd/1", O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (own < 0)
        return;
    // A pipe takes a write of at most PIPE_BUF bytes whole or not at all.
    // A terminal takes what fits: a deal is cut short only when a reader
    // has left tens of kilobytes of output unread, and nothing tells
    // beforehand how much room is left.
    writeOnce(own, text, length);
    close(own);
}

} // namespace

void writeWholeOrNothing(const char* text, std::size_t length) {
    struct stat target {};
    if (length > PIPE_BUF || fstat(STDOUT_FILENO, &target) != 0)
        return;
    // A reader that leaves between that open and the write raises SIGPIPE,
    // which would end the game: it is held back and then taken off again.
    sigset_t brokenPipe;
    sigemptyset(&brokenPipe);
    sigaddset(&brokenPipe, SIGPIPE);
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &brokenPipe, &previous);

    if (S_ISSOCK(target.st_mode))
        // Told per call not to wait; a deal fits in one socket buffer, so
        // it goes whole or not at all.
        send(STDOUT_FILENO, text, length, MSG_DONTWAIT | MSG_NOSIGNAL);
    else if (S_ISFIFO(target.st_mode) || S_ISCHR(target.st_mode))
        writeWithoutWaiting(text, length);
    else
        // A file never keeps its writer waiting.
        writeOnce(STDOUT_FILENO, text, length);

    sigset_t pending;
    sigpending(&pending);
    if (sigismember(&pending, SIGPIPE)) {
        const timespec now{};
        sigtimedwait(&brokenPipe, nullptr, &now);
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}
