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

struct LoadCase {
  const char* what;
  std::function<void()> plant;
  int32_t surface, explode, displacement;
  std::string texture;
};

TEST(SettingsStoreTest, LoadGivesEachStoredValueOrItsDefault) {
  const std::string path = "C:\\pictures\\a \"cube\".bmp";
  const LoadCase cases[] = {
      {"no key: Displacement stays as it was", [] { ClearStoredSettings(); }, 0, 0, 33, ""},
      {"an empty key: every default", [] { MakeEmptySettingsKey(); }, 0, 0, 60, ""},
      {"stored types are not looked at",
       [&] {
         PlantStoredDword("Surface", 5);
         PlantStoredValue("Explode", kValueString, Bytes("1", 2));  // '1', NUL: 0x31
         PlantStoredValue("Displacement", kValueBinary, Bytes("\x2d", 1));
         PlantStoredValue("Texture", kValueExpandString, path + '\0');
       },
       5, 0x31, 45, path},
      {"values too large for their field count as absent",
       [] {
         PlantStoredValue("Displacement", 11 /* REG_QWORD */, Bytes("\x63\0\0\0\0\0\0\0", 8));
         PlantStoredValue("Texture", kValueString, std::string(300, 'p') + '\0');
         PlantStoredDword("Surface", 1);
         PlantStoredDword("Explode", 1);
       },
       1, 1, 60, ""},
      {"a path that fills the field with its NUL",
       [] { PlantStoredValue("Texture", kValueString, std::string(259, 'r') + '\0'); }, 0, 0, 60,
       std::string(259, 'r')},
      {"a path without a NUL still ends inside the field",
       [] { PlantStoredValue("Texture", kValueBinary, std::string(260, 'q')); }, 0, 0, 60,
       std::string(259, 'q')},
      {"short binary data", [] { PlantStoredValue("Texture", kValueBinary, "abc"); }, 0, 0, 60,
       "abc"},
  };
  for (const LoadCase& c : cases) {
    ClearStoredSettings();
    c.plant();
    SaverSettings = SaverSettingsRecord{7, 7, 33, "stale"};
    LoadSettings();
    EXPECT_EQ(SaverSettings.Surface, c.surface) << c.what;
    EXPECT_EQ(SaverSettings.Explode, c.explode) << c.what;
    EXPECT_EQ(SaverSettings.Displacement, c.displacement) << c.what;
    EXPECT_EQ(std::string(SaverSettings.Texture), c.texture) << c.what;
  }
  ClearStoredSettings();
}

TEST(SettingsStoreTest, SaveStoresExactlyTheFourValuesWithTheTypedPath) {
  const struct {
    const char* what;
    SaverSettingsRecord record;
    std::string typed, stored_path;
  } cases[] = {
      {"defaults", {0, 0, 60, "old"}, "", ""},
      {"a record as the dialog left it", {5, 1, 45, "old"}, "D:\\a\\b.bmp", "D:\\a\\b.bmp"},
      {"a typed path of 300 characters is cut to 258", {0, 0, 30, ""},
       "C:\\" + std::string(297, 'x'), "C:\\" + std::string(255, 'x')},
  };
  for (const auto& c : cases) {
    ClearStoredSettings();
    SaverSettings = c.record;
    SaveSettings(c.typed.c_str());
    EXPECT_EQ(std::string(SaverSettings.Texture), c.stored_path) << c.what;
    EXPECT_EQ(CountStoredValues(), 4) << c.what;
    const struct {
      const char* name;
      uint32_t type;
      std::string data;
    } want[] = {{"Surface", kValueDword, DwordBytes(uint32_t(c.record.Surface))},
                {"Explode", kValueDword, DwordBytes(uint32_t(c.record.Explode))},
                {"Displacement", kValueDword, DwordBytes(uint32_t(c.record.Displacement))},
                {"Texture", kValueString, c.stored_path + '\0'}};
    for (const auto& w : want) {
      StoredValue stored;
      ASSERT_TRUE(ReadStoredValue(w.name, &stored)) << c.what << ": " << w.name;
      EXPECT_EQ(stored.type, w.type) << c.what << ": " << w.name;
      EXPECT_EQ(stored.data, w.data) << c.what << ": " << w.name;
    }
    LoadSettings();  // and it comes back as saved
    EXPECT_EQ(SaverSettings.Displacement, c.record.Displacement) << c.what;
    EXPECT_EQ(std::string(SaverSettings.Texture), c.stored_path) << c.what;
  }
  ClearStoredSettings();
}

}  // namespace
