#!/usr/bin/env python3
"""The Windows tests' display: its Xvfb, watchdog and a lone wine-run.sh's
Wine server end with their owner, however it ends, and nothing ends what it
did not start. What a row starts carries a mark in its environment.

    display_test.py TEST_DISPLAY_SH WINE_RUN PREFIX
"""
import os
import signal
import subprocess
import sys
import tempfile
import uuid

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from e2e import Failure, Screen, check, exit_status, wait_for  # noqa: E402


def marked(mark):
    """The processes still running with this mark in their environment."""
    found = subprocess.run(["sh", "-c", 'grep -lszxF "$0" /proc/[0-9]*/environ', mark],
                           capture_output=True, text=True).stdout
    return [int(path.split("/")[2]) for path in found.split()]


def run_with_owner(script, env, stop):
    """Starts the display for an owner, sees it answer, then stops it or kills the owner."""
    owner = subprocess.Popen(["sleep", "600"], env=env)
    started = subprocess.run([script, "start", env["FILE"], str(owner.pid)], env=env)
    check(started.returncode == 0, "start failed")
    number = open(env["FILE"]).read().split()[0]
    check(subprocess.run(["xdpyinfo", "-display", ":" + number], capture_output=True).returncode == 0,
          "no X server answers on :%s" % number)
    if stop:
        subprocess.run([script, "stop", env["FILE"]], env=env)
        check(not os.path.exists(env["FILE"]), "stop left its file")
    owner.kill()
    owner.wait()


def stale_file(script, env):
    """The file names another's Xvfb (the pid was reused) and a watchdog long ended."""
    other, gone = Screen(own=True), subprocess.Popen(["true"])
    gone.wait()
    try:
        with open(env["FILE"], "w") as stale:
            stale.write("%s %d %d\n" % (other.env["DISPLAY"][1:], other.server.pid, gone.pid))
        subprocess.run([script, "stop", env["FILE"]], env=env)
        check(other.server.poll() is None, "stop ended a server it did not start")
    finally:
        other.close()


def lone_run(wine_run, env, args, status, error="", **more):
    done = subprocess.run([*wine_run, *args], env=dict(env, **more), capture_output=True, text=True)
    check(done.returncode == status and error in done.stderr,
          "%s gave %d: %r" % (args, done.returncode, done.stderr))


ROWS = [
    ("a run that ends", lambda script, wine, env: run_with_owner(script, env, True)),
    ("a run cut short", lambda script, wine, env: run_with_owner(script, env, False)),
    ("a stale file", lambda script, wine, env: stale_file(script, env)),
    ("a lone program", lambda script, wine, env: lone_run(wine, env, ["cmd", "/c", "exit 3"], 3)),
    ("--display alone", lambda script, wine, env: lone_run(wine, env, ["--display"], 1, "--display needs")),
    ("no run display", lambda script, wine, env: lone_run(wine, env, ["cmd"], 1, "is not there",
                                                          QUARLO_TEST_DISPLAY=env["FILE"])),
]


def main(script, wine_run, prefix):
    for what, case in ROWS:
        mark = uuid.uuid4().hex
        with tempfile.TemporaryDirectory() as folder:
            env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "QUARLO_TEST_DISPLAY")}
            env.update(QUARLO_DISPLAY_TEST_MARK=mark, FILE=os.path.join(folder, "display"))
            mark = "QUARLO_DISPLAY_TEST_MARK=" + mark
            try:
                case(script, [wine_run, prefix], env)
                left = wait_for(lambda: marked(mark), timeout=15, done=lambda left: not left, pause=0.2)
                check(not left, "%s: left running: %s" % (what, subprocess.run(
                    ["ps", "-o", "args=", "-p", ",".join(map(str, left))], capture_output=True, text=True).stdout))
            except Failure as failure:
                raise Failure("%s: %s" % (what, failure))
            finally:
                for pid in marked(mark):  # what a failed row left
                    os.kill(pid, signal.SIGKILL)

if __name__ == "__main__":
    sys.exit(exit_status(main, *sys.argv[1:4]))
