"""What the end-to-end tests of both savers share: an X display to run on,
xdotool input, screenshots of the root window, programs run as another
user, and what the show looks like."""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time
import traceback

LOGO_COLOURS = {(16, 32, 64), (28, 52, 96), (0, 0, 0), (255, 255, 255), (216, 32, 32),
                (32, 192, 32), (32, 64, 216), (232, 224, 32), (200, 64, 200), (48, 208, 216),
                (144, 144, 144), (240, 144, 48), (160, 96, 24), (48, 80, 128), (144, 176, 224),
                (80, 80, 80)}
# The cube's outside faces are drawn in these plain colours.
FACE_COLOURS = {(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0), (255, 0, 255),
                (0, 255, 255)}


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


class Picture:
    def __init__(self, width, height, pixels):
        self.width, self.height, self.pixels = width, height, pixels

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def colours(self, left, top, right, bottom, step=2):
        counts = {}
        for y in range(top, bottom, step):
            for x in range(left, right, step):
                c = self.at(x, y)
                counts[c] = counts.get(c, 0) + 1
        return counts


def ppm_picture(data):
    """A binary PPM's Picture, or None for anything else."""
    fields = data.split(maxsplit=3)  # P6, width, height, then 255 and the pixels
    if len(fields) < 4 or fields[0] != b"P6":
        return None
    width, height = int(fields[1]), int(fields[2])
    return Picture(width, height, data[len(data) - width * height * 3:])


def as_user(user):
    """The prefix that runs a command as `user` (a passwd entry) with its
    groups, when run as root. Not with no-new-privs: PAM's unix_chkpwd is
    setgid shadow, and loses that group (and every check) under it."""
    if os.getuid() != 0:
        return []
    return ["setpriv", "--reuid=%d" % user.pw_uid, "--regid=%d" % user.pw_gid, "--init-groups"]


class UserSession:
    """A work folder with a runtime folder in it, both the user's, and the
    programs started as the user there (with `env`), killed at close."""

    def __init__(self, user, env):
        self.work = tempfile.mkdtemp(prefix="quarlo-session-")
        self.runtime = os.path.join(self.work, "runtime")
        os.mkdir(self.runtime, 0o700)
        for path in (self.work, self.runtime):
            os.chown(path, user.pw_uid, user.pw_gid)
        self.prefix = as_user(user)
        self.env = dict(env, PATH="/usr/bin:/bin", XDG_RUNTIME_DIR=self.runtime)
        self.processes = []

    def start(self, command, env=None, **kwargs):
        """A process as the user, with its output and errors in pipes (unless
        `kwargs` say otherwise)."""
        kwargs.setdefault("stdout", subprocess.PIPE)
        kwargs.setdefault("stderr", subprocess.PIPE)
        process = subprocess.Popen(self.prefix + command, env=env or self.env, text=True, **kwargs)
        self.processes.append(process)
        return process

    def close(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.kill()
            process.wait()
        shutil.rmtree(self.work, ignore_errors=True)


class Screen:
    """An X display: one that exists (env's DISPLAY), or an Xvfb of its own
    (which must not reset when its last client goes, or the next saver finds
    no server for a moment)."""

    def __init__(self, env=None, own=False, size="1024x768x24", extra=()):
        self.env = dict(env or os.environ)
        self.server = None
        self.processes = []  # what the test started on the display: ended by close()
        if own:
            read, write = os.pipe()
            self.server = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write), "-screen", "0", size, "-nolisten", "tcp",
                 "-noreset", *extra], pass_fds=[write], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            os.close(write)
            with os.fdopen(read) as numbers:
                number = numbers.readline().strip()
            check(number, "Xvfb did not start")
            self.env["DISPLAY"] = ":" + number

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env, capture_output=True,
                              text=True).stdout

    def windows_named(self, name):
        return self.xdotool("search", "--onlyvisible", "--name", "^%s$" % name).split()

    def wait_window(self, name, timeout=20):
        found = wait_for(lambda: self.windows_named(name), timeout)
        check(found, "no window named %r appeared" % name)
        return found[0]

    def geometry(self, window):
        """A window's place on the screen and size (xdotool's is wrong for a
        child of a child)."""
        text = subprocess.run(["xwininfo", "-id", window], env=self.env, capture_output=True,
                              text=True).stdout
        values = dict(line.strip().split(":", 1) for line in text.splitlines() if ":" in line)
        return tuple(int(values[k]) for k in ("Absolute upper-left X", "Absolute upper-left Y",
                                              "Width", "Height"))

    def screenshot(self):
        picture = ppm_picture(subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"],
                                             env=self.env, check=True, capture_output=True).stdout)
        check(picture, "screenshot is not a PPM")
        return picture

    def close(self):
        for process in self.processes:
            if process.poll() is None:
                process.kill()
                process.wait()
        if self.server:
            self.server.terminate()  # lets the server remove its socket and lock
            self.server.wait()


def wait_for(probe, timeout=10, done=bool, pause=0.1):
    """Calls probe() until done(what it gave) or `timeout` seconds have
    passed; what it gave last."""
    deadline = time.time() + timeout
    while True:
        got = probe()
        if done(got) or time.time() >= deadline:
            return got
        time.sleep(pause)


def nobodys_process(pattern):
    """The id of a process of nobody's whose command line matches, or None."""
    found = subprocess.run(["pgrep", "-u", "nobody", "-f", pattern], capture_output=True,
                           text=True).stdout.split()
    return int(found[0]) if found else None


def exit_code(process, timeout=10, what="the saver"):
    try:
        return process.wait(timeout)
    except subprocess.TimeoutExpired:
        raise Failure("%s did not end within %d s" % (what, timeout))


def still_running(process, seconds):
    try:
        process.wait(seconds)
    except subprocess.TimeoutExpired:
        return True
    return False


def logo_and_cube_missing(picture, left, top, right, bottom):
    """What the area lacks of the logo tile around the edges and the cube
    inside; None when it shows both."""
    width, height = right - left, bottom - top
    corner = picture.colours(left, top, left + width // 5, top + height // 5)
    if sum(n for c, n in corner.items() if c in LOGO_COLOURS) * 10 < sum(corner.values()) * 9:
        return "the corner does not show the logo tile: %s" % sorted(corner.items())[:8]
    if len([c for c in corner if c in LOGO_COLOURS]) < 2:
        return "the corner is one flat colour"
    middle = picture.colours(left + width // 3, top + height // 3, right - width // 3,
                             bottom - height // 3, step=1)
    if len([c for c, n in middle.items() if c in FACE_COLOURS and n >= 20]) < 2:
        return "no cube in the middle: %s" % sorted(middle.items())[:8]
    return None


def cube_centre_x(picture, left, top, right, bottom):
    """Across the area, the middle of the pixels in the cube's face colours
    (None without any): a view drawn for another size puts it elsewhere."""
    xs = [x for y in range(top, bottom, 4) for x in range(left, right, 2)
          if picture.at(x, y) in FACE_COLOURS]
    return sum(xs) / len(xs) if xs else None


def wait_for_logo_and_cube(screen, area=None, timeout=10):
    """Screenshots until `area` (left, top, right, bottom; the whole screen
    when None) shows the logo and the cube: a busy machine draws the first
    frames late. Fails with what the last one was missing."""
    def lacking():
        picture = screen.screenshot()
        return logo_and_cube_missing(picture, *(area or (0, 0, picture.width, picture.height)))
    missing = wait_for(lacking, timeout, done=lambda missing: missing is None, pause=0.2)
    check(not missing, missing)


def wait_for_colour(screen, colour, area, pixels=500, timeout=15):
    """Screenshots until `area` (left, top, right, bottom) holds `pixels` of
    `colour`: the front face turns away now and then but comes round within
    a show. The count seen last."""
    return wait_for(lambda: screen.screenshot().colours(*area).get(colour, 0), timeout,
                    done=lambda seen: seen >= pixels, pause=0)


def start_full_screen(run, *args, env=None):
    """The saver full screen, the pointer where the input rules count from."""
    run.xdotool("mousemove", "500", "400")
    saver = run.start("-s", *args, env=env)
    run.wait_window("Screen Saver")
    time.sleep(1.5)  # a few ticks, so frames are on the screen
    return saver


def full_screen_input_rules(run, areas=(None,), uncovered=None):
    """The show over the whole screen (or in each of `areas`, with no pixel
    of the colour `uncovered` there); a key, a button, and moves adding up to
    5 pixels (but not 4) each end it with 0."""
    endings = [("a key", [], ["key", "x"]), ("a button", [], ["click", "1"]),
               ("moves adding up to 5 pixels", ["mousemove_relative", "--", "3", "1"],
                ["mousemove_relative", "--", "0", "1"])]
    for what, first, then in endings:
        saver = start_full_screen(run)
        if not first:
            for area in areas:
                wait_for_logo_and_cube(run, area)
            picture = run.screenshot()
            for area in areas if uncovered else ():
                seen = picture.colours(*area, step=1).get(uncovered, 0)
                check(not seen, "%d pixels in %s are not covered" % (seen, area))
        else:
            run.xdotool(*first)
            check(still_running(saver, 1.0), "the move before %s ended the saver" % what)
        run.xdotool(*then)
        check(exit_code(saver) == 0, "%s did not end the saver with 0" % what)


def picture_on_front(run, store):
    """Surface on and a picture stored (`store` puts the two settings where
    the saver reads them): the front face shows it, and a PNG of the same
    pixels (ImageMagick's) draws the same first frame as the bitmap."""
    colour = (17, 140, 91)
    bmp, png = os.path.join(run.work, "face.bmp"), os.path.join(run.work, "face.png")
    write_solid_bmp(bmp, colour)
    subprocess.run(["convert", bmp, "PNG24:" + png], check=True)
    frames = []
    for path in (bmp, png):
        store(path)
        run.xdotool("mousemove", "500", "400")
        saver = run.start("-s")
        frames.append(first_frame(run, 256, 192, 512, 384))
        seen = wait_for_colour(run, colour, (256, 192, 768, 576))
        check(seen >= 500, "the front face never showed %s (%d pixels)" % (path, seen))
        run.xdotool("key", "x")
        check(exit_code(saver) == 0, "a key press did not end the saver with 0")
    check(frames[0] == frames[1], "the PNG's first frame differs from the bitmap's")


def first_frame(screen, left, top, width, height, timeout=10):
    """The area's RGB bytes in the first screenshot that shows a frame in it
    (before, it is black); in the first half second of a show every frame is
    the same, the solved cube at rest."""
    def rows():
        picture = screen.screenshot()
        return b"".join(picture.pixels[((top + y) * picture.width + left) * 3:
                                       ((top + y) * picture.width + left + width) * 3]
                        for y in range(height))
    def drawn(rows):
        return rows.count(b"\0\0\0") < len(rows) // 6
    frame = wait_for(rows, timeout, done=drawn, pause=0)
    check(drawn(frame), "no frame appeared")
    return frame


def rendered_frame(render, width, height):
    """What quarlo-render draws at that size for the show's first ticks, as RGB bytes."""
    with tempfile.TemporaryDirectory() as folder:
        png = os.path.join(folder, "frame.png")
        subprocess.run([render, "--seed", "0", "--tick", "0", "--size", "%dx%d" % (width, height),
                        "--out", png], check=True, capture_output=True)
        return subprocess.run(["convert", png, "-depth", "8", "rgb:-"], check=True,
                              capture_output=True).stdout


def cpu_seconds(pid):
    """The CPU time a running process has used so far (user and system)."""
    fields = open("/proc/%d/stat" % pid).read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def status_kib(pid, field):
    """A memory figure of a running process, such as VmRSS or VmHWM, in KiB."""
    for line in open("/proc/%d/status" % pid):
        if line.startswith(field + ":"):
            return int(line.split()[1])
    return 0


def write_solid_bmp(path, colour, side=30):
    """A 24-bit bottom-up .bmp of one colour (ImageMagick's)."""
    subprocess.run(["convert", "-size", "%dx%d" % (side, side), "xc:rgb(%d,%d,%d)" % colour, "-type",
                    "TrueColor", "BMP3:" + path], check=True)


def exit_status(function, *args):
    """Runs function(*args); prints "passed", or what failed (with the test
    script's own line that failed, for a failure seen once in many runs);
    the exit status."""
    try:
        function(*args)
    except Failure as failure:
        lines = [f.lineno for f in traceback.extract_tb(failure.__traceback__)
                 if f.filename == sys.argv[0]]
        print("FAILED%s: %s" % (" (line %d)" % lines[-1] if lines else "", failure))
        return 1
    print("passed")
    return 0


def e2e_main(script_globals, options, session):
    """A script's command line: --NAME for each of `options`, then the name
    of one of its case_NAME functions, which runs on session(options) and
    is then closed. Prints what failed; gives the exit status."""
    cases = {name[5:]: f for name, f in script_globals.items() if name.startswith("case_")}
    parser = argparse.ArgumentParser()
    for name in options:
        parser.add_argument("--" + name, required=True)
    parser.add_argument("case", choices=sorted(cases))
    parsed = parser.parse_args()

    def run():
        made = session(parsed)
        try:
            cases[parsed.case](made)
        finally:
            made.close()
    return exit_status(run)
