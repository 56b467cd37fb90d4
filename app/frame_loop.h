// One pass of the frame loop: sleep until something may change on screen,
// deliver input, and, when something did or is due to, paint the
// background the screen wants, end the intro when its time is up, draw
// the GUI and present. False once the device has stopped.
#pragma once

bool runFrame();
