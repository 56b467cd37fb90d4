// A word to the C library's allocator about the large buffers pictures
// take, and pages handed back to the system.
#pragma once

#include <cstddef>

// Large buffers come and go: each picture is decoded into one that lives
// only until its texture exists, and the renderer takes and frees some
// every frame. Fresh memory costs a page fault per page on first touch,
// most of the time a full-window picture takes to load; kept in the heap
// instead of handed back at once, a freed buffer serves the next one:
// the splash reuses the menu background's, the first frame the splash's.
void keepLargeFreedBuffers();

// Hands the heap's free pages back to the system: once start-up is over,
// the buffers kept for it would only add to the game's resident memory.
void returnFreedMemory();

// Hands back to the system the memory pages that lie wholly within the
// `bytes` at `buffer`, which stays allocated: those pages read as zeros
// from then on. For a buffer nothing reads again but that must not be
// freed, being someone else's.
void returnPagesOf(void* buffer, size_t bytes);
