// The music player. (Being built.)
#pragma once

#include "platform.h"

int StartMusic();
int PlayResourceSong(int songId, int collectionId);
void PumpMusicNotifications();
void StopMusic();
