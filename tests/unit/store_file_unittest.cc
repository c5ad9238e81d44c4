// The Linux store as a file: where it lives, what a damaged or unusable file
// gives, and that a save leaves one whole file whatever stops it.
#include "settings/store_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "settings/settings.h"
#include "settings_fixture.h"
#include "test_files.h"

namespace {

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string Folder(const std::string& path) { return path.substr(0, path.rfind('/')); }

class StoreFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearStoredSettings();  // a fresh XDG_CONFIG_HOME of this process
    path_ = SettingsFilePath();
    std::system(("rm -rf '" + Folder(path_) + "' && mkdir -p '" + Folder(path_) + "'").c_str());
  }
  void TearDown() override {
    std::system(("chmod -R u+rwx '" + Folder(path_) + "'; rm -rf '" + Folder(path_) + "'").c_str());
  }
  // Saves a record in a child process that runs `before` first; its exit status.
  int SaveInChild(const std::function<void()>& before) {
    const pid_t child = fork();
    if (child == 0) {
      before();
      SaverSettings = SaverSettingsRecord{1, 1, 50, ""};
      SaveSettings("new.bmp");
      _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return status;
  }
  std::string path_;
};

TEST_F(StoreFileTest, PathFollowsXdgConfigHomeAndTheFolderIsMade) {
  const std::string config = std::getenv("XDG_CONFIG_HOME");
  const std::string home = std::getenv("HOME");
  const struct {
    const char* xdg;
    std::string want;
  } cases[] = {{"/somewhere/cfg", "/somewhere/cfg/quarlo/settings.reg"},
               {nullptr, home + "/.config/quarlo/settings.reg"},
               {"", home + "/.config/quarlo/settings.reg"},
               {"relative/cfg", home + "/.config/quarlo/settings.reg"}};
  for (const auto& c : cases) {
    c.xdg ? setenv("XDG_CONFIG_HOME", c.xdg, 1) : unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(SettingsFilePath(), c.want) << (c.xdg ? c.xdg : "(unset)");
  }
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  std::system(("rm -rf '" + Folder(path_) + "'").c_str());  // a missing folder is made
  SaveSettings("a.bmp");
  EXPECT_NE(ReadFileBytes(path_).find("\"Texture\"=\"a.bmp\""), std::string::npos);
}

// Damaged and unusable files give the defaults value by value, never a
// crash or a hang; the damaged files are the fuzzer's seeds too.
TEST_F(StoreFileTest, DamagedFilesGiveDefaultsValueByValue) {
  const std::string corpus = QUARLO_SETTINGS_CORPUS;
  const struct {
    const char* file;
    int32_t surface, explode, displacement;
    const char* texture;
  } cases[] = {
      {"truncated.reg", 1, 1, 60, ""},          // cut off inside the third value
      {"binary.reg", 0, 0, 60, ""},             // random bytes
      {"no-header.reg", 0, 0, 60, ""},          // good lines without REGEDIT4
      {"bad-lines.reg", 0, 1, 45, "C:\\ok.bmp"},  // every other line damaged
      {"utf16-odd.reg", 1, 0, 60, ""},          // UTF-16 cut in the middle of a character
      {"nul-bytes.reg", 0, 0, 70, ""},          // NULs inside lines
      {"long-line.reg", 0, 0, 30, ""},          // a Texture line of 100000 characters
  };
  for (const auto& c : cases) {
    WriteFile(path_, ReadFileBytes(corpus + "/" + c.file));
    SaverSettings = SaverSettingsRecord{7, 7, 60, "stale"};
    LoadSettings();
    EXPECT_EQ(SaverSettings.Surface, c.surface) << c.file;
    EXPECT_EQ(SaverSettings.Explode, c.explode) << c.file;
    EXPECT_EQ(SaverSettings.Displacement, c.displacement) << c.file;
    EXPECT_STREQ(SaverSettings.Texture, c.texture) << c.file;
  }
}

TEST_F(StoreFileTest, UnusableFilesReadAsNoneAndAreNeverReplaced) {
  const std::string good = ReadFileBytes(std::string(QUARLO_SETTINGS_CORPUS) + "/bad-lines.reg");
  const struct {
    const char* what;
    std::function<void()> make;
  } cases[] = {
      {"a folder", [&] { mkdir(path_.c_str(), 0700); }},
      {"a pipe nobody writes", [&] { mkfifo(path_.c_str(), 0600); }},
      {"a file too large", [&] {
         WriteFile(path_, good + std::string(17 << 20, ';'));
       }},
  };
  for (const auto& c : cases) {
    std::system(("rm -rf '" + path_ + "'").c_str());
    c.make();
    struct stat before;
    ASSERT_EQ(stat(path_.c_str(), &before), 0) << c.what;
    SaverSettings = SaverSettingsRecord{7, 7, 60, "stale"};
    LoadSettings();
    EXPECT_EQ(SaverSettings.Surface, 0) << c.what;
    EXPECT_EQ(SaverSettings.Displacement, 60) << c.what;
    SaveSettings("x.bmp");
    struct stat after;
    ASSERT_EQ(stat(path_.c_str(), &after), 0) << c.what;
    EXPECT_EQ(after.st_ino, before.st_ino) << c.what;
    EXPECT_EQ(after.st_size, before.st_size) << c.what;
  }
}

TEST_F(StoreFileTest, AFolderThatCantBeWrittenKeepsTheOldFile) {
  const std::string old = ReadFileBytes(std::string(QUARLO_SETTINGS_CORPUS) + "/bad-lines.reg");
  WriteFile(path_, old);
  std::system(("chmod -R a+rX '" + Folder(Folder(path_)) + "'").c_str());
  chmod(Folder(path_).c_str(), 0555);
  // As root every folder can be written: the save runs as nobody.
  const int status = SaveInChild([] {
    if (geteuid() == 0 && setuid(65534) != 0) _exit(3);
  });
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(ReadFileBytes(path_), old);
  // Where the folder should be there is a file: nothing can be made.
  chmod(Folder(path_).c_str(), 0700);
  std::system(("rm -rf '" + Folder(path_) + "' && touch '" + Folder(path_) + "'").c_str());
  SaveSettings("y.bmp");
  EXPECT_EQ(ReadFileBytes(Folder(path_)), "");
}

TEST_F(StoreFileTest, ASaveStoppedAtAnyStepLeavesTheOldFileOrTheNewOne) {
  const std::string old = ReadFileBytes(std::string(QUARLO_SETTINGS_CORPUS) + "/bad-lines.reg");
  WriteFile(path_, old);
  SaverSettings = SaverSettingsRecord{1, 1, 50, ""};
  SaveSettings("new.bmp");
  const std::string saved = ReadFileBytes(path_);
  ASSERT_NE(saved, old);
  for (int stop = kSettingsFileTempMade; stop <= kSettingsFileRenamed; ++stop) {
    WriteFile(path_, old);
    static int stop_at;
    stop_at = stop;
    const int status = SaveInChild([] {
      SettingsFileStepHook = [](SettingsFileStep step) {
        if (step == stop_at) _exit(9);  // the process dies here
      };
    });
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 9) << stop;
    EXPECT_EQ(ReadFileBytes(path_), stop == kSettingsFileRenamed ? saved : old) << "stopped at " << stop;
  }
}

// Dotfiles kept elsewhere and linked in: the save writes at the links'
// target, making a missing file and our own missing folder, keeps the
// file's mode, and leaves the links links. A target in a folder that isn't
// there changes nothing and says so.
TEST_F(StoreFileTest, SavesGoWhereTheLinksLeadKeepingTheMode) {
  const std::string config = Folder(Folder(path_)), elsewhere = config + "/dotfiles";
  const struct {
    const char* what;
    const char* link;    // made in the config folder, or "" for none
    const char* target;  // what it points at, relative to the config folder
    const char* saved;   // where the file then is; "" when the save can't be made
    mode_t mode;         // the old file's mode, 0 when there is none
  } cases[] = {
      {"a plain file", "", "", "quarlo/settings.reg", 0640},
      {"a file linked to a file", "quarlo/settings.reg", "dotfiles/real.reg", "dotfiles/real.reg", 0604},
      {"a file linked to no file yet", "quarlo/settings.reg", "dotfiles/new.reg", "dotfiles/new.reg", 0},
      {"a folder linked to no folder yet", "quarlo", "dotfiles/quarlo", "dotfiles/quarlo/settings.reg", 0},
      {"a file linked into a missing folder", "quarlo/settings.reg", "dotfiles/gone/x.reg", "", 0},
  };
  for (const auto& c : cases) {
    std::system(("rm -rf '" + Folder(path_) + "' '" + elsewhere + "' && mkdir -p '" + Folder(path_) +
                 "' '" + elsewhere + "'").c_str());
    const std::string link = config + "/" + c.link, target = config + "/" + c.target;
    if (*c.link) {
      if (std::string(c.link) == "quarlo") rmdir(link.c_str());
      ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0) << c.what;
    }
    const std::string old_file = *c.link ? target : path_;
    if (c.mode) {
      WriteFile(old_file, "REGEDIT4\r\n");
      chmod(old_file.c_str(), c.mode);
    }
    SaverSettings = SaverSettingsRecord{1, 0, 30, ""};
    testing::internal::CaptureStderr();
    SaveSettings("z.bmp");
    const std::string said = testing::internal::GetCapturedStderr();
    struct stat st;
    if (!*c.saved) {
      EXPECT_NE(lstat(link.c_str(), &st), -1) << c.what;
      EXPECT_TRUE(S_ISLNK(st.st_mode) && stat(link.c_str(), &st) != 0) << c.what;
      EXPECT_EQ(said.rfind("quarlo: ", 0), 0u) << c.what << ": " << said;
      EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
      continue;
    }
    EXPECT_EQ(said, "") << c.what;
    const std::string saved = config + "/" + c.saved;
    EXPECT_NE(ReadFileBytes(saved).find("\"Texture\"=\"z.bmp\""), std::string::npos) << c.what;
    ASSERT_EQ(stat(saved.c_str(), &st), 0) << c.what;
    EXPECT_EQ(st.st_mode & 07777, c.mode ? c.mode : 0600) << c.what;
    if (*c.link) {
      EXPECT_TRUE(lstat(link.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) << c.what;
    }
    LoadSettings();
    EXPECT_EQ(SaverSettings.Displacement, 30) << c.what;
  }
  std::system(("rm -rf '" + elsewhere + "'").c_str());
}

}  // namespace
