#!/usr/bin/env python3
"""End-to-end runs of the Linux saver on an Xvfb of each case's own: real
processes, X input through xdotool, screenshots, a host program's window, the
settings file, the GTK dialog and the real XScreenSaver daemon.

    saver_e2e.py --saver QUARLO --host X_HOST CASE
"""
import argparse
import os
import pwd
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from e2e import (FACE_COLOURS, Screen, check, check_logo_and_cube, exit_code,  # noqa: E402
                 run_case, still_running, wait_for_colour, write_solid_bmp)

SETTINGS_KEY = "[HKEY_CURRENT_USER\\Software\\Orvendel\\QuarloScreenSaver]"


class Run(Screen):
    """An Xvfb of the case's own, a settings folder of its own, the saver."""

    def __init__(self, options):
        super().__init__(own=True)
        self.options = options
        self.work = tempfile.mkdtemp(prefix="quarlo-e2e-")
        self.env["XDG_CONFIG_HOME"] = os.path.join(self.work, "config")
        self.env.pop("XSCREENSAVER_WINDOW", None)
        self.processes = []

    def start(self, *args, env=None, program=None):
        process = subprocess.Popen([program or self.options.saver, *args], env=env or self.env,
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        self.processes.append(process)
        return process

    def host(self, width=320, height=240):
        """A window of another program's; its id, and the program (write
        "destroy" to it to take the window away)."""
        host = subprocess.Popen([self.options.host, "window", str(width), str(height)],
                                env=self.env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                text=True)
        self.processes.append(host)
        return host.stdout.readline().strip(), host

    def settings_file(self):
        return os.path.join(self.env["XDG_CONFIG_HOME"], "quarlo", "settings.reg")

    def write_settings(self, lines):
        os.makedirs(os.path.dirname(self.settings_file()), exist_ok=True)
        with open(self.settings_file(), "w", newline="\r\n") as out:
            out.write("REGEDIT4\n\n%s\n%s\n" % (SETTINGS_KEY, "\n".join(lines)))

    def close(self):
        for process in self.processes:
            if process.poll() is None:
                process.kill()
                process.wait()
        super().close()
        shutil.rmtree(self.work, ignore_errors=True)


def start_fullscreen(run, *args):
    run.xdotool("mousemove", "500", "400")
    saver = run.start("-s", *args)
    run.wait_window("Screen Saver")
    time.sleep(1.5)  # a few ticks, so frames are on the screen
    return saver


def case_fullscreen(run):
    """Full screen: the show, and each input that ends it, counted as on Windows."""
    saver = start_fullscreen(run)
    picture = run.screenshot()
    check_logo_and_cube(picture, 0, 0, picture.width, picture.height)
    run.xdotool("key", "x")
    check(exit_code(saver) == 0, "a key press did not end the saver with 0")

    saver = start_fullscreen(run)
    run.xdotool("click", "3")
    check(exit_code(saver) == 0, "a button press did not end the saver with 0")

    saver = start_fullscreen(run)
    run.xdotool("mousemove_relative", "--", "3", "1")
    check(still_running(saver, 1.0), "a move of 4 pixels ended the saver")
    run.xdotool("mousemove_relative", "--", "0", "1")
    check(exit_code(saver) == 0, "moves adding up to 5 pixels did not end the saver with 0")

    window, host = run.host()
    saver = start_fullscreen(run)
    run.xdotool("windowfocus", window)
    check(exit_code(saver) == 0, "the loss of the focus did not end the saver with 0")


def case_window(run):
    """-window: an ordinary window of its own, resizable, ended by a close."""
    saver = run.start("-window")
    window = run.wait_window("Quarlo's Cube")
    time.sleep(1.5)
    check_logo_and_cube(run.screenshot(), *area(run.geometry(window)))
    run.xdotool("windowsize", window, "300", "300")
    time.sleep(1)
    check_logo_and_cube(run.screenshot(), *area(run.geometry(window)))
    run.xdotool("key", "x")
    run.xdotool("mousemove_relative", "--", "50", "50")
    check(still_running(saver, 0.5), "input ended a saver in a window")
    subprocess.run([run.options.host, "close", window], env=run.env, check=True)
    check(exit_code(saver) == 0, "closing the window did not end the saver with 0")

    saver = run.start("-window")
    window = run.wait_window("Quarlo's Cube")
    run.xdotool("windowclose", window)  # another program destroys it
    check(exit_code(saver) == 0, "a destroyed window did not end the saver with 0")
    check("X Error" not in saver.stderr.read(), "an X error was reported")


def area(geometry):
    x, y, w, h = geometry
    return x, y, x + w, y + h


def case_hosted(run):
    """A window another program made: drawn into, input left alone, and the
    saver ends with 0 when the window goes away. Every way of naming it."""
    ways = [lambda w: (["-window-id", w], {}),
            lambda w: (["--window-id", str(int(w, 16))], {}),
            lambda w: (["-p", str(int(w, 16))], {}),
            lambda w: (["-l", w], {}),
            lambda w: ([], {"XSCREENSAVER_WINDOW": w}),
            lambda w: (["-root"], {"XSCREENSAVER_WINDOW": str(int(w, 16))})]
    for way in ways:
        window, host = run.host(400, 300)
        args, extra = way(window)
        saver = run.start(*args, env=dict(run.env, **extra))
        time.sleep(1.5)
        check_logo_and_cube(run.screenshot(), 100, 100, 500, 400)
        run.xdotool("mousemove", "300", "250")
        run.xdotool("click", "1")
        run.xdotool("key", "x")
        check(still_running(saver, 0.5), "input ended the saver drawn with %r" % ((args, extra),))
        host.stdin.write("destroy\n")
        host.stdin.flush()
        check(exit_code(saver) == 0, "the host's window going away did not end %r with 0" % args)
        check("X Error" not in saver.stderr.read(), "an X error was reported")
        host.stdin.close()


def case_root_and_signals(run):
    """-root draws on the root window; SIGTERM and SIGINT end it with 0."""
    for ending in (signal.SIGTERM, signal.SIGINT):
        saver = run.start("-root")
        time.sleep(1.5)
        picture = run.screenshot()
        check_logo_and_cube(picture, 0, 0, picture.width, picture.height)
        saver.send_signal(ending)
        check(exit_code(saver) == 0, "%s did not end the saver with 0" % ending.name)


def case_bad_arguments(run):
    """One clear line, the usage, and a non-zero exit; no window made."""
    for args in (["-x"], ["/q"], ["-window-id", "0x1fffff0"], ["-window-id", "root"], ["-p"],
                 ["-p", "0"], ["-s", "-window"], ["-size", "huge"], ["-texture"], ["--colour"],
                 ["-display", ":999", "-s"]):
        saver = run.start(*args)
        code = exit_code(saver)
        lines = saver.stderr.read().splitlines()
        check(code != 0, "%s exited with 0" % args)
        check(lines and lines[0].startswith("quarlo: "), "%s: no message: %r" % (args, lines))
        check(args[0] == "-display" or any("usage: quarlo" in l for l in lines),
              "%s: no usage: %r" % (args, lines))
    check(not run.windows_named("Screen Saver"), "a saver window appeared")
    help_run = run.start("--help")
    check(exit_code(help_run) == 0 and "usage: quarlo" in help_run.stdout.read(),
          "--help does not print the usage")


def case_settings(run):
    """The settings file's picture shows on the front; this run's options
    win over the stored settings and are not stored."""
    stored, given = (17, 140, 91), (201, 77, 12)
    stored_bmp, given_bmp = os.path.join(run.work, "stored.bmp"), os.path.join(run.work, "g.bmp")
    write_solid_bmp(stored_bmp, stored)
    write_solid_bmp(given_bmp, given)
    run.write_settings(['"Surface"=dword:00000001', '"Displacement"=dword:00000046',
                        '"Texture"="%s"' % stored_bmp])
    before = open(run.settings_file(), "rb").read()
    middle = (256, 192, 768, 576)
    for args, colour in (([], stored), (["-texture", given_bmp], given)):
        saver = start_fullscreen(run, *args)
        check(wait_for_colour(run, colour, middle) >= 500,
              "the front face never showed the picture with %s" % args)
        run.xdotool("key", "x")
        exit_code(saver)

    def cube_pixels(*args):
        saver = run.start("-root", *args)
        time.sleep(1.2)
        counts = run.screenshot().colours(0, 0, 1024, 768, step=4)
        saver.send_signal(signal.SIGTERM)
        exit_code(saver)
        return sum(n for c, n in counts.items() if c in FACE_COLOURS or c == stored)

    small, large = cube_pixels(), cube_pixels("-size", "large")
    check(large > 3 * small, "-size large drew no larger cube: %d vs %d" % (large, small))
    check(open(run.settings_file(), "rb").read() == before, "the run's options were stored")


def case_dialog(run):
    """The GTK settings dialog: Escape (Cancel) writes nothing and gives 0;
    OK writes the file and gives 1."""
    dialog = run.start("-c")
    run.wait_window("Quarlo Screen Saver Setup")
    time.sleep(0.5)
    run.xdotool("key", "Escape")
    check(exit_code(dialog) == 0, "Cancel did not give 0")
    check(not os.path.exists(run.settings_file()), "Cancel wrote the settings")
    dialog = run.start()
    run.wait_window("Quarlo Screen Saver Setup")
    time.sleep(0.5)
    run.xdotool("key", "Return")
    check(exit_code(dialog) == 1, "OK did not give 1")
    text = open(run.settings_file(), "rb").read().decode()
    check(text.startswith("REGEDIT4\r\n") and '"Displacement"=dword:0000003c' in text,
          "OK wrote %r" % text)


def case_xscreensaver(run):
    """The real XScreenSaver daemon runs the hack (it will not run hacks for
    root: it runs as nobody here) in its own window, and stops it."""
    home = os.path.join(run.work, "home")
    os.makedirs(home)
    with open(os.path.join(home, ".xscreensaver"), "w") as out:
        out.write("mode: one\nselected: 0\nlock: False\nsplash: False\nfade: False\nunfade: False\n"
                  "timeout: 0:30:00\nprograms: GL: %s --root \\n\\\n" % run.options.saver)
    nobody = pwd.getpwnam("nobody")
    os.chown(run.work, nobody.pw_uid, nobody.pw_gid)
    for folder, _, files in os.walk(run.work):
        for name in [folder] + [os.path.join(folder, f) for f in files]:
            os.chown(name, nobody.pw_uid, nobody.pw_gid)
    env = dict(run.env, HOME=home, USER="nobody", LOGNAME="nobody")
    as_user = (["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"]
               if os.getuid() == 0 else [])
    log = os.path.join(run.work, "xscreensaver.log")
    run.processes.append(subprocess.Popen(
        as_user + ["xscreensaver", "-no-splash", "-verbose", "-log", log], env=env,
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    command = as_user + ["xscreensaver-command"]
    deadline = time.time() + 20
    while subprocess.run(command + ["-time"], env=env, capture_output=True).returncode != 0:
        check(time.time() < deadline, "the daemon did not start")
        time.sleep(0.3)
    subprocess.run(command + ["-activate"], env=env, capture_output=True, check=True)
    deadline = time.time() + 20
    hack = None
    while not hack and time.time() < deadline:
        time.sleep(0.5)
        found = subprocess.run(["pgrep", "-f", "-u", "nobody", run.options.saver + " --root"],
                               capture_output=True, text=True).stdout.split()
        hack = found[0] if found else None
    check(hack, "the daemon did not start the hack: %s" % open(log).read()[-800:])
    time.sleep(2)
    picture = run.screenshot()
    check_logo_and_cube(picture, 0, 0, picture.width, picture.height)
    subprocess.run(command + ["-deactivate"], env=env, capture_output=True)
    deadline = time.time() + 10
    while os.path.exists("/proc/" + hack) and time.time() < deadline:
        time.sleep(0.2)
    check(not os.path.exists("/proc/" + hack), "the hack did not end when the daemon stopped it")
    check("X Error" not in open(log).read(), "the daemon logged an X error")


CASES = {name[5:]: f for name, f in globals().items() if name.startswith("case_")}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--saver", required=True)
    parser.add_argument("--host", required=True)
    parser.add_argument("case", choices=sorted(CASES))
    options = parser.parse_args()
    run = Run(options)
    try:
        return run_case(CASES, options.case, run)
    finally:
        run.close()


if __name__ == "__main__":
    sys.exit(main())
