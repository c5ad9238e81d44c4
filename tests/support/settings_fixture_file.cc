#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

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
    const char* made = mkdtemp(folder);
    setenv("XDG_CONFIG_HOME", made ? made : "/nonexistent", 1);
    return std::string(made ? made : "/nonexistent");
  }();
  return home;
}

void WritePlanted() {
  ConfigHome();
  std::system(("mkdir -p '" + ConfigHome() + "/quarlo'").c_str());
  std::ofstream file(SettingsFilePath(), std::ios::binary | std::ios::trunc);
  file << "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\" << kSettingsKeyPath << "]\r\n" << Planted << "\r\n";
}

RegDocument StoredDocument() {
  ConfigHome();
  return ReadRegDocument(ReadFileBytes(SettingsFilePath()));
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

void PlantStoredDword(const char* name, uint32_t value) {
  char line[64];
  std::snprintf(line, sizeof line, "\"%s\"=dword:%08x\r\n", name, value);
  Planted += line;
  WritePlanted();
}

bool ReadStoredValue(const char* name, StoredValue* value) {
  RegValue found;
  if (!FindRegValue(StoredDocument(), kSettingsKeyPath, name, &found)) return false;
  *value = StoredValue{found.type, found.data};
  return true;
}

int CountStoredValues() {  // the value lines of the key's section
  std::istringstream lines(StoredDocument().text);
  int count = 0;
  bool inside = false;
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line[0] == '[') inside = line.find(kSettingsKeyPath) != std::string::npos;
    if (inside && !line.empty() && (line[0] == '"' || line[0] == '@')) ++count;
  }
  return count;
}
