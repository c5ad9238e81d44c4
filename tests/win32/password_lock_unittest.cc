// The password lock against the real registry and our own PASSWORD.CPL,
// which lies beside this test program.
#include <gtest/gtest.h>

#include "shell/saver_shell_win32.h"

namespace {

const char kDesktop[] = "Control Panel\\Desktop";

class PasswordLockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kDesktop, &key_), ERROR_SUCCESS);
    IsWin9xPlatform = 1;
  }
  void TearDown() override {
    ClosePasswordLock();
    RegDeleteValueA(key_, "ScreenSaveUsePassword");
    RegCloseKey(key_);
    IsWin9xPlatform = 0;
  }
  void StoreFlag(const void* data, DWORD size, DWORD type = REG_DWORD) {
    ASSERT_EQ(RegSetValueExA(key_, "ScreenSaveUsePassword", 0, type,
                             static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
  }
  static bool LibraryLoaded() { return GetModuleHandleA("PASSWORD.CPL") != nullptr; }
  static BOOL SaverRunning() {
    BOOL running = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    return running;
  }

  HKEY key_ = nullptr;
};

TEST_F(PasswordLockTest, FlagSetLoadsTheVerifierUntilTheLockCloses) {
  const DWORD on = 1;
  StoreFlag(&on, sizeof on);
  OpenPasswordLock();
  ASSERT_NE(PasswordLibrary, nullptr);
  ASSERT_NE(VerifyScreenSavePwdEntry, nullptr);
  EXPECT_TRUE(LibraryLoaded());
  EXPECT_TRUE(SaverRunning());
  // Opening again first releases what the last run held.
  OpenPasswordLock();
  EXPECT_NE(VerifyScreenSavePwdEntry, nullptr);

  ClosePasswordLock();
  EXPECT_EQ(PasswordLibrary, nullptr);
  EXPECT_EQ(VerifyScreenSavePwdEntry, nullptr);
  EXPECT_FALSE(LibraryLoaded());
  EXPECT_FALSE(SaverRunning());
}

TEST_F(PasswordLockTest, NoPasswordWhenTheFlagIsZeroMissingOrTooLong) {
  const DWORD off = 0;
  StoreFlag(&off, sizeof off);
  OpenPasswordLock();
  EXPECT_EQ(VerifyScreenSavePwdEntry, nullptr);

  const uint64_t wide = 1;
  StoreFlag(&wide, sizeof wide, REG_QWORD);
  OpenPasswordLock();
  EXPECT_EQ(VerifyScreenSavePwdEntry, nullptr);
  EXPECT_FALSE(LibraryLoaded());

  RegDeleteValueA(key_, "ScreenSaveUsePassword");
  OpenPasswordLock();
  EXPECT_EQ(PasswordLibrary, nullptr);
}

TEST_F(PasswordLockTest, FlagOfAnyStoredTypeCounts) {
  StoreFlag("1", 2, REG_SZ);  // "1" and its NUL read as a non-zero number
  OpenPasswordLock();
  EXPECT_NE(VerifyScreenSavePwdEntry, nullptr);
}

TEST_F(PasswordLockTest, OffWin9xNothingIsReadOrLoaded) {
  const DWORD on = 1;
  StoreFlag(&on, sizeof on);
  IsWin9xPlatform = 0;
  OpenPasswordLock();
  EXPECT_EQ(PasswordLibrary, nullptr);
  EXPECT_FALSE(LibraryLoaded());
  EXPECT_FALSE(SaverRunning());
}

TEST_F(PasswordLockTest, PasswordChangeEndsWithZero) {
  // Whatever the platform's changer does (or lacks), the mode's result is 0.
  EXPECT_EQ(ChangeSaverPassword(""), 0);
  EXPECT_EQ(ChangeSaverPassword("123456"), 0);
}

}  // namespace
