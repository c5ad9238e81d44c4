#!/usr/bin/env python3
"""End-to-end runs of quarlo.scr under wine64 and Xvfb: real processes, real
X input through xdotool, and screenshots of the root window.

    saver_e2e.py --wine-run W --prefix P --saver S --host H --cpl C CASE
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from e2e import (Failure, Screen, check, check_logo_and_cube, exit_code, run_case,  # noqa: E402
                 still_running, wait_for_colour, write_solid_bmp)


class Session(Screen):
    """The test display, with quarlo.scr and Wine tools run in the prefix."""

    def __init__(self, options, display=None):
        env = dict(os.environ)
        if display:
            env["DISPLAY"] = display
        super().__init__(env)
        out = subprocess.run([options.wine_run, options.prefix, "--display"], env=self.env,
                             check=True, capture_output=True, text=True).stdout.strip()
        self.env["DISPLAY"] = out
        self.options = options
        self.processes = []

    def start(self, program, *args, env=None):
        process = subprocess.Popen([self.options.wine_run, self.options.prefix, program, *args],
                                   env=env or self.env, stdout=subprocess.PIPE,
                                   stderr=subprocess.STDOUT, text=True)
        self.processes.append(process)
        return process

    def wine(self, *args):
        """Runs a Wine tool (reg) to its end. On a prefix that is still busy
        being set up, reg has been seen to fail once; it is tried again."""
        for attempt in range(4):
            done = subprocess.run([self.options.wine_run, self.options.prefix, *args],
                                  env=self.env, capture_output=True, text=True)
            if done.returncode == 0:
                return
            time.sleep(0.5)
        raise Failure("%s failed: %s" % (" ".join(args), done.stdout + done.stderr))

    def wine_cleanup(self, *args):
        """Undoes a test's registry change; what is already gone is fine."""
        subprocess.run([self.options.wine_run, self.options.prefix, *args], env=self.env,
                       capture_output=True)

    def close(self):
        for process in self.processes:
            if process.poll() is None:
                process.kill()
                process.wait()


def start_fullscreen(session, saver_path=None, env=None):
    session.xdotool("mousemove", "500", "400")
    saver = session.start(saver_path or session.options.saver, "/s", env=env)
    session.wait_window("Screen Saver")
    time.sleep(2)  # a few ticks, so frames are on the screen
    return saver


def case_fullscreen_key(session):
    saver = start_fullscreen(session)
    picture = session.screenshot()
    check_logo_and_cube(picture, 0, 0, picture.width, picture.height)
    session.xdotool("key", "x")
    check(exit_code(saver) == 0, "a key press did not end the saver with 0")


def case_button(session):
    saver = start_fullscreen(session)
    session.xdotool("click", "1")
    check(exit_code(saver) == 0, "a button press did not end the saver with 0")


def case_pointer_moves(session):
    saver = start_fullscreen(session)
    session.xdotool("mousemove_relative", "--", "3", "1")
    check(still_running(saver, 1.5), "a move of 4 pixels ended the saver")
    session.xdotool("mousemove_relative", "--", "0", "1")
    check(exit_code(saver) == 0, "moves adding up to 5 pixels did not end the saver with 0")


def case_second_saver(session):
    first = start_fullscreen(session)
    second = session.start(session.options.saver, "/s")
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
        saver = session.start(session.options.saver, *switches)
        check(exit_code(saver, timeout=20) == 255, "%s did not exit with -1" % switches)
    check(not session.windows_named("Screen Saver") and not session.windows_named("Preview"),
          "a saver window appeared")


def case_preview(session):
    """The saver draws in a child of the host's window and ignores input.
    Wine shows no GL content of a child window owned by another process (its
    device context has no X drawable), so the frames are counted from Wine's
    own trace of the buffer swaps instead of a screenshot."""
    env = dict(session.env, WINEDEBUG="trace+wgl")
    host = session.start(session.options.host, session.options.saver, "6000", env=env)
    lines = []
    while True:
        line = host.stdout.readline()
        check(line, "the host ended before it started the saver: %r" % lines[-5:])
        lines.append(line)
        if "saver started" in line:
            break
    session.wait_window("Quarlo preview host")
    time.sleep(2)
    window = session.windows_named("Quarlo preview host")[0]
    geometry = session.xdotool("getwindowgeometry", "--shell", window)
    values = dict(item.split("=") for item in geometry.split())
    x, y, w, h = (int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))
    # Input inside the preview must not end it.
    session.xdotool("mousemove", str(x + w // 2), str(y + h // 2))
    session.xdotool("click", "1")
    session.xdotool("key", "x")
    session.xdotool("mousemove_relative", "--", "40", "30")
    output = "".join(lines) + host.communicate(timeout=30)[0]
    report = [l for l in output.splitlines() if l.startswith(("preview child", "saver exit"))]
    child = [l for l in report if l.startswith("preview child found")]
    check(child, "the preview ended before its parent: %r" % report)
    size = child[0].split()
    check(size[4] == size[6], "the preview does not fill the host's client area: %r" % child[0])
    swaps = output.count("wglSwapBuffers")
    check(swaps >= 20, "the preview drew %d frames in 6 s" % swaps)
    check("saver exit 0" in output, "the preview did not exit with 0: %r" % report)
    check(host.returncode == 0, "host exit %d" % host.returncode)


def case_password(session):
    """win98 for quarlo.scr, a password set, our own PASSWORD.CPL beside it."""
    work = tempfile.mkdtemp(prefix="quarlo-password-")
    app_key = r"HKCU\Software\Wine\AppDefaults\quarlo.scr"
    desktop = r"HKCU\Control Panel\Desktop"
    try:
        saver_path = os.path.join(work, "quarlo.scr")
        shutil.copy(session.options.saver, saver_path)
        shutil.copy(session.options.cpl, os.path.join(work, "PASSWORD.CPL"))
        session.wine("reg", "add", app_key, "/v", "Version", "/d", "win98", "/f")
        session.wine("reg", "add", desktop, "/v", "ScreenSaveUsePassword", "/t", "REG_DWORD",
                     "/d", "1", "/f")
        log = os.path.join(work, "password.log")
        env = dict(session.env, QUARLO_TEST_PASSWORD="001", QUARLO_TEST_PASSWORD_LOG=log)
        saver = start_fullscreen(session, saver_path, env=env)

        def calls():
            return open(log).read().splitlines() if os.path.exists(log) else []

        # Two presses 12 ms apart: the first is asked and refused, the second
        # comes within 200 ms of that and is not asked.
        session.xdotool("key", "--delay", "12", "a", "b")
        check(still_running(saver, 1.0), "a refused password ended the saver")
        check(len(calls()) == 1, "expected one verification, got %r" % calls())
        session.xdotool("key", "c")
        check(still_running(saver, 1.0), "the second refused password ended the saver")
        check(len(calls()) == 2, "a close 1 s later was not asked: %r" % calls())
        session.xdotool("key", "d")
        check(exit_code(saver) == 0, "an accepted password did not end the saver with 0")
        check(len(calls()) == 3 and "answer 1" in calls()[2], "log: %r" % calls())
        check(all("window 1" in c for c in calls()), "the verifier did not get the saver window")
    finally:
        session.wine_cleanup("reg", "delete", app_key, "/f")
        session.wine_cleanup("reg", "delete", desktop, "/v", "ScreenSaveUsePassword", "/f")
        shutil.rmtree(work, ignore_errors=True)


def case_picture(session):
    """Surface on and a picture named in the registry: the front face shows it."""
    work = tempfile.mkdtemp(prefix="quarlo-picture-")
    key = r"HKCU\Software\Orvendel\QuarloScreenSaver"
    colour = (17, 140, 91)
    try:
        picture_path = os.path.join(work, "face.bmp")
        write_solid_bmp(picture_path, colour)
        session.wine("reg", "add", key, "/v", "Surface", "/t", "REG_DWORD", "/d", "1", "/f")
        session.wine("reg", "add", key, "/v", "Texture", "/d", "Z:" + picture_path.replace("/", "\\"),
                     "/f")
        saver = start_fullscreen(session)
        seen = wait_for_colour(session, colour, (256, 192, 768, 576))
        check(seen >= 500, "the front face never showed the picture (%d pixels)" % seen)
        session.xdotool("key", "x")
        check(exit_code(saver) == 0, "a key press did not end the saver with 0")
    finally:
        session.wine_cleanup("reg", "delete", key, "/f")
        shutil.rmtree(work, ignore_errors=True)


def case_no_context(session):
    """A display without GLX: no pixel format, no context; the window stays
    black and input still ends the saver."""
    number = os.environ.get("QUARLO_NOGL_DISPLAY", "96")
    display = ":" + number
    server = subprocess.Popen(["Xvfb", display, "-screen", "0", "640x480x24", "-nolisten", "tcp",
                               "-extension", "GLX"], stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    try:
        env = dict(session.env, DISPLAY=display)
        for _ in range(100):
            if subprocess.run(["xdpyinfo"], env=env, capture_output=True).returncode == 0:
                break
            time.sleep(0.1)
        glx = subprocess.run(["xdpyinfo"], env=env, capture_output=True, text=True).stdout
        check("GLX" not in glx, "the test display offers GLX")
        # A Wine server still running from another test keeps its desktop on
        # the shared display; this run starts one of its own on this one.
        subprocess.run(["wineserver", "-w"], env=dict(session.env, WINEPREFIX=session.options.prefix))
        inner = Session(session.options, display)
        try:
            saver = start_fullscreen(inner)
            picture = inner.screenshot()
            colours = picture.colours(0, 0, picture.width, picture.height, step=4)
            check(set(colours) == {(0, 0, 0)}, "the window is not blank: %s" % list(colours)[:5])
            inner.xdotool("key", "x")
            check(exit_code(saver) == 0, "a key press did not end the blank saver with 0")
        finally:
            inner.close()
    finally:
        server.terminate()  # lets the server remove its socket and lock
        server.wait()


CASES = {name[5:]: f for name, f in globals().items() if name.startswith("case_")}


def main():
    parser = argparse.ArgumentParser()
    for option in ("--wine-run", "--prefix", "--saver", "--host", "--cpl"):
        parser.add_argument(option, required=True)
    parser.add_argument("case", choices=sorted(CASES))
    options = parser.parse_args()
    session = Session(options)
    try:
        return run_case(CASES, options.case, session)
    finally:
        session.close()


if __name__ == "__main__":
    sys.exit(main())
