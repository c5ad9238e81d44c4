#include "settings/store_file.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <vector>

#include "settings/reg_file.h"
#include "settings/settings.h"
#include "settings/store.h"

void (*SettingsFileStepHook)(SettingsFileStep step) = nullptr;

struct SettingsKey {
  RegDocument doc;
  std::vector<RegValue> pending;  // values to write at close
  bool writing = false;
  mode_t mode = 0600;  // the old file's, kept by the new one
};

namespace {

// A settings file this large is somebody else's: it is read as no settings
// and never rewritten.
constexpr size_t kMaxFileBytes = size_t{16} << 20;

SettingsKey OpenKey;

void Step(SettingsFileStep step) {
  if (SettingsFileStepHook) SettingsFileStepHook(step);
}

bool IsAbsolute(const char* path) { return path && path[0] == '/'; }

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (IsAbsolute(home)) return home;
  const passwd* user = getpwuid(getuid());
  return user && IsAbsolute(user->pw_dir) ? user->pw_dir : "";
}

enum class Read { kFile, kMissing, kUnusable };

// The whole file, if it is a regular file of a sensible size. Opened without
// blocking, so a pipe or device put in its place can't hang the saver.
Read ReadWholeFile(const std::string& path, std::string* bytes, mode_t* mode) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return errno == ENOENT ? Read::kMissing : Read::kUnusable;
  struct stat st;
  Read result = Read::kUnusable;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    *mode = st.st_mode & 07777;
    char chunk[65536];
    for (;;) {
      const ssize_t n = read(fd, chunk, sizeof chunk);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 || bytes->size() + size_t(n) > kMaxFileBytes) break;
      if (n == 0) {
        result = Read::kFile;
        break;
      }
      bytes->append(chunk, size_t(n));
    }
  }
  close(fd);
  return result;
}

bool IsFolder(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The folders of our own that hold the settings, made when missing.
bool MakeFolders(const std::string& folder) {
  for (size_t slash = 1; slash != std::string::npos;) {
    slash = folder.find('/', slash + 1);
    const std::string part = folder.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return IsFolder(folder);
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('/')); }

// Where a path's links lead, followed one by one, to a file or folder that
// may not exist yet (dotfiles kept elsewhere and linked in); empty for a
// link that can't be read or a loop of links.
std::string LinkTarget(const std::string& path) {
  enum { kMostLinks = 40 };
  std::string at = path;
  for (int hops = 0; hops < kMostLinks; ++hops) {
    struct stat st;
    if (lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return at;
    char link[PATH_MAX];
    const ssize_t n = readlink(at.c_str(), link, sizeof link);
    if (n <= 0 || size_t(n) >= sizeof link) return "";
    at = link[0] == '/' ? std::string(link, size_t(n)) : FolderOf(at) + "/" + std::string(link, size_t(n));
  }
  return "";
}

// The file a save writes: the settings file, or where its links lead. The
// quarlo folder is ours and is made, at its link's target too; folders
// outside it that a link names must be there already.
std::string FileToReplace(const std::string& path) {
  const std::string folder = FolderOf(path);
  if (!MakeFolders(FolderOf(folder))) return "";
  const std::string own = LinkTarget(folder);
  if (own.empty() || (mkdir(own.c_str(), 0700) != 0 && errno != EEXIST) || !IsFolder(own)) return "";
  const std::string target = LinkTarget(own + path.substr(folder.size()));
  return !target.empty() && IsFolder(FolderOf(target)) ? target : "";
}

void SaveFailed(const std::string& path, const char* why) {
  std::fprintf(stderr, "quarlo: the settings were not saved in %s: %s\n", path.c_str(), why);
}

bool WriteAll(int fd, const std::string& bytes) {
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += size_t(n);
  }
  return true;
}

// Writes a temporary file in the same folder, flushes it to the disk and
// renames it over the old one: an interruption leaves one whole file.
bool ReplaceAtomically(const std::string& target, const std::string& bytes, mode_t mode) {
  const std::string folder = FolderOf(target);
  std::string temp = folder + "/.settings.reg.XXXXXX";
  const int fd = mkostemp(&temp[0], O_CLOEXEC);
  if (fd < 0) return false;
  Step(kSettingsFileTempMade);
  bool done = fchmod(fd, mode) == 0 && WriteAll(fd, bytes);
  if (done) Step(kSettingsFileWritten);
  done = done && fsync(fd) == 0;
  done = close(fd) == 0 && done;
  if (done) Step(kSettingsFileFlushed);
  if (!done || rename(temp.c_str(), target.c_str()) != 0) {
    const int error = errno;
    unlink(temp.c_str());
    errno = error;
    return false;
  }
  Step(kSettingsFileRenamed);
  const int folder_fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder_fd >= 0) {
    fsync(folder_fd);  // the rename itself reaches the disk
    close(folder_fd);
  }
  return true;
}

}  // namespace

std::string SettingsFilePath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string base = IsAbsolute(config) ? config : "";
  if (base.empty()) {
    const std::string home = HomeFolder();
    if (home.empty()) return "";
    base = home + "/.config";
  }
  return base + "/quarlo/settings.reg";
}

SettingsKey* OpenSettingsKey(bool for_writing) {
  const std::string path = SettingsFilePath();
  if (path.empty()) return nullptr;
  OpenKey = SettingsKey();
  std::string bytes;
  const Read read = ReadWholeFile(path, &bytes, &OpenKey.mode);
  // What can't be read can't be kept either: it is left alone.
  if (read == Read::kUnusable && for_writing) {
    SaveFailed(path, "it is no file that can be read");
    return nullptr;
  }
  if (read != Read::kFile) bytes.clear();  // a file too large or unreadable: no settings
  OpenKey.doc = ReadRegDocument(bytes);
  OpenKey.writing = for_writing;
  if (!for_writing && !HasRegKey(OpenKey.doc, kSettingsKeyPath)) return nullptr;
  return &OpenKey;
}

bool ReadSettingsValue(SettingsKey* key, const char* name, void* data, uint32_t* size) {
  RegValue value;
  if (!FindRegValue(key->doc, kSettingsKeyPath, name, &value) || value.data.size() > *size) {
    return false;
  }
  value.data.copy(static_cast<char*>(data), value.data.size());
  *size = static_cast<uint32_t>(value.data.size());
  return true;
}

void WriteSettingsValue(SettingsKey* key, const char* name, uint32_t type, const void* data,
                        uint32_t size) {
  RegValue value;
  value.name = name;
  value.type = type;
  value.data.assign(static_cast<const char*>(data), size);
  key->pending.push_back(value);
}

void CloseSettingsKey(SettingsKey* key) {
  if (key->writing) {
    const std::string path = SettingsFilePath();
    const std::string target = FileToReplace(path);
    if (target.empty()) {
      SaveFailed(path, "its folder can't be made");
    } else if (!ReplaceAtomically(target, ComposeRegDocument(key->doc, kSettingsKeyPath, key->pending),
                                  key->mode)) {
      SaveFailed(target, std::strerror(errno));
    }
  }
  *key = SettingsKey();
}
