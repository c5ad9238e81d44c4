// The Linux settings store: the registry's export form in a per-user file,
// $XDG_CONFIG_HOME/quarlo/settings.reg (~/.config when the variable is unset
// or not absolute), replaced whole and atomically on every save.
#pragma once

#include <string>

// The file's path; empty when the user has no home to put it in.
std::string SettingsFilePath();

// The steps of a save, in order. A save that stops between any two of them
// leaves the old file or the new one, never a mix.
enum SettingsFileStep {
  kSettingsFileTempMade,   // a temporary file beside the old one
  kSettingsFileWritten,    // the new contents are in it
  kSettingsFileFlushed,    // ... and on the disk
  kSettingsFileRenamed,    // it has taken the old file's name
};
// Called after each step; tests use it to stop a save part-way. Null in the saver.
extern void (*SettingsFileStepHook)(SettingsFileStep step);
