// Speaking through the desktop's speech service, speech-dispatcher, the
// one screen readers use, over its SSIP socket. Nothing here ever waits:
// the socket does not block, what it cannot take at once waits in
// `gameState.speech` for the next pass of the frame loop, and the
// service's answers are read and dropped. With speech off nothing is
// connected. A service lost meanwhile is connected to again once, at the
// next sentence; if that fails, speech stays silent.
#pragma once

#include <string>

// A new focus sentence cuts off the focus sentence still being spoken; a
// result waits for those before it and cuts off focus sentences.
enum SpeechPriority { SPEECH_FOCUS, SPEECH_RESULT };

// Connects to the service named by SPEECHD_ADDRESS ("unix_socket:PATH")
// or, without it, to the user's own one, which is started when it is not
// running and speech-dispatcher is installed. False, with speech off and
// one line on standard error (the first time only), when there is none.
bool startSpeech();

// Cuts off what is being spoken, says `farewell` and disconnects.
void stopSpeech(const std::string& farewell);

bool speechOn();

// Queues `text` (lines in UTF-8) to be spoken.
void speak(const std::string& text, SpeechPriority priority);

// Once a pass of the frame loop: hands the socket what waits and drops
// the service's answers.
void serviceSpeech();
