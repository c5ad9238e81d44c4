// The settings between the two platforms, through the real regedit: a key
// that regedit exports reads with the Linux store's file reader as the same
// four values, and that file or a new one, written as the Linux store writes
// it, imports as the values written.
#include <gtest/gtest.h>
#include <process.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "bmp_builder.h"
#include "settings/reg_file.h"
#include "settings/settings.h"
#include "settings/store.h"
#include "settings_fixture.h"
#include "test_files.h"

namespace {

// regedit.exe's exit code for an action on a file (and a key).
intptr_t Regedit(const char* action, const std::string& file, const std::string& key = "") {
  const std::string program = std::string(std::getenv("SystemRoot")) + "\\regedit.exe";
  return _spawnl(_P_WAIT, program.c_str(), "regedit.exe", action, ("\"" + file + "\"").c_str(),
                 key.empty() ? nullptr : key.c_str(), nullptr);
}

RegValue Dword(const char* name, uint32_t value) { return {name, kValueDword, DwordBytes(value)}; }

TEST(RegeditTest, TheSameFourValuesBothWays) {
  // A path with the characters the export form escapes, and one beyond ASCII:
  // version 5 files hold it as UTF-8, the registry's A calls as ANSI.
  const std::string ansi = "C:\\a \"cube\" \xe9.bmp", utf8 = "C:\\a \"cube\" \xc3\xa9.bmp";
  ClearStoredSettings();
  SaverSettings = SaverSettingsRecord{1, 0, 45, ""};
  SaveSettings(ansi.c_str());
  const std::string exported = WriteTempFile("quarlo-export.reg", {});
  ASSERT_EQ(Regedit("/E", exported, "HKEY_CURRENT_USER\\" + std::string(kSettingsKeyPath)), 0);
  const RegDocument doc = ReadRegDocument(ReadFileBytes(exported));
  for (const RegValue& want : {Dword("Surface", 1), Dword("Explode", 0), Dword("Displacement", 45),
                               RegValue{"Texture", kValueString, utf8 + '\0'}}) {
    RegValue value;
    EXPECT_TRUE(FindRegValue(doc, kSettingsKeyPath, want.name.c_str(), &value) &&
                value.type == want.type && value.data == want.data) << want.name;
  }
  // The file the Linux store found, the path it wrote, the path that loads.
  const struct { const char* what; RegDocument before; std::string path, loads; } cases[] = {
      {"a new REGEDIT4 file", RegDocument(), ansi, ansi},
      {"regedit's version 5 file", doc, "D:\\\xc3\xa9t\xc3\xa9.bmp", "D:\\\xe9t\xe9.bmp"}};
  for (const auto& c : cases) {
    const std::string file = ComposeRegDocument(c.before, kSettingsKeyPath, {
        Dword("Surface", 5), Dword("Explode", 1), Dword("Displacement", 30),
        {"Texture", kValueString, c.path + '\0'}});
    ClearStoredSettings();
    ASSERT_EQ(Regedit("/S", WriteTempFile("quarlo-import.reg", {file.begin(), file.end()})), 0)
        << c.what;
    EXPECT_EQ(LoadedSettings(), SettingsText(5, 1, 30, c.loads)) << c.what;
  }
  ClearStoredSettings();
}

}  // namespace
