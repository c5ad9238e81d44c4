#!/usr/bin/env python3
"""End-to-end runs of quarlo -lock (and of swaylock, to hold the compositor
to a real locker) on our test compositor: two outputs,
1024x768 and 800x600 at scale 2; the locker runs as a test user whose
password PAM checks, and the compositor types the keys."""
import os
import shutil
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from e2e import (FACE_COLOURS, LOGO_COLOURS, check, e2e_main, exit_code,  # noqa: E402
                 rendered_frame, still_running, wait_for)
from lock_session import TEST_PASSWORD, LockSession  # noqa: E402

OUTPUTS = ["1024x768", "800x600@2"]
PIXEL_SIZES = {0: (1024, 768), 1: (800, 600)}


def case_swaylock(session):
    """The test compositor checked against a real locker, Debian's swaylock:
    it locks with its colour on every output at the output's pixel size, a
    wrong password keeps the session locked, and the right one unlocks and
    ends it with 0."""
    swaylock = session.start(["swaylock", "--color", "336699"])
    session.wait_state("locked", "swaylock did not lock")
    for output, (width, height) in PIXEL_SIZES.items():
        shot = session.shot(output)
        check(shot and (shot.width, shot.height) == (width, height) and
              set(shot.colours(0, 0, width, height, step=7)) == {(0x33, 0x66, 0x99)},
              "output %d does not show swaylock's colour at %dx%d" % (output, width, height))
    session.ok("type wrong", "key Return")
    time.sleep(5)  # PAM's own delay after a wrong password
    check(session.command("state") == "locked" and still_running(swaylock, 0.5),
          "a wrong password ended swaylock's lock")
    session.ok("type " + TEST_PASSWORD, "key Return")
    check(exit_code(swaylock, 15, "swaylock") == 0 and session.command("state") == "unlocked",
          "the right password did not unlock swaylock's lock")


def locker(session, *args, **kwargs):
    """quarlo -lock, with the system's PAM service for it as the package
    installs it (put there for the run when it isn't)."""
    if not os.path.exists("/etc/pam.d/quarlo"):
        shutil.copy(session.options.pam, "/etc/pam.d/quarlo")
        session.cleanups.append(lambda: os.remove("/etc/pam.d/quarlo"))
    return session.start([session.options.saver, "-lock", *args], **kwargs)


def shown_over_show(picture, area):
    """How much of the area shows neither the logo nor the cube: the
    indicator's box blends over them."""
    counts = picture.colours(*area)
    return sum(n for c, n in counts.items() if c not in LOGO_COLOURS | FACE_COLOURS) / sum(counts.values())


def case_show(session):
    """quarlo -lock shows on every output the frame quarlo-render draws (the
    scale-2 one at twice its surface size), and the show on an output that
    comes while locked (and goes); a key brings the indicator, which goes
    10 s after the last one; a wrong password (the right one's end, after a
    Ctrl+U over its start) keeps the session locked and the locker running;
    the right one, typed straight after, unlocks and ends it with 0, having
    said nothing, though started with SIGCHLD ignored, after a Backspace over
    a two-byte character and a Delete that types nothing."""
    quarlo = locker(session, preexec_fn=lambda: signal.signal(signal.SIGCHLD, signal.SIG_IGN))
    session.wait_state("locked", "quarlo did not lock")
    for output, size in PIXEL_SIZES.items():
        frame = rendered_frame(session.options.render, *size)
        check(wait_for(lambda: getattr(session.shot(output), "pixels", None) == frame, 8),
              "output %d did not show quarlo-render's frame" % output)
    session.ok("add-output 640x480")
    check(wait_for(lambda: sum(n for c, n in getattr(session.shot(2), "colours", lambda *a: {})(
        0, 0, 640, 480).items() if c in FACE_COLOURS) > 300), "the output that came did not get the show")
    session.ok("remove-output 2")  # and it goes again: the lock holds and the locker runs on
    box = (340, 600, 680, 700)  # the indicator's place on the 1024x768 output
    check(shown_over_show(session.shot(0), box) == 0, "an indicator before any key")
    start, end = TEST_PASSWORD.split(" ", 1)
    session.ok("type " + start)
    check(wait_for(lambda: shown_over_show(session.shot(0), box) > 0.5), "no indicator after a key")
    session.ok("key ctrl+u", "type  " + end, "key Return")
    time.sleep(5)  # PAM's own delay after a wrong password
    check(session.command("state") == "locked" and still_running(quarlo, 0.5), "a wrong password ended the lock")
    check(wait_for(lambda: shown_over_show(session.shot(0), box) == 0, 8),
          "the indicator did not go 10 s after the last key")
    session.ok("type %s\u00e4" % TEST_PASSWORD, "key BackSpace", "key Delete", "key Return")
    check(exit_code(quarlo, 15, "quarlo -lock") == 0 and session.command("state") == "unlocked",
          "the right password did not unlock and end quarlo with 0")
    said = quarlo.stderr.read()
    check(not said, "quarlo said %r" % said)


def case_takeover(session):
    """A second quarlo -lock is refused (255, and says why); SIGTERM does not
    open the lock, and a new locker takes it over; -f ends its command with
    0 once the session is locked, and its locker unlocks (what was typed
    before an Escape left out)."""
    first = locker(session)
    session.wait_state("locked", "quarlo did not lock")
    second = locker(session)
    check(exit_code(second, what="the second locker") == 255 and "another locker" in
          second.stderr.read(), "a second locker was not refused")
    first.send_signal(signal.SIGTERM)  # (a SIGKILL runs nothing of the locker's: the compositor's)
    exit_code(first, what="the locker")
    session.wait_state("locked-no-client", "SIGTERM did not leave the lock to the next locker")
    first = locker(session, "-f")
    session.wait_state("locked", "a new locker did not take over")
    check(exit_code(first, 15, "quarlo -lock -f") == 0 and session.command("state") == "locked",
          "-f did not end with 0 once locked")
    session.ok("type junk", "key Escape", "type " + TEST_PASSWORD, "key Return")
    session.wait_state("unlocked", "the locker in the background did not unlock")


def case_lost(session):
    """Without the system's rules for the check quarlo -lock refuses (255,
    naming the file) before it locks; a compositor gone while locked ends
    the locker with 255, never 0: nothing was unlocked."""
    # The system's rules hidden from this one process (an empty /etc/pam.d
    # of its own), never moved: another run may need them meanwhile.
    refused = subprocess.Popen(
        ["unshare", "-m", "sh", "-c", 'mount -t tmpfs none /etc/pam.d && exec "$@"', "sh",
         *session.prefix, session.options.saver, "-lock"],
        env=session.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    session.processes.append(refused)
    check(exit_code(refused) == 255 and "/etc/pam.d/quarlo" in refused.stderr.read() and
          session.command("state") == "unlocked", "quarlo -lock without its PAM rules did not refuse")
    quarlo = locker(session)
    session.wait_state("locked", "quarlo did not lock")
    session.compositor.terminate()
    check(exit_code(quarlo, what="quarlo -lock") == 255, "the compositor's end did not end quarlo with 255")


if __name__ == "__main__":
    sys.exit(e2e_main(globals(), ["compositor", "saver", "render", "pam"],
                      lambda options: LockSession(options.compositor, OUTPUTS, "de", options)))
