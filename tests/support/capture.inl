#include <cstdio>
#include <cstdlib>
#include <unistd.h>

// Runs `body` while file descriptor `descriptor` goes to a file; returns
// what was written there.
template <typename Body> std::string captureDescriptor(int descriptor, Body body) {
    std::fflush(nullptr);
    char path[] = "/tmp/kavenna-capture-XXXXXX";
    const int file = mkstemp(path);
    const int saved = dup(descriptor);
    dup2(file, descriptor);
    body();
    std::fflush(nullptr);
    dup2(saved, descriptor);
    close(saved);
    close(file);
    std::string written = readFile(path);
    unlink(path);
    return written;
}

template <typename Body> std::string captureStdout(Body body) {
    return captureDescriptor(1, body);
}

template <typename Body> std::string captureStderr(Body body) {
    return captureDescriptor(2, body);
}
