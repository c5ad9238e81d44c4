#!/usr/bin/env python3
"""The Windows installer under wine64, in a Wine prefix of its own: a silent
install puts the saver where the display settings look, the uninstall entry
and the current-saver value where they belong; the installed saver runs with
/s and a key ends it; a silent uninstall leaves nothing of ours but the
user's own settings.

    installer_test.py --wine-run W --prefix P --installer SETUP.EXE --saver QUARLO.SCR
"""
import argparse
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from e2e import Failure, Screen, check, exit_code, still_running  # noqa: E402

UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\QuarloCube"
DESKTOP = r"HKCU\Control Panel\Desktop"
SETTINGS = r"HKCU\Software\Orvendel\QuarloScreenSaver"


def main():
    parser = argparse.ArgumentParser()
    for name in ("--wine-run", "--prefix", "--installer", "--saver"):
        parser.add_argument(name, required=True)
    options = parser.parse_args()
    screen = Screen(own=True)
    wine = lambda *args, **kw: subprocess.run([options.wine_run, options.prefix, *args],
                                              env=screen.env, capture_output=True, text=True, **kw)
    settle = lambda: subprocess.run(["wineserver", "-w"], env=dict(screen.env, WINEPREFIX=options.prefix))

    def value(key, name):
        done = wine("reg", "query", key, "/v", name)
        return done.stdout.split("REG_", 1)[1].split(None, 1)[1].strip() if done.returncode == 0 else None

    system32 = os.path.join(options.prefix, "drive_c", "windows", "system32")
    installed = os.path.join(system32, "quarlo.scr")
    folder = os.path.join(options.prefix, "drive_c", "Program Files", "Quarlo's Cube")
    try:
        wine("reg", "add", SETTINGS, "/v", "Displacement", "/t", "REG_DWORD", "/d", "30", "/f")
        done = wine(options.installer, "/S")
        settle()
        check(done.returncode == 0, "the install gave %d" % done.returncode)
        check(open(installed, "rb").read() == open(options.saver, "rb").read(),
              "system32 does not hold the built saver")
        check(value(UNINSTALL, "DisplayName") == "Quarlo's Cube", "no entry under the installed programs")
        uninstaller = value(UNINSTALL, "UninstallString")
        check(uninstaller and "uninstall.exe" in uninstaller, "no uninstaller: %r" % uninstaller)
        check(os.path.isfile(os.path.join(folder, "uninstall.exe")), "the uninstaller is not there")
        check(value(DESKTOP, "SCRNSAVE.EXE").lower() == r"c:\windows\system32\quarlo.scr",
              "not the current screen saver")

        saver = subprocess.Popen([options.wine_run, options.prefix, r"C:\windows\system32\quarlo.scr",
                                  "/s"], env=screen.env)
        screen.processes.append(saver)
        screen.wait_window("Screen Saver")
        check(still_running(saver, 2), "the installed saver ended by itself")
        screen.xdotool("key", "x")
        check(exit_code(saver, 20) == 0, "a key did not end the installed saver with 0")

        done = wine(os.path.join(folder, "uninstall.exe"), "/S")
        settle()
        check(done.returncode == 0, "the uninstall gave %d" % done.returncode)
        check(not os.path.exists(installed), "the saver is still in system32")
        check(not os.path.exists(folder), "the uninstaller's folder is still there")
        check(wine("reg", "query", UNINSTALL).returncode != 0, "the uninstall entry is still there")
        check(value(DESKTOP, "SCRNSAVE.EXE") is None, "it is still the current screen saver")
        check(value(SETTINGS, "Displacement") == "0x1e", "the user's settings went too")
    except Failure as failure:
        print("FAILED: %s" % failure)
        return 1
    finally:
        wine("reg", "delete", SETTINGS, "/f")
        screen.close()
    print("passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
