// Painting with GDI's few calls the program makes: a paint cycle that validates
// the window, and plain colour fills drawn through the window's GL context.
#include <cstring>

#include "directx/gl_api.h"
#include "driver.h"

namespace {
// Stock objects are their index plus one, so none is null.
int StockIndex(HBRUSH brush) { return (int)reinterpret_cast<intptr_t>(brush) - 1; }
}  // namespace

HGDIOBJ GetStockObject(int object) { return reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(object + 1)); }

BOOL InvalidateRect(HWND window, const RECT*, BOOL erase) {
  PortWindow* w = PortWindowOf(window);
  if (!w) return FALSE;
  w->needsPaint = true;
  w->erase = w->erase || erase;
  return TRUE;
}

HDC BeginPaint(HWND window, LPPAINTSTRUCT paint) {
  PortWindow* w = PortWindowOf(window);
  if (!w || !paint) return nullptr;
  std::memset(paint, 0, sizeof *paint);
  paint->hdc = reinterpret_cast<HDC>(window);
  GetClientRect(window, &paint->rcPaint);
  if (w->erase && w->background) FillRect(paint->hdc, &paint->rcPaint, w->background);
  paint->fErase = w->erase && !w->background;
  w->needsPaint = false;
  w->erase = false;
  return paint->hdc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT*) {
  PortWindow* w = PortWindowOf(window);
  if (!w) return FALSE;
  if (w->gl) w->video->present(w, -1);
  return TRUE;
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
  PortWindow* w = PortWindowOf(reinterpret_cast<HWND>(dc));
  int stock = StockIndex(brush);
  if (!w || !rect || (stock != BLACK_BRUSH && stock != WHITE_BRUSH)) return 0;
  // A window nothing has drawn into yet has no GL context; it shows black anyway.
  if (!w->gl) return 1;
  FlushGlDraws();  // draws made before the fill lie under it
  w->video->makeGlCurrent(w);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  int width, height;
  PortWindowSize(w->handle, &width, &height);
  GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
  glViewport(0, 0, width, height);
  glEnable(GL_SCISSOR_TEST);
  glScissor(rect->left, height - rect->bottom, rect->right - rect->left, rect->bottom - rect->top);
  float level = stock == WHITE_BRUSH ? 1.0f : 0.0f;
  glClearColor(level, level, level, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  if (!scissor) glDisable(GL_SCISSOR_TEST);
  ForgetGlState();
  return 1;
}
