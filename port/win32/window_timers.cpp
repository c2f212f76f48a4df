// Window timers: WM_TIMER comes out of the queue when nothing else is waiting,
// as on Windows, and a timer that fell behind fires once, not once per period missed.
#include <vector>

#include "win32_internal.h"

namespace {
struct WindowTimer {
  HWND window;
  UINT_PTR id;
  UINT periodMs;
  uint64_t dueMs;
};

std::vector<WindowTimer> timers;

// Timers of windows that are gone stop with them.
void DropTimersOfDeadWindows() {
  for (size_t i = 0; i < timers.size();)
    if (PortWindowOf(timers[i].window))
      ++i;
    else
      timers.erase(timers.begin() + i);
}
}  // namespace

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT periodMs, TIMERPROC) {
  if (!PortWindowOf(window)) return 0;
  // Windows takes periods below 10 ms as 10 ms.
  if (periodMs < 10) periodMs = 10;
  KillTimer(window, id);
  timers.push_back({window, id, periodMs, PortRealMs() + periodMs});
  return id ? id : 1;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
  for (size_t i = 0; i < timers.size(); ++i)
    if (timers[i].window == window && timers[i].id == id) {
      timers.erase(timers.begin() + i);
      return TRUE;
    }
  return FALSE;
}

bool PortTakeDueTimer(MSG* msg, bool remove) {
  DropTimersOfDeadWindows();
  uint64_t now = PortRealMs();
  for (WindowTimer& t : timers) {
    if (t.dueMs > now) continue;
    *msg = MSG{};
    msg->hwnd = t.window;
    msg->message = WM_TIMER;
    msg->wParam = t.id;
    msg->time = PortClockReading();
    if (remove) t.dueMs = now + t.periodMs;
    return true;
  }
  return false;
}

int PortMsUntilNextTimer() {
  DropTimersOfDeadWindows();
  if (timers.empty()) return -1;
  uint64_t now = PortRealMs(), next = UINT64_MAX;
  for (const WindowTimer& t : timers) next = t.dueMs < next ? t.dueMs : next;
  return next <= now ? 0 : (int)(next - now);
}
