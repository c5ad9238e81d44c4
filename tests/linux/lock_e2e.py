#!/usr/bin/env python3
"""End-to-end runs of session lockers on our test compositor: two outputs,
1024x768 and 800x600 at scale 2; the locker runs as a test user whose
password PAM checks, and the compositor types the keys.

    lock_e2e.py --compositor LOCK_COMPOSITOR CASE
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from e2e import check, e2e_main, exit_code, still_running, wait_for  # noqa: E402
from lock_session import TEST_PASSWORD, LockSession  # noqa: E402

OUTPUTS = ["1024x768", "800x600@2"]
PIXEL_SIZES = {0: (1024, 768), 1: (800, 600)}


def case_swaylock(session):
    """Debian's swaylock against the compositor: it locks with its colour on
    every output at the output's pixel size; a second one is refused while
    it holds the lock; a wrong password keeps the session locked, the right
    one (after a BackSpace) unlocks and ends it with 0; one killed leaves the
    session locked, and a new one takes over and unlocks (after a Ctrl+U)."""
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
    session.ok("type " + TEST_PASSWORD + "x")
    session.ok("key BackSpace")
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
    session.ok("type garbage")
    session.ok("key ctrl+u")
    session.ok("type " + TEST_PASSWORD)
    session.ok("key Return")
    check(exit_code(taker, 15, "swaylock") == 0 and session.state()[0] == "unlocked",
          "the new swaylock did not unlock")


if __name__ == "__main__":
    sys.exit(e2e_main(globals(), ["compositor"],
                      lambda options: LockSession(options.compositor, OUTPUTS)))
