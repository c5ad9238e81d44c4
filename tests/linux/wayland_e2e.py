#!/usr/bin/env python3
"""End-to-end runs of the saver in a Wayland session: headless sway with two
outputs (1024x768 and 800x600 side by side), run as nobody as sway wants, with
real input from wtype and a virtual pointer; weston for a compositor without
the layer shell; Xwayland for the X11 saver in such a session.

    wayland_e2e.py --saver QUARLO --render QUARLO_RENDER --pointer WL_POINTER
                   --slow-saver QUARLO_SLOW_TICKS CASE
"""
import glob
import os
import re
import pwd
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from e2e import (FACE_COLOURS, Picture, check, cube_centre_x, e2e_main,  # noqa: E402
                 exit_code, nobodys_process, rendered_frame, still_running, wait_for)

TWO_OUTPUTS = ["HEADLESS-1 mode 1024x768 position 0 0", "HEADLESS-2 mode 800x600 position 1024 0"]
SIZES = {"HEADLESS-1": (1024, 768), "HEADLESS-2": (800, 600)}


class Session:
    """A compositor as nobody in a runtime folder of its own, and what runs in it."""

    def __init__(self, options, xwayland=False, weston=False, outputs=TWO_OUTPUTS):
        self.options = options
        self.work = tempfile.mkdtemp(prefix="quarlo-wayland-")
        nobody = pwd.getpwnam("nobody")
        self.runtime = os.path.join(self.work, "runtime")
        os.mkdir(self.runtime, 0o700)
        for path in (self.work, self.runtime):
            os.chown(path, nobody.pw_uid, nobody.pw_gid)
        self.env = {"PATH": "/usr/bin:/bin", "HOME": self.work, "XDG_RUNTIME_DIR": self.runtime,
                    "XDG_CONFIG_HOME": os.path.join(self.work, "config"), "WAYLAND_DISPLAY": "wayland-1"}
        self.as_nobody = (["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"]
                          if os.getuid() == 0 else [])
        self.processes = []
        if weston:
            self.env["WAYLAND_DISPLAY"] = "wayland-w"
            command = ["weston", "--backend=headless-backend.so", "--socket=wayland-w",
                       "--width=640", "--height=480", "--idle-time=0"]
            socket = "wayland-w"
        else:
            config = os.path.join(self.work, "sway.conf")
            with open(config, "w") as out:
                out.write("".join("output %s\n" % o for o in outputs))
                out.write("xwayland %s\n" % ("enable" if xwayland else "disable"))
            command = ["sway", "-c", config]
            socket = "wayland-1"
        env = dict(self.env, WLR_BACKENDS="headless", WLR_RENDERER="pixman",
                   WLR_HEADLESS_OUTPUTS=str(len(outputs)), WLR_LIBINPUT_NO_DEVICES="1")
        env.pop("WAYLAND_DISPLAY")
        self.compositor = self.start(command, env=env)
        check(wait_for(lambda: os.path.exists(os.path.join(self.runtime, socket)), pause=0.05),
              "the compositor did not start")
        sockets = glob.glob(os.path.join(self.runtime, "sway-ipc.*"))
        if sockets:
            self.env["SWAYSOCK"] = sockets[0]

    def start(self, command, env=None, **kwargs):
        kwargs.setdefault("stdout", subprocess.PIPE)
        kwargs.setdefault("stderr", subprocess.PIPE)
        process = subprocess.Popen(self.as_nobody + command, env=env or self.env, text=True, **kwargs)
        self.processes.append(process)
        return process

    def saver(self, *args, env=None):
        return self.start([self.options.saver, *args], env=env)

    def run(self, *command, env=None):
        return subprocess.run(self.as_nobody + list(command), env=env or self.env, text=True,
                              capture_output=True, timeout=20)

    def shot(self, output):
        """An output's pixels as RGB bytes, and its size (grim's PPM: fast
        enough for several shots in a show's first half second)."""
        ppm = subprocess.run(self.as_nobody + ["grim", "-t", "ppm", "-o", output, "-"], env=self.env,
                             capture_output=True, timeout=20).stdout
        fields = ppm.split(maxsplit=4)  # P6, width, height, 255, pixels
        if len(fields) < 5 or fields[0] != b"P6":
            return b"", (0, 0)
        return fields[4], (int(fields[1]), int(fields[2]))

    def frames(self, outputs):
        """quarlo-render's first frame at each output's pixel size."""
        return {o: rendered_frame(self.options.render, *size) for o, size in outputs.items()}

    def wait_for_frames(self, wanted, rows_off=0, timeout=8):
        """Whether each output showed, in some shot, its frame of `wanted`
        exactly, or with at most `rows_off` rows that differ (a show's first
        half second is that frame, the solved cube at rest; after it, the
        frames differ)."""
        wanted = dict(wanted)

        def shown():
            for output in list(wanted):
                pixels, (width, _) = self.shot(output)
                row, frame = width * 3, wanted[output]
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
        for process in reversed(self.processes):
            if process.poll() is None:
                process.kill()
            process.wait()
        subprocess.run(["rm", "-rf", self.work])


def face_pixels(pixels):
    colours = (tuple(pixels[i:i + 3]) for i in range(0, len(pixels) - 2, 3 * 7))
    return sum(1 for c in colours if c in FACE_COLOURS)


def case_outputs(session):
    """Every output shows quarlo-render's frame at its size, in buffers the
    compositor copies without blending or converting (XRGB8888), and after
    the first frame tells it only of the part that changed; a scale-2 output
    at twice its surface size; an output made while the saver runs gets the
    show at once."""
    log = os.path.join(session.work, "protocol.log")
    with open(log, "w") as out:
        saver = session.start([session.options.saver, "-s"], env=dict(session.env, WAYLAND_DEBUG="client"),
                              stderr=out)
    time.sleep(2)
    saver.send_signal(signal.SIGTERM)
    exit_code(saver)
    said = open(log).read()
    formats = set(re.findall(r"create_buffer\(new id wl_buffer@\d+, \d+, \d+, \d+, \d+, (\d+)\)", said))
    damages = [tuple(map(int, d)) for d in re.findall(r"damage_buffer\((\d+), (\d+), (\d+), (\d+)\)", said)]
    check(formats == {"1"}, "buffers of the formats %r, not XRGB8888 alone" % formats)
    check(any(w * h * 4 < 1024 * 768 for _, _, w, h in damages), "every frame damaged whole: %r" % damages[:4])
    frames = session.frames(SIZES)
    saver = session.saver("-s")
    check(session.wait_for_frames(frames), "the outputs did not show quarlo-render's frames")
    check(session.key(saver), "a key did not end the saver with 0")
    session.run("swaymsg", "output", "HEADLESS-2", "scale", "2")
    saver = session.saver("-s")
    check(session.wait_for_frames({"HEADLESS-2": frames["HEADLESS-2"]}),
          "the scale-2 output was not drawn at twice its surface size")
    session.run("swaymsg", "create_output")
    time.sleep(1.5)
    pixels, size = session.shot("HEADLESS-3")
    check(size[0] > 0 and face_pixels(pixels) > 200, "the new output did not get the show")
    check(still_running(saver, 0.5), "the saver ended when an output came")
    saver.send_signal(signal.SIGTERM)
    check(exit_code(saver) == 0, "SIGTERM did not end the saver with 0")


def case_input(session):
    """A key, a button, and the pointer 5 pixels (not 4) from where it was
    first reported end the saver with 0; so does the compositor's end; also
    when the frames are slower than the tick."""
    pointer = session.start([session.options.pointer], stdin=subprocess.PIPE)
    check(pointer.stdout.readline() == "ok\n", "no virtual pointer")

    def move(command):
        pointer.stdin.write(command + "\n")
        pointer.stdin.flush()
        check(pointer.stdout.readline() == "ok\n", "the virtual pointer failed")

    saver = session.saver("-s")
    # Drawn (under the compositor's cursor, until the saver hides it).
    wait_for(lambda: face_pixels(session.shot("HEADLESS-1")[0]) >= 200, 8)
    check(still_running(saver, 0.5), "the saver ended by itself")
    move("move 0 0")  # the pointer is reported where it is: no move
    move("move 3 1")
    check(still_running(saver, 1.0), "a move of 4 pixels ended the saver")
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
    which the compositor's close ends with 0."""
    saver = session.saver("-window")
    tree = wait_for(lambda: session.run("swaymsg", "-t", "get_tree").stdout,
                    done=lambda tree: '"app_id": "quarlo"' in tree)
    check('"app_id": "quarlo"' in tree and '"name": "Quarlo\'s Cube"' in tree,
          "no toplevel quarlo titled Quarlo's Cube")
    session.run("swaymsg", "[app_id=quarlo]", "kill")
    check(exit_code(saver) == 0, "the close did not end the window with 0")


def case_swayidle(session):
    """swayidle starts the saver after 2 s without input; a key ends it."""
    saver = session.options.saver
    session.start(["swayidle", "timeout", "2", saver + " -s"])
    started = wait_for(lambda: nobodys_process("^" + saver + " -s"))
    check(started, "swayidle did not start the saver")
    time.sleep(1.0)
    check(session.key(started), "a key did not end the saver swayidle started")


def case_fallback(session):
    """A compositor without the layer shell (weston) gets a full-screen
    toplevel and one line that says why."""
    saver = session.saver("-s")
    check(still_running(saver, 2.0), "the saver did not run on weston")
    saver.send_signal(signal.SIGTERM)
    check(exit_code(saver) == 0, "SIGTERM did not end the saver with 0")
    lines = saver.stderr.read().splitlines()
    check(len(lines) == 1 and "no layer shell" in lines[0], "stderr: %r" % lines)


def case_xwayland(session):
    """The X11 saver forced in a Wayland session runs until input, and draws
    one show in each monitor's rectangle (Xwayland has one per output),
    following a monitor's new mode and a monitor added; the pointer counts
    from where Xwayland first reports it: 4 pixels keep the saver, 5 end it."""
    display = os.path.join(session.runtime, "display")
    session.run("swaymsg", "exec", "echo $DISPLAY > " + display)
    name = wait_for(lambda: os.path.exists(display) and open(display).read().strip(), 5, pause=0.05)
    env = dict(session.env, DISPLAY=name or "")
    frames = session.frames(SIZES)
    saver = session.saver("-x11", "-s", env=env)
    # A view at an offset in a larger window may round a pixel of an edge
    # otherwise than quarlo-render's own buffer does.
    check(session.wait_for_frames(frames, rows_off=2),
          "the monitors did not each show quarlo-render's frame")
    check(still_running(saver, 1.0), "the X11 saver ended by itself under Xwayland")
    session.run("swaymsg", "output", "HEADLESS-2", "mode", "640x480")
    def centred():
        pixels, (width, height) = session.shot("HEADLESS-2")
        middle = width == 640 and cube_centre_x(Picture(width, height, pixels), 0, 120, 640, 360)
        return middle and abs(middle - 320) < 30
    check(wait_for(centred), "the monitor's new mode did not get the show at its size")
    session.run("swaymsg", "create_output")
    check(wait_for(lambda: face_pixels(session.shot("HEADLESS-3")[0]) > 200),
          "the monitor added did not get the show")
    pointer = session.start([session.options.pointer], stdin=subprocess.PIPE)
    check(pointer.stdout.readline() == "ok\n", "no virtual pointer")
    for move, running in (("move 0 0", True), ("move 3 1", True), ("move 0 1", False)):
        pointer.stdin.write(move + "\n")
        pointer.stdin.flush()
        check(still_running(saver, 1.0) == running, "%s: running %s" % (move, not running))
    check(saver.returncode == 0, "the pointer did not end the X11 saver with 0")


if __name__ == "__main__":
    sys.exit(e2e_main(globals(), ["saver", "render", "pointer", "slow-saver"], lambda options: Session(
        options, xwayland=options.case == "xwayland", weston=options.case == "fallback")))
