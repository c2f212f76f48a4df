// make_instruments OUT.dls: writes the tune's instrument collection.
#include "byte_sink.h"
#include "dls_builder.h"
#include "instrument_design.h"

#include <cstdio>

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_instruments OUT.dls\n");
        return 2;
    }
    std::vector<uint8_t> bytes = BuildDlsFile(DesignCollection());
    if (!WriteWholeFile(argv[1], bytes)) {
        std::fprintf(stderr, "make_instruments: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
