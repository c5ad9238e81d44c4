#!/usr/bin/env python3
"""The saver's CPU on Wayland beside the floor, in one run: headless sway
(pixman) with one 1024x768 output, then the floor (a layer surface cleared
and swapped with EGL every 50 ms), quarlo -s and the floor again; for each,
the CPU seconds it and the compositor used per wall second, and the
saver's ratio to the floor, in all and the compositor's part.

    wayland_cpu.py --saver QUARLO --floor CLEAR_SWAP_WAYLAND [--seconds 10]
"""
import argparse
import os
import sys
import time
import types

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "tests", "support"))
sys.path.insert(0, os.path.join(here, "..", "tests", "linux"))
from e2e import cpu_seconds  # noqa: E402
from wayland_e2e import Session  # noqa: E402


def measure(session, command, seconds, settle=3.0):
    program = session.start(command)
    time.sleep(settle)
    used = [cpu_seconds(program.pid), cpu_seconds(session.compositor.pid)]
    start = time.monotonic()
    time.sleep(seconds)
    wall = time.monotonic() - start
    used = [(cpu_seconds(p.pid) - u) / wall for p, u in zip((program, session.compositor), used)]
    program.kill()
    program.wait()
    return used


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--saver", required=True)
    parser.add_argument("--floor", required=True)
    parser.add_argument("--seconds", type=float, default=10)
    options = parser.parse_args()
    session = Session(types.SimpleNamespace(), outputs=["HEADLESS-1 mode 1024x768"])
    try:
        runs = [("floor", [options.floor]), ("quarlo -s", [options.saver, "-s"]),
                ("floor", [options.floor])]
        print("%-12s %12s %12s %10s" % ("on Wayland", "client s/s", "sway s/s", "in all"))
        got = []
        for name, command in runs:
            client, compositor = measure(session, command, options.seconds)
            got.append((client, compositor))
            print("%-12s %12.3f %12.3f %10.3f" % (name, client, compositor, client + compositor))
        floor = [(a + b) / 2 for a, b in zip(got[0], got[2])]
        saver = got[1]
        print("quarlo -s / floor: %.2f in all, %.2f the compositor's part"
              % (sum(saver) / sum(floor), saver[1] / floor[1] if floor[1] else float("inf")))
    finally:
        session.close()


if __name__ == "__main__":
    sys.exit(main())
