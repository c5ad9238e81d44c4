"""What the lock screen's end-to-end tests share: our test compositor
(tests/linux/lock_compositor.cc) with its outputs, driven by its commands,
and a test user with a known password that the compositor and the lockers
run as, so that PAM checks a real password."""
import os
import pwd
import select
import shutil
import subprocess
import tempfile

from e2e import Picture, check, wait_for

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


def as_test_user(user=None):
    """The prefix that runs a command as the test user (`user`, its passwd
    entry, if at hand) with its groups. Not with no-new-privs: PAM's
    unix_chkpwd is setgid shadow, and loses that group (and every check)
    under it."""
    user = user or test_user()
    return ["setpriv", "--reuid=%d" % user.pw_uid, "--regid=%d" % user.pw_gid, "--init-groups"]


class LockSession:
    """The test compositor with `outputs` ("WxH" or "WxH@SCALE"), run as the
    test user in a runtime folder of its own; what the test starts in it
    runs as that user too and is ended at close."""

    SOCKET = "wayland-lock"

    def __init__(self, compositor, outputs, layout=None, options=None):
        self.options = options
        self.cleanups = []  # what the case changed on the system, undone at close
        user = test_user()
        self.prefix = as_test_user(user)
        self.work = tempfile.mkdtemp(prefix="quarlo-lock-")
        self.runtime = os.path.join(self.work, "runtime")
        os.mkdir(self.runtime, 0o700)
        for path in (self.work, self.runtime):
            os.chown(path, user.pw_uid, user.pw_gid)
        self.env = {"PATH": "/usr/bin:/bin", "HOME": user.pw_dir, "USER": TEST_USER,
                    "LOGNAME": TEST_USER, "XDG_RUNTIME_DIR": self.runtime,
                    "WAYLAND_DISPLAY": self.SOCKET}
        self.processes = []
        command = [compositor, "--socket", self.SOCKET]
        for output in outputs:
            command += ["--output", output]
        self.compositor = self.start(command + (["--layout", layout] if layout else []),
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        check(self.answer() == "socket " + self.SOCKET, "the test compositor did not start")

    def start(self, command, log=None, **kwargs):
        """A process as the test user; its stderr goes to the file `log` in
        the work folder (read it with log_text), if one is named."""
        stderr = open(os.path.join(self.work, log), "w") if log else subprocess.DEVNULL
        kwargs.setdefault("stdout", subprocess.DEVNULL)
        process = subprocess.Popen(self.prefix + command, env=self.env, text=True, stderr=stderr,
                                   **kwargs)
        if log:
            stderr.close()
        self.processes.append(process)
        return process

    def log_text(self, log):
        with open(os.path.join(self.work, log)) as text:
            return text.read()

    def answer(self, timeout=10):
        ready, _, _ = select.select([self.compositor.stdout], [], [], timeout)
        check(ready, "the test compositor did not answer within %d s" % timeout)
        line = self.compositor.stdout.readline()
        check(line, "the test compositor ended")
        return line.rstrip("\n")

    def command(self, line):
        """One command; its answer."""
        self.compositor.stdin.write(line + "\n")
        self.compositor.stdin.flush()
        return self.answer()

    def ok(self, line):
        """A command that must succeed; what follows its "ok"."""
        answer = self.command(line)
        check(answer.split()[:1] == ["ok"], "%r: %s" % (line, answer))
        return answer[3:]

    def state(self):
        """The session's state, and what each output has: ("locked", {0: "drawn"})."""
        words = self.command("state").split()
        return words[0], dict((int(n), what) for n, what in (w.split(":") for w in words[1:]))

    def wait_state(self, wanted, timeout=10):
        """The session's state once it is `wanted`, or the last seen after `timeout` s."""
        return wait_for(lambda: self.state()[0], timeout, done=lambda state: state == wanted,
                        pause=0.05)

    def shot(self, output):
        """The last buffer of the output's lock surface, or None if it has none."""
        path = os.path.join(self.runtime, "shot.ppm")
        if self.command("shot %d %s" % (output, path)).split()[:1] != ["ok"]:
            return None
        with open(path, "rb") as ppm:
            magic, size, _, pixels = ppm.read().split(b"\n", 3)
        os.remove(path)
        check(magic == b"P6", "the shot is no binary PPM")
        width, height = (int(n) for n in size.split())
        return Picture(width, height, pixels)

    def close(self):
        self.compositor.stdin.close()  # the end of its input ends the compositor
        for process in reversed(self.processes):
            if process is not self.compositor and process.poll() is None:
                process.kill()
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        shutil.rmtree(self.work, ignore_errors=True)
        for cleanup in self.cleanups:
            cleanup()
