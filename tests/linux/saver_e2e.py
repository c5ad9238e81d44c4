#!/usr/bin/env python3
"""End-to-end runs of the Linux saver on an Xvfb of each case's own: real
processes, X input through xdotool, screenshots, a host program's window, the
settings file, the GTK dialog and the real XScreenSaver daemon."""
import os
import pwd
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from e2e import (FACE_COLOURS, Screen, as_user, check, cpu_seconds,  # noqa: E402
                 e2e_main, exit_code, first_frame, full_screen_input_rules, nobodys_process,
                 picture_on_front, rendered_frame, start_full_screen, still_running, wait_for,
                 wait_for_colour, wait_for_logo_and_cube, write_solid_bmp)


class Run(Screen):
    """An Xvfb of the case's own, a settings folder of its own, the saver."""

    def __init__(self, options):
        # XScreenSaver's panel is wider than 1024 pixels.
        super().__init__(own=True, size="1600x1024x24" if options.case == "panel" else "1024x768x24")
        self.options = options
        self.work = tempfile.mkdtemp(prefix="quarlo-e2e-")
        self.env["XDG_CONFIG_HOME"] = os.path.join(self.work, "config")
        self.env.pop("XSCREENSAVER_WINDOW", None)
        self.no_display = {k: v for k, v in self.env.items() if k != "DISPLAY"}
        self.settings = os.path.join(self.env["XDG_CONFIG_HOME"], "quarlo", "settings.reg")

    def start(self, *args, env=None):
        process = subprocess.Popen([self.options.saver, *args], env=env or self.env,
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        self.processes.append(process)
        return process

    def host(self, width=400, height=300, *visual):
        """A window of another program's at 100,100: its id, and the program
        (write commands to it: "destroy", "size W H")."""
        host = subprocess.Popen([self.options.host, "window", str(width), str(height), *visual],
                                env=self.env, stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        self.processes.append(host)
        return host.stdout.readline().strip(), host

    def store(self, *values):
        os.makedirs(os.path.dirname(self.settings), exist_ok=True)
        with open(self.settings, "w", newline="\r\n") as out:
            out.write("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Orvendel\\QuarloScreenSaver]\n%s\n"
                      % "\n".join(values))

    def close(self):
        super().close()
        shutil.rmtree(self.work, ignore_errors=True)


def case_fullscreen(run):
    """The input rules, and the loss of the focus too. (A screen's new size:
    the Xwayland case.)"""
    full_screen_input_rules(run)
    window, host = run.host()
    saver = start_full_screen(run)
    run.xdotool("windowfocus", window)
    check(exit_code(saver) == 0, "the loss of the focus did not end the saver with 0")


def case_window(run):
    """-window: a window of its own, resizable, ended by the window manager's
    close or by another program destroying it, never with an X error; with
    every option the hacks take, at the size and place -geometry gives and
    with the frame rate drawn in its bottom-left corner."""
    saver = run.start("-window", "-geometry", "400x300+50+60", "-fps", "-delay", "20000",
                      "--visual", "TrueColor", "-install", "-noinstall", "-mono", "-pair", "-sync")
    window = run.wait_window("Quarlo's Cube")
    check(run.geometry(window) == (50, 60, 400, 300), "-geometry gave %r" % (run.geometry(window),))
    wait_for_logo_and_cube(run, (50, 60, 450, 360))
    corner = wait_for(lambda: run.screenshot().colours(50, 290, 150, 360, step=1).get((255, 255, 255), 0),
                      done=lambda white: white >= 100)
    check(corner >= 100, "no frame rate in the corner (%d white pixels)" % corner)
    saver.send_signal(signal.SIGTERM)
    check(exit_code(saver) == 0 and not saver.stderr.read(), "the options' run did not end cleanly")
    for ending in ("close", "destroy"):
        saver = run.start("-window")
        window = run.wait_window("Quarlo's Cube")
        for size in ([], ["300", "300"]):
            if size:
                run.xdotool("windowsize", window, *size)
            x, y, w, h = run.geometry(window)
            wait_for_logo_and_cube(run, (x, y, x + w, y + h))
        run.xdotool("key", "x")
        run.xdotool("mousemove_relative", "--", "50", "50")
        check(still_running(saver, 0.5), "input ended a saver in a window")
        if ending == "close":
            subprocess.run([run.options.host, "close", window], env=run.env, check=True)
        else:
            run.xdotool("windowclose", window)
        check(exit_code(saver) == 0, "a %s did not end the saver with 0" % ending)


def case_hosted(run):
    """A window another program made, named the ways that reach the window
    differently, in a visual with a depth buffer or without (then drawn in a window of the saver's own over
    it): exactly the frame quarlo-render draws, its resizes followed, input
    left alone, and the saver ends with 0 when the window goes away."""
    expected = rendered_frame(run.options.render, 400, 300)
    for args, hosted, visual in ((["-window-id", "{hex}"], None, []), (["-p", "{dec}"], None, []),
                                 ([], "{hex}", []), (["-root"], "{dec}", []),
                                 (["-window-id", "{hex}"], None, ["nodepth"])):
        what = (args, hosted, visual)
        window, host = run.host(400, 300, *visual)
        ids = {"hex": window, "dec": str(int(window, 16))}
        env = dict(run.env, **({"XSCREENSAVER_WINDOW": hosted.format(**ids)} if hosted else {}))
        saver = run.start(*[a.format(**ids) for a in args], env=env)
        check(first_frame(run, 100, 100, 400, 300) == expected, "%r: the frame differs" % (what,))
        print("size 300 200", file=host.stdin, flush=True)
        for action in (["mousemove", "300", "250"], ["click", "1"], ["key", "x"]):
            run.xdotool(*action)
        check(still_running(saver, 1.0), "input ended the saver drawn with %r" % (what,))
        wait_for_logo_and_cube(run, (100, 100, 400, 300))
        print("destroy", file=host.stdin, flush=True)
        check(exit_code(saver) == 0, "the window going away did not end %r with 0" % (what,))


def case_hidden(run):
    """Unseen (its window unmapped, or covered by another), the saver draws
    nothing: it uses a small part of the CPU it uses when seen; seen again,
    the whole frame is there at once."""
    for what in ("unmapped", "covered"):
        saver = run.start("-window", "-geometry", "800x600+100+100", "-size", "large")
        window = run.wait_window("Quarlo's Cube")
        time.sleep(1.5)
        used = []
        for hidden in (False, True):
            if hidden and what == "unmapped":
                run.xdotool("windowunmap", window)
            elif hidden:
                _, cover = run.host(800, 600)  # in the same place
            time.sleep(0.5)
            before = cpu_seconds(saver.pid)
            time.sleep(3)
            used.append(cpu_seconds(saver.pid) - before)
        if what == "unmapped":
            run.xdotool("windowmap", window)
        else:
            print("destroy", file=cover.stdin, flush=True)
        wait_for_logo_and_cube(run, (100, 100, 900, 700))
        check(used[1] * 4 < used[0], "%s: %.2f s of CPU seen, %.2f s unseen" % (what, used[0], used[1]))
        saver.send_signal(signal.SIGTERM)
        check(exit_code(saver) == 0, "%s: SIGTERM did not end it with 0" % what)


def case_bad_arguments(run):
    """One clear line and one code for each cause in every mode: a command
    line that can't be read gives 2 and the usage, a mode that can't run
    (no display, no such window, -a) gives 255."""
    for args, code, env in ((["-x"], 2, None), (["-p", "0"], 2, None),  # the rest of the switches: unit tests
                            (["-size", "huge"], 2, None), (["-texture"], 2, None), (["--colour"], 2, None),
                            (["-root", "-delay", "soon"], 2, None), (["-window-id", "0x1fffff0"], 255, None),
                            (["-a"], 255, None), (["-display", ":999", "-s"], 255, None),
                            (["-display", ":999", "-c"], 255, None), (["-s"], 255, run.no_display),
                            (["-c"], 255, run.no_display), ([], 255, run.no_display)):
        saver = run.start(*args, env=env)
        got, lines = exit_code(saver), saver.stderr.read().splitlines()
        check(got == code and lines and lines[0].startswith("quarlo"), "%s: %d %r" % (args, got, lines))
        check((code == 2) == any("usage: quarlo" in l for l in lines), "%s: usage %r" % (args, lines))
    helped = run.start("--help")
    check(exit_code(helped) == 0 and "usage: quarlo" in helped.stdout.read(), "no --help")


def case_settings(run):
    """The stored picture shows on the front; this run's options win over the
    stored settings (a -texture turns the picture on) and are not stored;
    -root draws on the root window, and SIGTERM and SIGINT end it with 0."""
    picture_on_front(run, lambda path: run.store('"Surface"=dword:00000001',
                                                 '"Texture"="%s"' % path))
    run.store('"Surface"=dword:00000000', '"Displacement"=dword:00000046')
    stored = open(run.settings, "rb").read()
    given, path = (201, 77, 12), os.path.join(run.work, "given.bmp")
    write_solid_bmp(path, given)
    saver = start_full_screen(run, "-texture", path)
    check(wait_for_colour(run, given, (256, 192, 768, 576)) >= 500, "-texture showed nothing")
    run.xdotool("key", "x")
    exit_code(saver)
    saver = start_full_screen(run, "-texture", "/nonexistent.png")  # a plain face, and one line why
    check(wait_for_colour(run, (0, 0, 255), (256, 192, 768, 576)) >= 500, "no plain front face")
    run.xdotool("key", "x")
    said = saver.stderr.read() if exit_code(saver) == 0 else None
    check(said == "quarlo: the picture /nonexistent.png can't be shown: there is no such file\n",
          "a missing picture: %r" % said)

    def cube_pixels(ending, *args):  # drawn on the root window, ended by a signal
        saver = run.start("-root", *args)
        time.sleep(1.2)
        counts = run.screenshot().colours(0, 0, 1024, 768, step=4)
        saver.send_signal(ending)
        check(exit_code(saver) == 0, "%s did not end the saver with 0" % ending.name)
        return sum(n for c, n in counts.items() if c in FACE_COLOURS)
    small, large = cube_pixels(signal.SIGTERM), cube_pixels(signal.SIGINT, "-size", "large")
    check(0 < small and 3 * small < large, "-size large drew no larger cube: %d vs %d" % (large, small))
    check(open(run.settings, "rb").read() == stored, "the run's options were stored")


def case_dialog(run):
    """The GTK settings dialog, on the display -display names when it is
    given, with the live show in its preview: Escape (Cancel) writes nothing
    and gives 0; OK writes the file and gives 1."""
    for args, env, key, result in ((["-c"], None, "Escape", 0),
                                   (["-display", run.env["DISPLAY"], "-c"], run.no_display, "Escape", 0),
                                   ([], None, "Return", 1)):
        dialog = run.start(*args, env=env)
        x, y, _, _ = run.geometry(run.wait_window("Quarlo's Cube Settings"))
        if key == "Return":  # the preview, 320 x 240 inside the dialog's border
            wait_for_logo_and_cube(run, (x + 18, y + 18, x + 338, y + 258))
        time.sleep(0.5)
        run.xdotool("key", key)
        check(exit_code(dialog) == result, "%s did not give %d" % (key, result))
        check(os.path.exists(run.settings) == (result == 1), "%s: the file is wrong" % key)
    text = open(run.settings, "rb").read().decode()
    check(text.startswith("REGEDIT4\r\n") and '"Displacement"=dword:0000003c' in text,
          "OK wrote %r" % text)


def case_xscreensaver(run):
    """The real XScreenSaver daemon runs the hack in its own window, and stops
    it. It runs no hacks for root: here it runs as nobody."""
    env, as_nobody = as_nobody_at_home(run, run.options.saver + " --root")
    log = os.path.join(run.work, "xscreensaver.log")
    run.processes.append(subprocess.Popen(
        as_nobody + ["xscreensaver", "-no-splash", "-verbose", "-log", log], env=env,
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    command = as_nobody + ["xscreensaver-command"]
    answers = lambda: subprocess.run(command + ["-time"], env=env, capture_output=True).returncode == 0
    check(wait_for(answers, 20, pause=0.3), "the daemon did not start")
    subprocess.run(command + ["-activate"], env=env, capture_output=True, check=True)
    hack = wait_for(lambda: nobodys_process(run.options.saver + " --root"), 20, pause=0.5)
    check(hack, "the daemon did not start the hack: %s" % open(log).read()[-800:])
    wait_for_logo_and_cube(run)
    subprocess.run(command + ["-deactivate"], env=env, capture_output=True)
    check(wait_for(lambda: not os.path.exists("/proc/%d" % hack)),
          "the hack did not end when the daemon stopped it")


def case_panel(run):
    """XScreenSaver's own settings panel with our description: it reads each
    stored command line back into its controls and writes the same line
    (every option known to it), and previews the hack with it in its own
    window (--root --window-id: the window id wins) with the show drawn."""
    check(os.getuid() == 0, "the panel's case needs root, to lend the panel our description")
    config = os.path.join(run.work, "config-xml")
    os.makedirs(config)
    shutil.copy(run.options.description, config)
    picture = os.path.join(run.work, "face.bmp")
    write_solid_bmp(picture, (17, 140, 91))
    for options in ("--delay 20000 --no-explode --size small --texture %s --fps" % picture,
                    "--explode --size medium", "--size large"):
        line = "%s --root %s" % (run.options.saver, options)
        env, as_nobody = as_nobody_at_home(run, line)
        log = os.path.join(run.work, "panel.log")
        with open(log, "w") as out:
            panel = subprocess.Popen(  # our description where the panel reads them
                ["unshare", "-m", "sh", "-c", 'mount --bind "$0" /usr/share/xscreensaver/config && '
                 'exec "$@"', config] + as_nobody + ["xscreensaver-settings", "--debug"],
                env=env, stdout=out, stderr=subprocess.STDOUT)
        run.processes.append(panel)
        hack = wait_for(lambda: nobodys_process("^%s --root .*--window-id" % run.options.saver), 20)
        said = open(log).read()
        check(hack, "the panel ran no preview: %s" % said[-600:])
        check('scheduling preview "%s"' % line in said and "no match" not in said,
              "the panel did not read %r back whole: %s" % (options, said[-600:]))
        preview = run.geometry(run.wait_window("XScreenSaver Settings Preview"))
        wait_for_logo_and_cube(run, (preview[0], preview[1], preview[0] + preview[2],
                                     preview[1] + preview[3]))
        check(still_running(panel, 0.5) and os.path.exists("/proc/%d" % hack),
              "the preview of %r ended" % options)
        panel.kill()
        panel.wait()
        check(wait_for(lambda: not os.path.exists("/proc/%d" % hack)),
              "the preview did not end with the panel's window")


def as_nobody_at_home(run, xscreensaver_programs):
    """A home of nobody's with an ~/.xscreensaver that runs only our hack,
    the environment for nobody there, and the command prefix that runs as
    nobody (XScreenSaver runs no hacks for root)."""
    home = os.path.join(run.work, "home")
    os.makedirs(home, exist_ok=True)
    with open(os.path.join(home, ".xscreensaver"), "w") as out:
        out.write("mode: one\nselected: 0\nlock: False\nsplash: False\nfade: False\nunfade: False\n"
                  "timeout: 0:30:00\nprograms: GL: \"Quarlo's Cube\" %s \\n\\\n" % xscreensaver_programs)
    nobody = pwd.getpwnam("nobody")
    for folder, _, files in os.walk(run.work):
        for name in [folder] + [os.path.join(folder, f) for f in files]:
            os.chown(name, nobody.pw_uid, nobody.pw_gid)
    return dict(run.env, HOME=home, USER="nobody", LOGNAME="nobody"), as_user(nobody)


if __name__ == "__main__":
    sys.exit(e2e_main(globals(), ["saver", "host", "render", "description"], Run))
