#!/usr/bin/env python3
"""The display the Windows tests draw on: its Xvfb, its watchdog and the Wine
server of a lone wine-run.sh end with what owns them, however that ends, and
nothing ends what it did not start. What a row started carries a mark in its
environment, so what is left of it is found among every process here.

    display_test.py --script TEST_DISPLAY_SH --wine-run W --prefix P
"""
import argparse
import os
import signal
import subprocess
import sys
import tempfile
import uuid

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from e2e import Failure, Screen, check, wait_for  # noqa: E402


class Row:
    def __init__(self, options, folder):
        self.options = options
        self.file = os.path.join(folder, "display")
        self.mark = uuid.uuid4().hex
        self.env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "QUARLO_TEST_DISPLAY")}
        self.env["QUARLO_DISPLAY_TEST_MARK"] = self.mark

    def script(self, *args):
        return subprocess.run([self.options.script, args[0], self.file, *map(str, args[1:])],
                              env=self.env, capture_output=True, text=True)

    def wine_run(self, *args, **env):
        return subprocess.run([self.options.wine_run, self.options.prefix, *args],
                              env=dict(self.env, **env), capture_output=True, text=True, timeout=120)

    def left(self):
        """The processes still running that this row started: (pid, command line)."""
        found = []
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                environ = open("/proc/%s/environ" % pid, "rb").read().split(b"\0")
                command = open("/proc/%s/cmdline" % pid, "rb").read().replace(b"\0", b" ")
            except OSError:
                continue
            if ("QUARLO_DISPLAY_TEST_MARK=%s" % self.mark).encode() in environ:
                found.append((int(pid), command.decode(errors="replace")))
        return found

    def server(self):
        number, pid, _ = open(self.file).read().split()
        shown = subprocess.run(["xdpyinfo", "-display", ":" + number], capture_output=True)
        check(shown.returncode == 0, "no X server answers on :%s" % number)
        return int(pid)


def owner_process(row):
    return subprocess.Popen(["sleep", "600"], env=row.env)


def run_that_ends(row):
    owner = owner_process(row)
    check(row.script("start", owner.pid).returncode == 0, "start failed")
    row.server()
    check(row.script("stop").returncode == 0, "stop failed")
    check(not os.path.exists(row.file), "stop left its file")
    owner.kill()
    owner.wait()


def run_cut_short(row):
    owner = owner_process(row)
    check(row.script("start", owner.pid).returncode == 0, "start failed")
    row.server()
    owner.kill()
    owner.wait()


def start_over_a_run_cut_short(row):
    owner = owner_process(row)
    row.script("start", owner.pid)
    first = row.server()
    check(row.script("start", owner.pid).returncode == 0, "the second start failed")
    check(row.server() != first, "the second start kept the first server")
    check(wait_for(lambda: not os.path.exists("/proc/%d" % first)), "the first server still runs")
    row.script("stop")
    owner.kill()
    owner.wait()


def stale_file_names_another_server(row):
    """A file left behind that names a server someone else started (its pid
    was given to another Xvfb): stop leaves that server alone."""
    other = Screen(own=True)
    gone = subprocess.Popen(["true"])
    gone.wait()  # the watchdog of the run that wrote the file, long ended
    try:
        with open(row.file, "w") as stale:
            stale.write("%s %d %d\n" % (other.env["DISPLAY"][1:], other.server.pid, gone.pid))
        check(row.script("stop").returncode == 0, "stop failed")
        check(other.server.poll() is None, "stop ended a server it did not start")
        check(not os.path.exists(row.file), "stop left the stale file")
    finally:
        other.close()


def lone_wine_run(row):
    done = row.wine_run("cmd", "/c", "exit 3")
    check(done.returncode == 3, "the program's exit status 3 came back as %d" % done.returncode)


def lone_display_request(row):
    done = row.wine_run("--display")
    check(done.returncode != 0 and "--display needs" in done.stderr, "--display alone: %r" % done.stderr)


def missing_run_display(row):
    done = row.wine_run("cmd", "/c", "exit 0", QUARLO_TEST_DISPLAY=row.file)
    check(done.returncode == 1 and "is not there" in done.stderr, "no run display: %r" % done.stderr)


ROWS = [run_that_ends, run_cut_short, start_over_a_run_cut_short, stale_file_names_another_server,
        lone_wine_run, lone_display_request, missing_run_display]


def main():
    parser = argparse.ArgumentParser()
    for name in ("--script", "--wine-run", "--prefix"):
        parser.add_argument(name, required=True)
    options = parser.parse_args()
    failed = 0
    for case in ROWS:
        with tempfile.TemporaryDirectory() as folder:
            row = Row(options, folder)
            try:
                case(row)
                left = wait_for(row.left, timeout=15, done=lambda left: not left, pause=0.2)
                check(not left, "left running: %s" % [command for _, command in left])
            except Failure as failure:
                print("FAILED: %s: %s" % (case.__name__, failure))
                failed += 1
            finally:
                for pid, _ in row.left():  # what a failed row left, before the next
                    os.kill(pid, signal.SIGKILL)
    print("passed" if not failed else "%d of %d rows failed" % (failed, len(ROWS)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
