#include "game/deal.h"

#include "app/game_state.h"
#include "app/platform.h"
#include "ui/control_ids.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

void shuffleDeal() {
    shuffleDealWithSeed(millisecondTicks());
}

void shuffleDealWithSeed(unsigned seed) {
    // Deliberately shuffles the previous deal's arrangement forward with
    // the C library's generator, so a seed always names one exact deal.
    std::srand(seed);
    for (int k = 1; k < TILE_COUNT; ++k) {
        int j = (std::rand() & 0x7FFF) % (k + 1);
        std::swap(gameState.tileValues[k], gameState.tileValues[j]);
    }
    for (int i = 0; i < TILE_COUNT; ++i)
        std::printf("%d.%d  \n", i, gameState.tileValues[i]);
    // Standard output is block-buffered when redirected; a reader of the
    // trace should see each deal as it happens.
    std::fflush(stdout);
}
