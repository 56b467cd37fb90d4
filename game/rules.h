// What a click on a tile does: turn it face up, compare two face-up
// tiles, take a pair off the board and announce the win with the number
// of clicks.
#pragma once

void onTileClicked(int id);
void checkPair(int a, int b);
