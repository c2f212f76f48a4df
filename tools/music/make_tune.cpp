// make_tune OUT.mid: writes the tune as a Standard MIDI File.
#include "byte_sink.h"
#include "tune_midi.h"
#include "tune_score.h"

#include <cstdio>

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_tune OUT.mid\n");
    return 2;
  }
  if (!WriteWholeFile(argv[1], BuildTuneMidi(ComposeTune()))) {
    std::fprintf(stderr, "make_tune: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
