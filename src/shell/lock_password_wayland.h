// The password typed on the lock screen: keys read through the compositor's
// keymap (any layout), the text kept in memory that never goes to swap and
// is wiped after every check and at the end, and the check itself, PAM's
// for the user running the program (service "quarlo"), made in a child
// process so that the show goes on while it runs.
#pragma once

#include <cstdint>

// Makes the field ready (its memory locked, the process not dumpable) and
// records who is locked; else says why not: the user can't be told, or the
// system has no rules for the check (without them PAM takes its "other"
// rules, which on many systems refuse every password: a lock never opened).
const char* OpenPasswordField();
// Wipes the field and lets its memory go; a check still running is ended.
void ClosePasswordField();

// The compositor's keymap (a file of `size` bytes at `fd`, closed here);
// false when it can't be read, and then the keys are read with the keymap
// before it or, if there was none, the system's default.
bool TakeKeymap(int fd, uint32_t size);
void TakeModifiers(uint32_t depressed, uint32_t latched, uint32_t locked, uint32_t group);

// What a key press did.
enum PasswordKey : int32_t {
  KEY_TYPED,    // a character added, one deleted, or the field cleared
  KEY_SUBMIT,   // Return: the check started
  KEY_IGNORED,  // a check runs, a key that types nothing, or the field is full
};
PasswordKey PressKey(uint32_t evdev_key);

// The check that Return started: still running, the password accepted, or
// refused (then the field is empty again).
enum PasswordCheck : int32_t { CHECK_NONE, CHECK_RUNNING, CHECK_ACCEPTED, CHECK_REFUSED };
PasswordCheck PasswordCheckState();

// For the indicator: the characters typed, whether Caps Lock is on, and the
// name of the user the session belongs to.
int32_t TypedCharacters();
bool CapsLockOn();
const char* LockedUserName();

// The most bytes the field takes; more typing is ignored.
enum : int32_t { kMostPasswordBytes = 1024 };
