// The registry as one text file per user. Every change is a read-modify-write
// under an advisory lock, written to a temporary file and renamed into place, so
// two processes never lose each other's values and a crash mid-write leaves the
// old file whole. Nothing in the folder is written through a link.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "port_internal.h"
#include "win32/registry/registry.h"

namespace {
std::string ConfigFolder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/glimmerz";
  const char* home = std::getenv("HOME");
  if (!home || !*home) {
    passwd* user = getpwuid(getuid());
    home = user ? user->pw_dir : nullptr;
  }
  return home ? std::string(home) + "/.config/glimmerz" : std::string();
}

bool MakeFolders(const std::string& folder) {
  if (folder.empty()) return false;
  for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    std::string part = folder.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) return true;
  }
}

bool ReadWholeFile(const std::string& path, std::string* text) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT;
  struct stat s;
  if (fstat(fd, &s) == 0 && s.st_size > 0) text->reserve((size_t)s.st_size);
  char buffer[65536];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
    if (n > 0) text->append(buffer, (size_t)n);
  close(fd);
  return n == 0;
}

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += (size_t)n;
  }
  return true;
}

// A new file of ours that is never a link followed to somewhere else.
int CreateExclusive(const std::string& path) {
  return open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, 0600);
}

// The lock file is opened without following links; a link planted in its place
// is removed (not its target) so that writers can go on.
int OpenLockFile(const std::string& path, bool create) {
  for (int attempt = 0; attempt < 4; ++attempt) {
    int fd = open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0 || !create) return fd;
    struct stat s;
    if (errno == ELOOP && lstat(path.c_str(), &s) == 0 && S_ISLNK(s.st_mode)) {
      unlink(path.c_str());
      continue;
    }
    if (errno != ENOENT) return -1;
    fd = open(path.c_str(), O_CREAT | O_EXCL | O_RDWR | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// A writer killed mid-write leaves its temporary behind; whoever writes next,
// holding the lock, clears those whose process has gone.
void RemoveLeftoverTemporaries(const std::string& folder) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  const std::string prefix = "settings.reg.tmp.";
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    char* end;
    long pid = std::strtol(name.c_str() + prefix.size(), &end, 10);
    if (*end || pid <= 0 || pid == getpid()) continue;
    if (kill((pid_t)pid, 0) != 0 && errno == ESRCH) unlink((folder + "/" + name).c_str());
  }
  closedir(dir);
}

// Keeps the damaged file under a name of its own before anything replaces it:
// a hard link, so settings.reg is whole at every instant, or else a copy. An
// earlier set-aside file is never overwritten.
bool SetAside(const std::string& file, const std::string& text) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%lld", (long long)time(nullptr));
  for (int n = 0; n < 1000; ++n) {
    std::string aside = file + ".unreadable-" + stamp + (n ? "-" + std::to_string(n) : "");
    if (link(file.c_str(), aside.c_str()) == 0) return true;
    if (errno == EEXIST) continue;
    int fd = CreateExclusive(aside);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) return false;
    bool ok = WriteAll(fd, text) && fsync(fd) == 0;
    return close(fd) == 0 && ok;
  }
  return false;
}

// The text last read or written and what it says. Every operation reads the
// file, but only a file whose bytes changed is parsed again.
struct ParsedFile {
  bool valid = false;
  std::string text;
  bool understood = true;
  RegistryDocument document;
};
ParsedFile parsed;

}  // namespace

// One locked session on the file: load on entry, optionally save, unlock on exit.
RegistryFile::RegistryFile(bool forWriting)
    : folder_(ConfigFolder()), file_(folder_ + "/settings.reg"), writing_(forWriting) {
  if (folder_.empty()) return;
  if (forWriting && !MakeFolders(folder_)) return;
  lock_ = OpenLockFile(folder_ + "/settings.reg.lock", forWriting);
  if (lock_ >= 0) {
    while (flock(lock_, forWriting ? LOCK_EX : LOCK_SH) != 0 && errno == EINTR) {
    }
  } else if (forWriting) {
    return;
  }
  exclusive_ = forWriting && lock_ >= 0;
  Load();
}

RegistryFile::~RegistryFile() {
  if (lock_ >= 0) close(lock_);  // closing releases the lock
}

RegistryDocument& RegistryFile::document() { return parsed.document; }

bool RegistryFile::Save() {
  RemoveLeftoverTemporaries(folder_);
  std::string temporary = file_ + ".tmp." + std::to_string(getpid());
  unlink(temporary.c_str());
  int fd = CreateExclusive(temporary);
  parsed.valid = false;
  if (fd < 0) return false;
  std::string text = FormatRegistryText(parsed.document);
  bool ok = WriteAll(fd, text) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (!ok || rename(temporary.c_str(), file_.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  int dir = open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  parsed.text = std::move(text);
  parsed.understood = true;
  parsed.valid = true;
  return true;
}

void RegistryFile::Load() {
  std::string text;
  if (!ReadWholeFile(file_, &text)) return;
  if (!parsed.valid || parsed.text != text) {
    parsed.valid = false;
    parsed.document = RegistryDocument();
    parsed.understood = ParseRegistryText(text, &parsed.document);
    parsed.text = std::move(text);
    parsed.valid = true;
  }
  ready_ = true;
  if (parsed.understood) return;
  // Part of the file could not be understood: keep the original beside it for
  // a person to look at, and carry on with everything that could be read.
  // Only a writer, holding the lock alone, may replace the file.
  if (!exclusive()) return;
  ready_ = SetAside(file_, parsed.text) && Save();
}

std::string PortConfigFolder() { return ConfigFolder(); }
bool PortMakeFolders(const std::string& folder) { return MakeFolders(folder); }
