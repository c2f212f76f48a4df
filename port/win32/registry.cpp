// The registry as one text file per user. Every change is a read-modify-write
// under an advisory lock, written to a temporary file and renamed into place, so
// two processes never lose each other's values and a crash mid-write leaves the
// old file whole.
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "port_internal.h"
#include "registry_text.h"

namespace {
struct OpenKey {
  std::string path;
};

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

bool ReadWholeFile(const std::string& path, std::string* text, bool* exists) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  *exists = fd >= 0;
  if (fd < 0) return errno == ENOENT;
  char buffer[8192];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) > 0) text->append(buffer, (size_t)n);
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

// One locked session on the file: load on entry, optionally save, unlock on exit.
class RegistryFile {
 public:
  explicit RegistryFile(bool forWriting)
      : folder_(ConfigFolder()), file_(folder_ + "/settings.reg"), writing_(forWriting) {
    if (folder_.empty()) return;
    if (forWriting && !MakeFolders(folder_)) return;
    std::string lockPath = folder_ + "/settings.reg.lock";
    lock_ = open(lockPath.c_str(), (forWriting ? O_CREAT : 0) | O_RDWR | O_CLOEXEC, 0600);
    if (lock_ >= 0) {
      while (flock(lock_, forWriting ? LOCK_EX : LOCK_SH) != 0 && errno == EINTR) {
      }
    } else if (forWriting) {
      return;
    }
    Load();
  }
  ~RegistryFile() {
    if (lock_ >= 0) close(lock_);  // closing releases the lock
  }
  bool ready() const { return ready_; }
  bool exclusive() const { return writing_ && lock_ >= 0; }
  RegistryDocument& document() { return document_; }

  bool Save() {
    std::string temporary = file_ + ".tmp." + std::to_string(getpid());
    int fd = open(temporary.c_str(), O_CREAT | O_TRUNC | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, FormatRegistryText(document_)) && fsync(fd) == 0;
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
    return true;
  }

 private:
  void Load() {
    std::string text;
    bool exists = false;
    if (!ReadWholeFile(file_, &text, &exists)) return;
    ready_ = true;
    if (!exists || ParseRegistryText(text, &document_)) return;
    // Part of the file could not be understood: keep the original beside it for
    // a person to look at, and carry on with everything that could be read.
    // Only a writer, holding the lock alone, may move the file.
    if (!exclusive()) return;
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%lld", (long long)time(nullptr));
    std::string aside = file_ + ".unreadable-" + stamp;
    if (rename(file_.c_str(), aside.c_str()) == 0) Save();
  }

  std::string folder_;
  std::string file_;
  bool writing_;
  int lock_ = -1;
  bool ready_ = false;
  RegistryDocument document_;
};

bool KeyPath(HKEY parent, LPCSTR subKey, std::string* path) {
  if (parent != HKEY_CURRENT_USER || !subKey) return false;
  *path = std::string("HKEY_CURRENT_USER\\") + subKey;
  return true;
}

OpenKey* KeyOf(HKEY key) { return reinterpret_cast<OpenKey*>(key); }
}  // namespace

LSTATUS RegCreateKeyExA(HKEY parent, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY result,
                        LPDWORD disposition) {
  std::string path;
  if (!result) return ERROR_INVALID_PARAMETER;
  if (!KeyPath(parent, subKey, &path)) return ERROR_INVALID_HANDLE;
  {
    RegistryFile readOnly(false);
    if (readOnly.ready() && FindRegistryKey(&readOnly.document(), path)) {
      if (disposition) *disposition = REG_OPENED_EXISTING_KEY;
      *result = reinterpret_cast<HKEY>(new OpenKey{path});
      return ERROR_SUCCESS;
    }
  }
  RegistryFile file(true);
  if (!file.ready() || !file.exclusive()) return ERROR_ACCESS_DENIED;
  bool existed = FindRegistryKey(&file.document(), path) != nullptr;
  if (!existed) {
    file.document().keys.push_back({path, {}});
    if (!file.Save()) return ERROR_ACCESS_DENIED;
  }
  if (disposition) *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
  *result = reinterpret_cast<HKEY>(new OpenKey{path});
  return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size) {
  if (!key || key == HKEY_CURRENT_USER) return ERROR_INVALID_HANDLE;
  if (data && !size) return ERROR_INVALID_PARAMETER;
  RegistryFile file(false);
  if (!file.ready()) return ERROR_ACCESS_DENIED;
  RegistryKey* stored = FindRegistryKey(&file.document(), KeyOf(key)->path);
  RegistryValue* value = stored ? FindRegistryValue(stored, name && *name ? name : "@") : nullptr;
  if (!value) return ERROR_FILE_NOT_FOUND;
  DWORD length = (DWORD)value->data.size();
  if (type) *type = value->type;
  if (data && *size < length) {
    *size = length;
    return ERROR_MORE_DATA;
  }
  if (data && length) std::memcpy(data, value->data.data(), length);
  if (size) *size = length;
  return ERROR_SUCCESS;
}

LSTATUS RegSetValueExA(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD size) {
  if (!key || key == HKEY_CURRENT_USER) return ERROR_INVALID_HANDLE;
  if (size && !data) return ERROR_INVALID_PARAMETER;
  RegistryFile file(true);
  if (!file.ready() || !file.exclusive()) return ERROR_ACCESS_DENIED;
  const std::string& path = KeyOf(key)->path;
  RegistryKey* stored = FindRegistryKey(&file.document(), path);
  if (!stored) {
    file.document().keys.push_back({path, {}});
    stored = &file.document().keys.back();
  }
  std::string valueName = name && *name ? name : "@";
  RegistryValue* value = FindRegistryValue(stored, valueName);
  if (!value) {
    stored->values.push_back({valueName, type, {}});
    value = &stored->values.back();
  }
  value->type = type;
  value->data.assign(data, data + size);
  return file.Save() ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

LSTATUS RegCloseKey(HKEY key) {
  if (!key || key == HKEY_CURRENT_USER) return ERROR_INVALID_HANDLE;
  delete KeyOf(key);
  return ERROR_SUCCESS;
}

std::string PortConfigFolder() { return ConfigFolder(); }
bool PortMakeFolders(const std::string& folder) { return MakeFolders(folder); }
