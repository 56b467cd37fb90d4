// Speaking through the desktop's speech service, speech-dispatcher, the
// one screen readers use, over its SSIP socket. Nothing here waits on the
// service while the game runs: the socket does not block, what it cannot
// take at once waits in the link (`speechLink`) for the next pass of the frame
// loop, and the service's answers are read as they come. Only leaving
// waits, briefly, for the service's goodbye. With speech off nothing is
// connected. A service lost meanwhile is connected to again by the next
// sentence after it is back.
#pragma once

#include <deque>
#include <string>
#include <vector>

// The link to the desktop's speech service, as the functions below keep it.
struct SpeechLink {
    bool on = false;
    // The connected socket, or -1: with speech on, a service lost is
    // connected to again by the next sentence.
    int socket = -1;
    // A service started by the game may take a while to listen.
    bool serviceStarting = false;
    unsigned startedAt = 0;
    // Commands not yet taken by the socket, from `sent` on.
    std::string outgoing;
    std::size_t sent = 0;
    // The service's answers, from the last line not read to its end.
    std::string incoming;
    // The priority last set on this connection; empty before any.
    std::string priority;
    // Where the service listens (a Unix socket's path).
    std::string address;
    // For each sentence sent whose number the service has not told yet,
    // in order: whether it must be heard whole.
    std::deque<bool> unnumbered;
    // The numbers of the sentences that must be heard whole and that the
    // service has not yet reported ended or cancelled; `lastingUntil` is
    // when they stop holding the others back in any case, should the
    // service never report.
    std::vector<std::string> lasting;
    unsigned lastingUntil = 0;
    // The lines of the service's event in progress so far: its first
    // names the sentence.
    int eventLines = 0;
    std::string eventSentence;
    // A missing service and a lost one are each reported once a run.
    bool failureReported = false;
    bool lossReported = false;
};

// The link as it stands, for those who check on it.
const SpeechLink& speechLink();

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
