// The Linux store as a file: where it lives, what a damaged or unusable file
// gives, and that a save leaves one whole file whatever stops it.
#include "settings/store_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "settings/settings.h"
#include "settings_fixture.h"
#include "test_files.h"

namespace {

namespace fs = std::filesystem;
const std::string kCorpus = QUARLO_SETTINGS_CORPUS;

std::string Folder(const std::string& path) { return path.substr(0, path.rfind('/')); }
void Shell(const std::string& command) { EXPECT_EQ(std::system(command.c_str()), 0) << command; }

class StoreFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearStoredSettings();  // a fresh XDG_CONFIG_HOME of this process
    path_ = SettingsFilePath(), folder_ = Folder(path_), config_ = Folder(folder_);
    Shell("rm -rf '" + folder_ + "' && mkdir -p '" + folder_ + "'");
  }
  void TearDown() override {
    Shell("chmod -R u+rwx '" + config_ + "' && rm -rf '" + config_ + "'/*");
  }
  // Saves a record in a child process, as nobody when asked (root may write
  // in any folder), that dies at step `stop` if it gets there; its status.
  static int SaveInChild(bool as_nobody, int stop = -1) {
    static int stop_at;
    stop_at = stop;
    const pid_t child = fork();
    if (child == 0) {
      if (as_nobody && geteuid() == 0 && setuid(65534) != 0) _exit(3);
      SettingsFileStepHook = [](SettingsFileStep step) { if (step == stop_at) _exit(9); };
      SaverSettings = SaverSettingsRecord{1, 1, 50, ""};
      SaveSettings("new.bmp");
      _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return status;
  }
  std::string path_, folder_, config_;
};

// (The folders a save makes, the settings dialog's end-to-end test sees.)
TEST_F(StoreFileTest, PathFollowsXdgConfigHome) {
  const std::string dot_config = std::string(std::getenv("HOME")) + "/.config/quarlo/settings.reg";
  const std::pair<const char*, std::string> cases[] = {
      {"/somewhere/cfg", "/somewhere/cfg/quarlo/settings.reg"}, {nullptr, dot_config},
      {"", dot_config}, {"relative/cfg", dot_config}};
  for (const auto& [xdg, want] : cases) {
    xdg ? setenv("XDG_CONFIG_HOME", xdg, 1) : unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(SettingsFilePath(), want) << (xdg ? xdg : "(unset)");
  }
  setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
}

// Damaged files give the defaults value by value (a file with no key of
// ours, none), never a crash or a hang; they are the fuzzer's seeds too.
TEST_F(StoreFileTest, DamagedFilesGiveDefaultsValueByValue) {
  const std::pair<const char*, std::string> cases[] = {
      {"truncated.reg", SettingsText(1, 1, 60, "")},  // cut off inside the third value
      {"binary.reg", SettingsText(0, 0, 33, "")},     // random bytes
      {"no-header.reg", SettingsText(0, 0, 33, "")},  // good lines without REGEDIT4
      {"bad-lines.reg", SettingsText(0, 1, 45, "C:\\ok.bmp")},  // every other line damaged
      {"utf16-odd.reg", SettingsText(1, 0, 60, "")},  // UTF-16 cut in the middle of a character
      {"nul-bytes.reg", SettingsText(0, 0, 70, "")},  // NULs inside lines
      {"long-line.reg", SettingsText(0, 0, 30, "")},  // a Texture line of 100000 characters
  };
  for (const auto& [file, want] : cases) {
    Shell("cp '" + kCorpus + "/" + file + "' '" + path_ + "'");
    EXPECT_EQ(LoadedSettings(), want) << file;
  }
}

// A save that can't be made leaves what is there as it was and says so in
// one line. What can't be read is no settings, and is never replaced.
TEST_F(StoreFileTest, ASaveThatCantBeMadeLeavesWhatIsThere) {
  const std::string at = "'" + path_ + "'", folder = "'" + folder_ + "'";
  const std::string good = "cp '" + kCorpus + "/bad-lines.reg' " + at;
  // Each made by shell commands; the path that must stay as it was.
  const struct { const char* what; std::string make, kept; bool readable, as_nobody; } cases[] = {
      {"a pipe nobody writes", "mkfifo " + at, path_, false, false},
      {"a file too large", good + " && head -c 17M /dev/zero >> " + at, path_, false, false},
      {"a file as the folder", "rmdir " + folder + " && touch " + folder, folder_, false, false},
      {"a link into a folder that isn't there", "ln -s ../dotfiles/gone/x.reg " + at, path_, false,
       false},
      {"a folder that can't be written",  // last: the folder stays so
       good + " && chmod -R a+rX '" + config_ + "' && chmod 555 " + folder, path_, true, true},
  };
  for (const auto& c : cases) {
    Shell("rm -rf '" + folder_ + "' && mkdir -p '" + folder_ + "' && " + c.make);
    struct stat before, after;
    ASSERT_EQ(lstat(c.kept.c_str(), &before), 0) << c.what;
    EXPECT_EQ(LoadedSettings(), c.readable ? SettingsText(0, 1, 45, "C:\\ok.bmp")
                                           : SettingsText(0, 0, 33, "")) << c.what;
    testing::internal::CaptureStderr();
    EXPECT_EQ(SaveInChild(c.as_nobody), 0) << c.what;
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(said.rfind("quarlo: ", 0) == 0 && std::count(said.begin(), said.end(), '\n') == 1)
        << c.what << ": " << said;
    ASSERT_EQ(lstat(c.kept.c_str(), &after), 0) << c.what;
    EXPECT_TRUE(after.st_ino == before.st_ino && after.st_size == before.st_size &&
                after.st_mode == before.st_mode) << c.what;
  }
}

TEST_F(StoreFileTest, ASaveStoppedAtAnyStepLeavesTheOldFileOrTheNewOne) {
  const std::string put_old = "cp '" + kCorpus + "/bad-lines.reg' '" + path_ + "'";
  Shell(put_old);
  const std::string old = ReadFileBytes(path_);
  ASSERT_EQ(SaveInChild(false), 0);
  const std::string saved = ReadFileBytes(path_);
  ASSERT_NE(saved, old);
  for (int stop = kSettingsFileTempMade; stop <= kSettingsFileRenamed; ++stop) {
    Shell(put_old);
    const int status = SaveInChild(false, stop);  // the process dies there
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 9) << stop;
    EXPECT_EQ(ReadFileBytes(path_), stop == kSettingsFileRenamed ? saved : old) << "stopped at " << stop;
  }
}

// Dotfiles kept elsewhere and linked in, by relative or absolute links
// (made in the config folder): the save writes at the links' target,
// making a missing file and our own missing folder, keeps the file's mode
// (0600 for a new one), and leaves the links links.
TEST_F(StoreFileTest, SavesGoWhereTheLinksLeadKeepingTheMode) {
  const struct { const char* what, *make, *saved; mode_t mode; } cases[] = {
      {"a plain file", "echo REGEDIT4 > quarlo/settings.reg && chmod 640 quarlo/settings.reg",
       "quarlo/settings.reg", 0640},
      {"a file linked to a file",
       "echo REGEDIT4 > dotfiles/real.reg && chmod 604 dotfiles/real.reg && "
       "ln -s \"$PWD/dotfiles/real.reg\" quarlo/settings.reg", "dotfiles/real.reg", 0604},
      {"a file linked to no file yet", "ln -s ../dotfiles/new.reg quarlo/settings.reg",
       "dotfiles/new.reg", 0600},
      {"a folder linked to no folder yet", "rmdir quarlo && ln -s dotfiles/quarlo quarlo",
       "dotfiles/quarlo/settings.reg", 0600},
  };
  const auto links = [this] { return fs::is_symlink(path_) + fs::is_symlink(folder_); };
  for (const auto& c : cases) {
    Shell("cd '" + config_ + "' && rm -rf quarlo dotfiles && mkdir quarlo dotfiles && " + c.make);
    const int linked = links();
    testing::internal::CaptureStderr();
    SaverSettings = SaverSettingsRecord{1, 0, 30, ""};
    SaveSettings("z.bmp");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << c.what;
    struct stat st;
    ASSERT_EQ(stat((config_ + "/" + c.saved).c_str(), &st), 0) << c.what;
    EXPECT_EQ(st.st_mode & 07777, c.mode) << c.what;
    EXPECT_EQ(links(), linked) << c.what;
    EXPECT_EQ(LoadedSettings(), SettingsText(1, 0, 30, "z.bmp")) << c.what;
  }
}

}  // namespace
