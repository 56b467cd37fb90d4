#include "game/match.h"

Match::Match() {
    for (int tile = 0; tile < TILE_COUNT; ++tile)
        tileValues[tile] = tile % PAIR_COUNT + 1;
}

Match nextMatch(const Match& last) {
    Match next = last;
    next.clickCount = 0;
    next.revealedCount = 0;
    next.matchedPairs = 0;
    for (TileSide& side : next.sides)
        side = TileSide::FACE_DOWN;
    return next;
}

int pairsFound(const Match& match) {
    int gone = 0;
    for (TileSide side : match.sides)
        gone += side == TileSide::GONE;
    return gone / 2;
}
