// Mounting the data archive and loading the font and every picture the
// game shows into `gameState`. Nothing reaches the engine unchecked: the
// archive must be whole and sane, the pictures are decoded by the game
// (app/picture.h) and the font description is checked first
// (app/font_check.h). A refused file counts as a missing one: a loose
// file is left out, and an archive holding one is reported like a
// missing or damaged archive, in a box, and the loose files serve.
#pragma once

#include "app/files/font_check.h"

// At scale 1 the game plays with whatever loaded. At scale 2 every picture
// and the font must come from the set drawn at twice the pixels; when one
// of them is missing or refused, nothing is shown and the result is false:
// the game then starts again at scale 1 rather than mix the sets.
bool loadAssets();

// Every character the game's own texts and the engine's box buttons use.
extern const wchar_t* const GAME_TEXT_CHARACTERS;

// What the game's font must offer at `scale`: those characters, and a line
// height the layout holds at that scale.
FontNeeds gameFontNeeds(int scale);
