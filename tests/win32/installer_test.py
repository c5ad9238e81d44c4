#!/usr/bin/env python3
"""The Windows installer under wine64, in a Wine prefix of its own: a silent
install puts the saver (the very bytes the other tests run), its entry
(size, our icon) and the current-saver value in place; the entry's quiet
uninstall returns once all of ours but the user's settings is gone (the
running uninstaller at the next start) and gives back the screen saver
chosen before.

    installer_test.py --wine-run W --prefix P --installer SETUP.EXE --saver QUARLO.SCR --icon QUARLO.ICO
"""
import argparse
import os
import struct
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from e2e import Screen, check, exit_status  # noqa: E402

UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\QuarloCube"
DESKTOP = r"HKCU\Control Panel\Desktop"
SETTINGS = r"HKCU\Software\Orvendel\QuarloScreenSaver"
OURS = r"C:\windows\system32\quarlo.scr"
OTHER = r"C:\windows\system32\other.scr"

# SCRNSAVE.EXE and ScreenSaveActive before the install (None: not there),
# installs, the saver picked after them, the two values after the uninstall.
ROWS = [
    ("a fresh system", (None, None), 1, None, (None, None)),
    ("a saver chosen before", (OTHER, "1"), 1, None, (OTHER, "1")),
    ("installed twice", (OTHER, "0"), 2, None, (OTHER, "0")),
    ("installed by hand before", (OURS, "1"), 1, None, (None, "1")),
    ("another picked since", (None, None), 1, OTHER, (OTHER, "1")),
]


def icon_images(path):
    data = open(path, "rb").read()
    entries = [struct.unpack_from("<II", data, 14 + 16 * i) for i in range(data[4])]
    return [data[offset:offset + size] for size, offset in entries]


def main():
    parser = argparse.ArgumentParser()
    for name in ("--wine-run", "--prefix", "--installer", "--saver", "--icon"):
        parser.add_argument(name, required=True)
    options = parser.parse_args()
    screen = Screen(own=True)
    wine = lambda *args, **kw: subprocess.run([options.wine_run, options.prefix, *args],
                                              env=screen.env, capture_output=True, text=True, **kw)

    def value(key, name):
        done = wine("reg", "query", key, "/v", name)
        return done.stdout.split("REG_", 1)[1].split(None, 1)[1].strip() if done.returncode == 0 else None

    def desktop(values=None):
        for name, given in zip(("SCRNSAVE.EXE", "ScreenSaveActive"), values or ()):
            wine("reg", *(["delete", DESKTOP, "/v", name] if given is None else
                          ["add", DESKTOP, "/v", name, "/d", given]), "/f")
        return (value(DESKTOP, "SCRNSAVE.EXE"), value(DESKTOP, "ScreenSaveActive"))

    installed = os.path.join(options.prefix, "drive_c", "windows", "system32", "quarlo.scr")
    folder = os.path.join(options.prefix, "drive_c", "Program Files", "Quarlo's Cube")
    uninstaller = os.path.join(folder, "uninstall.exe")

    def check_installed():
        check(open(installed, "rb").read() == open(options.saver, "rb").read(),
              "system32 does not hold the built saver")
        check(value(UNINSTALL, "DisplayName") == "Quarlo's Cube", "no entry under the installed programs")
        kib = (os.path.getsize(installed) + os.path.getsize(uninstaller) + 1023) // 1024
        check(value(UNINSTALL, "EstimatedSize") == hex(kib), "EstimatedSize is not %d KiB" % kib)
        programs = [open(path, "rb").read() for path in (options.installer, uninstaller)]
        check(all(image in program for image in icon_images(options.icon) for program in programs),
              "the installer or the uninstaller lacks an image of our icon")

    def quiet_uninstall():
        # As written, through cmd, which waits; not through pipes that what it starts would hold.
        with open(os.path.join(options.prefix, "drive_c", "uninstall.bat"), "w") as batch:
            batch.write("@%s\r\n" % value(UNINSTALL, "QuietUninstallString"))
        return subprocess.run([options.wine_run, options.prefix, "cmd", "/c", r"C:\uninstall.bat"],
                              env=screen.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode

    try:
        wine("reg", "delete", UNINSTALL, "/f")  # left by a run that failed
        wine("reg", "add", SETTINGS, "/v", "Displacement", "/t", "REG_DWORD", "/d", "30", "/f")
        for what, before, installs, picked_since, after in ROWS:
            check(desktop(before) == before, "%s: the desktop key could not be set" % what)
            for _ in range(installs):
                check(wine(options.installer, "/S").returncode == 0, "%s: the install failed" % what)
            check((desktop()[0] or "").lower() == OURS.lower(), "%s: not the current screen saver" % what)
            if what == ROWS[0][0]:
                check_installed()
            if picked_since:
                desktop((picked_since, "1"))
            check(quiet_uninstall() == 0, "%s: the quiet uninstall failed" % what)
            # It has returned, so it is done: nothing to wait for.
            check(not os.path.exists(installed), "%s: the saver is still in system32" % what)
            check(wine("reg", "query", UNINSTALL).returncode != 0, "%s: the uninstall entry is still there" % what)
            check(desktop() == after, "%s: the desktop key holds %r, not %r" % (what, desktop(), after))
            check(value(SETTINGS, "Displacement") == "0x1e", "%s: the user's settings went too" % what)
            wine("wineboot", "-r")  # the uninstaller ran in place: it goes at the next start
            check(not os.path.exists(folder), "%s: the uninstaller's folder is still there after a restart" % what)
    finally:
        wine("reg", "delete", SETTINGS, "/f")
        desktop((None, None))
        screen.close()


if __name__ == "__main__":
    sys.exit(exit_status(main))
