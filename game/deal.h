// Dealing: the pair values shuffled with the C library's generator, and
// the deal written out as the trace has it, one "tile.value" line a tile.
#pragma once

#include "game/match.h"

#include <string>

// Shuffles the arrangement `match` holds forward, seeded with `seed`:
// the same seed makes the same swaps on whatever arrangement it finds.
void shuffleDeal(Match& match, unsigned seed);

std::string dealTrace(const Match& match);
