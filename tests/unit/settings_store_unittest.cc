// Loading and saving the settings through the platform's own store (the
// registry on Windows, the settings file on Linux): the same rules on both.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "settings/settings.h"
#include "settings/store.h"
#include "settings_fixture.h"

namespace {

std::string Bytes(const char* text, size_t size) { return std::string(text, size); }

// What loads after another program stored values (of any type and size),
// or after a save: the four values alone, Texture the typed path cut to 258
// characters. (The types a save stores are seen in regedit's export.)
TEST(SettingsStoreTest, LoadGivesEachStoredValueOrItsDefault) {
  const std::string path = "C:\\pictures\\a \"cube\".bmp";
  const auto texture = [](uint32_t type, const std::string& data) {
    return [=] { PlantStoredValue("Texture", type, data); };
  };
  const auto save = [](SaverSettingsRecord record, const std::string& typed) {
    return [=] {
      SaverSettings = record;
      SaveSettings(typed.c_str());
      EXPECT_EQ(CountStoredValues(), 4) << typed;
    };
  };
  const struct { const char* what; std::function<void()> store; std::string loads; } cases[] = {
      {"no key: Displacement stays as it was", [] {}, SettingsText(0, 0, 33, "")},
      {"an empty key: every default", [] { MakeEmptySettingsKey(); }, SettingsText(0, 0, 60, "")},
      {"stored types are not looked at",
       [&] {
         PlantStoredDword("Surface", 5);
         PlantStoredValue("Explode", kValueString, Bytes("1", 2));  // '1', NUL: 0x31
         PlantStoredValue("Displacement", kValueBinary, Bytes("\x2d", 1));
         PlantStoredValue("Texture", kValueExpandString, path + '\0');
       },
       SettingsText(5, 0x31, 45, path)},
      {"values too large for their field count as absent",
       [] {
         PlantStoredValue("Displacement", 11 /* REG_QWORD */, Bytes("\x63\0\0\0\0\0\0\0", 8));
         PlantStoredValue("Texture", kValueString, std::string(300, 'p') + '\0');
         PlantStoredDword("Surface", 1);
         PlantStoredDword("Explode", 1);
       },
       SettingsText(1, 1, 60, "")},
      {"a path filling the field with its NUL", texture(kValueString, std::string(259, 'r') + '\0'),
       SettingsText(0, 0, 60, std::string(259, 'r'))},
      {"a path without a NUL ends inside the field", texture(kValueBinary, std::string(260, 'q')),
       SettingsText(0, 0, 60, std::string(259, 'q'))},
      {"short binary data", texture(kValueBinary, "abc"), SettingsText(0, 0, 60, "abc")},
      {"a save of the defaults", save({0, 0, 60, "old"}, ""), SettingsText(0, 0, 60, "")},
      {"a save as the dialog leaves it", save({5, 1, 45, "old"}, "D:\\a\\b.bmp"),
       SettingsText(5, 1, 45, "D:\\a\\b.bmp")},
      {"a save of 300 typed characters", save({0, 0, 30, ""}, "C:" + std::string(298, 'x')),
       SettingsText(0, 0, 30, "C:" + std::string(256, 'x'))},
  };
  for (const auto& c : cases) {
    ClearStoredSettings();
    c.store();
    EXPECT_EQ(LoadedSettings(), c.loads) << c.what;
  }
  ClearStoredSettings();
}

}  // namespace
