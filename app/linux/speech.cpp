#include "app/linux/speech.h"

#include "app/game_state.h"
#include "app/linux/platform.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

SpeechLink& link() {
    return gameState.speech;
}

void report(const char* what) {
    if (link().failureReported)
        return;
    link().failureReported = true;
    std::fprintf(stderr, "kavenna: %s; playing on without speech\n", what);
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

void introduce() {
    link().outgoing = "SET SELF CLIENT_NAME user:kavenna:main\r\n";
    link().sent = 0;
    link().priority.clear();
}

bool connectService() {
    link().socket = connectTo(link().address);
    if (link().socket < 0)
        return false;
    introduce();
    return true;
}

// What was unsent belonged to the lost connection; the next sentence
// may connect again.
void lose() {
    close(link().socket);
    link().socket = -1;
    link().outgoing.clear();
    link().sent = 0;
    link().retryLeft = true;
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

void dropAnswers() {
    char answers[512];
    for (int reads = 0; reads < MAX_ANSWER_READS; ++reads) {
        const ssize_t n = recv(link().socket, answers, sizeof answers, MSG_DONTWAIT);
        if (n > 0)
            continue;
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        lose();
        return;
    }
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
    report("the speech service did not start");
}

// SPEAK's text ends at a line holding a lone dot, so a line that starts
// with a dot gets a second one, which the service takes off again.
void queueText(const std::string& text) {
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
}

} // namespace

bool startSpeech() {
    if (link().on)
        return true;
    const bool reported = link().failureReported;
    link() = SpeechLink();
    link().failureReported = reported;
    bool isDefault = false;
    if (!serviceAddress(link().address, isDefault)) {
        report("SPEECHD_ADDRESS names no Unix socket of a speech service");
        return false;
    }
    if (connectService()) {
        link().on = true;
        return true;
    }
    // As libspeechd does, only for the user's own service.
    char program[] = "speech-dispatcher";
    char option[] = "--spawn";
    char* arguments[] = {program, option, nullptr};
    if (isDefault && startProgram(arguments)) {
        link().on = true;
        link().serviceStarting = true;
        link().startedAt = millisecondTicks();
        introduce();
        return true;
    }
    report("no speech service is running or installed");
    return false;
}

void stopSpeech(const std::string& farewell) {
    if (!link().on)
        return;
    link().retryLeft = false;
    if (link().socket >= 0) {
        link().outgoing += "CANCEL SELF\r\n";
        speak(farewell, SPEECH_RESULT);
        link().outgoing += "QUIT\r\n";
        send();
    }
    if (link().socket >= 0)
        close(link().socket);
    link().socket = -1;
    link().on = false;
    link().serviceStarting = false;
    link().outgoing.clear();
    link().sent = 0;
}

bool speechOn() {
    return link().on;
}

void speak(const std::string& text, SpeechPriority priority) {
    SpeechLink& l = link();
    if (!l.on || text.empty())
        return;
    // The sentence that finds the service gone is the one that connects
    // again, if that is still allowed; once only, should the new
    // connection fail at once too.
    for (bool reconnected = false;;) {
        if (l.socket < 0 && !l.serviceStarting) {
            if (!l.retryLeft || reconnected)
                return;
            l.retryLeft = false;
            reconnected = true;
            if (!connectService())
                return;
        }
        if (l.outgoing.size() - l.sent > MAX_UNSENT_BYTES)
            return;
        // "text" is cut off by any later sentence, "message" by none.
        const char* wanted = priority == SPEECH_FOCUS ? "text" : "message";
        if (l.priority != wanted) {
            l.outgoing += "SET SELF PRIORITY ";
            l.outgoing += wanted;
            l.outgoing += "\r\n";
            l.priority = wanted;
        }
        queueText(text);
        if (l.socket >= 0)
            send();
        if (l.socket >= 0 || l.serviceStarting)
            return;
    }
}

void serviceSpeech() {
    SpeechLink& l = link();
    if (!l.on)
        return;
    if (l.serviceStarting)
        awaitStartedService();
    if (l.socket < 0)
        return;
    dropAnswers();
    if (l.socket >= 0)
        send();
}
