#!/usr/bin/python3
"""A stand-in for speech-dispatcher: an SSIP server on a Unix socket that
records what it is asked to say and says it to nobody, taking the time a
voice would.

`FakeSpeechService(path, mode)` listens on `path` (hand the game
SPEECHD_ADDRESS=unix_socket:PATH) in a thread of its own. Modes:
"normal" answers every command as the real service does; "silent"
accepts connections and then neither reads nor answers; "closes" answers
like "normal" until `close_after` sentences have come, then closes every
connection and stops listening, as a service that has gone, and listens
again `back_after` seconds later (never when that is None), for good.

Its voice works as the real service's does with the priorities the game
uses (checked against speech-dispatcher 0.11): one sentence at a time,
`chars_per_second` characters a second; "important" first, then
"message" in the order they came, then only the latest "text"; a
"message" cancels every "text" said or waiting, a "text" every earlier
"text"; CANCEL SELF cancels what that connection has said or queued; a
connection that asked for them (SET SELF NOTIFICATION END/CANCEL on) is
told of each of its sentences ended or cancelled, with the sentence's
number as SPEAK's answer gave it. What comes after QUIT is still said.

Every sentence is kept as it came, (priority, text), in `sentences`; what
the voice did with it in `voiced`: when it came, began and ended, and
whether it was said to its end. `rude_closes` counts connections that
went away without reading the answer to their QUIT, as the real service
logs ("Broken pipe" and the like). `wait_for`, `next_sentence` and
`wait_voiced` let a test follow them. Run as a program, it prints each
sentence as it comes.
"""

import os
import socket
import sys
import threading
import time

PRIORITIES = ("important", "message", "text", "notification", "progress")


class Sentence:
    """One SPEAK: its number, connection, priority and text; when it came,
    began and ended (None until then), and whether it was said whole."""

    def __init__(self, number, client, priority, text):
        self.number = number
        self.client = client
        self.priority = priority
        self.text = text
        self.came = time.monotonic()
        self.began = None
        self.ended = None
        self.whole = False

    def __repr__(self):
        state = ("whole" if self.whole else "cut off" if self.began else "cancelled"
                 if self.ended else "waiting")
        return "<%s %r: %s>" % (self.priority, self.text, state)


class Client:
    """One connection and what it asked to be told."""

    def __init__(self, number, connection):
        self.number = number
        self.connection = connection
        self.notify = set()
        self.quitting = False
        self.lock = threading.Lock()

    def send(self, text):
        with self.lock:
            try:
                self.connection.sendall(text.encode())
                return True
            except OSError:
                return False

    def tell(self, code, number, what, event):
        """An event about sentence `number`, if this client asked for it
        and is still there to hear it."""
        if not self.quitting and (event in self.notify or "ALL" in self.notify):
            self.send("%s-%d\r\n%s-%d\r\n%s %s\r\n"
                      % (code, number, code, self.number, code, what))


class FakeSpeechService:
    def __init__(self, path, mode="normal", close_after=None, back_after=None,
                 chars_per_second=15.0):
        self.path = path
        self.mode = mode
        self.close_after = close_after
        self.back_after = back_after
        self.chars_per_second = chars_per_second
        self.sentences = []  # (priority, text), in the order they came
        self.voiced = []  # Sentence, in the order they came
        self.commands = []  # every command line, as received
        self.clients = []  # CLIENT_NAME values, one per connection named
        self.connections = 0
        self.rude_closes = 0
        self.read_upto = 0
        self.changed = threading.Condition()
        self.stopping = False
        self.went_away = False
        self.came_back_at = None  # how many sentences had come when it listened again
        self.live = []  # open Client connections
        self.held = []  # connections of a silent service, kept open
        self.queue = []  # Sentence waiting, in the order they came
        self.speaking = None
        self.cut = threading.Event()
        self._listen()
        threading.Thread(target=self._voice, daemon=True).start()

    # --- the server --------------------------------------------------------

    def _listen(self):
        if os.path.exists(self.path):
            os.unlink(self.path)
        self.listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.listener.bind(self.path)
        self.listener.listen(4)
        threading.Thread(target=self._accept, args=(self.listener,), daemon=True).start()

    def _accept(self, listener):
        while not self.stopping:
            try:
                connection, _ = listener.accept()
            except OSError:
                return
            with self.changed:
                self.connections += 1
                client = Client(self.connections, connection)
                self.changed.notify_all()
            if self.mode == "silent":
                self.held.append(connection)
                continue
            self.live.append(client)
            threading.Thread(target=self._serve, args=(client,), daemon=True).start()

    def _serve(self, client):
        connection = client.connection
        pending = b""
        speaking = None  # the lines of a SPEAK under way
        priority = "text"
        with connection:
            while True:
                try:
                    chunk = connection.recv(4096)
                except OSError:
                    return
                if not chunk:
                    return
                pending += chunk
                while b"\r\n" in pending:
                    line, pending = pending.split(b"\r\n", 1)
                    line = line.decode("utf-8")
                    if speaking is not None:
                        if line == ".":
                            number = self._queue(client, priority, "\n".join(speaking))
                            speaking = None
                            client.send("225-%d\r\n225 OK MESSAGE QUEUED\r\n" % number)
                            if self._gone_now():
                                return
                        else:
                            speaking.append(line[1:] if line.startswith("..") else line)
                        continue
                    with self.changed:
                        self.commands.append(line)
                    words = line.split()
                    upper = [word.upper() for word in words]
                    if upper[:1] == ["SPEAK"]:
                        speaking = []
                        client.send("230 OK RECEIVING DATA\r\n")
                    elif upper[:3] == ["SET", "SELF", "PRIORITY"] and len(words) > 3:
                        priority = words[3].lower()
                        client.send("202 OK PRIORITY SET\r\n")
                    elif upper[:3] == ["SET", "SELF", "CLIENT_NAME"] and len(words) > 3:
                        with self.changed:
                            self.clients.append(words[3])
                        client.send("208 OK CLIENT NAME SET\r\n")
                    elif upper[:3] == ["SET", "SELF", "NOTIFICATION"] and len(words) > 4:
                        if upper[4] == "ON":
                            client.notify.add(upper[3])
                        else:
                            client.notify.discard(upper[3])
                        client.send("220 OK NOTIFICATION SET\r\n")
                    elif upper[:2] == ["CANCEL", "SELF"]:
                        self._cancel(lambda said: said.client is client)
                        client.send("213 OK CANCELED\r\n")
                    elif upper[:1] == ["QUIT"]:
                        self._goodbye(client)
                        return
                    else:
                        client.send("200 OK\r\n")

    def _goodbye(self, client):
        """Answers QUIT as the real service does, and notes a client that
        did not wait to read it."""
        client.quitting = True
        rude = not client.send("231 HAPPY HACKING\r\n")
        connection = client.connection
        try:
            connection.shutdown(socket.SHUT_WR)
            connection.settimeout(1.0)
            connection.recv(1)  # nothing but the end, once the client has closed
        except ConnectionResetError:
            # Closed with the answer unread.
            rude = True
        except OSError:
            pass
        with self.changed:
            self.rude_closes += rude
        if client in self.live:
            self.live.remove(client)

    def _gone_now(self):
        """In "closes" mode, ends the service once enough was said."""
        if self.mode != "closes" or self.went_away or len(self.sentences) < self.close_after:
            return False
        self.went_away = True
        self._stop_listening()
        for client in list(self.live):
            try:
                client.connection.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
        self.live = []
        if self.back_after is not None:
            threading.Timer(self.back_after, self._come_back).start()
        return True

    def _come_back(self):
        with self.changed:
            self.came_back_at = len(self.sentences)
        self._listen()

    def _stop_listening(self):
        try:
            self.listener.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass
        self.listener.close()
        if os.path.exists(self.path):
            os.unlink(self.path)

    def stop(self):
        self.stopping = True
        self._stop_listening()
        for connection in self.held:
            connection.close()
        with self.changed:
            self.changed.notify_all()

    # --- the voice ---------------------------------------------------------

    def _queue(self, client, priority, text):
        with self.changed:
            sentence = Sentence(len(self.voiced) + 1, client, priority, text)
            self.sentences.append((priority, text))
            self.voiced.append(sentence)
            # What a new sentence cancels, by its priority.
            if priority == "message":
                self._cancel(lambda said: said.priority in ("text", "notification", "progress"))
            elif priority == "text":
                self._cancel(lambda said: said.priority in ("text", "notification"))
            elif priority == "important":
                self._cancel(lambda said: said is self.speaking and said.priority != "important")
            self.queue.append(sentence)
            self.changed.notify_all()
            return sentence.number

    def _cancel(self, which):
        """Cancels what `which` picks, said or waiting; with the lock."""
        with self.changed:
            for said in [s for s in self.queue if which(s)]:
                self.queue.remove(said)
                self._over(said, False)
            if self.speaking is not None and which(self.speaking):
                self.cut.set()
            self.changed.notify_all()

    def _over(self, said, whole):
        said.ended = time.monotonic()
        said.whole = whole
        if whole:
            said.client.tell("702", said.number, "END", "END")
        else:
            said.client.tell("703", said.number, "CANCELED", "CANCEL")

    def _next(self):
        for priority in ("important", "message"):
            for said in self.queue:
                if said.priority == priority:
                    return said
        texts = [said for said in self.queue if said.priority == "text"]
        return texts[-1] if texts else None

    def _voice(self):
        while not self.stopping:
            with self.changed:
                said = self._next()
                if said is None:
                    self.changed.wait(0.1)
                    continue
                self.queue.remove(said)
                self.speaking = said
                said.began = time.monotonic()
                self.cut.clear()
                self.changed.notify_all()
            cut = self.cut.wait(len(said.text) / self.chars_per_second)
            with self.changed:
                self.speaking = None
                self._over(said, not cut)
                self.changed.notify_all()

    # --- for the tests -----------------------------------------------------

    def wait_for(self, check, timeout):
        """Waits until `check(sentences)` is true; false after `timeout`
        seconds."""
        deadline = time.monotonic() + timeout
        with self.changed:
            while not check(self.sentences):
                left = deadline - time.monotonic()
                if left <= 0:
                    return False
                self.changed.wait(left)
            return True

    def wait_voiced(self, check, timeout):
        """Waits until `check(voiced)` gives a Sentence; it, or None after
        `timeout` seconds."""
        deadline = time.monotonic() + timeout
        with self.changed:
            while True:
                found = check(self.voiced)
                if found is not None:
                    return found
                left = deadline - time.monotonic()
                if left <= 0:
                    return None
                self.changed.wait(left)

    def next_sentence(self, timeout):
        """The first sentence not handed out yet, as (priority, text), or
        None after `timeout` seconds."""
        if not self.wait_for(lambda said: len(said) > self.read_upto, timeout):
            return None
        with self.changed:
            self.read_upto += 1
            return self.sentences[self.read_upto - 1]

    def skip_said(self):
        """Marks every sentence so far as handed out."""
        with self.changed:
            self.read_upto = len(self.sentences)


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else "/tmp/fake-speechd.sock"
    service = FakeSpeechService(path, sys.argv[2] if len(sys.argv) > 2 else "normal")
    print("listening on unix_socket:%s" % path)
    while True:
        said = service.next_sentence(3600)
        if said:
            print("[%s] %s" % said)
            sys.stdout.flush()


if __name__ == "__main__":
    main()
