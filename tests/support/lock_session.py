"""What the lock screen's end-to-end tests share: our test compositor
(tests/linux/lock_compositor.cc) with its outputs, driven by its commands,
and a test user with a known password that the compositor and the lockers
run as, so that PAM checks a real password."""
import os
import pwd
import select
import subprocess

from e2e import UserSession, check, ppm_picture, wait_for

TEST_USER = "quarlo-lock-test"
# Upper case, a space and a sign: typing it needs Shift.
TEST_PASSWORD = "Lock me 7!"


def test_user():
    """The test user's passwd entry: made once (as root), its password set
    on every run."""
    check(os.getuid() == 0, "the lock tests make a test user: run them as root")
    try:
        pwd.getpwnam(TEST_USER)
    except KeyError:
        subprocess.run(["useradd", "--create-home", "--user-group", TEST_USER], check=True,
                       capture_output=True)
    subprocess.run(["chpasswd"], input="%s:%s\n" % (TEST_USER, TEST_PASSWORD), text=True,
                   check=True, capture_output=True)
    return pwd.getpwnam(TEST_USER)


class LockSession(UserSession):
    """The test compositor with `outputs` ("WxH" or "WxH@SCALE") and an xkb
    `layout`, run as the test user; what the test starts in it runs as that
    user too and is ended at close."""

    def __init__(self, compositor, outputs, layout, options):
        self.options = options
        self.cleanups = []  # what the case changed on the system, undone at close
        user = test_user()
        super().__init__(user, {"HOME": user.pw_dir, "USER": TEST_USER, "LOGNAME": TEST_USER})
        command = [compositor, "--layout", layout]
        for output in outputs:
            command += ["--output", output]
        self.compositor = self.start(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        socket = self.command(None).split()
        check(socket[:1] == ["socket"], "the test compositor did not start")
        self.env["WAYLAND_DISPLAY"] = socket[1]

    def command(self, line):
        """One command (none: what the compositor says first); its answer."""
        if line is not None:
            print(line, file=self.compositor.stdin, flush=True)
        ready, _, _ = select.select([self.compositor.stdout], [], [], 10)
        check(ready, "the test compositor did not answer within 10 s")
        answer = self.compositor.stdout.readline()
        check(answer, "the test compositor ended")
        return answer.rstrip("\n")

    def ok(self, *lines):
        """Commands that must succeed, one after the other."""
        for line in lines:
            answer = self.command(line)
            check(answer.split()[:1] == ["ok"], "%r: %s" % (line, answer))

    def wait_state(self, wanted, failure):
        """Waits up to 10 s for the session's state to be `wanted`; else fails
        with `failure` and the state last seen."""
        state = wait_for(lambda: self.command("state"), done=lambda state: state == wanted, pause=0.05)
        check(state == wanted, "%s: %s" % (failure, state))

    def shot(self, output):
        """The last buffer of the output's lock surface, or None if it has none."""
        path = os.path.join(self.runtime, "shot.ppm")  # written over by each shot
        if self.command("shot %d %s" % (output, path)).split()[:1] != ["ok"]:
            return None
        with open(path, "rb") as ppm:
            return ppm_picture(ppm.read())

    def close(self):
        self.compositor.stdin.close()  # the end of its input ends the compositor
        super().close()
        for cleanup in self.cleanups:
            cleanup()
