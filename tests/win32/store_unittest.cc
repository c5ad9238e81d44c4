// The settings in this prefix's real registry.
#include <gtest/gtest.h>

#include <string>

#include "settings/store_win32.h"

namespace {

class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    SaverSettings = SaverSettingsRecord{7, 7, 33, "stale"};
  }
  void TearDown() override {
    if (dialog_) DestroyWindow(dialog_);
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
  }
  HKEY Key() {
    HKEY key = nullptr;
    RegCreateKeyA(HKEY_CURRENT_USER, kSettingsKey, &key);
    return key;
  }
  void Store(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = Key();
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  void StoreDword(const char* name, DWORD value) { Store(name, REG_DWORD, &value, sizeof value); }
  // The stored value's type and bytes.
  std::string Stored(const char* name, DWORD* type) {
    HKEY key = Key();
    char data[600] = {};
    DWORD size = sizeof data;
    const LONG result = RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<BYTE*>(data),
                                         &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? std::string(data, size) : std::string("<absent>");
  }
  // A window holding the path box that saving reads.
  HWND DialogWithPath(const std::string& text) {
    dialog_ = CreateWindowExA(0, "STATIC", "dialog", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                              nullptr, nullptr);
    CreateWindowExA(0, "EDIT", text.c_str(), WS_CHILD | ES_AUTOHSCROLL, 0, 0, 90, 20, dialog_,
                    reinterpret_cast<HMENU>(kPathEditControl), nullptr, nullptr);
    SendDlgItemMessageA(dialog_, kPathEditControl, EM_LIMITTEXT, 0, 0);
    SetDlgItemTextA(dialog_, kPathEditControl, text.c_str());
    return dialog_;
  }

  HWND dialog_ = nullptr;
};

TEST_F(StoreTest, MissingKeyGivesDefaultsAndKeepsDisplacement) {
  LoadSettings();
  EXPECT_EQ(SaverSettings.Surface, 0);
  EXPECT_EQ(SaverSettings.Explode, 0);
  EXPECT_EQ(SaverSettings.Displacement, 33);  // left as it was
  EXPECT_STREQ(SaverSettings.Texture, "");
}

TEST_F(StoreTest, ValuesLoadWhateverTheirStoredType) {
  StoreDword("Surface", 5);
  Store("Explode", REG_SZ, "1", 2);  // the bytes '1', 0 read as 0x31
  StoreDword("Displacement", 45);
  Store("Texture", REG_SZ, "C:\\pictures\\cube.bmp", 21);
  LoadSettings();
  EXPECT_EQ(SaverSettings.Surface, 5);
  EXPECT_EQ(SaverSettings.Explode, 0x31);
  EXPECT_EQ(SaverSettings.Displacement, 45);
  EXPECT_STREQ(SaverSettings.Texture, "C:\\pictures\\cube.bmp");
}

TEST_F(StoreTest, EmptyKeyGivesEveryDefault) {
  RegCloseKey(Key());
  LoadSettings();
  EXPECT_EQ(SaverSettings.Surface, 0);
  EXPECT_EQ(SaverSettings.Explode, 0);
  EXPECT_EQ(SaverSettings.Displacement, 60);
  EXPECT_STREQ(SaverSettings.Texture, "");
}

TEST_F(StoreTest, ValuesTooLargeForTheirFieldCountAsAbsent) {
  const uint64_t wide = 99;
  Store("Displacement", REG_QWORD, &wide, sizeof wide);
  const std::string long_path(300, 'p');
  Store("Texture", REG_SZ, long_path.c_str(), 301);
  StoreDword("Surface", 1);
  StoreDword("Explode", 1);
  LoadSettings();
  EXPECT_EQ(SaverSettings.Displacement, 60);
  EXPECT_STREQ(SaverSettings.Texture, "");
  EXPECT_EQ(SaverSettings.Surface, 1);
  EXPECT_EQ(SaverSettings.Explode, 1);
}

TEST_F(StoreTest, TextureWithoutNulStillEndsInsideTheField) {
  const std::string full(260, 'q');  // fits the buffer exactly, no terminator
  Store("Texture", REG_BINARY, full.data(), 260);
  LoadSettings();
  EXPECT_EQ(std::string(SaverSettings.Texture), std::string(259, 'q'));
  Store("Texture", REG_BINARY, "abc", 3);
  LoadSettings();
  EXPECT_STREQ(SaverSettings.Texture, "abc");
}

TEST_F(StoreTest, SavingDefaultsStoresExactlyTheFourValues) {
  LoadSettings();
  SaverSettings.Displacement = 60;
  SaveSettings(DialogWithPath(""));
  DWORD type = 0;
  EXPECT_EQ(Stored("Surface", &type), std::string(4, '\0'));
  EXPECT_EQ(type, DWORD{REG_DWORD});
  EXPECT_EQ(Stored("Explode", &type), std::string(4, '\0'));
  EXPECT_EQ(Stored("Displacement", &type), std::string("\x3c\0\0\0", 4));
  EXPECT_EQ(type, DWORD{REG_DWORD});
  EXPECT_EQ(Stored("Texture", &type), std::string(1, '\0'));
  EXPECT_EQ(type, DWORD{REG_SZ});
}

TEST_F(StoreTest, SavedPathComesFromTheBoxCutTo258Characters) {
  const std::string typed = "C:\\" + std::string(297, 'x');
  SaveSettings(DialogWithPath(typed));
  DWORD type = 0;
  const std::string stored = Stored("Texture", &type);
  ASSERT_EQ(stored.size(), 259u);
  EXPECT_EQ(stored, typed.substr(0, 258) + std::string(1, '\0'));
  EXPECT_EQ(std::string(SaverSettings.Texture), typed.substr(0, 258));
  EXPECT_EQ(Stored("Surface", &type), std::string("\x07\0\0\0", 4));  // the record as it was
}

}  // namespace
