#include "game/deal.h"

#include "app/game_state.h"
#include "app/linux/platform.h"
#include "app/linux/standard_streams.h"
#include "ui/control_ids.h"

#include <cstdlib>
#include <string>
#include <utility>

namespace {

// One write for the whole deal, so a reader sees it entire or not at all.
void traceDeal() {
    std::string trace;
    for (int i = 0; i < TILE_COUNT; ++i)
        trace += std::to_string(i) + "." + std::to_string(gameState.tileValues[i]) + "  \n";
    writeWholeOrNothing(trace.data(), trace.size());
}

} // namespace

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
    traceDeal();
}
