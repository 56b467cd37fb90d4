/* Pins the deal for the screenshots: loaded with LD_PRELOAD by
 * tools/screenshots.py, it hands the C library's srand one fixed seed
 * whatever the game asks for, so every run deals the same games and the
 * pictures of the board come out the same. The game itself still seeds
 * from its clock; nothing of this is built into it. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdlib.h>

/* Any number serves: it only has to be the same every time. */
#define FIXED_SEED 20261208u

void srand(unsigned int seed) {
    static void (*real_srand)(unsigned int);
    (void)seed;
    if (!real_srand)
        real_srand = (void (*)(unsigned int))dlsym(RTLD_NEXT, "srand");
    real_srand(FIXED_SEED);
}
