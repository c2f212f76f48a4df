#include "shell/neighbours.h"

#include <string>

#include "gfx/gfx.h"
#include "music/music.h"
#include "show/show.h"
#include "support/recorder.h"

Neighbours neighbours;
RenderDevice renderDevice;

void ResetNeighbours() {
  neighbours = Neighbours();
  renderDevice = RenderDevice();
}

int SetUpRenderDevice() {
  RecordCall("SetUpRenderDevice");
  return neighbours.setUpResult;
}
void TearDownRenderDevice() { RecordCall("TearDownRenderDevice"); }
int LoadSlideDeck() {
  RecordCall("LoadSlideDeck");
  return neighbours.loadDeckResult;
}
void FreeSlideDeck() { RecordCall("FreeSlideDeck"); }
void RenderShowFrame() {
  RecordCall("RenderShowFrame");
  if (neighbours.onRender) neighbours.onRender();
}
int StartMusic() {
  RecordCall("StartMusic");
  return neighbours.startMusicResult;
}
int PlayResourceSong(int songId, int collectionId) {
  RecordCall("PlayResourceSong(" + std::to_string(songId) + "," + std::to_string(collectionId) + ")");
  return 1;
}
void PumpMusicNotifications() { RecordCall("PumpMusicNotifications"); }
void StopMusic() { RecordCall("StopMusic"); }
