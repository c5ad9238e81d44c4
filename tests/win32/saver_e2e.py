#!/usr/bin/env python3
"""End-to-end runs of quarlo.scr under wine64 and Xvfb: real processes, real
X input through xdotool, and screenshots of the root window.

    saver_e2e.py --wine-run W --prefix P --saver S --host H --cpl C CASE
"""
import copy
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from e2e import (Failure, Screen, check, e2e_main, exit_code, full_screen_input_rules,  # noqa: E402
                 picture_on_front, start_full_screen, still_running)


class Session(Screen):
    """A display (the shared test Xvfb, or another), with quarlo.scr and Wine
    tools run in the prefix; registry changes are undone at the end."""

    def __init__(self, options, display=None):
        super().__init__(dict(os.environ, **({"DISPLAY": display} if display else {})))
        self.env["DISPLAY"] = subprocess.run(
            [options.wine_run, options.prefix, "--display"], env=self.env, check=True,
            capture_output=True, text=True).stdout.strip()
        self.options = options
        self.saver = options.saver
        self.work = tempfile.mkdtemp(prefix="quarlo-e2e-")
        self.undo = []

    def start(self, *args, env=None, program=None):
        process = subprocess.Popen(
            [self.options.wine_run, self.options.prefix, program or self.saver, *args],
            env=env or self.env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        self.processes.append(process)
        return process

    def reg_add(self, key, *value):
        """Sets a registry value (reg may fail once on a prefix still being set up)."""
        for attempt in range(4):
            done = subprocess.run([self.options.wine_run, self.options.prefix, "reg", "add", key,
                                   *value, "/f"], env=self.env, capture_output=True, text=True)
            if done.returncode == 0:
                self.undo.append(["reg", "delete", key] + (["/v", value[1]] if value else []) + ["/f"])
                return
            time.sleep(0.5)
        raise Failure("reg add %s failed: %s" % (key, done.stdout + done.stderr))

    def close(self):
        super().close()
        for command in reversed(self.undo):
            subprocess.run([self.options.wine_run, self.options.prefix, *command], env=self.env,
                           capture_output=True)
        shutil.rmtree(self.work, ignore_errors=True)


def case_picture(session):
    key = r"HKCU\Software\Orvendel\QuarloScreenSaver"

    def store(path):
        session.reg_add(key, "/v", "Surface", "/t", "REG_DWORD", "/d", "1")
        session.reg_add(key, "/v", "Texture", "/d", "Z:" + path.replace("/", "\\"))
    picture_on_front(session, store)


def case_second_saver(session):
    first = start_full_screen(session)
    second = session.start("/s")
    check(exit_code(second, timeout=20) == 0, "the second saver did not exit with 0")
    check(len(session.windows_named("Screen Saver")) == 1, "the second saver made a window")
    check(first.poll() is None, "the first saver ended")
    session.xdotool("key", "x")
    check(exit_code(first) == 0, "the first saver did not end with 0")


def case_bad_switch(session):
    """Switches that name no mode, previews without a window and the password
    change off the Win9x family end at once with -1 and show nothing."""
    for switches in (["/x"], ["/\t"], ["/p"], ["/p", "0"], ["/p", "4000000000"], ["/p:1234"],
                     ["-l", "77777"], ["/a"], ["/a", "1234"]):
        check(exit_code(session.start(*switches), timeout=20) == 255, "%s did not give -1" % switches)
    check(not session.windows_named("Screen Saver") and not session.windows_named("Preview"),
          "a saver window appeared")


def case_preview(session):
    """The saver draws in a child of the host's window and ignores input.
    Wine shows no GL content of a child window owned by another process (its
    device context has no X drawable), so the frames are counted from Wine's
    own trace of the buffer swaps instead of a screenshot."""
    host = session.start(session.saver, "6000", program=session.options.host,
                         env=dict(session.env, WINEDEBUG="trace+wgl"))
    lines = []
    while not lines or "saver started" not in lines[-1]:
        lines.append(host.stdout.readline())
        check(lines[-1], "the host ended before it started the saver: %r" % lines[-5:])
    x, y, w, h = session.geometry(session.wait_window("Quarlo preview host"))
    time.sleep(2)
    for action in (["mousemove", str(x + w // 2), str(y + h // 2)], ["click", "1"], ["key", "x"],
                   ["mousemove_relative", "--", "40", "30"]):
        session.xdotool(*action)  # input inside the preview must not end it
    output = "".join(lines) + host.communicate(timeout=30)[0]
    child = [l.split() for l in output.splitlines() if l.startswith("preview child found")]
    check(child, "the preview ended before its parent: %r" % output[-300:])
    check(child[0][4] == child[0][6], "the preview does not fill the host's client area")
    check(output.count("wglSwapBuffers") >= 20, "the preview drew too few frames in 6 s")
    check("saver exit 0" in output and host.returncode == 0, "the preview did not exit with 0")


def case_monitors(session):
    """Two monitors, the primary on the right and a smaller one left of it
    and lower (at -800,168 in Windows' coordinates), on a display of its own:
    each shows the show in its own rectangle, no pixel of the root's colour
    shows there, and the input rules hold with the pointer on the left one."""
    screen = Screen(own=True, size="1824x768x24")
    options = copy.copy(session.options)
    options.prefix = os.path.join(session.work, "wineprefix")
    try:
        for name, place, output in (("RIGHT", "1024/271x768/203+800+0", "screen"),
                                    ("LEFT", "800/212x600/159+0+168", "none")):
            subprocess.run(["xrandr", "--setmonitor", name, place, output], env=screen.env,
                           check=True, capture_output=True)
        subprocess.run(["xsetroot", "-solid", "#ff0080"], env=screen.env, check=True)
        shutil.copytree(session.options.prefix, options.prefix, symlinks=True)
        inner = Session(options, screen.env["DISPLAY"])
        try:
            # Wine takes the monitors from Xinerama, which follows xrandr's
            # split, only when told so before its server starts on a display.
            inner.reg_add(r"HKCU\Software\Wine\X11 Driver", "/v", "UseXRandR", "/d", "N")
            subprocess.run(["wineserver", "-w"], env=dict(inner.env, WINEPREFIX=options.prefix))
            # The saver starts with the pointer at 500,400: on the left monitor.
            full_screen_input_rules(inner, [(800, 0, 1824, 768), (0, 168, 800, 768)], (255, 0, 128))
        finally:
            inner.close()
    finally:
        subprocess.run(["wineserver", "-k"], env=dict(screen.env, WINEPREFIX=options.prefix))
        screen.close()


def case_password(session):
    """win98 for quarlo.scr, a password set, our own PASSWORD.CPL beside it:
    two presses 12 ms apart are one refused verification (the second comes
    within 200 ms of it), one a second later is asked again, and an accepted
    one ends the saver."""
    saver = os.path.join(session.work, "quarlo.scr")
    shutil.copy(session.options.saver, saver)
    shutil.copy(session.options.cpl, os.path.join(session.work, "PASSWORD.CPL"))
    session.reg_add(r"HKCU\Software\Wine\AppDefaults\quarlo.scr", "/v", "Version", "/d", "win98")
    session.reg_add(r"HKCU\Control Panel\Desktop", "/v", "ScreenSaveUsePassword", "/t",
                    "REG_DWORD", "/d", "1")
    log = os.path.join(session.work, "password.log")
    session.saver = saver
    running = start_full_screen(session, env=dict(session.env, QUARLO_TEST_PASSWORD="001",
                                                  QUARLO_TEST_PASSWORD_LOG=log))

    def calls():
        return open(log).read().splitlines() if os.path.exists(log) else []
    for keys, asked in ((["--delay", "12", "a", "b"], 1), (["c"], 2)):
        session.xdotool("key", *keys)
        check(still_running(running, 1.0), "a refused password ended the saver")
        check(len(calls()) == asked, "expected %d verifications, got %r" % (asked, calls()))
    session.xdotool("key", "d")
    check(exit_code(running) == 0, "an accepted password did not end the saver with 0")
    check(len(calls()) == 3 and "answer 1" in calls()[2], "log: %r" % calls())
    check(all("window 1" in c for c in calls()), "the verifier did not get the saver window")


def case_no_context(session):
    """A display without GLX: no pixel format, no context; the window stays
    black and input still ends the saver. Its Wine server must be its own,
    on this display."""
    blank = Screen(own=True, size="640x480x24", extra=["-extension", "GLX"])
    try:
        subprocess.run(["wineserver", "-w"], env=dict(session.env, WINEPREFIX=session.options.prefix))
        inner = Session(session.options, blank.env["DISPLAY"])
        try:
            saver = start_full_screen(inner)
            picture = inner.screenshot()
            colours = picture.colours(0, 0, picture.width, picture.height, step=4)
            check(set(colours) == {(0, 0, 0)}, "the window is not blank: %s" % list(colours)[:5])
            inner.xdotool("key", "x")
            check(exit_code(saver) == 0, "a key press did not end the blank saver with 0")
        finally:
            inner.close()
    finally:
        blank.close()


if __name__ == "__main__":
    sys.exit(e2e_main(globals(), ["wine-run", "prefix", "saver", "host", "cpl"], Session))
