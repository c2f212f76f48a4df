#include "show/show.h"

// Placeholders until the show is built.
int LoadSlideDeck() { return 1; }
void FreeSlideDeck() {}
void RenderShowFrame() {}
