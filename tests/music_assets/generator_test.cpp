// The generators are deterministic: run again, they write the very bytes the
// build embedded.
#include "music_assets.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdlib.h>
#include <unistd.h>

namespace {

std::vector<uint8_t> Generate(const std::string &generator, const std::string &path) {
  std::string command = "'" + generator + "' '" + path + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  std::vector<uint8_t> bytes = ReadFileBytes(path);
  unlink(path.c_str());
  return bytes;
}

}  // namespace

TEST(MusicGenerators, RunTwiceWriteTheSameBytesAsTheBuild) {
  char folder[] = "/tmp/glimmerz_music_XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  std::string dir = folder;
  std::vector<uint8_t> tuneOnce = Generate(MAKE_TUNE_PATH, dir + "/a.mid");
  std::vector<uint8_t> tuneAgain = Generate(MAKE_TUNE_PATH, dir + "/b.mid");
  std::vector<uint8_t> instrumentsOnce = Generate(MAKE_INSTRUMENTS_PATH, dir + "/a.dls");
  std::vector<uint8_t> instrumentsAgain = Generate(MAKE_INSTRUMENTS_PATH, dir + "/b.dls");
  rmdir(folder);

  ASSERT_FALSE(tuneOnce.empty());
  ASSERT_FALSE(instrumentsOnce.empty());
  EXPECT_TRUE(tuneOnce == tuneAgain);
  EXPECT_TRUE(instrumentsOnce == instrumentsAgain);
  EXPECT_TRUE(tuneOnce == ReadFileBytes(TunePath()));
  EXPECT_TRUE(instrumentsOnce == ReadFileBytes(CollectionPath()));
}
