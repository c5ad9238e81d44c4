#!/usr/bin/env python3
"""A running saver's resident memory over a long run, explode on so that
every phase of the show comes round: the Linux saver with -root on an Xvfb
of its own, and the Windows saver full screen under wine64. The driver
grows its caches for the first shows; after three minutes of that, the
memory must not trend up: the least-squares line through the samples may
not rise by more than a tolerance over the time they span. (Wine's own
heap swings by a megabyte or more from minute to minute, so single peaks
say little; a leak shows as a slope.)

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
from e2e import Screen  # noqa: E402

SAMPLE_SECONDS = 5
WARM_UP_SECONDS = 180


def resident_kib(pid):
    for line in open("/proc/%d/status" % pid):
        if line.startswith("VmRSS:"):
            return int(line.split()[1])
    return 0


def follow(name, pid, minutes, tolerance):
    """Samples the process's resident memory; True when it stays flat."""
    start = time.monotonic()
    samples = []
    while time.monotonic() - start < minutes * 60:
        time.sleep(SAMPLE_SECONDS)
        try:
            samples.append((time.monotonic() - start, resident_kib(pid)))
        except FileNotFoundError:
            print("%s: the saver ended after %.0f s" % (name, time.monotonic() - start))
            return False
    settled = [(at, kib) for at, kib in samples if at >= WARM_UP_SECONDS] or samples[-2:]
    growth = trend(settled)
    kib = [k for _, k in settled]
    print("%s: %d samples; after warm-up %d..%d KiB, the trend over those %.0f s %+d KiB, "
          "at the end %d KiB" % (name, len(samples), min(kib), max(kib),
                                 settled[-1][0] - settled[0][0], growth, samples[-1][1]))
    return growth <= tolerance


def trend(samples):
    """How far the least-squares line through (seconds, KiB) rises over their span."""
    n = len(samples)
    mean_t = sum(t for t, _ in samples) / n
    mean_k = sum(k for _, k in samples) / n
    spread = sum((t - mean_t) ** 2 for t, _ in samples)
    if spread == 0:
        return 0
    slope = sum((t - mean_t) * (k - mean_k) for t, k in samples) / spread
    return round(slope * (samples[-1][0] - samples[0][0]))


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
