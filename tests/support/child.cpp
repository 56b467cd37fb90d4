#include "support/child.h"

#include <cstdio>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

ChildEnd runInChild(const std::function<int()>& body, int seconds) {
    // Output buffered before the fork would otherwise be written twice.
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        const int code = body();
        std::fflush(nullptr);
        _exit(code);
    }
    ChildEnd end;
    int status = 0;
    for (int waited = 0; waited < seconds * 100; ++waited) {
        if (waitpid(child, &status, WNOHANG) == child) {
            end.finished = WIFEXITED(status);
            end.code = end.finished ? WEXITSTATUS(status) : 0;
            end.how =
                end.finished ? "exited" : "killed by signal " + std::to_string(WTERMSIG(status));
            return end;
        }
        const timespec tick{0, 10 * 1000 * 1000};
        nanosleep(&tick, nullptr);
    }
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    end.how = "still running after " + std::to_string(seconds) + " s";
    return end;
}
