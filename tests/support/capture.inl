#include <cstdio>
#include <cstdlib>
#include <unistd.h>

template <typename Body> std::string captureStdout(Body body) {
    std::fflush(stdout);
    char path[] = "/tmp/kavenna-stdout-XXXXXX";
    const int file = mkstemp(path);
    const int saved = dup(1);
    dup2(file, 1);
    body();
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
    close(file);
    std::string written = readFile(path);
    unlink(path);
    return written;
}
