// A new game's deal as the game makes it (the shuffle itself is tried in
// tests/rules_test.cpp): the clock seeds each game, and the trace is the
// only output, byte for byte, whole deals only, wherever standard output
// leads.
#include "game/deal.h"
#include "platform/clock.h"
#include "support/null_game.h"
#include "ui/control_ids.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <numeric>
#include <poll.h>
#include <pty.h>
#include <regex>
#include <sstream>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Arrangement = std::array<int, TILE_COUNT>;

Arrangement current() {
    Arrangement values;
    std::copy(board.match.tileValues, board.match.tileValues + TILE_COUNT, values.begin());
    return values;
}

void arrange(const Arrangement& values) {
    std::copy(values.begin(), values.end(), board.match.tileValues);
}

// The arrangement in play shuffled with `seed`, as a new game would.
Arrangement dealQuietly(unsigned seed) {
    shuffleDeal(board.match, seed);
    return current();
}

std::string expectedTrace(const Arrangement& values) {
    std::string trace;
    for (int i = 0; i < TILE_COUNT; ++i)
        trace += std::to_string(i) + "." + std::to_string(values[i]) + "  \n";
    return trace;
}

// Runs `deal` and checks that what it dealt is the previous arrangement
// shuffled with a seed the millisecond clock showed meanwhile.
template <typename Deal> std::string dealFromTheClock(Deal deal) {
    const Arrangement before = current();
    const unsigned from = millisecondTicks();
    const std::string trace = captureStdout(deal);
    const unsigned elapsed = millisecondTicks() - from;
    const Arrangement dealt = current();
    bool explained = false;
    for (unsigned tick = 0; tick <= elapsed && !explained; ++tick) {
        arrange(before);
        explained = dealQuietly(from + tick) == dealt;
    }
    arrange(dealt);
    EXPECT_TRUE(explained) << "no seed between " << from << " and " << from + elapsed;
    return trace;
}

TEST(Deal, ANewGameTracesItsDealAndNothingElse) {
    NullGame game;
    game.skipIntro();
    const std::string trace = dealFromTheClock([&] {
        game.clickId(ID_START_GAME);
        for (int i = 0; i < 4; ++i)
            game.click(board.tileButtons[i]);
        game.frame();
    });
    EXPECT_EQ(trace, expectedTrace(current()));
    // The clock counts milliseconds, so a deal a moment later differs.
    const unsigned before = millisecondTicks();
    sleepMilliseconds(30);
    EXPECT_GE(millisecondTicks() - before, 30u);
    const std::string second = dealFromTheClock([&] { game.chooseMenu(0); });
    EXPECT_EQ(second, expectedTrace(current()));
}

// The number of deals in `text`, which must hold whole deals only.
int wholeDeals(const std::string& text) {
    std::istringstream in(text);
    int lines = 0;
    for (std::string line; std::getline(in, line); ++lines)
        EXPECT_TRUE(std::regex_match(
            line, std::regex(std::to_string(lines % TILE_COUNT) + "\\.([1-9]|10)  ")))
            << "line " << lines << ": " << line;
    EXPECT_EQ(lines % TILE_COUNT, 0) << text;
    EXPECT_TRUE(text.empty() || text.back() == '\n');
    return lines / TILE_COUNT;
}

// Everything that arrives at `reader` until it has been quiet a while.
std::string drain(int reader) {
    std::string text;
    pollfd waiting{reader, POLLIN, 0};
    char chunk[4096];
    while (poll(&waiting, 1, 300) == 1) {
        const ssize_t got = read(reader, chunk, sizeof chunk);
        if (got <= 0)
            break;
        text.append(chunk, static_cast<std::size_t>(got));
    }
    return text;
}

// Where a player's standard output may lead, as `ends` (the reader's,
// then the game's); how its reader fails the game after the first deal
// (leaves, stops reading, holds a terminal's output) and recovers; and
// how many deals it then takes: all that fit, or just some (-1).
struct Destination {
    const char* name;
    void (*open)(int ends[2]);
    void (*fail)(int ends[2]);
    void (*recover)(int ends[2]);
    int traced;
};

// Every deal holds two tiles of value 10, so every trace is this long.
const int TRACE_BYTES = 132;
const int PIPE_PAGE = 4096;

const Destination destinations[] = {
    {"a pipe whose reader leaves", [](int ends[2]) { ASSERT_EQ(pipe(ends), 0); },
     [](int ends[2]) {
         char firstLines[16];
         ASSERT_EQ(read(ends[0], firstLines, sizeof firstLines), 16);
         close(ends[0]);
     },
     nullptr, 0},
    {"a pipe never read",
     [](int ends[2]) {
         ASSERT_EQ(pipe(ends), 0);
         ASSERT_EQ(fcntl(ends[1], F_SETPIPE_SZ, PIPE_PAGE), PIPE_PAGE);
     },
     [](int[2]) {}, [](int[2]) {}, PIPE_PAGE / TRACE_BYTES},
    {"a socket never read",
     [](int ends[2]) {
         ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
         const int small = 4096;
         setsockopt(ends[1], SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
     },
     [](int[2]) {}, [](int[2]) {}, -1},
    {"a terminal whose output is stopped",
     [](int ends[2]) {
         ASSERT_EQ(openpty(&ends[0], &ends[1], nullptr, nullptr, nullptr), 0);
         termios raw{};
         tcgetattr(ends[1], &raw);
         cfmakeraw(&raw);
         tcsetattr(ends[1], TCSANOW, &raw);
     },
     [](int ends[2]) { tcflow(ends[1], TCOOFF); }, [](int ends[2]) { tcflow(ends[1], TCOON); }, 1},
};

TEST(Deal, AReaderThatLeavesOrStallsCostsNothing) {
    NullGame game;
    captureStdout([&] { game.startGame(); });
    const int saved = dup(STDOUT_FILENO);
    // A deal that waits for its reader would hang here for ever.
    alarm(60);
    for (const Destination& destination : destinations) {
        SCOPED_TRACE(destination.name);
        int ends[2] = {-1, -1};
        destination.open(ends);
        dup2(ends[1], STDOUT_FILENO);
        newGame();
        destination.fail(ends);
        const int DEALS = 60;
        for (int deal = 0; deal < DEALS; ++deal)
            newGame();
        dup2(saved, STDOUT_FILENO);
        // The description the game shares with the shell is left blocking.
        EXPECT_EQ(fcntl(ends[1], F_GETFL) & O_NONBLOCK, 0);
        EXPECT_TRUE(game.frame());
        if (destination.recover) {
            // Those traced are whole, and left out only for want of room.
            const int traced = wholeDeals(drain(ends[0]));
            if (destination.traced >= 0) {
                EXPECT_EQ(traced, destination.traced);
            } else {
                EXPECT_GT(traced, 1);
                EXPECT_LT(traced, DEALS);
            }
            // Once there is room again, the next deal is traced.
            destination.recover(ends);
            dup2(ends[1], STDOUT_FILENO);
            newGame();
            dup2(saved, STDOUT_FILENO);
            EXPECT_EQ(drain(ends[0]), expectedTrace(current()));
            close(ends[0]);
        }
        close(ends[1]);
    }
    alarm(0);
    close(saved);
}

} // namespace
