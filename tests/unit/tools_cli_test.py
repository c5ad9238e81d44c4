#!/usr/bin/env python3
"""The tools as processes: what each command line gives (exit code, message
and usage on stderr, nothing written), and what good ones print or write.

    tools_cli_test.py [--emulator PART]... --trace QUARLO_TRACE [--render QUARLO_RENDER WORK]
"""
import argparse
import glob
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from e2e import check, exit_status  # noqa: E402


def run(command):
    done = subprocess.run(command, capture_output=True, text=True)
    return done.returncode, done.stdout, done.stderr


def refused(command, tool, lines):
    for args in lines:
        code, out, err = run(command + args)
        check(code == 2 and out == "" and err.startswith(tool + ": ") and "usage: " + tool in err,
              "%s: %d %r %r" % (args, code, out, err))


def trace(command, emulated):
    bad_lines = (["--seed", "x", "--ticks", "1"], ["--ticks", "3"], ["--seed", "1", "--ticks", "3", "--bogus"],
                 ["--seed"], ["--seed", "4294967296", "--ticks", "1"], ["--seed", "-1", "--ticks", "1"],
                 ["--seed", "1", "--ticks", "2147483648"], ["--seed", "1", "--ticks", "1.5"], ["/s"])
    refused(command, "quarlo-trace", bad_lines[:2] if emulated else bad_lines)  # the same reader under Wine
    code, out, err = run(command + ["--seed", "0", "--ticks", "12"])
    lines = out.splitlines()
    check(code == 0 and len(lines) == 12, "12 ticks: %d, %d lines %s" % (code, len(lines), err))
    check(lines[0] == '{"tick":1,"state":0,"counter":9,"angle":0,"move":0,"index":0,"slots":[%s]}'
          % ",".join(map(str, range(27))), "the first line: " + lines[0])
    slots = lines[10].split('"slots":[')[1].rstrip("]}").split(",")
    check(lines[10].startswith('{"tick":11,"state":4,"counter":25,"angle":0,"move":9,"index":24,') and
          sorted(map(int, slots)) == list(range(27)) and slots != list(map(str, range(27))),
          "after the scramble: " + lines[10])
    code, out, _ = run(command + ["--explode", "--ticks", "11", "--seed", "4294967295"])
    check(code == 0 and out.splitlines()[10].startswith('{"tick":11,"state":1,"counter":2,'),
          "--explode: " + out[-200:])


def render(command, work):
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    png = os.path.join(work, "a.png")
    good = ["--seed", "1", "--tick", "1", "--out", png]
    refused(command, "quarlo-render", [good[2:], good[:2] + good[4:], good[:4]] + [good + bad for bad in (
        ["--size", "0x10"], ["--size", "10"], ["--size", "99999x10"], ["--displacement", "0"], ["--every", "0"],
        ["--wat"])])
    check(not os.path.exists(png), "a refused command line wrote a file")
    with open(os.path.join(work, "broken.bmp"), "w") as broken:
        broken.write("BM not a bitmap at all")
    for args, says in ((["--out", os.path.join(work, "no", "dir", "a.png")], "cannot write"),
                       (["--texture", broken.name, "--out", png], "can't be shown: the bitmap is damaged")):
        code, _, err = run(command + good[:4] + args)
        check(code == 2 and says in err and not os.path.exists(png), "%s: %d %r" % (args, code, err))
    code, _, err = run(command + ["--seed", "0", "--tick", "12", "--size", "160x120", "--explode", "--out", png])
    head = open(png, "rb").read(24) if os.path.exists(png) else b""
    check(code == 0 and head == b"\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\xa0\0\0\0\x78", "one frame: %r" % head)
    code, _, _ = run(command + ["--seed", "0", "--tick", "10", "--every", "5", "--size", "32x24",
                                "--out", os.path.join(work, "frames")])
    frames = sorted(os.path.basename(f) for f in glob.glob(os.path.join(work, "frames", "*.png")))
    check(code == 0 and frames == ["frame-000000.png", "frame-000005.png", "frame-000010.png"], str(frames))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--emulator", action="append", default=[])
    parser.add_argument("--trace", required=True)
    parser.add_argument("--render", nargs=2)
    options = parser.parse_args()
    trace(options.emulator + [options.trace], bool(options.emulator))
    if options.render:
        render([options.render[0]], options.render[1])


if __name__ == "__main__":
    sys.exit(exit_status(main))
