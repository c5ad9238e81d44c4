#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "settings/reg_file.h"
#include "settings/settings.h"
#include "settings/store_file.h"
#include "settings_fixture.h"
#include "test_files.h"

namespace {

// Lines of the key's section, written by hand in the export form so that
// the store under test does not write its own input.
std::string Planted;

const std::string& ConfigHome() {
  static const std::string home = [] {
    char folder[] = "/tmp/quarlo-settings-XXXXXX";
    setenv("XDG_CONFIG_HOME", mkdtemp(folder) ? folder : "/nonexistent", 1);
    return std::string(std::getenv("XDG_CONFIG_HOME"));
  }();
  return home;
}

void WritePlanted() {
  std::system(("mkdir -p '" + ConfigHome() + "/quarlo'").c_str());
  std::ofstream file(SettingsFilePath(), std::ios::binary | std::ios::trunc);
  file << "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\" << kSettingsKeyPath << "]\r\n" << Planted << "\r\n";
}

}  // namespace

void ClearStoredSettings() {
  ConfigHome();
  Planted.clear();
  unlink(SettingsFilePath().c_str());
}

void MakeEmptySettingsKey() {
  ClearStoredSettings();
  WritePlanted();
}

void PlantStoredValue(const char* name, uint32_t type, const std::string& data) {
  char line[16];
  std::snprintf(line, sizeof line, "\"=hex(%x):", type);
  Planted += "\"" + std::string(name) + line;
  for (size_t i = 0; i < data.size(); ++i) {
    std::snprintf(line, sizeof line, "%s%02x", i ? "," : "", static_cast<unsigned char>(data[i]));
    Planted += line;
  }
  Planted += "\r\n";
  WritePlanted();
}

int CountStoredValues() {  // the value lines: the tests' files hold no other key
  ConfigHome();
  const std::string text = "\n" + ReadRegDocument(ReadFileBytes(SettingsFilePath())).text;
  int count = 0;
  for (size_t at = 0; (at = text.find("\n\"", at)) != std::string::npos; ++at) ++count;
  return count;
}
