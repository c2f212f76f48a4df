// Where the saver window goes when a screen-saver daemon runs the show.
#include "port_internal.h"

namespace {
PortSaverPlace kind = PortSaverPlace::Ordinary;
unsigned long host = 0;
}  // namespace

void PortSetSaverPlace(PortSaverPlace newKind, unsigned long newHost) {
  kind = newKind;
  host = newKind == PortSaverPlace::Host ? newHost : 0;
}

PortSaverPlace PortChosenSaverPlace() { return kind; }

unsigned long PortSaverHost() { return host; }
