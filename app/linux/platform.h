// The few things the game needs from Linux itself: a millisecond clock,
// starting programs such as the desktop's browser, keeping X protocol errors
// from ending the program, and a word to the C library's allocator about
// large buffers. Waiting on the X connection is in app/linux/x_window.h.
#pragma once

#include <cstddef>

// Milliseconds from an arbitrary start, wrapping at 32 bits.
unsigned millisecondTicks();

// Starts `arguments[0]`, found on PATH, with the null-ended `arguments`,
// without a shell and without waiting for it, in a session of its own,
// with standard input and output on /dev/null and no other descriptor of
// the game's but standard error. False when it could not be started.
bool startProgram(char* const arguments[]);

// Starts `xdg-open address` that way. A browser that cannot be started is
// not reported.
void openInBrowser(const char* address);

// Collects the programs started that have finished, so none stays a zombie.
void reapFinishedChildren();

void sleepMilliseconds(unsigned ms);

// Xlib's default handler ends the process on any protocol error, even on
// a refused vsync request the game can live without. A lost connection
// to the X server still ends the game, with exit code 1 and one line on
// standard error.
void tolerateXErrors();

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
