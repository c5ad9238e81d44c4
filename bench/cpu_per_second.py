#!/usr/bin/env python3
"""Runs each saver with -root on an Xvfb of 1024x768 of its own and prints
the time from its start to its first frame on the screen, its resident
memory and shared libraries 10 s after the start, then the CPU seconds it and
the X server used per wall second over the next ten seconds, and its peak
resident memory: the median of three runs each, taken in turns.

    cpu_per_second.py --saver QUARLO --floor CLEAR_SWAP [--seconds 10]
"""
import argparse
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
from e2e import Screen, cpu_seconds, status_kib  # noqa: E402

def libraries(pid):
    return len({line.split()[-1] for line in open("/proc/%d/maps" % pid) if ".so" in line})


def measure(command, seconds, settle=10.0):
    screen = Screen(own=True, size="1024x768x24")
    try:
        env = dict(screen.env, XDG_CONFIG_HOME="/nonexistent")
        empty = screen.screenshot().pixels
        began = time.monotonic()
        program = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        while screen.screenshot().pixels == empty and time.monotonic() - began < settle:
            pass
        first_frame = time.monotonic() - began
        time.sleep(max(0.0, settle - first_frame))
        resident, linked = status_kib(program.pid, "VmRSS"), libraries(program.pid)
        start = time.monotonic()
        used = cpu_seconds(program.pid) + cpu_seconds(screen.server.pid)
        time.sleep(seconds)
        used = cpu_seconds(program.pid) + cpu_seconds(screen.server.pid) - used
        wall = time.monotonic() - start
        peak = status_kib(program.pid, "VmHWM")
        program.kill()
        program.wait()
        return first_frame, resident, linked, used / wall, peak
    finally:
        screen.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--saver", required=True)
    parser.add_argument("--floor", required=True)
    parser.add_argument("--seconds", type=float, default=10)
    parser.add_argument("--runs", type=int, default=3,
                        help="each program's runs, taken in turns; the median is printed")
    options = parser.parse_args()
    runs = [("quarlo -root", [options.saver, "-root"]),
            ("clear-and-swap floor", [options.floor])]
    rubik = shutil.which("rubik") or "/usr/libexec/xscreensaver/rubik"
    if os.access(rubik, os.X_OK):
        runs.append(("rubik -root -delay 50000", [rubik, "-root", "-delay", "50000"]))
    # Each program in turn, so that a busy spell of the machine falls on all
    # of them; rubik's memory alone varies by some MiB from run to run.
    taken = {name: [] for name, _ in runs}
    for _ in range(options.runs):
        for name, command in runs:
            taken[name].append(measure(command, options.seconds))
    print("%-26s %12s %12s %6s %10s %10s  %s" % ("program", "1st frame s", "RSS@10s MiB",
                                                 "libs", "CPU s / s", "peak MiB", "RSS range"))
    for name, _ in runs:
        median = [sorted(column)[len(column) // 2] for column in zip(*taken[name])]
        first, resident, linked, cpu, peak = median
        rss = sorted(run[1] / 1024 for run in taken[name])
        print("%-26s %12.2f %12.1f %6d %10.3f %10.1f  %.1f-%.1f" % (
            name, first, resident / 1024, linked, cpu, peak / 1024, rss[0], rss[-1]))


if __name__ == "__main__":
    sys.exit(main())
