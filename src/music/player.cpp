// Starting and dismantling the DirectMusic objects.
#include "music/music.h"
#include "settings/settings.h"
#include "shell/shell.h"

MusicPlayer musicPlayer;

int StartMusic() {
  DWORD music = 0;
  ReadDwordSetting(MusicSetting, &music, &DefaultMusic);
  if (music == 0) return 1;
  return CreateMusicObjects();
}

int CreateMusicObjects() {
  if (musicPlayer.performance || musicPlayer.loader || musicPlayer.segment || musicPlayer.collection) return 1;

  if (FAILED(CoCreateInstance(CLSID_DirectMusicPerformance, nullptr, InprocContext, IID_IDirectMusicPerformance,
                              reinterpret_cast<void**>(&musicPlayer.performance))))
    return 0;
  if (FAILED(musicPlayer.performance->Init(nullptr, nullptr, shell.mainWindow))) return 0;
  if (FAILED(musicPlayer.performance->AddPort(nullptr))) return 0;

  if (FAILED(CoCreateInstance(CLSID_DirectMusicLoader, nullptr, InprocContext, IID_IDirectMusicLoader,
                              reinterpret_cast<void**>(&musicPlayer.loader))))
    return 0;
  // The loader is never asked for a file, but it wants a search directory all
  // the same; the working directory is as good as any.
  char directory[260] = {};
  WCHAR wideDirectory[260] = {};
  if (!_getcwd(directory, 260)) return 0;
  MultiByteToWideChar(CP_ACP, 0, directory, 260, wideDirectory, 260);
  if (FAILED(musicPlayer.loader->SetSearchDirectory(GUID_DirectMusicAllTypes, wideDirectory, FALSE))) return 0;

  musicPlayer.performance->AddNotificationType(GUID_NOTIFICATION_PERFORMANCE);
  return 1;
}

void StopMusic() {
  if (musicPlayer.performance) {
    musicPlayer.performance->Stop(nullptr, nullptr, 0, 0);
    if (musicPlayer.segment) {
      musicPlayer.segment->SetParam(GUID_Unload, AllTrackGroups, 0, 0, musicPlayer.performance);
      musicPlayer.segment->Release();
    }
    musicPlayer.performance->CloseDown();
    musicPlayer.performance->Release();
  }
  if (musicPlayer.collection) {
    musicPlayer.collection->Release();
    musicPlayer.collection = nullptr;
  }
  if (musicPlayer.loader) musicPlayer.loader->Release();
  musicPlayer.performance = nullptr;
  musicPlayer.segment = nullptr;
  musicPlayer.loader = nullptr;
  musicPlayer.collection = nullptr;
}
