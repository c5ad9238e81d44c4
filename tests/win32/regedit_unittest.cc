// The settings between the two platforms: a key that regedit exports reads
// with the Linux store's file reader as the same four values, and a file as
// the Linux store writes it, imported by regedit, loads from the registry as
// the same four values.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>

#include "settings/reg_file.h"
#include "settings/settings.h"
#include "settings/store.h"
#include "settings_fixture.h"
#include "test_files.h"

namespace {

std::string TempFile(const char* name) {
  char folder[MAX_PATH];
  GetTempPathA(sizeof folder, folder);
  return std::string(folder) + name;
}

DWORD Regedit(const std::string& arguments) {
  std::string command = "regedit.exe " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return 0xFFFFFFFF;
  }
  WaitForSingleObject(process.hProcess, 60000);
  DWORD code = 0xFFFFFFFF;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return code;
}

// A path with the characters the export form escapes, and one beyond ASCII.
const char kPath[] = "C:\\pics\\a \"cube\" \xe9.bmp";
const char kPathUtf8[] = "C:\\pics\\a \"cube\" \xc3\xa9.bmp";

TEST(RegeditTest, ExportedKeyReadsAsTheSameFourValues) {
  ClearStoredSettings();
  SaverSettings = SaverSettingsRecord{1, 0, 45, ""};
  SaveSettings(kPath);
  const std::string file = TempFile("quarlo-export.reg");
  DeleteFileA(file.c_str());
  ASSERT_EQ(Regedit("/E \"" + file + "\" HKEY_CURRENT_USER\\" + kSettingsKeyPath), 0u);
  const RegDocument doc = ReadRegDocument(ReadFileBytes(file));
  ASSERT_TRUE(doc.valid);
  const struct {
    const char* name;
    std::string data;
  } want[] = {{"Surface", DwordBytes(1)},
              {"Explode", DwordBytes(0)},
              {"Displacement", DwordBytes(45)},
              {"Texture", std::string(kPathUtf8) + '\0'}};  // version 5 strings come as UTF-8
  for (const auto& w : want) {
    RegValue value;
    ASSERT_TRUE(FindRegValue(doc, kSettingsKeyPath, w.name, &value)) << w.name;
    EXPECT_EQ(value.data, w.data) << w.name;
  }
  ClearStoredSettings();
}

TEST(RegeditTest, FileAsTheLinuxStoreWritesItImportsAsTheSameFourValues) {
  std::string v5_export = "\xff\xfe";  // the header of what regedit exports, in UTF-16LE
  for (char c : std::string("Windows Registry Editor Version 5.00\r\n")) v5_export += {c, '\0'};
  const struct {
    const char* what;
    std::string before;  // the file the store found
    const char* path;
  } cases[] = {{"a new REGEDIT4 file", "", "C:\\a \\\"b\\\\c\".bmp"},
               {"a version 5 file", v5_export, kPathUtf8}};
  for (const auto& c : cases) {
    const std::vector<RegValue> values = {{"Surface", kValueDword, DwordBytes(5)},
                                          {"Explode", kValueDword, DwordBytes(1)},
                                          {"Displacement", kValueDword, DwordBytes(30)},
                                          {"Texture", kValueString, std::string(c.path) + '\0'}};
    const std::string file = TempFile("quarlo-import.reg");
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        << ComposeRegDocument(ReadRegDocument(c.before), kSettingsKeyPath, values);
    ClearStoredSettings();
    ASSERT_EQ(Regedit("/S \"" + file + "\""), 0u) << c.what;
    SaverSettings = SaverSettingsRecord{0, 0, 60, ""};
    LoadSettings();
    EXPECT_EQ(SaverSettings.Surface, 5) << c.what;
    EXPECT_EQ(SaverSettings.Explode, 1) << c.what;
    EXPECT_EQ(SaverSettings.Displacement, 30) << c.what;
    // The registry's A calls give the ANSI form of a version 5 file's text.
    EXPECT_STREQ(SaverSettings.Texture, c.before.empty() ? c.path : kPath) << c.what;
  }
  ClearStoredSettings();
}

}  // namespace
