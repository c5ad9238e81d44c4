#include "shell/lock_password_wayland.h"

#include <linux/input-event-codes.h>
#include <pwd.h>
#include <security/pam_appl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xkbcommon/xkbcommon.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

const char kPamService[] = "quarlo";  // the system's /etc/pam.d/quarlo, no other

// The field: its bytes, locked in memory (room for a NUL after the most
// a password may have); its length in bytes.
constexpr size_t kFieldSize = kMostPasswordBytes + 1;
char* Field = nullptr;
int32_t FieldBytes = 0;
char User[256] = "";

xkb_context* Keys = nullptr;
xkb_keymap* Keymap = nullptr;
xkb_state* KeyState = nullptr;

pid_t Checker = 0;  // the child that checks the password, while it runs
timespec CheckStarted = {};
PasswordCheck LastCheck = CHECK_NONE;
// A check that runs this long (a network or a reader that never answers)
// may be given up with Escape; a shorter one runs out, so that PAM's delay
// after a wrong password stays.
constexpr time_t kCheckPatienceSeconds = 10;

void Wipe() {
  if (Field) explicit_bzero(Field, kFieldSize);
  FieldBytes = 0;
}

// PAM asks for the password once; any other question gets no answer.
int Converse(int count, const pam_message** messages, pam_response** responses, void* password) {
  auto* answers = static_cast<pam_response*>(std::calloc(size_t(count), sizeof(pam_response)));
  if (!answers) return PAM_BUF_ERR;
  for (int i = 0; i < count; ++i) {
    if (messages[i]->msg_style == PAM_PROMPT_ECHO_OFF) {
      answers[i].resp = strdup(static_cast<const char*>(password));
    }
  }
  *responses = answers;
  return PAM_SUCCESS;
}

// In the child: PAM's verdict as the exit code, 0 for accepted. Its copy of
// the field is locked in memory too (locks don't pass to a child), and the
// parent's signal handlers don't run in it.
[[noreturn]] void CheckInChild() {
  signal(SIGTERM, SIG_DFL);
  signal(SIGINT, SIG_DFL);
  signal(SIGHUP, SIG_DFL);
  mlock(Field, kFieldSize);
  pam_conv conversation = {Converse, Field};
  pam_handle_t* pam = nullptr;
  int result = pam_start(kPamService, User, &conversation, &pam);
  if (result == PAM_SUCCESS) result = pam_authenticate(pam, 0);
  pam_end(pam, result);
  Wipe();
  _exit(result == PAM_SUCCESS ? 0 : 1);
}

void StartCheck() {
  Field[FieldBytes] = '\0';
  clock_gettime(CLOCK_MONOTONIC, &CheckStarted);
  Checker = fork();
  if (Checker == 0) CheckInChild();
  Wipe();  // the child holds the only copy now, until it ends
  LastCheck = Checker > 0 ? CHECK_RUNNING : CHECK_REFUSED;
  if (Checker < 0) Checker = 0;
}

// Ends the check where one runs, its verdict unheard.
void StopCheck() {
  if (Checker > 0) {
    kill(Checker, SIGKILL);
    waitpid(Checker, nullptr, 0);
  }
  Checker = 0;
}

time_t CheckSeconds() {
  timespec now = {};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec - CheckStarted.tv_sec;
}

// Removes the last character, whatever its length in UTF-8.
void DeleteCharacter() {
  while (FieldBytes > 0 && (static_cast<unsigned char>(Field[--FieldBytes]) & 0xC0) == 0x80) {
  }
  explicit_bzero(Field + FieldBytes, kFieldSize - size_t(FieldBytes));
}

}  // namespace

const char* OpenPasswordField() {
  if (access("/etc/pam.d/quarlo", F_OK) != 0 && access("/usr/lib/pam.d/quarlo", F_OK) != 0) {
    return "the password can't be checked: there is no /etc/pam.d/quarlo (installed with the "
           "program)";
  }
  prctl(PR_SET_DUMPABLE, 0);  // no core file, no debugger, with the password inside
  signal(SIGCHLD, SIG_DFL);   // an ignored SIGCHLD, inherited, would hide the check's verdict
  const passwd* who = getpwuid(getuid());
  if (!who || std::strlen(who->pw_name) >= sizeof User) {
    return "the user running the locker can't be told";
  }
  std::strcpy(User, who->pw_name);
  Field = static_cast<char*>(mmap(nullptr, kFieldSize, PROT_READ | PROT_WRITE,
                                  MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
  if (Field == MAP_FAILED) {
    Field = nullptr;
    return "no memory for the password";
  }
  mlock(Field, kFieldSize);  // never written to swap (where the system allows)
  madvise(Field, kFieldSize, MADV_DONTDUMP);
  Keys = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  return Keys ? nullptr : "the keys can't be read (no xkbcommon context)";
}

void ClosePasswordField() {
  StopCheck();
  Wipe();
  if (Field) munmap(Field, kFieldSize);
  Field = nullptr;
  if (KeyState) xkb_state_unref(KeyState);
  if (Keymap) xkb_keymap_unref(Keymap);
  if (Keys) xkb_context_unref(Keys);
  KeyState = nullptr;
  Keymap = nullptr;
  Keys = nullptr;
}

bool TakeKeymap(int fd, uint32_t size) {
  void* text = Keys ? mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0) : MAP_FAILED;
  close(fd);
  xkb_keymap* keymap = nullptr;
  if (text != MAP_FAILED) {
    keymap = xkb_keymap_new_from_buffer(Keys, static_cast<const char*>(text),
                                        strnlen(static_cast<const char*>(text), size),
                                        XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
    munmap(text, size);
  }
  const bool read = keymap != nullptr;
  if (!keymap && Keys && !Keymap) {  // a keyboard that types something is better than none
    keymap = xkb_keymap_new_from_names(Keys, nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS);
  }
  if (!keymap) return false;
  if (KeyState) xkb_state_unref(KeyState);
  if (Keymap) xkb_keymap_unref(Keymap);
  Keymap = keymap;
  KeyState = xkb_state_new(Keymap);
  return read && KeyState != nullptr;
}

void TakeModifiers(uint32_t depressed, uint32_t latched, uint32_t locked, uint32_t group) {
  if (KeyState) xkb_state_update_mask(KeyState, depressed, latched, locked, 0, 0, group);
}

PasswordKey PressKey(uint32_t evdev_key) {
  if (!KeyState || !Field) return KEY_IGNORED;
  const xkb_keycode_t code = evdev_key + 8;  // the keymap counts from 8
  const xkb_keysym_t symbol = xkb_state_key_get_one_sym(KeyState, code);
  if (Checker > 0) {  // typing waits for the check; Escape gives up one that hangs
    if (symbol != XKB_KEY_Escape || CheckSeconds() < kCheckPatienceSeconds) return KEY_IGNORED;
    StopCheck();
    LastCheck = CHECK_NONE;
    return KEY_TYPED;
  }
  const bool control =
      xkb_state_mod_name_is_active(KeyState, XKB_MOD_NAME_CTRL, XKB_STATE_MODS_EFFECTIVE) > 0;
  if (symbol == XKB_KEY_Return || symbol == XKB_KEY_KP_Enter) {
    StartCheck();
    return KEY_SUBMIT;
  }
  if (symbol == XKB_KEY_Escape || (control && (symbol == XKB_KEY_u || symbol == XKB_KEY_U))) {
    Wipe();
    return KEY_TYPED;
  }
  if (symbol == XKB_KEY_BackSpace) {
    DeleteCharacter();
    return KEY_TYPED;
  }
  char text[16];
  const int length = xkb_state_key_get_utf8(KeyState, code, text, sizeof text);
  if (length <= 0 || size_t(length) >= sizeof text || static_cast<unsigned char>(text[0]) < 0x20 ||
      text[0] == 0x7F || FieldBytes + length > kMostPasswordBytes) {
    explicit_bzero(text, sizeof text);
    return KEY_IGNORED;
  }
  std::memcpy(Field + FieldBytes, text, size_t(length));
  FieldBytes += length;
  explicit_bzero(text, sizeof text);
  return KEY_TYPED;
}

PasswordCheck PasswordCheckState() {
  int status = 0;
  const pid_t ended = Checker > 0 ? waitpid(Checker, &status, WNOHANG) : 0;
  if (ended == Checker && ended > 0) {
    LastCheck = WIFEXITED(status) && WEXITSTATUS(status) == 0 ? CHECK_ACCEPTED : CHECK_REFUSED;
    Checker = 0;
  } else if (ended < 0 && errno != EINTR) {  // a child that can't be waited for: refused
    LastCheck = CHECK_REFUSED;
    Checker = 0;
  }
  return LastCheck;
}

int32_t TypedCharacters() {
  int32_t count = 0;
  for (int32_t i = 0; i < FieldBytes; ++i)
    count += (static_cast<unsigned char>(Field[i]) & 0xC0) != 0x80;
  return count;
}

bool CapsLockOn() {
  return KeyState &&
         xkb_state_mod_name_is_active(KeyState, XKB_MOD_NAME_CAPS, XKB_STATE_MODS_LOCKED) > 0;
}

const char* LockedUserName() { return User; }
