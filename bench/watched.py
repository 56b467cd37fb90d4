"""A program under test, watched from outside: the frames it presents
(counted by the frame_counter library it is started with), the CPU time,
wake-ups and resident memory the kernel reports for it, and the lines it
writes to standard output."""

import mmap
import os
import struct
import subprocess
import tempfile
import threading
import time

from xserver import end_process

# Must match frame_counter.c.
FRAME_LOG_TIMES = 4096
FRAME_LOG_TIMES_AT = 24
FRAME_LOG_BYTES = FRAME_LOG_TIMES_AT + 8 * FRAME_LOG_TIMES
TICKS_PER_SECOND = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    """User and system time of every thread of process `pid`."""
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS_PER_SECOND


def cpu_ns(pid):
    """Time every thread of process `pid` has run, in ns: finer than the
    clock ticks of cpu_seconds, for figures near zero."""
    total = 0
    for task in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/schedstat" % (pid, task)) as schedstat:
                total += int(schedstat.read().split()[0])
        except FileNotFoundError:
            pass  # a thread that ended meanwhile
    return total


def wakeups(pid):
    """How often the main thread of process `pid` has been switched in:
    its voluntary and involuntary context switches."""
    with open("/proc/%d/task/%d/status" % (pid, pid)) as status:
        return sum(int(line.split()[1]) for line in status if "ctxt_switches" in line)


class Watched:
    def __init__(self, program, display, frame_counter, cwd=None, arguments=()):
        handle, self.log_path = tempfile.mkstemp(prefix="kavenna-frames-")
        os.write(handle, b"\0" * FRAME_LOG_BYTES)
        self.log = mmap.mmap(handle, FRAME_LOG_BYTES)
        os.close(handle)
        environment = dict(os.environ, DISPLAY=display, LD_PRELOAD=frame_counter,
                           KAVENNA_FRAME_LOG=self.log_path)
        self.lines = []
        self.errors = b""
        self.started_ns = time.monotonic_ns()
        self.process = subprocess.Popen(
            [program] + list(arguments), cwd=cwd or os.path.dirname(program), env=environment,
            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.readers = [threading.Thread(target=self._read_lines, daemon=True),
                        threading.Thread(target=self._read_errors, daemon=True)]
        for reader in self.readers:
            reader.start()

    def _read_lines(self):
        for line in self.process.stdout:
            self.lines.append(line)

    def _read_errors(self):
        self.errors = self.process.stderr.read()

    # Frames -------------------------------------------------------------

    def frame_count(self):
        return struct.unpack_from("=Q", self.log, 0)[0]

    def first_frame_ns(self):
        return struct.unpack_from("=Q", self.log, 8)[0]

    def frames_through_gl(self):
        return struct.unpack_from("=Q", self.log, 16)[0]

    def frame_times(self):
        """The times (ns) of the latest frames, oldest first."""
        count = self.frame_count()
        first = max(0, count - FRAME_LOG_TIMES)
        return [struct.unpack_from("=Q", self.log, FRAME_LOG_TIMES_AT + 8 * (n % FRAME_LOG_TIMES))[0]
                for n in range(first, count)]

    def wait_for_frames(self, count, timeout):
        deadline = time.monotonic() + timeout
        while self.frame_count() < count:
            self.check_running()
            if time.monotonic() > deadline:
                raise RuntimeError("no frame presented within %g s" % timeout)
            time.sleep(0.002)

    def wait_for_frame_after(self, moment_ns, timeout, what="an input"):
        """The time of the first frame presented after `moment_ns`."""
        deadline = time.monotonic() + timeout
        while True:
            later = [t for t in self.frame_times()[-8:] if t > moment_ns]
            if later:
                return later[0]
            self.check_running()
            if time.monotonic() > deadline:
                raise RuntimeError("no frame presented within %g s of %s" % (timeout, what))
            time.sleep(0.0005)

    # The kernel's view ----------------------------------------------------

    def cpu_seconds(self):
        return cpu_seconds(self.process.pid)

    def resident_bytes(self):
        with open("/proc/%d/status" % self.process.pid) as status:
            for line in status:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1]) * 1024
        raise RuntimeError("no VmRSS for %d" % self.process.pid)

    def measure_rest(self, seconds):
        """Over `seconds` with nothing done to the program: the frames it
        presents, the wake-ups a second of its main thread and its CPU use
        (% of one core)."""
        pid = self.process.pid
        cpu, woken, frames = cpu_ns(pid), wakeups(pid), self.frame_count()
        began = time.monotonic()
        time.sleep(seconds)
        elapsed = time.monotonic() - began
        return {"frames": self.frame_count() - frames,
                "wakeups": (wakeups(pid) - woken) / elapsed,
                "cpu": 100.0 * (cpu_ns(pid) - cpu) / 1e9 / elapsed}

    # Standard output and the end ----------------------------------------

    def wait_for_lines(self, count, timeout):
        deadline = time.monotonic() + timeout
        while len(self.lines) < count:
            self.check_running()
            if time.monotonic() > deadline:
                raise RuntimeError("expected %d lines on standard output, got %d"
                                   % (count, len(self.lines)))
            time.sleep(0.005)

    def check_running(self):
        if self.process.poll() is not None:
            raise RuntimeError("the program ended with status %d: %s"
                               % (self.process.returncode, self.errors.decode(errors="replace")))

    def wait_for_exit(self, timeout):
        try:
            status = self.process.wait(timeout=timeout)
        finally:
            self.stop()
        return status

    def stop(self):
        if self.log.closed:
            return
        end_process(self.process)
        for reader in self.readers:
            reader.join(timeout=5)
        self.log.close()
        os.unlink(self.log_path)
