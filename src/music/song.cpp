// Loading a tune and its instruments from the resources and starting it.
#include <cstring>

#include "music/music.h"

namespace {

struct ResourceBytes {
  void* bytes;
  DWORD size;
};

// Finds a resource of the music type in the program's own module; 0 when any
// step comes up empty.
int LocateMusicResource(int id, ResourceBytes* found) {
  HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(MusicResourceType));
  if (!resource) return 0;
  found->size = SizeofResource(nullptr, resource);
  if (!found->size) return 0;
  HGLOBAL loaded = LoadResource(nullptr, resource);
  if (!loaded) return 0;
  found->bytes = LockResource(loaded);
  return found->bytes != nullptr;
}

void DescribeMemoryObject(DMUS_OBJECTDESC* description, REFCLSID objectClass, const ResourceBytes& data) {
  std::memset(description, 0, sizeof(*description));
  description->dwSize = sizeof *description;
  description->dwValidData = DMUS_OBJ_CLASS | DMUS_OBJ_MEMORY;
  description->guidClass = objectClass;
  description->pbMemData = static_cast<LPBYTE>(data.bytes);
  description->llMemLength = static_cast<LONGLONG>(data.size);
}

}  // namespace

int PlayResourceSong(int songId, int collectionId) {
  if (!musicPlayer.loader) return 0;
  if (!musicPlayer.performance) return 0;

  // Everything is located before anything is let go, so a missing resource
  // leaves the tune that is playing alone.
  ResourceBytes song = {};
  ResourceBytes instruments = {};
  if (!LocateMusicResource(songId, &song)) return 0;
  if (collectionId != 0 && !LocateMusicResource(collectionId, &instruments)) return 0;

  if (musicPlayer.segment) {
    musicPlayer.segment->SetParam(GUID_Unload, AllTrackGroups, 0, 0, musicPlayer.performance);
    musicPlayer.segment->Release();
    musicPlayer.segment = nullptr;
  }
  if (musicPlayer.collection) {
    musicPlayer.collection->Release();
    musicPlayer.collection = nullptr;
  }

  DMUS_OBJECTDESC description;
  DescribeMemoryObject(&description, CLSID_DirectMusicSegment, song);
  if (FAILED(musicPlayer.loader->GetObject(&description, IID_IDirectMusicSegment,
                                           reinterpret_cast<void**>(&musicPlayer.segment))))
    return 0;

  if (collectionId != 0) {
    DescribeMemoryObject(&description, CLSID_DirectMusicCollection, instruments);
    if (FAILED(musicPlayer.loader->GetObject(&description, IID_IDirectMusicCollection,
                                             reinterpret_cast<void**>(&musicPlayer.collection))))
      return 0;
    if (FAILED(
            musicPlayer.segment->SetParam(GUID_ConnectToDLSCollection, AllTrackGroups, 0, 0, musicPlayer.collection)))
      return 0;
  }

  musicPlayer.segment->SetParam(GUID_StandardMIDIFile, AllTrackGroups, 0, 0, musicPlayer.performance);
  // Only after the collection is connected, or the tune's instruments would
  // come from nowhere.
  musicPlayer.segment->SetParam(GUID_Download, AllTrackGroups, 0, 0, musicPlayer.performance);
  musicPlayer.performance->PlaySegment(musicPlayer.segment, 0, 0, nullptr);
  return 1;
}
