#!/usr/bin/env python3
"""The Windows installer under wine64, in a Wine prefix of its own: a silent
install puts the saver where the display settings look, the uninstall entry
and the current-saver value where they belong; the installed saver runs with
/s and a key ends it; the entry's quiet uninstall returns only when nothing
of ours is left but the user's own settings, and gives back the screen saver
chosen before.

    installer_test.py --wine-run W --prefix P --installer SETUP.EXE --saver QUARLO.SCR --icon QUARLO.ICO
"""
import argparse
import os
import struct
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from e2e import Failure, Screen, check, exit_code, still_running  # noqa: E402

UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\QuarloCube"
DESKTOP = r"HKCU\Control Panel\Desktop"
SETTINGS = r"HKCU\Software\Orvendel\QuarloScreenSaver"
OURS = r"c:\windows\system32\quarlo.scr"
OTHER = r"C:\windows\system32\other.scr"

# What the desktop key holds before the install (None: no such value), how
# often it is installed, the saver the user picks after it (or None), and
# what the key holds after the uninstall.
ROWS = [
    ("a fresh system", (None, None), 1, None, (None, None)),
    ("a saver chosen before", (OTHER, "1"), 1, None, (OTHER, "1")),
    ("installed twice", (OTHER, "0"), 2, None, (OTHER, "0")),
    ("installed by hand before", (OURS, "1"), 1, None, (None, "1")),
    ("another picked since", (None, None), 1, OTHER, (OTHER, "1")),
]


def icon_images(path):
    """The image data of each picture in an .ico file."""
    data = open(path, "rb").read()
    count = struct.unpack_from("<H", data, 4)[0]
    entries = [struct.unpack_from("<II", data, 6 + 16 * i + 8) for i in range(count)]
    return [data[offset:offset + size] for size, offset in entries]


class Prefix:
    def __init__(self, options, screen):
        self.options, self.screen = options, screen
        self.system32 = os.path.join(options.prefix, "drive_c", "windows", "system32")
        self.folder = os.path.join(options.prefix, "drive_c", "Program Files", "Quarlo's Cube")

    def wine(self, *args):
        return subprocess.run([self.options.wine_run, self.options.prefix, *args],
                              env=self.screen.env, capture_output=True, text=True)

    def value(self, key, name):
        done = self.wine("reg", "query", key, "/v", name)
        return done.stdout.split("REG_", 1)[1].split(None, 1)[1].strip() if done.returncode == 0 else None

    def desktop(self):
        """The two values of the desktop key that name the current saver and
        whether it is on (None: not there), read in one query."""
        values = {}
        for line in self.wine("reg", "query", DESKTOP).stdout.splitlines():
            fields = line.split(None, 2)
            if len(fields) > 1 and fields[1].startswith("REG_"):
                values[fields[0].lower()] = fields[2].strip() if len(fields) > 2 else ""
        return tuple(values.get(name) for name in ("scrnsave.exe", "screensaveactive"))

    def set_desktop(self, values):
        for name, value in zip(("SCRNSAVE.EXE", "ScreenSaveActive"), values):
            if value is None:
                self.wine("reg", "delete", DESKTOP, "/v", name, "/f")
            else:
                self.wine("reg", "add", DESKTOP, "/v", name, "/d", value, "/f")
        check(self.desktop() == values, "could not set the desktop key to %r" % (values,))

    def install(self):
        done = self.wine(self.options.installer, "/S")
        check(done.returncode == 0, "the install gave %d" % done.returncode)

    def quiet_uninstall(self):
        """Runs the entry's QuietUninstallString as written, through a batch
        file (cmd waits for what it starts, as an uninstall tool does)."""
        command = self.value(UNINSTALL, "QuietUninstallString")
        check(command, "no quiet uninstall in the entry")
        with open(os.path.join(self.options.prefix, "drive_c", "uninstall.bat"), "w") as batch:
            batch.write("@%s\r\n" % command)
        # Not through pipes: whatever the uninstaller starts would hold them open.
        return subprocess.run([self.options.wine_run, self.options.prefix, "cmd", "/c", r"C:\uninstall.bat"],
                              env=self.screen.env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL).returncode


def check_installed(prefix):
    installed = os.path.join(prefix.system32, "quarlo.scr")
    uninstaller = os.path.join(prefix.folder, "uninstall.exe")
    check(open(installed, "rb").read() == open(prefix.options.saver, "rb").read(),
          "system32 does not hold the built saver")
    check(prefix.value(UNINSTALL, "DisplayName") == "Quarlo's Cube", "no entry under the installed programs")
    check(os.path.isfile(uninstaller), "the uninstaller is not there")
    size = int(prefix.value(UNINSTALL, "EstimatedSize") or "0", 16)
    files = os.path.getsize(installed) + os.path.getsize(uninstaller)
    check(size == (files + 1023) // 1024, "EstimatedSize %d KiB for %d bytes" % (size, files))
    installer, uninstall = open(prefix.options.installer, "rb").read(), open(uninstaller, "rb").read()
    for image in icon_images(prefix.options.icon):
        check(image in installer and image in uninstall, "an image of our icon is not in both programs")


def run_installed_saver(prefix):
    saver = subprocess.Popen([prefix.options.wine_run, prefix.options.prefix,
                              r"C:\windows\system32\quarlo.scr", "/s"], env=prefix.screen.env)
    prefix.screen.processes.append(saver)
    prefix.screen.wait_window("Screen Saver")
    check(still_running(saver, 2), "the installed saver ended by itself")
    prefix.screen.xdotool("key", "x")
    check(exit_code(saver, 20) == 0, "a key did not end the installed saver with 0")


def row(prefix, what, before, installs, picked_since, after):
    try:
        prefix.set_desktop(before)
        for _ in range(installs):
            prefix.install()
        check((prefix.value(DESKTOP, "SCRNSAVE.EXE") or "").lower() == OURS, "not the current screen saver")
        if what == ROWS[0][0]:
            check_installed(prefix)
            run_installed_saver(prefix)
        if picked_since:
            prefix.wine("reg", "add", DESKTOP, "/v", "SCRNSAVE.EXE", "/d", picked_since, "/f")
        check(prefix.quiet_uninstall() == 0, "the quiet uninstall failed")
        # No waiting here: the quiet uninstall has returned, so it is done, ...
        check(not os.path.exists(os.path.join(prefix.system32, "quarlo.scr")), "the saver is still in system32")
        check(prefix.wine("reg", "query", UNINSTALL).returncode != 0, "the uninstall entry is still there")
        check(prefix.desktop() == after, "the desktop key holds %r, not %r" % (prefix.desktop(), after))
        check(prefix.value(SETTINGS, "Displacement") == "0x1e", "the user's settings went too")
        # ... but for the uninstaller, which ran in place: it goes at the next start.
        left = os.listdir(prefix.folder) if os.path.exists(prefix.folder) else []
        check(set(left) <= {"uninstall.exe"}, "the uninstall left %r" % left)
        prefix.wine("wineboot", "-r")
        check(not os.path.exists(prefix.folder), "the uninstaller's folder is still there after a restart")
    except Failure as failure:
        raise Failure("%s: %s" % (what, failure))


def main():
    parser = argparse.ArgumentParser()
    for name in ("--wine-run", "--prefix", "--installer", "--saver", "--icon"):
        parser.add_argument(name, required=True)
    options = parser.parse_args()
    screen = Screen(own=True)
    prefix = Prefix(options, screen)
    try:
        prefix.wine("reg", "delete", UNINSTALL, "/f")  # left by a run that failed
        prefix.wine("reg", "add", SETTINGS, "/v", "Displacement", "/t", "REG_DWORD", "/d", "30", "/f")
        for what, *rest in ROWS:
            row(prefix, what, *rest)
    except Failure as failure:
        print("FAILED: %s" % failure)
        return 1
    finally:
        for key, name in ((SETTINGS, None), (DESKTOP, "SCRNSAVE.EXE"), (DESKTOP, "ScreenSaveActive")):
            prefix.wine("reg", "delete", key, *(["/v", name] if name else []), "/f")
        screen.close()
    print("passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
