// make_instruments OUT.dls [OUT.sf2]: writes the tune's instrument collection,
// and the same collection as a SoundFont when a second name is given.
#include "byte_sink.h"
#include "dls_builder.h"
#include "instrument_design.h"
#include "sf2_builder.h"

#include <cstdio>

int main(int argc, char **argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: make_instruments OUT.dls [OUT.sf2]\n");
    return 2;
  }
  DlsCollection collection = DesignCollection();
  if (!WriteWholeFile(argv[1], BuildDlsFile(collection))) {
    std::fprintf(stderr, "make_instruments: cannot write %s\n", argv[1]);
    return 1;
  }
  if (argc == 3 && !WriteWholeFile(argv[2], BuildSf2File(collection))) {
    std::fprintf(stderr, "make_instruments: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
