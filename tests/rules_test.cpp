// The rules alone, without the engine: every outcome of a click from
// every state of an attempt, a whole game from a fixed deal, and the
// deal itself: pairs kept, a seed naming one exact sequence of swaps,
// and the trace's lines.
#include "game/deal.h"
#include "game/rules.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <numeric>
#include <set>
#include <utility>
#include <vector>

namespace {

// The other tile holding `tile`'s value.
int partnerOf(const Match& match, int tile) {
    for (int other = 0; other < TILE_COUNT; ++other)
        if (other != tile && match.tileValues[other] == match.tileValues[tile])
            return other;
    return -1;
}

int someOtherValue(const Match& match, int tile) {
    for (int other = 0; other < TILE_COUNT; ++other)
        if (match.tileValues[other] != match.tileValues[tile] &&
            match.sides[other] != TileSide::GONE)
            return other;
    return -1;
}

std::vector<int> changedTiles(const Move& move) {
    std::vector<int> tiles;
    for (int tile : move.changed)
        if (tile >= 0)
            tiles.push_back(tile);
    return tiles;
}

Match dealt(unsigned seed) {
    Match match;
    shuffleDeal(match, seed);
    return match;
}

// Plays `tiles` in turn from `match`, expecting every click to count.
Match play(Match match, const std::vector<int>& tiles) {
    for (int tile : tiles) {
        const int before = match.clickCount;
        match = onTileClicked(match, tile).match;
        EXPECT_EQ(match.clickCount, before + 1) << "tile " << tile;
    }
    return match;
}

TEST(Rules, EveryOutcomeOfAClickFromEveryState) {
    const Match fresh = dealt(2024);
    const int a = 3;
    const int partner = partnerOf(fresh, a);
    const int b = someOtherValue(fresh, a);
    int c = someOtherValue(fresh, b);
    if (c == a || c == partner)
        c = partnerOf(fresh, b);
    // The last pair: every other pair already found.
    Match nine = fresh;
    for (int tile = 0; tile < TILE_COUNT; ++tile)
        if (tile != a && tile != partner)
            nine.sides[tile] = TileSide::GONE;
    nine.matchedPairs = PAIR_COUNT - 1;

    struct Case {
        const char* what;
        Match from;
        int tile;
        Outcome outcome;
        int revealed;
        std::vector<int> changed;
        std::vector<std::pair<int, TileSide>> sides;
    };
    const Match one = play(fresh, {a});
    const Match two = play(fresh, {a, b});
    const Match pair = play(fresh, {a, partner});
    using S = TileSide;
    // clang-format off
    const Case CASES[] = {
        {"a first tile", fresh, a, Outcome::TURNED, 1, {a}, {{a, S::FACE_UP}}},
        {"the face-up tile again", one, a, Outcome::NOTHING, 1, {}, {{a, S::FACE_UP}}},
        {"its partner", one, partner, Outcome::PAIR_FOUND, 2, {partner, a},
         {{a, S::GONE}, {partner, S::GONE}}},
        {"another picture", one, b, Outcome::DIFFERENT_PICTURES, 2, {b},
         {{a, S::FACE_UP}, {b, S::FACE_UP}}},
        {"a third tile", two, c, Outcome::TURNED_BACK_AND_TURNED, 1, {b, a, c},
         {{a, S::FACE_DOWN}, {b, S::FACE_DOWN}, {c, S::FACE_UP}}},
        {"one of two different again", two, a, Outcome::TURNED_BACK_AND_TURNED, 1, {b, a},
         {{a, S::FACE_UP}, {b, S::FACE_DOWN}}},
        {"after a pair", pair, b, Outcome::TURNED, 1, {b},
         {{a, S::GONE}, {partner, S::GONE}, {b, S::FACE_UP}}},
        {"the last pair", play(nine, {a}), partner, Outcome::WON, 2, {partner, a},
         {{a, S::GONE}, {partner, S::GONE}}},
    };
    // clang-format on
    for (const Case& test : CASES) {
        SCOPED_TRACE(test.what);
        const Move move = onTileClicked(test.from, test.tile);
        EXPECT_EQ(move.outcome, test.outcome);
        EXPECT_EQ(move.match.clickCount, test.from.clickCount + 1);
        EXPECT_EQ(move.match.revealedCount, test.revealed);
        EXPECT_EQ(changedTiles(move), test.changed);
        for (const auto& [tile, side] : test.sides)
            EXPECT_EQ(move.match.sides[tile], side) << "tile " << tile;
        int up = 0;
        for (TileSide side : move.match.sides)
            up += side == TileSide::FACE_UP;
        EXPECT_LE(up, 2) << "two tiles at most lie face up";
        EXPECT_TRUE(std::equal(move.match.tileValues, move.match.tileValues + TILE_COUNT,
                               test.from.tileValues))
            << "a click moves no picture";
    }
    // The pair's count: one more for every pair but the last.
    EXPECT_EQ(onTileClicked(one, partner).match.matchedPairs, 1);
    EXPECT_EQ(onTileClicked(play(nine, {a}), partner).match.matchedPairs, PAIR_COUNT - 1);
}

TEST(Rules, ClicksOnNoTileOrAGoneOneChangeNothing) {
    const Match pair = play(dealt(5), {0, partnerOf(dealt(5), 0)});
    for (int id : {-1, TILE_COUNT, TILE_COUNT + 6, 0}) {
        SCOPED_TRACE(id);
        const Move move = onTileClicked(pair, id);
        EXPECT_EQ(move.outcome, Outcome::NO_TILE);
        EXPECT_EQ(move.match.clickCount, pair.clickCount);
        EXPECT_TRUE(changedTiles(move).empty());
    }
}

// A whole game from a fixed deal, with a repeated click, a miss and a
// third click along the way: 23 clicks, one win, every tile gone.
TEST(Rules, AWholeGameFromAFixedDeal) {
    Match match = dealt(99);
    const int first = 0;
    const int miss = someOtherValue(match, first);
    std::vector<Outcome> outcomes;
    auto click = [&](int tile) {
        const Move move = onTileClicked(match, tile);
        outcomes.push_back(move.outcome);
        match = move.match;
    };
    click(first);
    click(first);
    click(miss);
    click(miss);
    click(partnerOf(match, miss));
    std::set<int> done = {miss, partnerOf(match, miss)};
    for (int tile = 0; tile < TILE_COUNT; ++tile) {
        if (done.count(tile))
            continue;
        done.insert({tile, partnerOf(match, tile)});
        click(tile);
        click(partnerOf(match, tile));
    }
    EXPECT_EQ(match.clickCount, 23);
    EXPECT_EQ(std::count(outcomes.begin(), outcomes.end(), Outcome::WON), 1);
    EXPECT_EQ(outcomes.back(), Outcome::WON);
    EXPECT_EQ(std::count(outcomes.begin(), outcomes.end(), Outcome::PAIR_FOUND), PAIR_COUNT - 1);
    EXPECT_EQ(outcomes[1], Outcome::NOTHING);
    EXPECT_EQ(outcomes[2], Outcome::DIFFERENT_PICTURES);
    EXPECT_EQ(outcomes[3], Outcome::TURNED_BACK_AND_TURNED);
    EXPECT_EQ(match.matchedPairs, PAIR_COUNT - 1);
    EXPECT_EQ(pairsFound(match), PAIR_COUNT);
    for (TileSide side : match.sides)
        EXPECT_EQ(side, TileSide::GONE);
    // A new match keeps the arrangement, to be dealt again.
    const Match next = nextMatch(match);
    EXPECT_EQ(next.clickCount, 0);
    EXPECT_EQ(pairsFound(next), 0);
    EXPECT_TRUE(std::equal(next.tileValues, next.tileValues + TILE_COUNT, match.tileValues));
}

// ---------------------------------------------------------------------
// The deal.

TEST(Deal, TheFirstMatchHoldsTheOrderedPairs) {
    const Match first;
    for (int tile = 0; tile < TILE_COUNT; ++tile) {
        EXPECT_EQ(first.tileValues[tile], tile % PAIR_COUNT + 1);
        EXPECT_EQ(first.sides[tile], TileSide::FACE_DOWN);
    }
}

TEST(Deal, EveryDealKeepsTwoTilesOfEachValue) {
    Match match;
    for (unsigned seed = 0; seed < 2000; ++seed) {
        shuffleDeal(match, seed * 2654435761u);
        for (int value = 1; value <= PAIR_COUNT; ++value)
            ASSERT_EQ(std::count(match.tileValues, match.tileValues + TILE_COUNT, value), 2)
                << "seed " << seed;
    }
}

TEST(Deal, ShufflesForwardWithFifteenBitDraws) {
    // An independent reading of the rule: for k = 1 .. 19 swap k with
    // (low 15 bits of the next draw) mod (k + 1).
    for (unsigned seed : {1u, 7u, 4242u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(seed);
        Match expected;
        std::srand(seed);
        for (int k = 1; k < TILE_COUNT; ++k)
            std::swap(expected.tileValues[k],
                      expected.tileValues[(std::rand() & 0x7FFF) % (k + 1)]);
        const Match match = dealt(seed);
        EXPECT_TRUE(
            std::equal(match.tileValues, match.tileValues + TILE_COUNT, expected.tileValues));
    }
}

TEST(Deal, TheSameSeedMakesTheSameSwapsOnWhateverItFinds) {
    // Label every place, deal, and read off where each label went.
    Match labels;
    std::iota(labels.tileValues, labels.tileValues + TILE_COUNT, 100);
    shuffleDeal(labels, 777);

    Match other;
    for (int i = 0; i < TILE_COUNT; ++i)
        other.tileValues[i] = (i * 7 + 3) % PAIR_COUNT + 1;
    Match dealtOther = other;
    shuffleDeal(dealtOther, 777);
    for (int i = 0; i < TILE_COUNT; ++i)
        EXPECT_EQ(dealtOther.tileValues[i], other.tileValues[labels.tileValues[i] - 100])
            << "place " << i;

    // And each deal shuffles the previous one, not the first order.
    Match again = dealtOther;
    shuffleDeal(again, 777);
    EXPECT_FALSE(
        std::equal(again.tileValues, again.tileValues + TILE_COUNT, dealtOther.tileValues));
}

TEST(Deal, TheTraceIsOneLinePerTile) {
    const Match match = dealt(12345);
    const std::string trace = dealTrace(match);
    std::string expected;
    for (int tile = 0; tile < TILE_COUNT; ++tile)
        expected += std::to_string(tile) + "." + std::to_string(match.tileValues[tile]) + "  \n";
    EXPECT_EQ(trace, expected);
}

} // namespace
