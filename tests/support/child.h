// Runs a piece of a test in a forked child with a time limit, so a crash
// or a hang in the game fails one case instead of the whole run.
#pragma once

#include <functional>
#include <string>

struct ChildEnd {
    // True when the child returned from `body`; its value is then `code`.
    bool finished = false;
    int code = 0;
    // "exited", "killed by signal N" or "still running after N s".
    std::string how;
};

// Forks, calls `body` in the child and exits with what it returns (0..255).
// A child still running after `seconds` is killed.
ChildEnd runInChild(const std::function<int()>& body, int seconds);
