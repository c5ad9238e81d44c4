#!/usr/bin/env python3
"""End-to-end runs of session lockers on our test compositor: two outputs,
1024x768 and 800x600 at scale 2; the locker runs as a test user whose
password PAM checks, and the compositor types the keys.

    lock_e2e.py --compositor LOCK_COMPOSITOR --saver QUARLO --render QUARLO_RENDER
                --pam QUARLO_PAM CASE
"""
import os
import shutil
import signal
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from e2e import (FACE_COLOURS, LOGO_COLOURS, check, e2e_main, exit_code,  # noqa: E402
                 rendered_frame, still_running, wait_for)
from lock_session import TEST_PASSWORD, LockSession  # noqa: E402

OUTPUTS = ["1024x768", "800x600@2"]
PIXEL_SIZES = {0: (1024, 768), 1: (800, 600)}


def case_swaylock(session):
    """Debian's swaylock against the compositor: it locks with its colour on
    every output at the output's pixel size; a second one is refused while
    it holds the lock; a wrong password keeps the session locked, the right
    one unlocks and ends it with 0; one killed leaves the session locked,
    and a new one takes over and unlocks."""
    colour = (0x33, 0x66, 0x99)
    swaylock = ["swaylock", "--color", "336699"]
    first = session.start(swaylock, log="first.log")
    check(session.wait_state("locked") == "locked", "swaylock did not lock: %s" % (session.state(),))
    for output, (width, height) in PIXEL_SIZES.items():
        shot = session.shot(output)
        check(shot and (shot.width, shot.height) == (width, height),
              "output %d is not drawn at %dx%d" % (output, width, height))
        seen = shot.colours(0, 0, width, height, step=7)
        check(set(seen) == {colour}, "output %d shows %s" % (output, sorted(seen)[:4]))
    second = session.start(swaylock, log="second.log")
    check(exit_code(second, what="the second swaylock") == 2 and
          "another lockscreen" in session.log_text("second.log"),
          "a second swaylock was not refused")

    session.ok("type wrong " + TEST_PASSWORD)
    session.ok("key Return")
    failed = wait_for(lambda: "pam_authenticate failed" in session.log_text("first.log"), 15)
    check(failed, "the wrong password was never checked")
    check(session.state()[0] == "locked" and still_running(first, 0.5),
          "a wrong password ended the lock")
    session.ok("type " + TEST_PASSWORD)
    session.ok("key Return")
    check(exit_code(first, 15, "swaylock") == 0, "the right password did not end swaylock with 0")
    check(session.state()[0] == "unlocked", "the right password did not unlock")

    killed = session.start(swaylock)
    check(session.wait_state("locked") == "locked", "swaylock did not lock again")
    killed.kill()
    killed.wait()
    check(session.wait_state("locked-no-client") == "locked-no-client",
          "a killed swaylock left the session %s" % session.state()[0])
    check(session.shot(0) is None, "a killed swaylock's picture stayed")
    taker = session.start(swaylock)
    check(session.wait_state("locked") == "locked", "a new swaylock did not take the lock over")
    session.ok("type " + TEST_PASSWORD)
    session.ok("key Return")
    check(exit_code(taker, 15, "swaylock") == 0 and session.state()[0] == "unlocked",
          "the new swaylock did not unlock")


def locker(session, *args, log="quarlo.log", **kwargs):
    """quarlo -lock, with the system's PAM service for it as the package
    installs it (put there for the run when it isn't)."""
    if not os.path.exists("/etc/pam.d/quarlo"):
        shutil.copy(session.options.pam, "/etc/pam.d/quarlo")
        session.cleanups.append(lambda: os.remove("/etc/pam.d/quarlo"))
    return session.start([session.options.saver, "-lock", *args], log=log, **kwargs)


def shown_over_show(picture, area):
    """How much of the area shows neither the logo nor the cube: the
    indicator's box blends over them."""
    counts = picture.colours(*area)
    return sum(n for c, n in counts.items() if c not in LOGO_COLOURS | FACE_COLOURS) / sum(counts.values())


def case_show(session):
    """quarlo -lock shows on every output the frame quarlo-render draws (the
    scale-2 one at twice its surface size), and the show on an output that
    comes while locked (and goes); a key brings the indicator, which goes
    10 s after the last one; a wrong password keeps the session locked and
    the locker running; the right one unlocks and ends it with 0, having
    said nothing, though started with SIGCHLD ignored, after Escape, Ctrl+U,
    a Backspace over a two-byte character and a Delete that types nothing."""
    quarlo = locker(session, preexec_fn=lambda: signal.signal(signal.SIGCHLD, signal.SIG_IGN))
    check(session.wait_state("locked") == "locked", "quarlo did not lock: %s" % (session.state(),))
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
    session.ok("type wrong")
    check(wait_for(lambda: shown_over_show(session.shot(0), box) > 0.5), "no indicator after a key")
    session.ok("key Return")
    time.sleep(5)  # PAM's own delay after a wrong password
    check(session.state()[0] == "locked" and still_running(quarlo, 0.5), "a wrong password ended the lock")
    check(wait_for(lambda: shown_over_show(session.shot(0), box) == 0, 8),
          "the indicator did not go 10 s after the last key")
    for line in ("type junk", "key Escape", "type more", "key ctrl+u",
                 "type %s\u00e4" % TEST_PASSWORD, "key BackSpace", "key Delete", "key Return"):
        session.ok(line)
    check(exit_code(quarlo, 15, "quarlo -lock") == 0 and session.state()[0] == "unlocked",
          "the right password did not unlock and end quarlo with 0")
    check(not session.log_text("quarlo.log"), "quarlo said %r" % session.log_text("quarlo.log"))


def case_takeover(session):
    """A second quarlo -lock is refused (255, and says why); neither SIGTERM
    nor SIGKILL opens the lock, and a new locker takes it over; -f ends its
    command with 0 once the session is locked, and its locker unlocks."""
    first = locker(session)
    check(session.wait_state("locked") == "locked", "quarlo did not lock")
    second = locker(session, log="second.log")
    check(exit_code(second, what="the second locker") == 255 and "another locker" in
          session.log_text("second.log"), "a second locker was not refused")
    for ending, then in ((signal.SIGTERM, ()), (signal.SIGKILL, ("-f",))):
        first.send_signal(ending)
        exit_code(first, what="the locker")
        check(session.wait_state("locked-no-client") == "locked-no-client",
              "%s left the session %s" % (ending.name, session.state()[0]))
        first = locker(session, *then)
        check(session.wait_state("locked") == "locked", "a new locker did not take over after %s" % ending.name)
    check(exit_code(first, 15, "quarlo -lock -f") == 0 and session.state()[0] == "locked",
          "-f did not end with 0 once locked")
    session.ok("type " + TEST_PASSWORD)
    session.ok("key Return")
    check(session.wait_state("unlocked") == "unlocked", "the locker in the background did not unlock")


def case_lost(session):
    """Without the system's rules for the check quarlo -lock refuses (255,
    naming the file) before it locks; a compositor gone while locked ends
    the locker with 255, never 0: nothing was unlocked."""
    if os.path.exists("/etc/pam.d/quarlo"):
        os.rename("/etc/pam.d/quarlo", "/etc/pam.d/quarlo.aside")
        session.cleanups.append(lambda: os.rename("/etc/pam.d/quarlo.aside", "/etc/pam.d/quarlo"))
    refused = session.start([session.options.saver, "-lock"], log="refused.log")
    check(exit_code(refused) == 255 and "/etc/pam.d/quarlo" in session.log_text("refused.log") and
          session.state()[0] == "unlocked", "quarlo -lock without its PAM rules did not refuse")
    quarlo = locker(session)
    check(session.wait_state("locked") == "locked", "quarlo did not lock")
    session.compositor.terminate()
    check(exit_code(quarlo, what="quarlo -lock") == 255, "the compositor's end did not end quarlo with 255")


if __name__ == "__main__":
    sys.exit(e2e_main(globals(), ["compositor", "saver", "render", "pam"],
                      lambda options: LockSession(options.compositor, OUTPUTS, "de", options)))
