// A match as plain data: where each picture lies, which side of each
// tile shows, the clicks and the attempt in progress. The rules
// (game/rules.h) take a match and return the next one.
#pragma once

#include "game/board_shape.h"

enum class TileSide { FACE_DOWN, FACE_UP, GONE };

struct Match {
    // The pair value of each tile, 1 to PAIR_COUNT: two tiles pair when
    // their values are equal. Each deal shuffles the last one's order.
    int tileValues[TILE_COUNT];
    TileSide sides[TILE_COUNT] = {};
    // Every click on a tile of this match.
    int clickCount = 0;
    // How many tiles of the attempt in progress lie face up (or, after a
    // pair was found, left the board): 0, 1 or 2.
    int revealedCount = 0;
    // Pairs found before the last one: the win leaves it one short.
    int matchedPairs = 0;
    int firstTile = 0;
    int secondTile = 0;

    // The values in order, 1 to PAIR_COUNT twice, every tile face down.
    Match();
};

// The next match on the same arrangement, to be dealt: the counts back
// to nought and every tile face down again.
Match nextMatch(const Match& last);

int pairsFound(const Match& match);
