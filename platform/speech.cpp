#include "platform/speech.h"

#include "platform/clock.h"
#include "platform/programs.h"
#include "platform/translation.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A service that stops reading would otherwise let the sentences pile up
// without end; beyond this many unsent bytes new ones are dropped.
const std::size_t MAX_UNSENT_BYTES = 64 * 1024;
// How long a service the game started may take to listen.
const unsigned SERVICE_START_MS = 10000;
// Answers are a line or two per command; a pass reads at most this many
// chunks of them, so a service that floods the socket cannot hold it.
const int MAX_ANSWER_READS = 16;
// No answer line is longer; a longer one is not an answer and is dropped.
const std::size_t MAX_ANSWER_LINE = 4096;
// How long leaving waits for the answer to QUIT: the service answers at
// once, and one that does not is not waited for any longer.
const int QUIT_ANSWER_MS = 200;
// Should the service never report a sentence that must be heard whole
// as ended, it stops holding the others back after this long: time to
// say it at the slowest voice's pace, a few characters a second.
const unsigned LASTING_MS_AT_LEAST = 2000;
const unsigned LASTING_MS_PER_CHARACTER = 200;

// The service's answers and events begin with a number of three digits:
// "225" hands a queued sentence its number, and with notifications on
// "702" and "703" report a sentence ended or cancelled, the sentence's
// number on the event's first line.
const char* const ANSWER_QUEUED = "225";
const char* const EVENT_ENDED = "702";
const char* const EVENT_CANCELLED = "703";
const char* const ANSWER_GOODBYE = "231";

SpeechLink theLink;

SpeechLink& link() {
    return theLink;
}

void report(const char* what) {
    if (link().failureReported)
        return;
    link().failureReported = true;
    std::fputs(formatText(_("kavenna: %s; playing on without speech\n"), {what}).c_str(), stderr);
}

// The socket the service listens on, as libspeechd finds it; false for
// an address of another kind.
bool serviceAddress(std::string& path, bool& isDefault) {
    const char* given = std::getenv("SPEECHD_ADDRESS");
    isDefault = !given || !*given;
    if (!isDefault) {
        const std::string address = given;
        const std::string kind = "unix_socket";
        if (address.compare(0, kind.size(), kind) != 0)
            return false;
        if (address.size() > kind.size() + 1 && address[kind.size()] == ':') {
            path = address.substr(kind.size() + 1);
            return true;
        }
        if (address.size() != kind.size())
            return false;
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const char* home = std::getenv("HOME");
    if (runtime && *runtime)
        path = std::string(runtime) + "/speech-dispatcher/speechd.sock";
    else if (home && *home)
        path = std::string(home) + "/.cache/speech-dispatcher/speechd.sock";
    else
        return false;
    return true;
}

// A connected socket that never blocks, or -1. A Unix socket connects at
// once or not at all: with the service's queue of new connections full
// it refuses, like a service that is not there.
int connectTo(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return -1;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return -1;
    if (connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        close(socket);
        return -1;
    }
    return socket;
}

// What a connection knows, from its first command on: a new connection
// starts with none of the old one's settings, sentences or answers. The
// service is asked to tell when each sentence ends or is cancelled.
void introduce() {
    SpeechLink& l = link();
    l.outgoing = "SET SELF CLIENT_NAME user:kavenna:main\r\n"
                 "SET SELF NOTIFICATION END on\r\n"
                 "SET SELF NOTIFICATION CANCEL on\r\n";
    // The voice for the player's language, "pt-BR" for pt_BR; English is
    // left to the service's own choice, as it always was.
    std::string language = translationLanguage();
    if (language != "en") {
        language.erase(std::min(language.find('@'), language.size()));
        std::replace(language.begin(), language.end(), '_', '-');
        l.outgoing += "SET SELF LANGUAGE " + language + "\r\n";
    }
    l.sent = 0;
    l.incoming.clear();
    l.priority.clear();
    l.unnumbered.clear();
    l.lasting.clear();
    l.eventLines = 0;
}

bool connectService() {
    link().socket = connectTo(link().address);
    if (link().socket < 0)
        return false;
    introduce();
    return true;
}

// What was unsent belonged to the lost connection. The next sentence
// connects again.
void lose() {
    close(link().socket);
    link().socket = -1;
    link().outgoing.clear();
    link().sent = 0;
    if (!link().lossReported) {
        link().lossReported = true;
        std::fputs(_("kavenna: the speech service went away; speech comes back when it does\n"),
                   stderr);
    }
}

void send() {
    SpeechLink& l = link();
    while (l.sent < l.outgoing.size()) {
        // MSG_NOSIGNAL: a service gone would otherwise end the game by SIGPIPE.
        const ssize_t n = ::send(l.socket, l.outgoing.data() + l.sent, l.outgoing.size() - l.sent,
                                 MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            l.sent += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break;
        } else {
            lose();
            return;
        }
    }
    if (l.sent == l.outgoing.size()) {
        l.outgoing.clear();
        l.sent = 0;
    }
}

bool startsWith(const std::string& line, const char* code, char separator) {
    return line.size() > 3 && line.compare(0, 3, code) == 0 && line[3] == separator;
}

// One line of the service's: the numbers it gives the sentences, and the
// end of those that must be heard whole.
void readAnswerLine(const std::string& line) {
    SpeechLink& l = link();
    if (line.empty() || line[0] != '7') {
        if (startsWith(line, ANSWER_QUEUED, '-') && !l.unnumbered.empty()) {
            if (l.unnumbered.front())
                l.lasting.push_back(line.substr(4));
            l.unnumbered.pop_front();
        }
        return;
    }
    // An event: "7xx-sentence", "7xx-client", "7xx WHAT".
    if (line.size() > 3 && line[3] == '-') {
        if (l.eventLines++ == 0)
            l.eventSentence = line.substr(4);
        return;
    }
    if (startsWith(line, EVENT_ENDED, ' ') || startsWith(line, EVENT_CANCELLED, ' '))
        l.lasting.erase(std::remove(l.lasting.begin(), l.lasting.end(), l.eventSentence),
                        l.lasting.end());
    l.eventLines = 0;
}

enum class Reading { DRY, GONE, STOPPED };

// Reads what the service sent, a pass's share at most, each whole line
// through `readAnswerLine`: DRY once nothing more waits, GONE once the
// service has gone, STOPPED at the first line `stopAt` (if any) accepts.
Reading readAnswers(bool (*stopAt)(const std::string&)) {
    SpeechLink& l = link();
    char answers[512];
    for (int reads = 0; reads < MAX_ANSWER_READS; ++reads) {
        const ssize_t n = recv(l.socket, answers, sizeof answers, MSG_DONTWAIT);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return Reading::DRY;
        if (n <= 0)
            return Reading::GONE;
        l.incoming.append(answers, static_cast<std::size_t>(n));
        for (std::size_t end; (end = l.incoming.find("\r\n")) != std::string::npos;) {
            const std::string line = l.incoming.substr(0, end);
            l.incoming.erase(0, end + 2);
            readAnswerLine(line);
            if (stopAt && stopAt(line))
                return Reading::STOPPED;
        }
        if (l.incoming.size() > MAX_ANSWER_LINE)
            l.incoming.clear();
    }
    return Reading::DRY;
}

bool isGoodbye(const std::string& line) {
    return startsWith(line, ANSWER_GOODBYE, ' ');
}

// A sentence that must be heard whole is still being said or waits.
bool lastingUnderWay() {
    const SpeechLink& l = link();
    const bool numbered = !l.lasting.empty();
    const bool waiting =
        std::find(l.unnumbered.begin(), l.unnumbered.end(), true) != l.unnumbered.end();
    return (numbered || waiting) && static_cast<int>(l.lastingUntil - millisecondTicks()) > 0;
}

// A service the game started listens after a while; sentences wait
// meanwhile.
void awaitStartedService() {
    SpeechLink& l = link();
    l.socket = connectTo(l.address);
    if (l.socket >= 0) {
        l.serviceStarting = false;
        return;
    }
    if (millisecondTicks() - l.startedAt < SERVICE_START_MS)
        return;
    l.serviceStarting = false;
    l.outgoing.clear();
    l.sent = 0;
    report(_("the speech service did not start"));
}

void setPriority(const char* wanted) {
    SpeechLink& l = link();
    if (l.priority == wanted)
        return;
    l.outgoing += "SET SELF PRIORITY ";
    l.outgoing += wanted;
    l.outgoing += "\r\n";
    l.priority = wanted;
}

// SPEAK's text ends at a line holding a lone dot, so a line that starts
// with a dot gets a second one, which the service takes off again.
void queueText(const std::string& text, bool lasting) {
    std::string& out = link().outgoing;
    out += "SPEAK\r\n";
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '.')
            out += '.';
        out += line;
        out += "\r\n";
        start = end + 1;
    }
    out += ".\r\n";
    link().unnumbered.push_back(lasting);
}

// Leaving: QUIT's answer comes before the service closes its end; closed
// first, ours would leave the service writing into a broken pipe.
void awaitGoodbye() {
    SpeechLink& l = link();
    const unsigned deadline = millisecondTicks() + QUIT_ANSWER_MS;
    for (;;) {
        const int left = static_cast<int>(deadline - millisecondTicks());
        if (left <= 0)
            return;
        pollfd answer{l.socket, POLLIN, 0};
        const int ready = poll(&answer, 1, left);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0 || readAnswers(isGoodbye) != Reading::DRY)
            return;
    }
}

} // namespace

bool startSpeech() {
    SpeechLink& l = link();
    if (l.on) {
        if (l.socket >= 0 || l.serviceStarting)
            return true;
        return connectService();
    }
    const bool reported = l.failureReported;
    const bool lossReported = l.lossReported;
    l = SpeechLink();
    l.failureReported = reported;
    l.lossReported = lossReported;
    bool isDefault = false;
    if (!serviceAddress(l.address, isDefault)) {
        report(_("SPEECHD_ADDRESS names no Unix socket of a speech service"));
        return false;
    }
    if (connectService()) {
        l.on = true;
        return true;
    }
    // As libspeechd does, only for the user's own service.
    char program[] = "speech-dispatcher";
    char option[] = "--spawn";
    char* arguments[] = {program, option, nullptr};
    if (isDefault && startProgram(arguments)) {
        l.on = true;
        l.serviceStarting = true;
        l.startedAt = millisecondTicks();
        introduce();
        return true;
    }
    report(_("no speech service is running or installed"));
    return false;
}

void stopSpeech(const std::string& farewell) {
    SpeechLink& l = link();
    if (!l.on)
        return;
    if (l.socket >= 0) {
        // Turning speech off silences everything, however long it lasts.
        l.outgoing += "CANCEL SELF\r\n";
        if (!farewell.empty()) {
            setPriority("message");
            queueText(farewell, false);
        }
        l.outgoing += "QUIT\r\n";
        send();
        // A service that has not taken the whole of QUIT is not waited for.
        if (l.socket >= 0 && l.outgoing.empty())
            awaitGoodbye();
    }
    if (l.socket >= 0)
        close(l.socket);
    const bool reported = l.failureReported;
    const bool lossReported = l.lossReported;
    l = SpeechLink();
    l.failureReported = reported;
    l.lossReported = lossReported;
}

bool speechOn() {
    return link().on;
}

bool speechConnected() {
    return link().on && (link().socket >= 0 || link().serviceStarting);
}

void speak(const std::string& text, SpeechPriority priority) {
    SpeechLink& l = link();
    if (!l.on || text.empty())
        return;
    // Whatever was said while the service was away is lost; the first
    // sentence after it is back connects again.
    if (l.socket < 0 && !l.serviceStarting && !connectService())
        return;
    if (l.outgoing.size() - l.sent > MAX_UNSENT_BYTES)
        return;
    // "text" is postponed while a "message" is said or waits, and cut
    // off by the next "text" or "message"; a "message" waits for the one
    // before it, which CANCEL SELF takes away unless it must be heard.
    const bool heldBack = lastingUnderWay();
    if (priority != SPEECH_FOCUS && !heldBack)
        l.outgoing += "CANCEL SELF\r\n";
    setPriority(priority == SPEECH_FOCUS ? "text" : "message");
    const bool lasting = priority == SPEECH_LASTING;
    queueText(text, lasting);
    if (lasting) {
        const unsigned until = millisecondTicks() + LASTING_MS_AT_LEAST +
                               LASTING_MS_PER_CHARACTER * static_cast<unsigned>(text.size());
        if (!heldBack || static_cast<int>(until - l.lastingUntil) > 0)
            l.lastingUntil = until;
    }
    if (l.socket >= 0)
        send();
}

void serviceSpeech() {
    SpeechLink& l = link();
    if (!l.on)
        return;
    if (l.serviceStarting)
        awaitStartedService();
    if (l.socket < 0)
        return;
    if (readAnswers(nullptr) == Reading::GONE) {
        lose();
        return;
    }
    send();
}

const SpeechLink& speechLink() {
    return theLink;
}
