// One tune per user: while one process holds the lock no other takes it, and it
// goes with its holder. (First in its binary, before any test plays on a device
// and so takes the lock in this process.)
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "dmusic/dmusic_internal.h"

TEST(TuneLock, WhileOneProcessHoldsItNoOtherTakesItAndItGoesWithItsHolder) {
  char folder[] = "/tmp/glimmerz-tune-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  setenv("XDG_RUNTIME_DIR", folder, 1);
  int taken[2], release[2];
  ASSERT_EQ(pipe(taken), 0);
  ASSERT_EQ(pipe(release), 0);
  pid_t holder = fork();
  if (holder == 0) {
    close(release[1]);  // so that the parent's end going, however it goes, ends the wait
    char held = TakeTuneLock();
    if (write(taken[1], &held, 1) == 1 && read(release[0], &held, 1) >= 0) _exit(0);
    _exit(1);
  }
  char held = 0;
  ASSERT_EQ(read(taken[0], &held, 1), 1);
  EXPECT_EQ(held, 1);
  EXPECT_FALSE(TakeTuneLock());
  close(release[1]);
  waitpid(holder, nullptr, 0);
  EXPECT_TRUE(TakeTuneLock());
  std::system(("rm -rf " + std::string(folder)).c_str());
}
