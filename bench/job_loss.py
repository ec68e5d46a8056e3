#!/usr/bin/env python3
"""How long a script's object read-out takes to end once its device is lost.

The program runs as a script runs it (TOVAK_HEADLESS=1, "/READOD" every second) against the
door-terminal simulator (polling every 50 ms), and the device is lost at one of three places
of a read-out cycle: at its start (5 ms before the next cycle falls due), in its pause (half
an interval after the cycle's request) and during its first read (200 ms into the wait for a
first entry that goes unanswered). Pulled: the simulator ends (SIGTERM); hung: it stops
(SIGSTOP). The figure is the time from the signal to the program's exit, as its parent sees
it; an exit status other than 3 is reported.

A process-level measurement (the program's own threads, port, messages and exit are what is
timed, the sanitizers' exit checks included), so a script rather than a Google Benchmark
program. Several builds run interleaved, each trial of each case running every build once
in a rotating order, so that they share the machine's load; `--stress N` adds N CPU hogs
(stress-ng) for the run. Each case's line gives the 1-minute load average over its trials.

    python3 bench/job_loss.py [--trials N] [--stress N] [--cases pull-start,...] [--verbose] \\
        LABEL=BUILD_DIR...

BUILD_DIR holds app/tovak and sim/tovak-sim. The program gets ASAN_OPTIONS and UBSAN_OPTIONS
as the tests set them, unless they are set already. `--verbose` prints each run's time and
the program's standard error lines with their times after the signal.
"""

import argparse
import glob
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

INTERVAL_MS = 1000
PORT = 3
CASES = [f"{loss}-{where}" for loss in ("pull", "hang") for where in ("start", "pause", "read")]
# Node 67 (0x43) is silent: its object request stays unanswered, so the first read lasts.
TERMINAL = "[DEVICE]\r\nTYPE=T\r\n[BUS]\r\nSILENT=43\r\n"
ENTRIES = "[ENTRIES]\r\n01=65,1018,1,Ident\r\n"
SILENT_FIRST = "[ENTRIES]\r\n01=67,1018,2,Quiet box\r\n02=65,1018,1,Ident\r\n"


def load_average():
    with open("/proc/loadavg") as f:
        return float(f.read().split()[0])


def write(path, text):
    with open(path, "w", newline="") as f:
        f.write(text)


class Lines:
    """A child's output, each line with the time it came."""

    def __init__(self, stream):
        self.lines = []
        self.cond = threading.Condition()
        self.thread = threading.Thread(target=self._read, args=(stream,), daemon=True)
        self.thread.start()

    def _read(self, stream):
        for line in stream:
            with self.cond:
                self.lines.append((time.monotonic(), line.rstrip("\n")))
                self.cond.notify_all()

    def wait_for(self, part, timeout=30):
        """The time the first line containing `part` came."""
        deadline = time.monotonic() + timeout
        with self.cond:
            while True:
                for at, line in self.lines:
                    if part in line:
                        return at
                left = deadline - time.monotonic()
                if left <= 0:
                    raise RuntimeError(f"no line with {part!r}")
                self.cond.wait(left)


def until(condition, timeout=30):
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > deadline:
            raise RuntimeError("timed out")
        time.sleep(0.001)


def trial(build, case, work, verbose):
    """One run: (ms from the loss to the exit, exit status)."""
    loss, where = case.split("-")
    ports = os.path.join(work, "ports")
    base = os.path.join(work, "base") + "/"
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(ports)
    os.makedirs(base)
    write(os.path.join(base, "TOVAK.INI"), "[MAIN]\r\nCSM=0\r\nMPROTRDOD=1\r\n")
    write(os.path.join(base, "OD.INI"), SILENT_FIRST if where == "read" else ENTRIES)
    write(os.path.join(work, "terminal.ini"), TERMINAL)
    sim = subprocess.Popen(
        [os.path.join(build, "sim", "tovak-sim"), "--port", str(PORT), "--ports-dir", ports, "--config",
         os.path.join(work, "terminal.ini"), "--print-requests"],
        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    requests = Lines(sim.stdout)
    program = None
    try:
        until(lambda: os.path.islink(os.path.join(ports, f"COM{PORT}")), timeout=10)
        env = dict(os.environ, TOVAK_HEADLESS="1", TOVAK_PORTS=ports)
        env.setdefault("ASAN_OPTIONS", "detect_leaks=1:abort_on_error=1")
        env.setdefault("UBSAN_OPTIONS", "print_stacktrace=1:halt_on_error=1")
        program = subprocess.Popen(
            [os.path.join(build, "app", "tovak"), "/BASEDIR=" + base, f"/READOD,OD.INI,{INTERVAL_MS},{PORT}"],
            env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        said = Lines(program.stderr)
        if where == "read":
            at = requests.wait_for("A1 00 43") + 0.2
        elif where == "pause":
            at = requests.wait_for("A1 00 41") + INTERVAL_MS / 2000
        else:
            # The cycle's end writes its line, and the next one falls due an interval later.
            requests.wait_for("A1 00 41")
            until(lambda: glob.glob(os.path.join(base, "PROT", "TOVAK-ROD-*.PRT")) and
                  os.path.getsize(glob.glob(os.path.join(base, "PROT", "TOVAK-ROD-*.PRT"))[0]) > 0)
            at = time.monotonic() + INTERVAL_MS / 1000 - 0.005
        time.sleep(max(0.0, at - time.monotonic()))
        sim.send_signal(signal.SIGTERM if loss == "pull" else signal.SIGSTOP)
        lost = time.monotonic()
        # A blocking wait: Popen.wait with a time-out polls, up to 50 ms late.
        watchdog = threading.Timer(60, program.kill)
        watchdog.start()
        status = program.wait()
        ended = time.monotonic()
        watchdog.cancel()
        ms = (ended - lost) * 1000
        if verbose:
            said.thread.join(1)
            print(f"{case} {os.path.basename(work)}: {ms:.0f} ms, status {status}", file=sys.stderr)
            for at, line in said.lines:
                print(f"    {(at - lost) * 1000:7.0f} {line}", file=sys.stderr)
        return ms, status
    finally:
        if program and program.poll() is None:
            program.kill()
            program.wait()
        if sim.poll() is None:
            sim.send_signal(signal.SIGCONT)
            sim.terminate()
        sim.wait()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("builds", nargs="+", metavar="LABEL=BUILD_DIR")
    parser.add_argument("--trials", type=int, default=10)
    parser.add_argument("--stress", type=int, default=0, help="CPU hogs for the run (stress-ng --cpu N)")
    parser.add_argument("--cases", default=",".join(CASES))
    parser.add_argument("--verbose", action="store_true")
    args = parser.parse_args()
    builds = [b.split("=", 1) for b in args.builds]
    cases = args.cases.split(",")
    stress = None
    if args.stress:
        stress = subprocess.Popen(["stress-ng", "--cpu", str(args.stress), "--quiet"],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(60)  # for the load average to follow
    times = {(label, case): [] for label, _ in builds for case in cases}
    loads = {case: [] for case in cases}
    bad = []
    root = tempfile.mkdtemp(prefix="tovak-job-loss.")
    try:
        for i in range(args.trials):
            for case in cases:
                loads[case].append(load_average())
                for k in range(len(builds)):
                    label, build = builds[(i + k) % len(builds)]
                    ms, status = trial(build, case, os.path.join(root, label), args.verbose)
                    times[(label, case)].append(ms)
                    if status != 3:
                        bad.append(f"{label} {case}: exit status {status}")
            print(f"trial {i + 1}/{args.trials}, load average {load_average():.1f}", file=sys.stderr)
    finally:
        if stress:
            stress.terminate()
            stress.wait()
        shutil.rmtree(root, ignore_errors=True)
    print("| case | load average | " + " | ".join(f"{label}: median, max (ms)" for label, _ in builds) + " |")
    print("|---|---|" + "---|" * len(builds))
    for case in cases:
        cells = [f"{statistics.median(times[(label, case)]):.0f}, {max(times[(label, case)]):.0f}"
                 for label, _ in builds]
        print(f"| {case} | {min(loads[case]):.0f}-{max(loads[case]):.0f} | " + " | ".join(cells) + " |")
    for line in bad:
        print(line)
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
