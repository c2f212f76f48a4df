#include "support/fake_gdi.h"

#include <string>

#include "support/recorder.h"

FakeGdi fakeGdi;

namespace {
struct FakeDc {
  int selected = 0;
};

int BitmapNumber(HGDIOBJ object) { return (int)((uintptr_t)object - BitmapHandleBase); }
std::string Str(long long v) { return std::to_string(v); }
}  // namespace

void ResetFakeGdi() { fakeGdi = FakeGdi(); }

HANDLE LoadImageA(HINSTANCE, LPCSTR name, UINT type, int width, int height, UINT flags) {
  int number = (int)(uintptr_t)name;
  RecordCall("LoadImageA(" + Str(number) + "," + Str(type) + "," + Str(width) + "," + Str(height) + "," +
             Str(flags) + ")");
  if (fakeGdi.missingBitmaps.count(number)) return nullptr;
  fakeGdi.liveBitmaps.insert(number);
  return (HANDLE)(BitmapHandleBase + number);
}

BOOL DeleteObject(HGDIOBJ object) {
  RecordCall("DeleteObject(" + Str(BitmapNumber(object)) + ")");
  return fakeGdi.liveBitmaps.erase(BitmapNumber(object)) ? TRUE : FALSE;
}

HDC CreateCompatibleDC(HDC) {
  RecordCall("CreateCompatibleDC");
  if (fakeGdi.createDcFails) return nullptr;
  ++fakeGdi.liveDcs;
  return (HDC) new FakeDc;
}

BOOL DeleteDC(HDC dc) {
  RecordCall("DeleteDC");
  --fakeGdi.liveDcs;
  delete (FakeDc*)dc;
  return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  RecordCall("SelectObject(" + Str(BitmapNumber(object)) + ")");
  ((FakeDc*)dc)->selected = BitmapNumber(object);
  return (HGDIOBJ)BitmapHandleBase;
}

int GetObjectA(HANDLE object, int size, LPVOID buffer) {
  RecordCall("GetObjectA(" + Str(size) + ")");
  if (!fakeGdi.liveBitmaps.count(BitmapNumber(object)) || size < (int)sizeof(BITMAP)) return 0;
  BITMAP info = {};
  info.bmWidth = fakeGdi.bitmapWidth;
  info.bmHeight = fakeGdi.bitmapHeight;
  *(BITMAP*)buffer = info;
  return (int)sizeof info;
}

BOOL BitBlt(HDC, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop) {
  RecordCall("BitBlt(" + Str(x) + "," + Str(y) + "," + Str(width) + "," + Str(height) + ",bitmap " +
             Str(((FakeDc*)source)->selected) + "," + Str(sourceX) + "," + Str(sourceY) + "," + Str(rop) + ")");
  return TRUE;
}

UINT_PTR SetTimer(HWND, UINT_PTR id, UINT periodMs, TIMERPROC callback) {
  RecordCall("SetTimer(" + Str(id) + "," + Str(periodMs) + (callback ? ",callback)" : ")"));
  return id;
}

BOOL KillTimer(HWND, UINT_PTR id) {
  RecordCall("KillTimer(" + Str(id) + ")");
  return TRUE;
}
