#include "game/rules.h"

#include <initializer_list>

namespace {

void turn(Move& move, int tile, TileSide side) {
    move.match.sides[tile] = side;
    int at = 0;
    while (move.changed[at] >= 0 && move.changed[at] != tile)
        ++at;
    move.changed[at] = tile;
}

// Two face-up tiles of equal value leave the board; the last pair wins,
// and the count of pairs stays one short of it.
Outcome checkPair(Move& move, int a, int b) {
    Match& match = move.match;
    if (match.tileValues[a] != match.tileValues[b])
        return Outcome::DIFFERENT_PICTURES;
    turn(move, a, TileSide::GONE);
    turn(move, b, TileSide::GONE);
    if (match.matchedPairs < PAIR_COUNT - 1) {
        ++match.matchedPairs;
        return Outcome::PAIR_FOUND;
    }
    return Outcome::WON;
}

} // namespace

Move onTileClicked(const Match& match, int id) {
    Move move;
    move.match = match;
    if (!isTile(id) || match.sides[id] == TileSide::GONE)
        return move;
    Match& next = move.match;
    ++next.clickCount;
    switch (next.revealedCount) {
    case 0:
        next.revealedCount = 1;
        turn(move, id, TileSide::FACE_UP);
        next.firstTile = id;
        move.outcome = Outcome::TURNED;
        break;
    case 1:
        move.outcome = Outcome::NOTHING;
        if (id == next.firstTile)
            break;
        next.revealedCount = 2;
        turn(move, id, TileSide::FACE_UP);
        next.secondTile = id;
        move.outcome = checkPair(move, next.firstTile, next.secondTile);
        break;
    default:
        // Two different pictures turn back first; a pair found has left.
        move.outcome = Outcome::TURNED;
        next.revealedCount = 1;
        for (int tile : {next.secondTile, next.firstTile})
            if (next.sides[tile] == TileSide::FACE_UP) {
                turn(move, tile, TileSide::FACE_DOWN);
                move.outcome = Outcome::TURNED_BACK_AND_TURNED;
            }
        next.firstTile = id;
        turn(move, id, TileSide::FACE_UP);
        break;
    }
    return move;
}
