#!/usr/bin/python3
"""A stand-in for speech-dispatcher: an SSIP server on a Unix socket that
records what it is asked to say and says nothing.

`FakeSpeechService(path, mode)` listens on `path` (hand the game
SPEECHD_ADDRESS=unix_socket:PATH) in a thread of its own. Modes:
"normal" answers every command as the real service does; "silent"
accepts connections and then neither reads nor answers; "closes" answers
like "normal" until `close_after` sentences have been spoken, then closes
the connection and stops listening, as a service that has gone. Every
sentence is kept with the priority it was spoken at; `wait_for` and
`next_sentence` let a test follow them. Run as a program, it prints each
sentence as it comes.
"""

import os
import socket
import sys
import threading
import time


class FakeSpeechService:
    def __init__(self, path, mode="normal", close_after=None):
        self.path = path
        self.mode = mode
        self.close_after = close_after
        self.sentences = []  # (priority, text), in the order spoken
        self.commands = []  # every command line, as received
        self.clients = []  # CLIENT_NAME values, one per connection named
        self.connections = 0
        self.read_upto = 0
        self.changed = threading.Condition()
        self.stopping = False
        if os.path.exists(path):
            os.unlink(path)
        self.listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.listener.bind(path)
        self.listener.listen(4)
        self.held = []  # connections of a silent service, kept open
        self.thread = threading.Thread(target=self._accept, daemon=True)
        self.thread.start()

    # --- the server --------------------------------------------------------

    def _accept(self):
        while not self.stopping:
            try:
                connection, _ = self.listener.accept()
            except OSError:
                return
            with self.changed:
                self.connections += 1
                self.changed.notify_all()
            if self.mode == "silent":
                self.held.append(connection)
                continue
            threading.Thread(target=self._serve, args=(connection,), daemon=True).start()

    def _serve(self, connection):
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
                            self._record(priority, "\n".join(speaking))
                            speaking = None
                            self._answer(connection, "225-21\r\n225 OK MESSAGE QUEUED")
                            if self._gone():
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
                        self._answer(connection, "230 OK RECEIVING DATA")
                    elif upper[:3] == ["SET", "SELF", "PRIORITY"] and len(words) > 3:
                        priority = words[3].lower()
                        self._answer(connection, "202 OK PRIORITY SET")
                    elif upper[:3] == ["SET", "SELF", "CLIENT_NAME"] and len(words) > 3:
                        with self.changed:
                            self.clients.append(words[3])
                        self._answer(connection, "208 OK CLIENT NAME SET")
                    elif upper[:1] == ["QUIT"]:
                        self._answer(connection, "231 HAPPY HACKING")
                        return
                    else:
                        self._answer(connection, "200 OK")

    def _answer(self, connection, reply):
        try:
            connection.sendall(reply.encode() + b"\r\n")
        except OSError:
            pass

    def _record(self, priority, text):
        with self.changed:
            self.sentences.append((priority, text))
            self.changed.notify_all()

    def _gone(self):
        """In "closes" mode, ends the service once enough was said."""
        if self.mode != "closes" or len(self.sentences) < self.close_after:
            return False
        self.stop()
        return True

    def stop(self):
        self.stopping = True
        try:
            self.listener.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass
        self.listener.close()
        if os.path.exists(self.path):
            os.unlink(self.path)
        for connection in self.held:
            connection.close()

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
