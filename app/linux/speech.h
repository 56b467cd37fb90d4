// Speaking through the desktop's speech service, speech-dispatcher, the
// one screen readers use, over its SSIP socket. Nothing here waits on the
// service while the game runs: the socket does not block, what it cannot
// take at once waits in `gameState.speech` for the next pass of the frame
// loop, and the service's answers are read as they come. Only leaving
// waits, briefly, for the service's goodbye. With speech off nothing is
// connected. A service lost meanwhile is connected to again by the next
// sentence after it is back.
#pragma once

#include <string>

// How a sentence meets those said before it, so that speech keeps pace
// with the player: nothing is said long after what it tells has passed.
enum SpeechPriority {
    // Where the focus is: cut off by the next such sentence, and waiting
    // while a result is said.
    SPEECH_FOCUS,
    // What just happened: cuts off whatever of the game's is still said
    // or waiting, unless it must be heard whole, and is cut off in turn
    // by the next result.
    SPEECH_RESULT,
    // A result that must be heard whole (the welcome, a box, the win):
    // nothing the game says later cuts it off; results wait for it.
    SPEECH_LASTING
};

// Connects to the service named by SPEECHD_ADDRESS ("unix_socket:PATH")
// or, without it, to the user's own one, which is started when it is not
// running and speech-dispatcher is installed. False, with speech off and
// one line on standard error (the first time only), when there is none.
// With speech on but the service lost, connects again: true when that
// worked, and speech stays on either way.
bool startSpeech();

// Cuts off what is being spoken, says `farewell` and leaves as the
// protocol asks: QUIT, and its answer read before the socket is closed,
// waiting for it a fraction of a second at most.
void stopSpeech(const std::string& farewell);

bool speechOn();
// Speech is on and a service holds the link, or is starting to.
bool speechConnected();

// Queues `text` (lines in UTF-8) to be spoken.
void speak(const std::string& text, SpeechPriority priority);

// Once a pass of the frame loop: hands the socket what waits and reads
// the service's answers.
void serviceSpeech();
