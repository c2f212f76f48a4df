// The restart rule: DirectMusic's notifications are polled once per frame, and
// a report that the music has stopped plays the tune again from the start.
#include <cstring>

#include "music/music.h"

static bool IsMusicStopped(const DMUS_NOTIFICATION_PMSG* message) {
  return std::memcmp(&message->guidNotificationType, &GUID_NOTIFICATION_PERFORMANCE, sizeof(GUID)) == 0 &&
         message->dwNotificationOption == DMUS_NOTIFICATION_MUSICSTOPPED;
}

void PumpMusicNotifications() {
  if (!musicPlayer.performance) return;
  for (;;) {
    DMUS_NOTIFICATION_PMSG* message = nullptr;
    HRESULT result = musicPlayer.performance->GetNotificationPMsg(&message);
    if (result == S_FALSE || FAILED(result)) return;
    if (IsMusicStopped(message)) PlayResourceSong(TuneResource, InstrumentsResource);
    musicPlayer.performance->FreePMsg(reinterpret_cast<DMUS_PMSG*>(message));
  }
}
