// Descriptors 0, 1 and 2 as launchers and shells really leave them:
// perhaps closed, perhaps a pipe whose reader has left or stopped
// reading. The deal trace is a courtesy to a reader, never a reason for
// the game to stop, wait or die.
#pragma once

#include <cstddef>

// Opens /dev/null on any of descriptors 0, 1 and 2 that is closed, so no
// file or connection of the game can take its place and receive the
// trace. Called first thing in `main`, before anything is opened.
void openClosedStandardDescriptors();

// Writes `length` bytes, at most PIPE_BUF, to standard output whole, or
// drops them all when that cannot be done at once: a full pipe, a
// stopped terminal, a reader that has left, a closed descriptor. Never
// waits, never raises SIGPIPE, and leaves the file status flags of
// descriptor 1, which the shell shares, as they are.
void writeWholeOrNothing(const char* text, std::size_t length);
