// Mounting the data archive and loading the font and every picture the
// game shows into `gameState`. A missing or damaged archive is reported
// in a box and the loose files in the working directory serve instead.
#pragma once

void loadAssets();
