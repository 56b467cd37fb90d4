// A new game: counters reset, values shuffled, and the board screen
// built with its menu bar and 20 face-down tiles.
#pragma once

void newGame();
void buildBoard();
