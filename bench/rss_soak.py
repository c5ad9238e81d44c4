#!/usr/bin/env python3
"""A running saver's resident memory over a long run, explode on so that
every phase of the show comes round: the Linux saver with -root on an Xvfb
of its own, and the Windows saver full screen under wine64. The drivers
grow their caches during the first shows (Wine's for about four minutes);
after five minutes of that, the memory must be flat: the highest sample of
the last third of the run may not exceed the highest of the first third by
more than a tolerance. Wine's heap swings by three to four megabytes from
one sample to the next, so single samples and fitted lines say little; a
leak lifts the whole band, its top included.

    rss_soak.py --saver QUARLO [--scr QUARLO_SCR --wine-run WINE_RUN --prefix P]
                [--minutes 10] [--tolerance-kib 1024]
"""
import argparse
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
from e2e import Screen, status_kib  # noqa: E402

SAMPLE_SECONDS = 5
WARM_UP_SECONDS = 300


def follow(name, pid, minutes, tolerance):
    """Samples the process's resident memory; True when it stays flat."""
    start = time.monotonic()
    samples = []
    while time.monotonic() - start < minutes * 60:
        time.sleep(SAMPLE_SECONDS)
        try:
            samples.append((time.monotonic() - start, status_kib(pid, "VmRSS")))
        except FileNotFoundError:
            print("%s: the saver ended after %.0f s" % (name, time.monotonic() - start))
            return False
    settled = [kib for at, kib in samples if at >= WARM_UP_SECONDS]
    if len(settled) < 6:
        print("%s: too short a run to judge (%d samples after the warm-up)" % (name, len(settled)))
        return False
    third = len(settled) // 3
    first, last = settled[:third], settled[-third:]
    growth = max(last) - max(first)
    print("%s: %d samples; after the warm-up %d..%d KiB, highest %d KiB in the first third "
          "and %d KiB in the last (%+d KiB)" % (name, len(samples), min(settled), max(settled),
                                                 max(first), max(last), growth))
    return growth <= tolerance


def linux_run(options):
    screen = Screen(own=True, size="1024x768x24")
    config = tempfile.mkdtemp(prefix="quarlo-soak-")
    os.makedirs(os.path.join(config, "quarlo"))
    with open(os.path.join(config, "quarlo", "settings.reg"), "w", newline="\r\n") as out:
        out.write("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Orvendel\\QuarloScreenSaver]\n"
                  "\"Explode\"=dword:00000001\n")
    saver = subprocess.Popen([options.saver, "-root"], env=dict(screen.env, XDG_CONFIG_HOME=config))
    try:
        return follow("Linux saver", saver.pid, options.minutes, options.tolerance_kib)
    finally:
        saver.kill()
        saver.wait()
        screen.close()


def wine_run(options):
    screen = Screen(own=True, size="1024x768x24")
    env = dict(screen.env)
    key = r"HKCU\Software\Orvendel\QuarloScreenSaver"
    run = [options.wine_run, options.prefix]
    subprocess.run(run + ["reg", "add", key, "/v", "Explode", "/t", "REG_DWORD", "/d", "1", "/f"],
                   env=env, capture_output=True, check=True)
    # wine-run.sh ends by running Wine in its own process: the saver's pid.
    saver = subprocess.Popen(run + [options.scr, "/s"], env=env)
    try:
        time.sleep(3)
        return follow("Windows saver under wine64", saver.pid, options.minutes, options.tolerance_kib)
    finally:
        saver.kill()
        saver.wait()
        subprocess.run(run + ["reg", "delete", key, "/f"], env=env, capture_output=True)
        screen.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--saver", required=True)
    parser.add_argument("--scr")
    parser.add_argument("--wine-run")
    parser.add_argument("--prefix")
    parser.add_argument("--minutes", type=float, default=10)
    parser.add_argument("--tolerance-kib", type=int, default=1024)
    options = parser.parse_args()
    flat = linux_run(options)
    if options.scr:
        flat = wine_run(options) and flat
    print("resident memory flat" if flat else "resident memory NOT flat")
    return 0 if flat else 1


if __name__ == "__main__":
    sys.exit(main())
