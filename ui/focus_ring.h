// The ring that shows a keyboard player which button Space or Enter
// would press. The frame loop draws it over the GUI; it shows only while
// the keyboard is in use, so the mouse sees the screens unchanged.
#pragma once

void drawFocusRing();
