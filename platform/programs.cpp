#include "platform/programs.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

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
