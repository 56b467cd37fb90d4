// Other programs the game starts, such as the desktop's browser, and
// the end of them.
#pragma once

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
