// The music player: the tune and its instrument collection, both taken from the
// program's resources, played through DirectMusic and started again from the
// beginning whenever DirectMusic reports that the music has stopped.
#pragma once

#include "platform.h"

// Each pointer holds one reference while it is set.
struct MusicPlayer {
  IDirectMusicPerformance* performance;
  IDirectMusicLoader* loader;
  IDirectMusicSegment* segment;        // the tune now loaded
  IDirectMusicCollection* collection;  // the instruments connected to segment
};

extern MusicPlayer musicPlayer;

const int TuneResource = 112;         // a Standard MIDI File
const int InstrumentsResource = 113;  // a DLS collection
const int MusicResourceType = 256;

const DWORD AllTrackGroups = 0xFFFFFFFF;
// CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER, written out because the SDK
// headers disagree on what the named combinations mean.
const DWORD InprocContext = 3;

// Returns 0 only when the music is switched on but DirectMusic cannot start.
int StartMusic();
int CreateMusicObjects();
// collectionId 0 plays the song without connecting any instruments. Returns 1
// when the song was started.
int PlayResourceSong(int songId, int collectionId);
// Handles every waiting notification; a stop reloads and replays the tune.
void PumpMusicNotifications();
// Safe in any state, and again.
void StopMusic();
