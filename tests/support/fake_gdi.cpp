#include "support/fake_gdi.h"

#include <string>

#include "support/recorder.h"

FakeGdi fakeGdi;

namespace {
// A memory context is the resource number of the bitmap selected into it.
int Number(const void* handle) { return (int)((uintptr_t)handle - BitmapHandleBase); }
std::string Str(long long v) { return std::to_string(v); }
}  // namespace

void ResetFakeGdi() { fakeGdi = FakeGdi(); }

HANDLE LoadImageA(HINSTANCE, LPCSTR name, UINT type, int width, int height, UINT flags) {
  int number = (int)(uintptr_t)name;
  RecordCall("LoadImageA(" + Str(number) + "," + Str(type) + "," + Str(width) + "," + Str(height) + "," + Str(flags) +
             ")");
  if (fakeGdi.missingBitmaps.count(number)) return nullptr;
  fakeGdi.liveBitmaps.insert(number);
  return (HANDLE)(BitmapHandleBase + number);
}

BOOL DeleteObject(HGDIOBJ object) {
  RecordCall("DeleteObject(" + Str(Number(object)) + ")");
  return fakeGdi.liveBitmaps.erase(Number(object)) ? TRUE : FALSE;
}

HDC CreateCompatibleDC(HDC) {
  if (fakeGdi.createDcFails) return nullptr;
  ++fakeGdi.liveDcs;
  return (HDC) new int(0);
}

BOOL DeleteDC(HDC dc) {
  --fakeGdi.liveDcs;
  delete (int*)dc;
  return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  *(int*)dc = Number(object);
  return (HGDIOBJ)BitmapHandleBase;
}

int GetObjectA(HANDLE object, int size, LPVOID buffer) {
  if (!fakeGdi.liveBitmaps.count(Number(object)) || size < (int)sizeof(BITMAP)) return 0;
  BITMAP info = {};
  info.bmWidth = 128;
  info.bmHeight = 96;
  *(BITMAP*)buffer = info;
  return (int)sizeof info;
}

BOOL BitBlt(HDC, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop) {
  RecordCall("BitBlt(" + Str(x) + "," + Str(y) + "," + Str(width) + "," + Str(height) + ",bitmap " +
             Str(*(int*)source) + "," + Str(sourceX) + "," + Str(sourceY) + "," + Str(rop) + ")");
  return TRUE;
}

UINT_PTR SetTimer(HWND, UINT_PTR id, UINT periodMs, TIMERPROC) {
  RecordCall("SetTimer(" + Str(id) + "," + Str(periodMs) + ")");
  return id;
}

BOOL KillTimer(HWND, UINT_PTR id) {
  RecordCall("KillTimer(" + Str(id) + ")");
  return TRUE;
}
