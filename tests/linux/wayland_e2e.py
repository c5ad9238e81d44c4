#!/usr/bin/env python3
"""End-to-end runs of the saver in a Wayland session: headless sway with two
outputs (1024x768 and 800x600 side by side), run as nobody as sway wants, with
real input from wtype and a virtual pointer; weston for a compositor without
the layer shell; Xwayland for the X11 saver in such a session."""
import glob
import os
import re
import pwd
import signal
import socket
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from e2e import (FACE_COLOURS, Picture, Screen, UserSession, check, cube_centre_x,  # noqa: E402
                 e2e_main, exit_code, nobodys_process, ppm_picture, rendered_frame, status_kib,
                 still_running, wait_for)

TWO_OUTPUTS = ["HEADLESS-1 mode 1024x768 position 0 0", "HEADLESS-2 mode 800x600 position 1024 0"]
SIZES = {"HEADLESS-1": (1024, 768), "HEADLESS-2": (800, 600)}


class Session(UserSession):
    """A compositor as nobody in a runtime folder of its own, and what runs in it."""

    def __init__(self, options, xwayland=False, weston=False, x11_backend=False):
        super().__init__(pwd.getpwnam("nobody"), {"WAYLAND_DISPLAY": "wayland-1"})
        self.options = options
        self.screen = None
        self.env.update(HOME=self.work, XDG_CONFIG_HOME=os.path.join(self.work, "config"))
        if weston:
            self.env["WAYLAND_DISPLAY"] = "wayland-w"
            command = ["weston", "--backend=headless-backend.so", "--socket=wayland-w",
                       "--width=640", "--height=480", "--idle-time=0"]
        else:
            config = os.path.join(self.work, "sway.conf")
            with open(config, "w") as out:
                out.write("".join("output %s\n" % o for o in TWO_OUTPUTS))
                out.write("xwayland %s\nbar {\n}\n" % ("enable" if xwayland else "disable"))
            command = ["sway", "-c", config]
        env = dict(self.env, WLR_BACKENDS="headless", WLR_RENDERER="pixman",
                   WLR_HEADLESS_OUTPUTS=str(len(TWO_OUTPUTS)), WLR_LIBINPUT_NO_DEVICES="1")
        if x11_backend:  # outputs as X windows, which a close takes away as an unplug would
            self.screen = Screen(own=True, size="2048x1024x24")
            for atoms in (["WM_PROTOCOLS", "32a", "WM_DELETE_WINDOW"], ["_NET_WM_NAME", "8u", "x"]):
                subprocess.run(["xprop", "-root", "-f", atoms[0], atoms[1], "-set", *atoms[::2]],
                               env=self.screen.env, check=True)  # made, for wlroots to find
            env.update(WLR_BACKENDS="x11", WLR_X11_OUTPUTS="2", DISPLAY=self.screen.env["DISPLAY"])
        env.pop("WAYLAND_DISPLAY")
        self.compositor = self.start(command, env=env)
        socket = os.path.join(self.runtime, self.env["WAYLAND_DISPLAY"])
        check(wait_for(lambda: os.path.exists(socket), pause=0.05),
              "the compositor did not start")
        sockets = glob.glob(os.path.join(self.runtime, "sway-ipc.*"))
        if sockets:
            self.env["SWAYSOCK"] = sockets[0]

    def saver(self, *args, env=None):
        return self.start([self.options.saver, *args], env=env)

    def traced_saver(self, *args):
        """The saver with its protocol traffic logged: the process, and the
        log's path (stderr, the saver's own lines too)."""
        log = os.path.join(self.work, "protocol.log")
        with open(log, "w") as out:
            return self.start([self.options.saver, *args], env=dict(self.env, WAYLAND_DEBUG="client"),
                              stderr=out), log

    def pointer(self):
        """Our virtual pointer: a function that runs one of its commands."""
        pointer = self.start([self.options.pointer], stdin=subprocess.PIPE)
        check(pointer.stdout.readline() == "ok\n", "no virtual pointer")

        def command(line):
            print(line, file=pointer.stdin, flush=True)
            check(pointer.stdout.readline() == "ok\n", "the virtual pointer failed")
        return command

    def shows(self, output, pixels=200, timeout=10):
        """Whether the output shows the cube, in one of the shots until the timeout."""
        def seen():
            shot = self.shot(output).pixels
            return sum(tuple(shot[i:i + 3]) in FACE_COLOURS for i in range(0, len(shot) - 2, 3 * 7))
        return wait_for(lambda: seen() >= pixels, timeout)

    def run(self, *command, env=None):
        return subprocess.run(self.prefix + list(command), env=env or self.env, text=True,
                              capture_output=True, timeout=20)

    def shot(self, output):
        """An output's Picture (grim's PPM: fast enough for several shots in
        a show's first half second); an empty one if it can't be had."""
        ppm = subprocess.run(self.prefix + ["grim", "-t", "ppm", "-o", output, "-"], env=self.env,
                             capture_output=True, timeout=20).stdout
        return ppm_picture(ppm) or Picture(0, 0, b"")

    def wait_for_frames(self, wanted, rows_off=0, timeout=8):
        """Whether each output showed, in some shot, its frame of `wanted`
        exactly, or with at most `rows_off` rows that differ (a show's first
        half second is that frame, the solved cube at rest; after it, the
        frames differ)."""
        wanted = dict(wanted)

        def shown():
            for output in list(wanted):
                shot, frame = self.shot(output), wanted[output]
                pixels, row = shot.pixels, shot.width * 3
                if len(pixels) == len(frame) and sum(
                        pixels[at:at + row] != frame[at:at + row]
                        for at in range(0, len(frame), row)) <= rows_off:
                    del wanted[output]
            return not wanted
        return wait_for(shown, timeout, pause=0)

    def key(self, saver):
        """Types a key until the saver (a process of ours, or the id of one
        another program started) ends; whether it ended (with 0, for ours).
        wtype's keyboard comes and goes with it, and its press can come
        before the compositor has told the saver of the keyboard."""
        for _ in range(5):
            self.run("wtype", "-s", "200", "-k", "space")
            if isinstance(saver, int):
                time.sleep(1.5)
                if not os.path.exists("/proc/%d" % saver):
                    return True
            elif not still_running(saver, 1.5):
                return saver.returncode == 0
        return False

    def close(self):
        super().close()
        if self.screen:
            self.screen.close()


def case_outputs(session):
    """Every output shows quarlo-render's frame at its size, in buffers the
    compositor copies without blending or converting (XRGB8888), and after
    the first frame tells it only of the part that changed, over a panel
    and a full-screen window, whatever EGL_PLATFORM says; with the outputs
    off it neither stops nor piles up frames; a scale-2 output at twice its
    surface size; outputs made while the saver runs get the show at once,
    17 of them; SIGTERM ends it with 0 even while the compositor is stopped."""
    saver, log = session.traced_saver("-s")
    time.sleep(2)
    saver.send_signal(signal.SIGTERM)
    exit_code(saver)
    said = open(log).read()
    formats = set(re.findall(r"create_buffer\(new id wl_buffer@\d+, \d+, \d+, \d+, \d+, (\d+)\)", said))
    damages = [tuple(map(int, d)) for d in re.findall(r"damage_buffer\((\d+), (\d+), (\d+), (\d+)\)", said)]
    check(formats == {"1"}, "buffers of the formats %r, not XRGB8888 alone" % formats)
    check(any(w * h * 4 < 1024 * 768 for _, _, w, h in damages), "every frame damaged whole: %r" % damages[:4])
    frames = {o: rendered_frame(session.options.render, *size) for o, size in SIZES.items()}
    window = session.saver("-window")
    wait_for(lambda: '"app_id": "quarlo"' in session.run("swaymsg", "-t", "get_tree").stdout)
    session.run("swaymsg", "[app_id=quarlo]", "fullscreen", "enable")
    saver = session.saver("-s", env=dict(session.env, EGL_PLATFORM="x11"))
    check(session.wait_for_frames(frames), "the outputs did not show quarlo-render's frames")
    window.kill()
    session.run("swaymsg", "output", "*", "dpms", "off")
    time.sleep(1)
    resident = status_kib(saver.pid, "VmRSS")
    time.sleep(2)
    check(status_kib(saver.pid, "VmRSS") < resident + 2048, "frames piled up with the outputs off")
    check(session.key(saver), "a key did not end the saver with the outputs off")
    session.run("swaymsg", "output", "*", "dpms", "on")
    session.run("swaymsg", "output", "HEADLESS-2", "scale", "2")
    saver = session.saver("-s")
    check(session.wait_for_frames({"HEADLESS-2": frames["HEADLESS-2"]}),
          "the scale-2 output was not drawn at twice its surface size")
    for n in range(3, 18):
        session.run("swaymsg", "create_output")
        session.run("swaymsg", "output", "HEADLESS-%d" % n, "mode", "320x240")
    for output in ("HEADLESS-3", "HEADLESS-17"):
        check(session.shows(output, 100), "%s did not get the show" % output)
    check(still_running(saver, 0.5), "the saver ended when outputs came")
    os.kill(session.compositor.pid, signal.SIGSTOP)
    time.sleep(1)
    saver.send_signal(signal.SIGTERM)
    check(exit_code(saver, 1.5) == 0, "SIGTERM did not end the saver with 0 while the compositor was stopped")
    os.kill(session.compositor.pid, signal.SIGCONT)


def case_input(session):
    """A key, a button, and the pointer 5 pixels (not 4) from where it was
    first reported, over the border between two outputs too, end the saver
    with 0; so does the compositor's end; also when the frames are slower
    than the tick."""
    move = session.pointer()
    move("to 1021 300 1824 768")  # 3 pixels left of HEADLESS-2
    saver = session.saver("-s")
    # Drawn (under the compositor's cursor, until the saver hides it).
    session.shows("HEADLESS-1", timeout=8)
    move("move 0 0")  # the pointer is reported where it is: no move
    move("move 3 0")
    move("move 0 1")
    check(still_running(saver, 1.0), "a move of 4 pixels, onto the next output, ended the saver")
    move("move 0 1")
    check(exit_code(saver) == 0, "a move of 5 pixels did not end the saver with 0")
    # The last two where every frame takes longer than the tick: what the
    # compositor sends is still read between the frames.
    for what, program, end in (
            ("a button", session.options.saver, lambda saver: move("button") or exit_code(saver) == 0),
            ("a key", session.options.slow_saver, session.key),
            ("the compositor's end", session.options.slow_saver,
             lambda saver: session.compositor.terminate() or exit_code(saver) == 0)):
        saver = session.start([program, "-s"])
        check(still_running(saver, 1.5), "the saver ended by itself")
        check(end(saver), "%s did not end the saver with 0" % what)


def case_window(session):
    """-window is a toplevel titled "Quarlo's Cube" with the app id quarlo,
    also beside 16 outputs (which once left it no slot), which the
    compositor's close ends with 0; its buffers follow its output's scale
    up and down."""
    for _ in range(3, 17):
        session.run("swaymsg", "create_output")
    saver, log = session.traced_saver("-window")
    tree = wait_for(lambda: session.run("swaymsg", "-t", "get_tree").stdout,
                    done=lambda tree: '"app_id": "quarlo"' in tree)
    check('"app_id": "quarlo"' in tree and '"name": "Quarlo\'s Cube"' in tree,
          "no toplevel quarlo titled Quarlo's Cube")
    sizes = []
    for scale in ("2", "1"):
        time.sleep(1)
        session.run("swaymsg", "output", "*", "scale", scale)
        time.sleep(1)
        said = open(log).read()
        window = re.findall(r"xdg_toplevel@\d+\.configure\((\d+), (\d+),", said)[-1]
        buffer = re.findall(r"create_buffer\(new id wl_buffer@\d+, \d+, (\d+), (\d+),", said)[-1]
        sizes.append((int(buffer[0]) // int(window[0]), int(buffer[1]) // int(window[1])))
    check(sizes == [(2, 2), (1, 1)], "buffers per window pixel at scale 2, then 1: %r" % sizes)
    session.run("swaymsg", "[app_id=quarlo]", "kill")
    check(exit_code(saver) == 0, "the close did not end the window with 0")


def case_swayidle(session):
    """swayidle starts the saver after 2 s without input; a key ends it.
    -lock, which this sway can't give a session lock, ends with 255 and
    names the protocol it lacks, never running as an unlocked show."""
    saver = session.options.saver
    refused = session.saver("-lock")
    check(exit_code(refused) == 255, "-lock without the lock protocol did not end with 255")
    said = refused.stderr.read().splitlines()
    check(len(said) == 1 and said[0].startswith("quarlo: ") and "ext-session-lock-v1" in said[0],
          "-lock said %r" % said)
    session.start(["swayidle", "timeout", "2", saver + " -s"])
    started = wait_for(lambda: nobodys_process("^" + saver + " -s"))
    check(started, "swayidle did not start the saver")
    time.sleep(1.0)
    check(session.key(started), "a key did not end the saver swayidle started")


def case_fallback(session):
    """A compositor without the layer shell (weston) gets a full-screen
    toplevel over its whole output and one line that says why; where the
    saver can't run (no EGL, a socket that hangs up before it answers) it
    says why and ends with 255; one that never answers is left at a signal
    within a second."""
    saver, log = session.traced_saver("-s")
    check(still_running(saver, 2.0), "the saver did not run on weston")
    saver.send_signal(signal.SIGTERM)
    check(exit_code(saver) == 0, "SIGTERM did not end the saver with 0")
    said = open(log).read()
    lines = [line for line in said.splitlines() if line.startswith("quarlo")]
    check(len(lines) == 1 and "no layer shell" in lines[0], "stderr: %r" % lines)
    check("create_buffer(new id wl_buffer" in said and
          not re.search(r"create_buffer\(new id wl_buffer@\d+, \d+, (?!640, 480)", said),
          "the window's buffers do not cover the 640x480 output")
    quiet, hangs_up = socket.socket(socket.AF_UNIX), socket.socket(socket.AF_UNIX)
    for place, listener in (("quiet", quiet), ("hangs-up", hangs_up)):
        listener.bind(os.path.join(session.runtime, place))
        listener.listen()
        os.chown(os.path.join(session.runtime, place), *pwd.getpwnam("nobody")[2:4])
    for what, env, code in (
            ("no EGL", dict(session.env, __EGL_VENDOR_LIBRARY_FILENAMES="/nonexistent.json"), 255),
            ("hangs up", dict(session.env, WAYLAND_DISPLAY="hangs-up"), 255),
            ("never answers", dict(session.env, WAYLAND_DISPLAY="quiet"), 0)):
        saver = session.saver("-s", env=env)
        if what == "hangs up":
            hangs_up.accept()[0].close()
        if what == "never answers":
            check(still_running(saver, 1.0), "the saver did not wait for a quiet compositor")
            saver.send_signal(signal.SIGTERM)
        check(exit_code(saver, 2) == code, "%s: not %d" % (what, code))
        lines = saver.stderr.read().splitlines()
        check(code == 0 or (lines and lines[-1].startswith("quarlo: ")), "%s: %r" % (what, lines))


def case_unplug(session):
    """An output unplugged while the saver runs takes its show along; the
    other output keeps it, and a key still ends the saver with 0."""
    saver = session.saver("-s")
    for output in ("X11-1", "X11-2"):
        check(session.shows(output), "%s has no show" % output)
    windows = subprocess.run(["xwininfo", "-root", "-tree"], env=session.screen.env, capture_output=True,
                             text=True).stdout
    plug = re.search(r"(0x[0-9a-f]+) \"wlroots - X11-2\"", windows).group(1)
    subprocess.run([session.options.host, "close", plug], env=session.screen.env, check=True)
    check(wait_for(lambda: "X11-2" not in session.run("swaymsg", "-t", "get_outputs").stdout),
          "the output was not unplugged")
    check(still_running(saver, 1.0), "the saver ended with the output unplugged")
    check(session.shows("X11-1", timeout=0), "the other output lost its show")
    check(session.key(saver), "a key did not end the saver with 0")


def case_xwayland(session):
    """The X11 saver forced in a Wayland session runs until input, and draws
    one show in each monitor's rectangle (Xwayland has one per output),
    following a monitor's new mode and a monitor added; the pointer counts
    from where Xwayland first reports it: 4 pixels keep the saver, 5 end it."""
    display = os.path.join(session.runtime, "display")
    session.run("swaymsg", "exec", "echo $DISPLAY > " + display)
    name = wait_for(lambda: os.path.exists(display) and open(display).read().strip(), 5, pause=0.05)
    env = dict(session.env, DISPLAY=name or "")
    frames = {o: rendered_frame(session.options.render, *size) for o, size in SIZES.items()}
    saver = session.saver("-x11", "-s", env=env)
    # A view at an offset in a larger window may round a pixel of an edge
    # otherwise than quarlo-render's own buffer does.
    check(session.wait_for_frames(frames, rows_off=2),
          "the monitors did not each show quarlo-render's frame")
    session.run("swaymsg", "output", "HEADLESS-2", "mode", "640x480")
    def centred():
        picture = session.shot("HEADLESS-2")
        middle = picture.width == 640 and cube_centre_x(picture, 0, 120, 640, 360)
        return middle and abs(middle - 320) < 30
    check(wait_for(centred), "the monitor's new mode did not get the show at its size")
    session.run("swaymsg", "create_output")
    check(session.shows("HEADLESS-3"), "the monitor added did not get the show")
    move = session.pointer()
    for line, running in (("move 0 0", True), ("move 3 1", True), ("move 0 1", False)):
        move(line)
        check(still_running(saver, 1.0) == running, "%s: running %s" % (line, not running))
    check(saver.returncode == 0, "the pointer did not end the X11 saver with 0")


if __name__ == "__main__":
    sys.exit(e2e_main(globals(), ["saver", "render", "pointer", "slow-saver", "host"], lambda options: Session(
        options, xwayland=options.case == "xwayland", weston=options.case == "fallback",
        x11_backend=options.case == "unplug")))
