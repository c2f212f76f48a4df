#include "music/music.h"

// Placeholders until the music player is built.
int StartMusic() { return 1; }
int PlayResourceSong(int songId, int collectionId) { return 1; }
void PumpMusicNotifications() {}
void StopMusic() {}
