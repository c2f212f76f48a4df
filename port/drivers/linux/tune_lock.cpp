// One tune per user: a daemon starts one copy of the show per monitor, and
// several copies playing the same tune out of step is noise. The first copy to
// lock a file of the user's own plays; the others render into the silent clock,
// so their music still starts and their show goes on. The lock is the kernel's,
// so it goes with the process however that ends.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "dmusic/dmusic_internal.h"
#include "port_internal.h"

namespace {
int lockFile = -1;

std::string TuneLockPath() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && runtime[0] == '/') return std::string(runtime) + "/glimmerz-tune.lock";
  std::string folder = PortConfigFolder();
  if (!PortMakeFolders(folder)) return "";
  return folder + "/tune.lock";
}
}  // namespace

bool TakeTuneLock() {
  if (lockFile >= 0) return true;
  std::string path = TuneLockPath();
  // Whoever can make the file a link or a pipe cannot be stopped from making
  // noise either: a lock that cannot be had safely is no reason for silence.
  int fd = path.empty() ? -1 : open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
  struct stat info;
  if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    if (fd >= 0) close(fd);
    return true;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return false;
  }
  lockFile = fd;
  return true;
}
