// Dealing: the shuffle keeps the pairs, a seed names one exact sequence
// of swaps, and the trace is the only output, byte for byte.
#include "app/game_state.h"
#include "game/board.h"
#include "game/deal.h"
#include "support/null_game.h"
#include "ui/control_ids.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <gtest/gtest.h>
#include <numeric>
#include <regex>

namespace {

using Arrangement = std::array<int, TILE_COUNT>;

Arrangement current() {
    Arrangement values;
    std::copy(gameState.tileValues, gameState.tileValues + TILE_COUNT, values.begin());
    return values;
}

void arrange(const Arrangement& values) {
    std::copy(values.begin(), values.end(), gameState.tileValues);
}

Arrangement dealQuietly(unsigned seed) {
    captureStdout([&] { shuffleDealWithSeed(seed); });
    return current();
}

std::string expectedTrace(const Arrangement& values) {
    std::string trace;
    for (int i = 0; i < TILE_COUNT; ++i)
        trace += std::to_string(i) + "." + std::to_string(values[i]) + "  \n";
    return trace;
}

TEST(Deal, TheFirstDealStartsFromTheOrderedPairs) {
    const GameState fresh;
    const int ordered[TILE_COUNT] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_TRUE(std::equal(ordered, ordered + TILE_COUNT, fresh.tileValues));
}

TEST(Deal, TraceIsExactlyOneLinePerTile) {
    gameState = GameState();
    const std::string trace = captureStdout([] { shuffleDealWithSeed(12345); });
    EXPECT_EQ(trace, expectedTrace(current()));
    EXPECT_TRUE(std::regex_match(trace, std::regex("(([0-9]|1[0-9])\\.([1-9]|10)  \\n){20}")));
}

TEST(Deal, EveryDealKeepsTwoTilesOfEachValue) {
    gameState = GameState();
    for (unsigned seed = 0; seed < 2000; ++seed) {
        const Arrangement values = dealQuietly(seed * 2654435761u);
        for (int v = 1; v <= 10; ++v)
            ASSERT_EQ(std::count(values.begin(), values.end(), v), 2) << "seed " << seed;
    }
}

TEST(Deal, ShufflesForwardWithFifteenBitDraws) {
    // An independent reading of the rule: for k = 1 .. 19 swap k with
    // (low 15 bits of the next draw) mod (k + 1).
    for (unsigned seed : {1u, 7u, 4242u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(seed);
        gameState = GameState();
        Arrangement expected = current();
        std::srand(seed);
        for (int k = 1; k < TILE_COUNT; ++k)
            std::swap(expected[k], expected[(std::rand() & 0x7FFF) % (k + 1)]);
        EXPECT_EQ(dealQuietly(seed), expected);
    }
}

TEST(Deal, TheSameSeedMakesTheSameSwapsOnWhateverItFinds) {
    // Label every place, deal, and read off where each label went.
    Arrangement labels;
    std::iota(labels.begin(), labels.end(), 100);
    arrange(labels);
    const Arrangement moved = dealQuietly(777);

    Arrangement other = {3, 3, 9, 1, 10, 2, 5, 8, 7, 4, 6, 2, 1, 9, 10, 8, 4, 5, 6, 7};
    arrange(other);
    const Arrangement dealt = dealQuietly(777);
    for (int i = 0; i < TILE_COUNT; ++i)
        EXPECT_EQ(dealt[i], other[moved[i] - 100]) << "place " << i;

    // And each deal shuffles the previous one, not the first order.
    const Arrangement again = dealQuietly(777);
    EXPECT_NE(again, dealt);
}

TEST(Deal, ANewGameTracesItsDealAndNothingElse) {
    NullGame game;
    game.skipIntro();
    const std::string trace = captureStdout([&] {
        game.clickId(ID_START_GAME);
        for (int i = 0; i < 4; ++i)
            game.click(gameState.tileButtons[i]);
        game.frame();
    });
    EXPECT_EQ(trace, expectedTrace(current()));
    const std::string second = captureStdout([&] { game.chooseMenu(0); });
    EXPECT_EQ(second, expectedTrace(current()));
}

} // namespace
