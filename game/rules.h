// What a click on a tile does: it counts, turns the tile face up, and
// with two face up compares them: a pair leaves the board, two different
// pictures stay until the next click turns them back, and the last pair
// wins. The rules take a match and return the next one with what
// happened, which the screens show and speech says.
#pragma once

#include "game/match.h"

enum class Outcome {
    // Counted, nothing turned: the face-up tile again.
    NOTHING,
    TURNED,
    // The two face-up tiles turned back, then the clicked one up.
    TURNED_BACK_AND_TURNED,
    DIFFERENT_PICTURES,
    PAIR_FOUND,
    WON,
    // A click that is no tile of the board, or on one that has gone:
    // not even counted.
    NO_TILE
};

struct Move {
    Outcome outcome = Outcome::NO_TILE;
    Match match;
    // The tiles whose side changed, each once, in the order they first
    // turned; -1 after the last.
    int changed[3] = {-1, -1, -1};
};

Move onTileClicked(const Match& match, int id);
