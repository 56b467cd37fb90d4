#include "app/linux/platform.h"

#include <X11/Xlib.h>
#include <cstdint>
#include <fcntl.h>
#include <malloc.h>
#include <spawn.h>
#include <sys/mman.h>
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

bool startProgram(char* const arguments[]) {
    // The program and whatever it starts get nothing of the game's but
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
    const int failure = posix_spawnp(&pid, arguments[0], &files, &attributes, arguments, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&files);
    return failure == 0;
}

void openInBrowser(const char* address) {
    char program[] = "xdg-open";
    char* arguments[] = {program, const_cast<char*>(address), nullptr};
    startProgram(arguments);
}

void reapFinishedChildren() {
    while (waitpid(-1, nullptr, WNOHANG) > 0) {
    }
}

namespace {

// Above the largest buffer the game sees: 1600 x 1000 pixels of 4 bytes.
const int LARGE_BUFFER_BYTES = 8 * 1024 * 1024;
// Free memory at the top of the heap is handed back beyond this much.
const int KEPT_FREE_BYTES = 2 * LARGE_BUFFER_BYTES;

} // namespace

void keepLargeFreedBuffers() {
    mallopt(M_MMAP_THRESHOLD, LARGE_BUFFER_BYTES);
    mallopt(M_TRIM_THRESHOLD, KEPT_FREE_BYTES);
}

void returnFreedMemory() {
    malloc_trim(0);
}

void returnPagesOf(void* buffer, size_t bytes) {
    const std::uintptr_t page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(buffer);
    const std::uintptr_t first = (start + page - 1) / page * page;
    const std::uintptr_t end = (start + bytes) / page * page;
    if (end > first)
        madvise(reinterpret_cast<void*>(first), end - first, MADV_DONTNEED);
}

void sleepMilliseconds(unsigned ms) {
    const timespec pause{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    nanosleep(&pause, nullptr);
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
