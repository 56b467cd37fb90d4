// The X connection's errors, as the game lives with them.
#pragma once

// Xlib's default handler ends the process on any protocol error, even on
// a refused vsync request the game can live without. A lost connection
// to the X server still ends the game, with exit code 1 and one line on
// standard error.
void tolerateXErrors();
