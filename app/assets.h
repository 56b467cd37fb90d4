// Mounting the data archive and loading the font and every picture the
// game shows into `gameState`. Nothing reaches the engine unchecked: the
// archive must be whole and sane, the pictures are decoded by the game
// (app/picture.h) and the font description is checked first
// (app/font_check.h). A refused file counts as a missing one: a loose
// file is left out, and an archive holding one is reported like a
// missing or damaged archive, in a box, and the loose files serve.
#pragma once

void loadAssets();
