#!/usr/bin/env python3
"""The Linux saver installed: `cmake --install` puts each file where its user
looks for it, the menu entry opens the settings dialog, XScreenSaver's
description names only options the hack takes, and the Debian package holds
the same files and installs with apt.

    package_test.py --build BUILD_DIR
"""
import argparse
import glob
import gzip
import os
import shlex
import subprocess
import sys
import re
import tempfile
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from e2e import check, exit_status  # noqa: E402

FILES = ["libexec/xscreensaver/quarlo", "share/xscreensaver/config/quarlo.xml",
         "share/man/man6/quarlo.6x.gz", "share/applications/quarlo-settings.desktop",
         "share/icons/hicolor/48x48/apps/quarlo.png", "libexec/xscreensaver/quarlo-settings",
         "share/doc/quarlo/copyright", "share/doc/quarlo/changelog.gz"]


def installed(build, prefix):
    subprocess.run(["cmake", "--install", build, "--prefix", prefix], check=True,
                   capture_output=True)
    for name in FILES:
        check(os.path.isfile(os.path.join(prefix, name)), "not installed: %s" % name)
    hack = os.path.join(prefix, FILES[0])
    check(os.path.isfile(os.path.join(prefix, "etc/pam.d/quarlo")),
          "the lock's PAM file is not under the prefix")
    return hack


def description_names_known_options(prefix, hack):
    tree = ElementTree.parse(os.path.join(prefix, FILES[1]))
    root = tree.getroot()
    check(root.get("name") == "quarlo" and root.get("gl") == "yes", "not a GL hack's description")
    for element in root.iter():
        value = element.get("default", "/dev/null")  # a number's default, or a file
        for argument in filter(None, (element.get(k) for k in ("arg", "arg-set", "arg-unset"))):
            words = [w.replace("%", value) for w in argument.split()]
            done = subprocess.run([hack, *words, "--help"], capture_output=True, text=True)
            check(done.returncode == 0, "the hack refuses %r: %s" % (argument, done.stderr))


def menu_entry_opens_the_dialog(prefix, hack):
    """The entry runs the dialog program installed beside the hack, and so
    does the hack's -c (here on a display that isn't there, so each says so:
    255)."""
    entry = os.path.join(prefix, FILES[3])
    command = [line[5:] for line in open(entry).read().splitlines() if line.startswith("Exec=")][0]
    check(shlex.split(command) == [hack + "-settings"], "the entry runs %r" % command)
    for dialog in ([hack + "-settings", "-display", ":999"], [hack, "-display", ":999", "-c"]):
        done = subprocess.run(dialog, capture_output=True, text=True)
        check(done.returncode == 255 and "for the settings dialog" in done.stderr,
              "%r did not start the installed dialog: %d %r" % (dialog, done.returncode, done.stderr))


def checkers_accept(build, prefix, hack, package):
    """lintian, mandoc, desktop-file-validate pass; the one version reaches
    the package, the man page, the changelog and --version."""
    version = re.search(r"CMAKE_PROJECT_VERSION:STATIC=(\S+)",
                        open(os.path.join(build, "CMakeCache.txt")).read()).group(1)
    linted = subprocess.run(["lintian", "--fail-on", "error,warning", package],
                            capture_output=True, text=True)
    check(linted.returncode == 0 and not re.search(r"^[EW]:", linted.stdout, re.M),
          "lintian: %s" % (linted.stdout + linted.stderr)[-800:])
    manual = os.path.join(build, "quarlo.6x")
    mandoc = subprocess.run(["mandoc", "-Tlint", "-Wwarning", manual], capture_output=True, text=True)
    check(mandoc.returncode == 0 and not mandoc.stdout, "mandoc: %s" % mandoc.stdout)
    check(version in open(manual).read().splitlines()[0], "the man page has another version")
    desktop = subprocess.run(["desktop-file-validate", os.path.join(prefix, FILES[3])],
                             capture_output=True, text=True)
    check(desktop.returncode == 0 and not desktop.stdout, "desktop-file-validate: %s" % desktop.stdout)
    fields = subprocess.run(["dpkg-deb", "-f", package, "Version"], capture_output=True, text=True)
    check(fields.stdout.strip() == version, "the package is %r, not %s" % (fields.stdout, version))
    changelog = gzip.open(os.path.join(prefix, FILES[7]), "rt").readline()
    check(changelog.startswith("quarlo (%s)" % version), "the changelog starts %r" % changelog)
    printed = subprocess.run([hack, "--version"], capture_output=True, text=True).stdout
    check(printed == "quarlo %s\n" % version, "--version printed %r" % printed)


def package_holds_the_same_and_installs(build):
    for old in glob.glob(os.path.join(build, "quarlo_*.deb")):
        os.remove(old)
    subprocess.run(["cpack"], cwd=build, check=True, capture_output=True)
    package = glob.glob(os.path.join(build, "quarlo_*.deb"))
    check(len(package) == 1, "cpack made %r" % package)
    listing = subprocess.run(["dpkg-deb", "-c", package[0]], capture_output=True, text=True).stdout
    for name in FILES:
        check("./usr/" + name in listing, "the package lacks /usr/%s" % name)
    check("./etc/pam.d/quarlo\n" in listing, "the package lacks /etc/pam.d/quarlo")
    control = subprocess.run(["dpkg-deb", "--ctrl-tarfile", package[0]], capture_output=True).stdout
    check(b"/etc/pam.d/quarlo\n" in control, "the PAM file is not a conffile")
    entry = subprocess.run(["dpkg-deb", "--fsys-tarfile", package[0]], capture_output=True).stdout
    check(b"Exec=/usr/libexec/xscreensaver/quarlo-settings\n" in entry, "the package's entry runs elsewhere")
    simulated = subprocess.run(["apt-get", "install", "--simulate", "--no-install-recommends",
                                package[0]], capture_output=True, text=True)
    check(simulated.returncode == 0 and "Inst quarlo" in simulated.stdout,
          "apt would not install the package: %s" % (simulated.stdout + simulated.stderr)[-600:])
    return package[0]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    options = parser.parse_args()
    options.build = os.path.abspath(options.build)
    prefix = tempfile.mkdtemp(prefix="quarlo-install-")
    try:
        hack = installed(options.build, prefix)
        description_names_known_options(prefix, hack)
        menu_entry_opens_the_dialog(prefix, hack)
        package = package_holds_the_same_and_installs(options.build)
        checkers_accept(options.build, prefix, hack, package)
    finally:
        subprocess.run(["rm", "-rf", prefix])


if __name__ == "__main__":
    sys.exit(exit_status(main))
