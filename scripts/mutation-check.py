#!/usr/bin/env python3
"""What the tests catch: puts one deliberate fault at a time into a copy of
the product code (a wrong constant, a flipped comparison, an off-by-one
bound, a swapped table entry, a removed check), builds it, runs the tests
that concern that code on the platforms it runs on, and prints which faults
were caught.

    scripts/mutation-check.py [--keep DIR] [--only SUBSTRING]

The copy is made of the working tree (tracked and new files) in a scratch
folder, built there for linux and win64, so the working tree and its builds
are left alone. A fault that does not build is reported as such.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

# (what, file, text, replacement, presets, tests): `tests` is a CTest regex.
MUTANTS = [
    ("cube: two inverse moves swapped", "src/cube/model.cc", "15, 22, 23, 24, 19, 20, 21};",
     "15, 23, 22, 24, 19, 20, 21};", "linux win64", "cube|trace"),
    ("cube: a commit leaves the last animated matrix", "src/cube/model.cc",
     "for (int i = 0; i < kCubies; ++i) AnimatedMatrix[i] = CommittedMatrix[i];",
     "for (int i = 0; i < kCubies - 1; ++i) AnimatedMatrix[i] = CommittedMatrix[i];", "linux",
     "cube|frame_pixels"),
    ("cube: matrix products in the other order", "src/cube/matrix.cc",
     "sum += a.m[k * 4 + row] * b.m[col * 4 + k];", "sum += b.m[k * 4 + row] * a.m[col * 4 + k];",
     "linux", "cube"),
    ("cube: a product written over its own input", "src/cube/matrix.cc",
     "      r.m[col * 4 + row] = sum;\n    }\n  }\n  *out = r;",
     "      out->m[col * 4 + row] = sum;\n    }\n  }\n  (void)r;", "linux", "cube"),
    ("cube: an inverse move turns the other layer", "src/cube/model.cc", "{2, -1, 2}, {0, 1, 0},",
     "{2, -1, 2}, {0, -1, 0},", "linux", "cube"),
    ("cube: a rotation's axis taken as of length 1", "src/cube/matrix.cc", "  x /= length;\n",
     "  x /= 1;\n", "linux", "cube"),
    ("cube: a rotation about no axis", "src/cube/matrix.cc",
     "  if (length == 0.0f) return;", "  if (length < 0.0f) return;", "linux", "cube"),
    ("cube: a product that moves the centre", "src/cube/matrix.cc", "      r.m[col * 4 + row] = sum;",
     "      r.m[col * 4 + row] = sum + (col == 3 && row == 0 ? 0.5f : 0.0f);", "linux", "cube"),
    ("cube: the implode step", "src/cube/show.h", "kImplodeStep = 4,", "kImplodeStep = 2,",
     "linux win64", "cube|trace"),
    ("cube: a busy tick runs anyway", "src/cube/show.cc", "  if (TickBusy) return;\n", "\n",
     "linux", "cube"),
    ("cube: a scramble may undo the move before", "src/cube/show.cc",
     "while (move == InverseMove[previous])", "while (move == InverseMove[previous] && move > 21)",
     "linux", "cube"),
    ("cube: the generator's multiplier", "src/cube/show.cc", "214013u", "214015u", "win64",
     "cube|trace"),
    ("cube: a rotation's sign", "src/cube/matrix.cc", "m[1] = t * x * y + s * z;",
     "m[1] = t * x * y - s * z;", "linux", "cube|frame_pixels"),
    ("render: the size of the colour masks", "src/render/bitmap.cc", "count * 4 + 12",
     "count * 4 + 8", "linux win64", "bitmap|differential"),
    ("render: top-down rows turned short of the last", "src/render/bitmap.cc",
     "bottom = size_t(h.biHeight) - 1", "bottom = size_t(h.biHeight) - 2", "linux",
     "bitmap|differential"),
    ("render: the reserved image size", "src/render/bitmap.cc", "if (needed > bytes) bytes = needed;",
     "if (needed < bytes) bytes = needed;", "linux", "bitmap|differential"),
    ("render: absolute runs unpadded", "src/render/dib_decode.cc",
     "at += (bytes + 1) & ~uint64_t{1};", "at += bytes;", "linux", "bitmap|differential"),
    ("render: the colour table's bound", "src/render/dib_decode.cc", "if (index >= pal.count) {",
     "if (index > pal.count) {", "linux", "bitmap|differential"),
    ("render: the texture size's halvings", "src/render/textures.cc", "while (n != 0 && k < 16) {",
     "while (n != 0 && k < 15) {", "linux win64", "bitmap"),
    ("render: pieces upside down", "src/render/textures.cc", "int64_t{2 - piece / 3}",
     "int64_t{piece / 3}", "win64", "bitmap|saver_win32|e2e_picture"),
    ("render: the camera's tilt", "src/render/cubie_transform.cc", "steps[1] = Rotate(kTiltDegrees, 1, 0, 0);",
     "steps[1] = Rotate(-kTiltDegrees, 1, 0, 0);", "linux", "frame_pixels|tools_cli"),
    ("render: the picture mirrored", "src/render/cubies.cc", "{{1, 1}, {0, 1}, {0, 0}, {1, 0}}",
     "{{0, 1}, {1, 1}, {1, 0}, {0, 0}}", "linux", "frame_pixels"),
    ("render: the front face's plain colour", "src/render/face_colours.h",
     "{1, 1, 0}, {0, 0, 1}, {1, 0, 0},", "{1, 1, 0}, {0, 0, 0.5f}, {1, 0, 0},", "linux",
     "frame_pixels"),
    ("render: pictures: the EXIF orientation ignored", "src/render/picture.cc",
     "TurnPictureUpright(block, PictureOrientation(data, size));",
     "TurnPictureUpright(block, 1);", "linux win64", "bitmap"),
    ("render: pictures: alpha not composed over the face", "src/render/picture.cc",
     "  if (transparent) ComposeOverFrontFace(block);",
     "  if (transparent && false) ComposeOverFrontFace(block);", "linux",
     "bitmap|frame_pixels"),
    ("render: pictures: the size limit four times as large", "src/render/bitmap.h",
     "kMaxPictureBytes = int64_t{256} << 20;", "kMaxPictureBytes = int64_t{1024} << 20;",
     "linux win64", "bitmap"),
    ("render: pictures: a JPEG cut short shown", "src/render/jpeg_decode.cc",
     "  if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER)) Fail(info);",
     "  (void)level, (void)code;",
     "linux", "bitmap"),
    ("render: pictures: a progressive JPEG's coefficients not counted", "src/render/jpeg_decode.cc",
     "  for (int i = 0; jpeg_has_multiple_scans(info) && i < info->num_components; ++i) {",
     "  for (int i = 0; false && i < info->num_components; ++i) {",
     "linux", "bitmap"),
    ("settings: pictures: the GTK filter's patterns in one case", "src/settings/dialog_gtk.cc",
     "      pattern += {'[', g_ascii_tolower(*c), g_ascii_toupper(*c), ']'};",
     "      pattern += *c;", "linux", "dialog_gtk"),
    ("render: the changed frame's margin", "src/render/damage.cc", "kMarginPixels = 2;",
     "kMarginPixels = -2;", "linux", "frame_pixels"),
    ("render: two static palette colours swapped", "src/render/palette.cc",
     "{3, 128, 0, 0},      {24, 0, 128, 0},", "{3, 0, 128, 0},      {24, 128, 0, 0},",
     "linux win64", "bitmap"),
    ("render: texels left transparent by GDI", "src/render/textures_win32.cc",
     "MakeTextureOpaque(*bits, *size);", "(void)bits;", "win64", "bitmap|saver_win32|e2e_picture"),
    ("render: a texture made with nothing pending (Windows)", "src/render/textures_win32.cc",
     "  if (!PendingBitmap) return 0;", "  if (!PendingBitmap) return 1;", "win64", "bitmap|saver_win32"),
    ("render: no depth buffer asked for", "src/render/gl_context_win32.cc", "pfd.cDepthBits = 16;",
     "pfd.cDepthBits = 0;", "win64", "saver_win32|e2e_monitors"),
    ("render: the part presented, x and y swapped", "src/shell/gl_context_x11.cc",
     "CopySubBuffer(ContextDisplay, ContextWindow, x, y, part_width, part_height);",
     "CopySubBuffer(ContextDisplay, ContextWindow, y, x, part_width, part_height);", "linux", "e2e"),
    ("settings: the default distance", "src/settings/settings.h", "kDefaultDisplacement = 60,",
     "kDefaultDisplacement = 50,", "linux win64", "settings|dialog|e2e_dialog"),
    ("settings: the typed path's cut", "src/settings/settings.h", "kTypedPathChars = 258,",
     "kTypedPathChars = 259,", "linux win64", "settings|dialog"),
    ("settings: quotes left unescaped", "src/settings/reg_file.cc",
     "if (c == '\\\\' || c == '\"') out += '\\\\';", "if (c == '\\\\') out += '\\\\';", "linux",
     "settings|store_file"),
    ("settings: the first line wins", "src/settings/reg_file.cc", "          *value = read;",
     "          if (!found) *value = read;", "linux", "settings"),
    ("settings: an unusable file overwritten", "src/settings/store_file.cc",
     "  if (read == Read::kUnusable && for_writing) {", "  if (false) {", "linux",
     "store_file"),
    ("settings: a save leaves the old mode behind", "src/settings/store_file.cc",
     "bool done = fchmod(fd, mode) == 0 && WriteAll(fd, bytes);",
     "bool done = (static_cast<void>(mode), WriteAll(fd, bytes));", "linux", "store_file"),
    ("settings: the Large button's bound", "src/settings/dialog_model.cc",
     "record.Displacement < kMediumDisplacement", "record.Displacement <= kMediumDisplacement",
     "linux win64", "settings|dialog"),
    ("settings: Cancel ends as OK", "src/settings/dialog_win32.cc", "EndDialog(dialog, 0);",
     "EndDialog(dialog, 1);", "win64", "saver_win32"),
    ("settings: Escape ignored by the GTK dialog", "src/settings/dialog_gtk.cc",
     "if (key->keyval != GDK_KEY_Escape) return FALSE;",
     "if (key->keyval != GDK_KEY_Escape || key) return FALSE;", "linux", "e2e_dialog|install"),
    ("settings: the registry's value size", "src/settings/store_win32.cc", "  *size = bytes;",
     "  *size = 4;", "win64", "settings|saver_win32"),
    ("shell: window numbers read in base 16", "src/shell/command_line.cc", "value = value * 10 +",
     "value = value * 16 +", "linux win64", "shell"),
    ("shell: X ids of more than 29 bits", "src/shell/saver_arguments.cc",
     "if (value > 0x1FFFFFFF) return 0;", "if (value > 0xFFFFFFFF) return 0;", "linux",
     "shell|e2e_bad"),
    ("shell: a move of exactly 4 pixels wakes", "src/shell/pointer_wake.h",
     "PointerDistance(y, origin_y) >\n", "PointerDistance(y, origin_y) >=\n", "linux win64",
     "shell_win32|e2e_fullscreen|e2e_monitors"),
    ("shell: ticks after approval", "src/shell/saver_proc_win32.cc",
     "      if (CloseApproved) return 0;\n      Sleep(0);", "      Sleep(0);", "win64", "shell_win32"),
    ("shell: the saver's title may be changed", "src/shell/saver_proc_win32.cc",
     "    case WM_SETTEXT:\n      return 0;\n", "", "win64", "shell_win32"),
    ("shell: a close off Win9x ignored", "src/shell/saver_proc_win32.cc",
     "      if (!IsWin9xPlatform || VerifyBeforeClose(window)) break;",
     "      if (IsWin9xPlatform && VerifyBeforeClose(window)) break;", "win64", "shell_win32|e2e_second"),
    ("shell: the saver ends with 1", "src/shell/saver_proc_win32.cc", "      PostQuitMessage(0);",
     "      PostQuitMessage(1);", "win64", "shell_win32|e2e_second"),
    ("shell: the system not told a saver runs", "src/shell/password_win32.cc",
     "        SetSaverRunning(1);", "        ;", "win64", "shell_win32|e2e_password"),
    ("shell: a second full-screen saver", "src/shell/entry_win32.cc",
     "    if (running && IsWindow(running)) {", "    if (!running && IsWindow(running)) {", "win64",
     "e2e_second"),
    ("shell: the full-screen window the primary's size", "src/shell/entry_win32.cc",
     "  if (width <= 0 || height <= 0) {", "  if (true) {", "win64", "e2e_monitors"),
    ("shell: the wake distance", "src/shell/pointer_wake.h", "MouseWakeThreshold = 4 }",
     "MouseWakeThreshold = 5 }", "linux win64", "shell_win32|e2e_fullscreen|e2e_monitors"),
    ("shell: the loss of focus ignored (Linux)", "src/shell/saver_loop_x11.cc", "    case FocusOut:",
     "    case FocusIn:", "linux", "e2e_fullscreen"),
    ("shell: an unmapped window drawn on (Linux)", "src/shell/saver_loop_x11.cc",
     "      WindowMapped = false;", "      WindowMapped = true;", "linux", "e2e_hidden"),
    ("shell: a covered window drawn on (Linux)", "src/shell/saver_loop_x11.cc",
     "      Obscured = event.xvisibility.state == VisibilityFullyObscured;", "      Obscured = false;",
     "linux", "e2e_hidden"),
    ("shell: no input read between slow frames (Wayland)", "src/shell/saver_loop_wayland.cc",
     "        if (SaverTimerDue()) CubeSaverProc(SAVER_TIMER);\n",
     "        if (SaverTimerDue()) {\n          CubeSaverProc(SAVER_TIMER);\n          continue;\n        }\n",
     "linux", "wayland_e2e_input"),
    ("shell: a window id naming nothing", "src/shell/entry_x11.cc",
     "    if (!FindHostWindow(given, &host)) {", "    if (!FindHostWindow(given, &host) && false) {",
     "linux", "e2e_bad"),
    ("saver: Surface kept on for a missing picture", "src/render/front_pieces.cc",
     "        SaverSettings.Surface = 0;", "        ;", "linux win64", "saver_win32|e2e_picture|tools_cli"),
    ("saver: a 40 ms tick (Linux)", "src/saver/cube_window.cc", "kTickMilliseconds = 50 };",
     "kTickMilliseconds = 40 };", "linux", "saver_start"),
    ("saver: a 40 ms tick (Windows)", "src/saver/cube_window_win32.cc", "kTickMilliseconds = 50 };",
     "kTickMilliseconds = 40 };", "win64", "saver_win32"),
    ("saver: -texture leaves Surface off", "src/saver/cube_window.cc",
     "    SaverSettings.Surface = 1;", "    ;", "linux", "e2e_settings"),
    ("installer: the quiet uninstall runs from a copy, without waiting", "src/resources/quarlo.nsi",
     "/S _?=$INSTDIR'", "/S'", "win64", "installer"),
    ("installer: the saver's former activity not given back", "src/resources/quarlo.nsi",
     '      !insertmacro GiveBackDesktopValue "${SAVER_ACTIVE}"', "      ;!", "win64", "installer"),
    ("installer: a second install keeps what it finds", "src/resources/quarlo.nsi",
     "  ${If} $0 <> 1\n", "  ${If} 1 = 1\n", "win64", "installer"),
    ("installer: the size in bytes", "src/resources/quarlo.nsi", "IntOp $1 $1 / 1024",
     "IntOp $1 $1 / 1", "win64", "installer"),
    ("installer: NSIS's own icon", "src/resources/quarlo.nsi", '!define MUI_ICON "${ICON}"', "",
     "win64", "installer"),
    ("shell: -root wins over -window-id (the panel's preview)", "src/shell/saver_arguments.cc",
     "  if (hack.window_id) {", "  if (hack.window_id && !hack.root) {", "linux", "shell|e2e_panel"),
    ("shell: X11 full screen ignores RandR's changes", "src/shell/saver_loop_x11.cc",
     "  XRRUpdateConfiguration(event);\n", "  XRRUpdateConfiguration(event);\n  return;\n", "linux",
     "e2e_fullscreen|e2e_xwayland"),
    ("shell: Xwayland's stale pointer taken as the origin", "src/shell/saver_loop_x11.cc",
     "  HaveMouseOrigin = !ends_on_input || !OnXwayland();",
     "  HaveMouseOrigin = !ends_on_input || !OnXwayland() || true;", "linux",
     "e2e_xwayland"),
    ("shell: outputs placed by wl_output's geometry alone", "src/shell/saver_loop_wayland.cc",
     "  if (!OutputManager || !slot->output || slot->xdg_output) return;",
     "  if (true || !OutputManager || !slot->output || slot->xdg_output) return;", "linux",
     "e2e_input"),
    ("shell: 16 outputs at most", "src/shell/saver_run.h", "enum { kMostSaverSurfaces = 65 };",
     "enum { kMostSaverSurfaces = 17 };", "linux", "wayland_e2e_outputs"),
    ("shell: the keyboard left where an unplugged output took it", "src/shell/saver_loop_wayland.cc",
     "    zwlr_layer_surface_v1_set_keyboard_interactivity(s.layer, 1);\n", "", "linux",
     "wayland_e2e_unplug"),
    ("render: Wayland frames swapped whole through EGL", "src/shell/gl_context_wayland.cc",
     "  OwnBuffers = Shm && !(BufferAge", "  OwnBuffers = false && Shm && !(BufferAge", "linux",
     "wayland_e2e_outputs"),
    ("settings: a typed path lost at a click (Windows)", "src/settings/dialog_win32.cc",
     "          TakeTypedPath(dialog);  // what was typed is shown again, not lost\n", "", "win64",
     "saver_win32"),
    ("settings: a typed path lost at a click (GTK)", "src/settings/dialog_gtk.cc",
     "  if (action != CONFIG_CANCEL && action != CONFIG_NOTHING) TakeTypedPath(d);",
     "  if (false) TakeTypedPath(d);", "linux", "dialog_gtk"),
    ("lock: a wrong password unlocks", "src/shell/lock_password_wayland.cc",
     "WIFEXITED(status) && WEXITSTATUS(status) == 0 ? CHECK_ACCEPTED",
     "WIFEXITED(status) ? CHECK_ACCEPTED", "linux", "lock_e2e"),
    ("lock: Escape ends the locker as it ends the show", "src/shell/saver_loop_wayland.cc",
     "  const PasswordKey pressed = PressKey(key);\n",
     "  if (key == KEY_ESC) Ended = true;\n  const PasswordKey pressed = PressKey(key);\n", "linux",
     "lock_e2e"),
    ("lock: the field kept after a failed check", "src/shell/lock_password_wayland.cc",
     "  Wipe();  // the child holds the only copy now, until it ends\n", "\n", "linux", "lock_e2e"),
    ("lock: Escape leaves the field", "src/shell/lock_password_wayland.cc",
     "if (symbol == XKB_KEY_Escape || (control", "if ((control", "linux", "lock_e2e"),
    ("lock: Ctrl+U leaves the field", "src/shell/lock_password_wayland.cc",
     "(control && (symbol == XKB_KEY_u || symbol == XKB_KEY_U))", "(control && symbol == XKB_KEY_U)",
     "linux", "lock_e2e"),
    ("lock: Backspace takes one byte of a character", "src/shell/lock_password_wayland.cc",
     "while (FieldBytes > 0 && (static_cast<unsigned char>(Field[--FieldBytes]) & 0xC0) == 0x80) {\n  }",
     "if (FieldBytes > 0) --FieldBytes;", "linux", "lock_e2e"),
    ("lock: Delete types a character", "src/shell/lock_password_wayland.cc", "text[0] == 0x7F ||",
     "false ||", "linux", "lock_e2e"),
    ("lock: an inherited ignored SIGCHLD kept", "src/shell/lock_password_wayland.cc",
     "  signal(SIGCHLD, SIG_DFL);", "  ;", "linux", "lock_e2e"),
    ("lock: locked without the system's rules for the check", "src/shell/lock_password_wayland.cc",
     "  if (access(\"/etc/pam.d/quarlo\", F_OK) != 0 &&", "  if (false &&", "linux", "lock_e2e"),
    ("lock: the compositor's loss reported as success", "src/shell/saver_loop_wayland.cc",
     "          if (Locking) Result = SAVER_EXIT_CANNOT_RUN;", "          ;", "linux", "lock_e2e"),
    ("lock: a signal's end unlocks on the way out", "src/shell/saver_loop_wayland.cc",
     "  if (Lock && !Locked)\n    ext_session_lock_v1_destroy(Lock);",
     "  Unlock();\n  if (Lock && !Locked)\n    ext_session_lock_v1_destroy(Lock);", "linux",
     "lock_e2e"),
    ("lock: an output that comes while locked left bare", "src/shell/saver_loop_wayland.cc",
     "    if (Running && Locking) {\n      MakeLockSurface(&s);", "    if (Running && Locking) {",
     "linux", "lock_e2e"),
    ("lock: the indicator stays after the last key", "src/shell/saver_loop_wayland.cc",
     "NowMilliseconds() - LastKeyMs > 10000", "NowMilliseconds() - LastKeyMs > 100000", "linux",
     "lock_e2e"),
    ("tools: a trace key renamed", "tools/quarlo-trace/trace.cc", '\\"counter\\"', '\\"count\\"',
     "linux", "tools_cli"),
]


def run(command, cwd, timeout=1800):
    return subprocess.run(command, cwd=cwd, capture_output=True, text=True, timeout=timeout)


def copy_tree(source, target):
    files = subprocess.run(["git", "ls-files", "--cached", "--others", "--exclude-standard", "-z"],
                           cwd=source, capture_output=True, check=True).stdout.split(b"\0")
    for name in filter(None, files):
        path = name.decode()
        if not os.path.isfile(os.path.join(source, path)):
            continue  # deleted in the working tree
        os.makedirs(os.path.dirname(os.path.join(target, path)) or target, exist_ok=True)
        shutil.copy2(os.path.join(source, path), os.path.join(target, path))


def build(copy, preset):
    if run(["cmake", "--preset", preset], copy).returncode != 0:
        return False
    return run(["cmake", "--build", "--preset", preset, "-j", str(os.cpu_count())], copy).returncode == 0


def tests_pass(copy, preset, regex):
    """True or False; None when the regex names no test (the fault can't be judged)."""
    done = run(["ctest", "--preset", preset, "-R", regex, "-j", str(os.cpu_count()), "--timeout",
                "300"], copy)
    if "No tests were found" in done.stdout + done.stderr:
        return None
    return done.returncode == 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--keep", help="build the copy here and keep it")
    parser.add_argument("--only", default="", help="only the faults whose text has this")
    options = parser.parse_args()
    source = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
    copy = options.keep or tempfile.mkdtemp(prefix="quarlo-mutants-")
    copy_tree(source, copy)
    mutants = [m for m in MUTANTS if options.only in m[0]]
    presets = sorted({p for m in mutants for p in m[4].split()})
    for preset in presets:
        print("building the copy for %s ..." % preset, flush=True)
        if not build(copy, preset):
            print("the unchanged copy does not build for %s" % preset)
            return 2
    caught = 0
    for what, path, text, replacement, on, regex in mutants:
        file = os.path.join(copy, path)
        original = open(file).read() if os.path.isfile(file) else ""
        if original.count(text) != 1:
            print("?? %-55s the text to change is not there once" % what)
            continue
        open(file, "w").write(original.replace(text, replacement))
        started = time.time()
        verdict = "missed"
        try:
            for preset in on.split():
                if not build(copy, preset):
                    verdict = "does not build"
                    break
                passed = tests_pass(copy, preset, regex)
                if passed is None:
                    verdict = "no tests"
                    break
                if not passed:
                    verdict = "caught"
                    break
        finally:
            open(file, "w").write(original)
        caught += verdict == "caught"
        print("%-8s %-55s (%s: %s, %.0f s)" % (verdict, what, on, regex, time.time() - started),
              flush=True)
    for preset in presets:
        build(copy, preset)  # leave the copy as it was
    print("%d of %d faults caught" % (caught, len(mutants)))
    if not options.keep:
        shutil.rmtree(copy, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
