// GDI's bitmaps and memory device contexts, and BitBlt from a memory context
// into a window. Handles are checked against the live objects, so a stale or
// foreign handle is a failed call, never a stray pointer.
#include <algorithm>
#include <set>

#include "driver.h"

namespace {
struct MemoryDc {
  PortBitmap* selected = nullptr;
};

std::set<PortBitmap*> bitmaps;
std::set<MemoryDc*> memoryDcs;
// What a fresh memory context holds, as on Windows: a 1 x 1 bitmap of its own.
PortBitmap defaultBitmap = {1, 1, {0}};

PortBitmap* BitmapOf(HGDIOBJ object) {
  auto* b = static_cast<PortBitmap*>(object);
  return b == &defaultBitmap || bitmaps.count(b) ? b : nullptr;
}

MemoryDc* MemoryDcOf(HDC dc) {
  auto* m = reinterpret_cast<MemoryDc*>(dc);
  return memoryDcs.count(m) ? m : nullptr;
}
}  // namespace

HBITMAP PortAdoptBitmap(PortBitmap* bitmap) {
  if (bitmap) bitmaps.insert(bitmap);
  return reinterpret_cast<HBITMAP>(bitmap);
}

BOOL DeleteObject(HGDIOBJ object) {
  auto* b = static_cast<PortBitmap*>(object);
  if (!bitmaps.count(b)) return FALSE;
  // Windows refuses to delete a bitmap that is still selected into a context.
  for (MemoryDc* m : memoryDcs)
    if (m->selected == b) return FALSE;
  bitmaps.erase(b);
  delete b;
  return TRUE;
}

HDC CreateCompatibleDC(HDC) {
  auto* m = new MemoryDc;
  m->selected = &defaultBitmap;
  memoryDcs.insert(m);
  return reinterpret_cast<HDC>(m);
}

BOOL DeleteDC(HDC dc) {
  MemoryDc* m = MemoryDcOf(dc);
  if (!m) return FALSE;
  memoryDcs.erase(m);
  delete m;
  return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  MemoryDc* m = MemoryDcOf(dc);
  PortBitmap* b = BitmapOf(object);
  if (!m || !b) return nullptr;
  PortBitmap* previous = m->selected;
  m->selected = b;
  return previous;
}

// Bitmaps are kept at the screen's depth, 32 bits a pixel, as a device-dependent
// bitmap is.
int GetObjectA(HANDLE object, int size, LPVOID buffer) {
  PortBitmap* b = BitmapOf(object);
  if (!b) return 0;
  const int sdkSize = 24;  // the 32-bit SDK's BITMAP, which has no room for a 64-bit bmBits
  if (!buffer) return (int)sizeof(BITMAP);
  if (size < sdkSize) return 0;
  BITMAP info = {};
  info.bmWidth = b->width;
  info.bmHeight = b->height;
  info.bmWidthBytes = b->width * 4;
  info.bmPlanes = 1;
  info.bmBitsPixel = 32;
  int written = std::min(size, (int)sizeof info);
  std::copy_n(reinterpret_cast<const BYTE*>(&info), written, static_cast<BYTE*>(buffer));
  return written;
}

BOOL BitBlt(HDC dc, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop) {
  PortWindow* w = PortWindowOf(reinterpret_cast<HWND>(dc));
  MemoryDc* m = MemoryDcOf(source);
  if (!w || !m || rop != SRCCOPY) return FALSE;
  const PortBitmap* b = m->selected;
  // Only the part of the source rectangle inside the bitmap is copied.
  int left = std::max(0, -sourceX), top = std::max(0, -sourceY);
  int right = std::min(width, b->width - sourceX), bottom = std::min(height, b->height - sourceY);
  if (right <= left || bottom <= top) return TRUE;
  const uint32_t* first = &b->pixels[(size_t)(sourceY + top) * b->width + (sourceX + left)];
  return w->xid &&
         portForeignWindows->drawChildPixels(w, x + left, y + top, right - left, bottom - top, first, b->width);
}
