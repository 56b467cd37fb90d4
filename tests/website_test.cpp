// The website button hands the address to the desktop's opener without
// a shell and without the game's descriptors, never waits for it, and
// leaves no zombie behind.
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
    // A stand-in opener that writes to its standard output as a text-mode
    // browser would, lists its descriptors and its session, and records
    // its arguments, one call per line, saying whether a shell had
    // mangled them.
    const std::string opener = dir.path() + "/xdg-open";
    const std::string record = dir.path() + "/calls";
    {
        std::ofstream script(opener);
        script << "#!/bin/sh\necho 'a page of the web'\n"
               << "find /proc/$$/fd/ -mindepth 1 -fprintf '" << dir.path()
               << "/descriptors' '%f %l\\n'\n"
               << "cut -d' ' -f6 /proc/$$/stat >> '" << dir.path() << "/sessions'\n"
               << "printf '%s|%s\\n' \"$#\" \"$*\" >> '" << record << "'\n";
    }
    chmod(opener.c_str(), 0755);
    const std::string oldPath = std::getenv("PATH");
    setenv("PATH", (dir.path() + ":" + oldPath).c_str(), 1);

    NullGame game;
    game.skipIntro();
    game.clickId(ID_ABOUT);
    const std::string out = captureStdout([&] {
        for (int i = 0; i < 5; ++i)
            game.clickId(ID_WEBSITE);
        for (int tries = 0; tries < 500 && lines(readFile(record)).size() < 5; ++tries)
            pause(10);
    });
    // Still on the About screen: the browser is not the game's business.
    EXPECT_NE(findId(ID_WEBSITE), nullptr);
    const std::vector<std::string> calls = lines(readFile(record));
    ASSERT_EQ(calls.size(), 5u);
    for (const std::string& call : calls)
        EXPECT_EQ(call, std::string("1|") + KAVENNA_WEBSITE);

    // Its page went nowhere near the deal trace; it had no input, none of
    // the game's files (such as the open archive) and no terminal of the
    // game's; its complaints still reach the game's standard error.
    EXPECT_EQ(out, "");
    char ownError[256] = {};
    ASSERT_GT(readlink("/proc/self/fd/2", ownError, sizeof ownError - 1), 0);
    const std::vector<std::string> descriptors = lines(readFile(dir.path() + "/descriptors"));
    EXPECT_GE(descriptors.size(), 3u);
    for (const std::string& line : descriptors) {
        SCOPED_TRACE(line);
        const int fd = std::atoi(line.c_str());
        const std::string target = line.substr(line.find(' ') + 1);
        if (fd <= 1)
            EXPECT_EQ(target, "/dev/null");
        else if (fd == 2)
            EXPECT_EQ(target, ownError);
        else
            EXPECT_EQ(target, opener) << "a descriptor of the game's was passed on";
    }
    for (const std::string& session : lines(readFile(dir.path() + "/sessions")))
        EXPECT_NE(std::atol(session.c_str()), static_cast<long>(getsid(0)));

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
