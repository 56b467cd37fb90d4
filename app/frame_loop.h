// One pass of the frame loop: deliver input, paint the background the
// screen wants, end the intro when its time is up, draw the GUI and
// present. False once the device has stopped.
#pragma once

bool runFrame();
