// The show: the slide deck and the director. (Being built.)
#pragma once

#include "platform.h"

int LoadSlideDeck();
void FreeSlideDeck();
void RenderShowFrame();
