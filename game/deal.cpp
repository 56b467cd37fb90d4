#include "game/deal.h"

#include <cstdlib>
#include <utility>

void shuffleDeal(Match& match, unsigned seed) {
    // Deliberately shuffles the previous deal's arrangement forward with
    // the C library's generator, so a seed always names one exact deal.
    std::srand(seed);
    for (int k = 1; k < TILE_COUNT; ++k) {
        const int j = (std::rand() & 0x7FFF) % (k + 1);
        std::swap(match.tileValues[k], match.tileValues[j]);
    }
}

std::string dealTrace(const Match& match) {
    std::string trace;
    for (int tile = 0; tile < TILE_COUNT; ++tile)
        trace += std::to_string(tile) + "." + std::to_string(match.tileValues[tile]) + "  \n";
    return trace;
}
