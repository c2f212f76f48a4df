// The performance's notifications: only GUID_NOTIFICATION_PERFORMANCE, and of
// it only the music having stopped, reported once each time the tune ends by
// itself. A stop asked for is no news to the asker.
#include <algorithm>
#include <chrono>

#include "dmusic_internal.h"

PortPerformance::~PortPerformance() {
  DropNotifications();
  for (auto* m : handedOut) delete m;
}

HRESULT PortPerformance::AddNotificationType(REFGUID notificationType) {
  if (notificationType != GUID_NOTIFICATION_PERFORMANCE) return E_NOTIMPL;
  performanceNotifications = true;
  return S_OK;
}

HRESULT PortPerformance::GetNotificationPMsg(DMUS_NOTIFICATION_PMSG** message) {
  if (!message) return E_POINTER;
  *message = nullptr;
  if (!Initialised()) return DMUS_E_NOT_INIT;
  if (TakeTuneEnded() && performanceNotifications) {
    auto* stopped = new DMUS_NOTIFICATION_PMSG();
    stopped->dwSize = sizeof(*stopped);
    // Reference time is the master clock's, in 100 ns units.
    stopped->rtTime =
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count() /
        100;
    stopped->dwFlags = DMUS_PMSGF_REFTIME;
    stopped->dwType = DMUS_PMSGT_NOTIFICATION;
    stopped->guidNotificationType = GUID_NOTIFICATION_PERFORMANCE;
    stopped->dwNotificationOption = DMUS_NOTIFICATION_MUSICSTOPPED;
    queued.push_back(stopped);
  }
  if (queued.empty()) return S_FALSE;
  *message = queued.front();
  queued.erase(queued.begin());
  handedOut.push_back(*message);
  return S_OK;
}

HRESULT PortPerformance::FreePMsg(DMUS_PMSG* message) {
  if (!message) return E_POINTER;
  auto it = std::find_if(handedOut.begin(), handedOut.end(),
                         [&](DMUS_NOTIFICATION_PMSG* m) { return reinterpret_cast<DMUS_PMSG*>(m) == message; });
  if (it == handedOut.end()) return DMUS_E_CANNOT_FREE;
  delete *it;
  handedOut.erase(it);
  return S_OK;
}

void PortPerformance::DropNotifications() {
  for (auto* m : queued) delete m;
  queued.clear();
}
