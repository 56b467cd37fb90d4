// Shuffling the pair values for a new game and tracing the deal on
// standard output, one "tile.value" line per tile. A deal that standard
// output cannot take at once, whole, is left out of the trace.
#pragma once

// Seeds from the millisecond clock, so two deals in the same millisecond
// make the same swaps.
void shuffleDeal();

// The same deal from a seed of the caller's choosing.
void shuffleDealWithSeed(unsigned seed);
