// The website button hands the address to the desktop's opener without
// a shell, never waits for it, and leaves no zombie behind.
#include "support/null_game.h"
#include "ui/control_ids.h"

#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

// Our child processes and the state letter of each, from /proc.
std::vector<char> childStates() {
    std::vector<char> states;
    DIR* proc = opendir("/proc");
    while (dirent* entry = readdir(proc)) {
        std::ifstream stat(std::string("/proc/") + entry->d_name + "/stat");
        std::string line;
        if (!std::getline(stat, line))
            continue;
        // pid (comm) state ppid ...; comm may hold spaces.
        std::istringstream rest(line.substr(line.rfind(')') + 2));
        char state = 0;
        long parent = 0;
        rest >> state >> parent;
        if (parent == getpid())
            states.push_back(state);
    }
    closedir(proc);
    return states;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

void pause(long ms) {
    const timespec wait{0, ms * 1000000L};
    nanosleep(&wait, nullptr);
}

TEST(Website, EachClickStartsTheOpenerWithTheAddressAlone) {
    ScratchDirectory dir;
    dir.copyIn(std::string(KAVENNA_BINARY_DIR) + "/tesmor.dat", "tesmor.dat");
    // A stand-in opener that records its arguments, one call per line,
    // and says whether a shell had mangled them.
    const std::string record = dir.path() + "/calls";
    {
        std::ofstream opener(dir.path() + "/xdg-open");
        opener << "#!/bin/sh\nprintf '%s|%s\\n' \"$#\" \"$*\" >> '" << record << "'\n";
    }
    chmod((dir.path() + "/xdg-open").c_str(), 0755);
    const std::string oldPath = std::getenv("PATH");
    setenv("PATH", (dir.path() + ":" + oldPath).c_str(), 1);

    NullGame game;
    game.skipIntro();
    game.clickId(ID_ABOUT);
    for (int i = 0; i < 5; ++i)
        game.clickId(ID_WEBSITE);
    // Still on the About screen: the browser is not the game's business.
    EXPECT_NE(findId(ID_WEBSITE), nullptr);

    for (int tries = 0; tries < 500 && lines(readFile(record)).size() < 5; ++tries)
        pause(10);
    const std::vector<std::string> calls = lines(readFile(record));
    ASSERT_EQ(calls.size(), 5u);
    for (const std::string& call : calls)
        EXPECT_EQ(call, std::string("1|") + KAVENNA_WEBSITE);

    // Once the openers have ended, the next frame collects them.
    for (int tries = 0; tries < 500; ++tries) {
        bool running = false;
        for (char state : childStates())
            running = running || state != 'Z';
        if (!running)
            break;
        pause(10);
    }
    game.frame();
    EXPECT_TRUE(childStates().empty()) << childStates().size() << " children left";
    setenv("PATH", oldPath.c_str(), 1);
}

TEST(Website, AMissingOpenerIsSilent) {
    const std::string oldPath = std::getenv("PATH");
    setenv("PATH", "/nonexistent", 1);
    const std::string out = captureStdout([] {
        NullGame game;
        game.skipIntro();
        game.clickId(ID_ABOUT);
        game.clickId(ID_WEBSITE);
        EXPECT_TRUE(game.frame());
        EXPECT_NE(findId(ID_WEBSITE), nullptr);
    });
    setenv("PATH", oldPath.c_str(), 1);
    EXPECT_EQ(out, "");
    EXPECT_TRUE(childStates().empty());
}

} // namespace
