// The message queue: posted messages and the window system's input turned into
// the WM_ messages a Windows program expects. Paint requests come last, as on
// Windows, when nothing else is waiting.
#include <deque>

#include "port_internal.h"
#include "win32_internal.h"

namespace {
std::deque<MSG> queue;

PortWindow* WindowNeedingPaint() {
  for (PortWindow* w : portWindows)
    if (w->alive && w->visible && w->needsPaint) return w;
  return nullptr;
}
}  // namespace

void PortPost(PortWindow* w, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG m = {};
  m.hwnd = w ? w->handle : nullptr;
  m.message = message;
  m.wParam = wParam;
  m.lParam = lParam;
  queue.push_back(m);
}

BOOL PeekMessageA(LPMSG msg, HWND, UINT, UINT, UINT removeFlags) {
  PortPumpEvents();
  if (!queue.empty()) {
    *msg = queue.front();
    if (removeFlags & PM_REMOVE) queue.pop_front();
    return TRUE;
  }
  // A paint request stays until the window validates it with BeginPaint.
  if (PortWindow* w = WindowNeedingPaint()) {
    *msg = MSG{};
    msg->hwnd = w->handle;
    msg->message = WM_PAINT;
    return TRUE;
  }
  return PortTakeDueTimer(msg, removeFlags & PM_REMOVE) ? TRUE : FALSE;
}

// Sleeps until something may be waiting. An idle preview so costs nothing
// between its frames.
BOOL GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
  while (!PeekMessageA(msg, window, filterMin, filterMax, PM_REMOVE)) PortWaitForEvents(PortMsUntilNextTimer());
  return msg->message != WM_QUIT;
}

BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DispatchMessageA(const MSG* msg) {
  PortWindow* w = msg ? PortWindowOf(msg->hwnd) : nullptr;
  if (!w) return 0;
  return w->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  PortWindow* w = PortWindowOf(window);
  if (window && !w) return FALSE;
  PortPost(w, message, wParam, lParam);
  return TRUE;
}

void PostQuitMessage(int exitCode) { PortPost(nullptr, WM_QUIT, (WPARAM)exitCode, 0); }

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  PortWindow* w = PortWindowOf(window);
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(window, &paint);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) PostMessageA(window, WM_CLOSE, 0, 0);
      return 0;
    case WM_SETCURSOR:
      if (w && w->cursor) SetCursor(w->cursor);
      return 0;
    case WM_NCACTIVATE:
      return TRUE;
  }
  return 0;
}
