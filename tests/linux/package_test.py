#!/usr/bin/env python3
"""The Linux saver installed: `cmake --install` puts each file where its user
looks for it, the menu entry opens the settings dialog, XScreenSaver's
description names only options the hack takes, and the Debian package holds
the same files and installs with apt.

    package_test.py --build BUILD_DIR
"""
import argparse
import glob
import os
import shlex
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from e2e import Failure, Screen, check, exit_code  # noqa: E402

FILES = ["libexec/xscreensaver/quarlo", "share/xscreensaver/config/quarlo.xml",
         "share/man/man6/quarlo.6.gz", "share/applications/quarlo.desktop",
         "share/icons/hicolor/48x48/apps/quarlo.png"]


def installed(build, prefix):
    subprocess.run(["cmake", "--install", build, "--prefix", prefix], check=True,
                   capture_output=True)
    for name in FILES:
        check(os.path.isfile(os.path.join(prefix, name)), "not installed: %s" % name)
    hack = os.path.join(prefix, FILES[0])
    check(os.access(hack, os.X_OK), "the hack is not executable")
    return hack


def description_names_known_options(prefix, hack):
    tree = ElementTree.parse(os.path.join(prefix, FILES[1]))
    root = tree.getroot()
    check(root.get("name") == "quarlo" and root.get("gl") == "yes", "not a GL hack's description")
    kinds = {element.tag for element in root.iter()}
    check({"boolean", "select", "file"} <= kinds, "no check box, size menu or file chooser")
    arguments = [e.get(k) for e in root.iter() for k in ("arg", "arg-set", "arg-unset") if e.get(k)]
    for argument in arguments:
        words = [w.replace("%", "/dev/null") for w in argument.split()]
        done = subprocess.run([hack, *words, "--help"], capture_output=True, text=True)
        check(done.returncode == 0, "the hack refuses %r: %s" % (argument, done.stderr))


def menu_entry_opens_the_dialog(prefix, hack):
    entry = open(os.path.join(prefix, FILES[3])).read()
    command = [line[5:] for line in entry.splitlines() if line.startswith("Exec=")][0]
    check(shlex.split(command) == [hack, "-c"], "the entry runs %r" % command)
    screen = Screen(own=True)
    try:
        env = dict(screen.env, XDG_CONFIG_HOME=tempfile.mkdtemp())
        dialog = subprocess.Popen(shlex.split(command), env=env)
        screen.wait_window("Quarlo Screen Saver Setup")
        time.sleep(0.3)
        screen.xdotool("key", "Escape")
        check(exit_code(dialog) == 0, "Cancel did not end the dialog with 0")
    finally:
        screen.close()


def package_holds_the_same_and_installs(build):
    for old in glob.glob(os.path.join(build, "quarlo_*.deb")):
        os.remove(old)
    subprocess.run(["cpack"], cwd=build, check=True, capture_output=True)
    package = glob.glob(os.path.join(build, "quarlo_*.deb"))
    check(len(package) == 1, "cpack made %r" % package)
    listing = subprocess.run(["dpkg-deb", "-c", package[0]], capture_output=True, text=True).stdout
    for name in FILES:
        check("./usr/" + name in listing, "the package lacks /usr/%s" % name)
    entry = subprocess.run(["dpkg-deb", "--fsys-tarfile", package[0]], capture_output=True).stdout
    check(b"Exec=/usr/libexec/xscreensaver/quarlo -c" in entry, "the package's entry runs elsewhere")
    simulated = subprocess.run(["apt-get", "install", "--simulate", "--no-install-recommends",
                                package[0]], capture_output=True, text=True)
    check(simulated.returncode == 0 and "Inst quarlo" in simulated.stdout,
          "apt would not install the package: %s" % (simulated.stdout + simulated.stderr)[-600:])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    options = parser.parse_args()
    prefix = tempfile.mkdtemp(prefix="quarlo-install-")
    try:
        hack = installed(options.build, prefix)
        description_names_known_options(prefix, hack)
        menu_entry_opens_the_dialog(prefix, hack)
        package_holds_the_same_and_installs(options.build)
    except Failure as failure:
        print("FAILED: %s" % failure)
        return 1
    finally:
        subprocess.run(["rm", "-rf", prefix])
    print("passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
