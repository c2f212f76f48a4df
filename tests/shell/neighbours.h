// Recording stand-ins for the graphics, show and music entry points the shell
// calls, so the shell's own order of work can be checked alone.
#pragma once

#include <functional>

struct Neighbours {
  int setUpResult = 1;
  int loadDeckResult = 1;
  int startMusicResult = 1;
  std::function<void()> onRender;
};

extern Neighbours neighbours;
void ResetNeighbours();
