// Time as Linux keeps it: a millisecond clock and a pause.
#pragma once

// Milliseconds from an arbitrary start, wrapping at 32 bits.
unsigned millisecondTicks();

void sleepMilliseconds(unsigned ms);
