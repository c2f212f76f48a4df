#include "support/fake_win32.h"

#include <algorithm>
#include <cctype>
#include <cstring>

FakeSystem fakeSystem;

static HCURSOR arrowCursor = (HCURSOR)(uintptr_t)0xA770;
static char commandLineBuffer[4096];

static std::string Lower(const char* text) {
  std::string s = text ? text : "";
  for (auto& c : s) c = (char)std::tolower((unsigned char)c);
  return s;
}

static std::string Str(long long v) { return std::to_string(v); }

void ResetFakeSystem() {
  for (auto* w : fakeSystem.windows) delete w;
  fakeSystem = FakeSystem();
  ClearRecordedCalls();
}

FakeWindow* FakeWindowOf(HWND window) {
  for (auto* w : fakeSystem.windows)
    if ((HWND)w == window) return w;
  return nullptr;
}

// COM start and stop
HRESULT CoInitialize(LPVOID) {
  RecordCall("CoInitialize");
  return fakeSystem.coInitializeResult;
}
void CoUninitialize() { RecordCall("CoUninitialize"); }

// Windows and messages
ATOM RegisterClassExA(const WNDCLASSEXA* wc) {
  RecordCall("RegisterClassExA(" + std::string(wc->lpszClassName) + "," + SizeField(wc->cbSize, sizeof *wc) + ")");
  if (fakeSystem.registerClassFails) return 0;
  fakeSystem.classes[wc->lpszClassName] = *wc;
  return 1;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width, int height,
                     HWND parent, HMENU, HINSTANCE, LPVOID) {
  RecordCall("CreateWindowExA(" + Str(exStyle) + "," + className + "," + title + "," + Str(style) + "," + Str(x) + "," +
             Str(y) + "," + Str(width) + "," + Str(height) + ")");
  auto cls = fakeSystem.classes.find(className);
  if (fakeSystem.createWindowFails || cls == fakeSystem.classes.end()) return nullptr;
  auto* w = new FakeWindow;
  w->className = className;
  w->title = title;
  w->proc = cls->second.lpfnWndProc;
  w->style = style;
  w->exStyle = exStyle;
  w->parent = parent;
  w->rect = {x, y, x + width, y + height};
  fakeSystem.windows.push_back(w);
  HWND hwnd = (HWND)w;
  if (w->proc(hwnd, WM_CREATE, 0, 0) == -1) {
    w->alive = false;
    return nullptr;
  }
  return hwnd;
}

BOOL DestroyWindow(HWND window) {
  RecordCall("DestroyWindow");
  FakeWindow* w = FakeWindowOf(window);
  if (!w || !w->alive) return FALSE;
  w->proc(window, WM_DESTROY, 0, 0);
  w->alive = false;
  return TRUE;
}

BOOL ShowWindow(HWND window, int command) {
  RecordCall("ShowWindow(" + Str(command) + ")");
  if (FakeWindow* w = FakeWindowOf(window)) w->visible = command != SW_HIDE;
  return TRUE;
}

BOOL IsWindow(HWND window) {
  FakeWindow* w = FakeWindowOf(window);
  return w && w->alive;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
  RecordCall("MoveWindow(" + Str(x) + "," + Str(y) + "," + Str(width) + "," + Str(height) + "," + Str(repaint) + ")");
  if (FakeWindow* w = FakeWindowOf(window)) w->rect = {x, y, x + width, y + height};
  return TRUE;
}

BOOL GetClientRect(HWND window, LPRECT rect) {
  FakeWindow* w = FakeWindowOf(window);
  if (!w) return FALSE;
  *rect = {0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
  return TRUE;
}

BOOL GetWindowRect(HWND window, LPRECT rect) {
  FakeWindow* w = FakeWindowOf(window);
  if (!w) return FALSE;
  *rect = w->rect;
  return TRUE;
}

BOOL InvalidateRect(HWND, const RECT* rect, BOOL erase) {
  RecordCall(std::string("InvalidateRect(") + (rect ? "rect" : "all") + "," + Str(erase) + ")");
  return TRUE;
}

HDC BeginPaint(HWND window, LPPAINTSTRUCT paint) {
  RecordCall("BeginPaint");
  std::memset(paint, 0, sizeof *paint);
  paint->hdc = (HDC)window;
  return paint->hdc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT*) {
  RecordCall("EndPaint");
  return TRUE;
}

int FillRect(HDC, const RECT* rect, HBRUSH brush) {
  RecordCall("FillRect(" + Str(rect->right - rect->left) + "x" + Str(rect->bottom - rect->top) + "," +
             Str((intptr_t)brush) + ")");
  return 1;
}

// Stock objects are their index plus one, so that none is null.
HGDIOBJ GetStockObject(int object) { return (HGDIOBJ)(intptr_t)(object + 1); }

BOOL PeekMessageA(LPMSG msg, HWND, UINT, UINT, UINT removeFlags) {
  if (fakeSystem.queue.empty()) return FALSE;
  *msg = fakeSystem.queue.front();
  if (removeFlags & PM_REMOVE) fakeSystem.queue.pop_front();
  return TRUE;
}

BOOL GetMessageA(LPMSG msg, HWND, UINT, UINT) {
  if (fakeSystem.queue.empty() && fakeSystem.onEmptyQueue) {
    auto happen = fakeSystem.onEmptyQueue;
    fakeSystem.onEmptyQueue = nullptr;
    happen();
  }
  if (fakeSystem.queue.empty()) {
    // A real loop would block here; a test that gets here has run out of input.
    msg->message = WM_QUIT;
    return FALSE;
  }
  *msg = fakeSystem.queue.front();
  fakeSystem.queue.pop_front();
  return msg->message != WM_QUIT;
}

BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DispatchMessageA(const MSG* msg) {
  FakeWindow* w = FakeWindowOf(msg->hwnd);
  if (!w || !w->alive) return 0;
  return w->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  RecordCall("PostMessageA(" + Str(message) + ")");
  MSG m{};
  m.hwnd = window;
  m.message = message;
  m.wParam = wParam;
  m.lParam = lParam;
  fakeSystem.queue.push_back(m);
  return TRUE;
}

void PostQuitMessage(int exitCode) {
  RecordCall("PostQuitMessage(" + Str(exitCode) + ")");
  MSG m{};
  m.message = WM_QUIT;
  m.wParam = (WPARAM)exitCode;
  fakeSystem.queue.push_back(m);
}

LRESULT DefWindowProcA(HWND, UINT message, WPARAM, LPARAM) {
  RecordCall("DefWindowProcA(" + Str(message) + ")");
  return 0;
}

HCURSOR SetCursor(HCURSOR cursor) {
  RecordCall(std::string("SetCursor(") + (cursor == arrowCursor ? "arrow" : cursor ? "other" : "none") + ")");
  fakeSystem.cursorVisible = cursor != nullptr;
  return nullptr;
}

HCURSOR LoadCursorA(HINSTANCE, LPCSTR name) { return name == IDC_ARROW ? arrowCursor : nullptr; }

int GetSystemMetrics(int index) {
  if (index == SM_CXSCREEN) return fakeSystem.screenWidth;
  if (index == SM_CYSCREEN) return fakeSystem.screenHeight;
  return 0;
}

BOOL SystemParametersInfoA(UINT action, UINT param, LPVOID, UINT) {
  RecordCall("SystemParametersInfoA(" + Str(action) + "," + Str(param) + ")");
  if (action == SPI_SCREENSAVERRUNNING) fakeSystem.screenSaverRunning = (int)param;
  return TRUE;
}

HWND GetForegroundWindow() { return fakeSystem.foreground; }

// Kernel services
LPSTR GetCommandLineA() {
  std::strncpy(commandLineBuffer, fakeSystem.commandLine.c_str(), sizeof commandLineBuffer - 1);
  return commandLineBuffer;
}

BOOL GetVersionExA(LPOSVERSIONINFOA info) {
  RecordCall("GetVersionExA(" + SizeField(info->dwOSVersionInfoSize, sizeof *info) + ")");
  info->dwPlatformId = fakeSystem.platformId;
  return TRUE;
}

HMODULE LoadLibraryA(LPCSTR name) {
  RecordCall(std::string("LoadLibraryA(") + name + ")");
  auto it = fakeSystem.libraries.find(name);
  return it == fakeSystem.libraries.end() ? nullptr : (HMODULE)&it->second;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
  RecordCall(std::string("GetProcAddress(") + name + ")");
  auto* procs = (std::map<std::string, FARPROC>*)module;
  auto it = procs->find(name);
  return it == procs->end() ? nullptr : it->second;
}

BOOL FreeLibrary(HMODULE) {
  RecordCall("FreeLibrary");
  return TRUE;
}

HMODULE GetModuleHandleA(LPCSTR) { return nullptr; }

int MultiByteToWideChar(UINT, DWORD, LPCSTR text, int length, LPWSTR wide, int wideLength) {
  int n = 0;
  for (; n < wideLength && (length < 0 || n < length); ++n) {
    wide[n] = (unsigned char)text[n];
    if (!text[n]) return n + 1;
  }
  return n;
}

char* _getcwd(char* buffer, int size) {
  std::strncpy(buffer, "/fake/cwd", (size_t)size);
  return buffer;
}

// Resources: an HRSRC is a pointer to the stored bytes.
HRSRC FindResourceA(HMODULE, LPCSTR name, LPCSTR type) {
  auto it = fakeSystem.resources.find({(int)(uintptr_t)type, (int)(uintptr_t)name});
  return it == fakeSystem.resources.end() ? nullptr : (HRSRC)&it->second;
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) { return resource; }

LPVOID LockResource(HGLOBAL data) {
  auto* bytes = (std::vector<BYTE>*)data;
  return bytes ? bytes->data() : nullptr;
}

DWORD SizeofResource(HMODULE, HRSRC resource) { return resource ? (DWORD)((std::vector<BYTE>*)resource)->size() : 0; }

int LoadStringA(HINSTANCE, UINT id, LPSTR buffer, int bufferSize) {
  auto it = fakeSystem.strings.find(id);
  if (it == fakeSystem.strings.end() || bufferSize <= 0) {
    if (bufferSize > 0) buffer[0] = 0;
    return 0;
  }
  int n = (int)it->second.size();
  if (n > bufferSize - 1) n = bufferSize - 1;
  std::memcpy(buffer, it->second.data(), (size_t)n);
  buffer[n] = 0;
  return n;
}

// Timer
DWORD timeGetTime() {
  if (fakeSystem.onTimeRead) fakeSystem.onTimeRead();
  DWORD t = fakeSystem.now;
  fakeSystem.now += fakeSystem.advancePerRead;
  return t;
}

// Registry: one key; a handle is just a marker.
static HKEY fakeKey = (HKEY)(uintptr_t)0x4B4559;

LSTATUS RegCreateKeyExA(HKEY parent, LPCSTR subKey, DWORD, LPSTR, DWORD options, REGSAM access, LPSECURITY_ATTRIBUTES,
                        PHKEY result, LPDWORD disposition) {
  RecordCall(std::string("RegCreateKeyExA(") + subKey + "," + Str(options) + "," + Str(access) + ")");
  if (fakeSystem.registryOpenFails) return ERROR_ACCESS_DENIED;
  if (disposition) *disposition = fakeSystem.registryKeyExists ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
  fakeSystem.registryKeyExists = true;
  *result = fakeKey;
  return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExA(HKEY, LPCSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size) {
  RecordCall(std::string("RegQueryValueExA(") + name + "," + Str(size ? *size : 0) + ")");
  auto it = fakeSystem.registry.find(Lower(name));
  if (it == fakeSystem.registry.end()) return ERROR_FILE_NOT_FOUND;
  DWORD stored = (DWORD)it->second.data.size();
  if (type) *type = it->second.type;
  if (data && size && stored > *size) {
    *size = stored;
    return ERROR_MORE_DATA;
  }
  if (data) std::memcpy(data, it->second.data.data(), stored);
  if (size) *size = stored;
  return ERROR_SUCCESS;
}

LSTATUS RegSetValueExA(HKEY, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD size) {
  RecordCall(std::string("RegSetValueExA(") + name + "," + Str(type) + "," + Str(size) + ")");
  fakeSystem.registry[Lower(name)] = {type, std::vector<BYTE>(data, data + size)};
  return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY) {
  RecordCall("RegCloseKey");
  return ERROR_SUCCESS;
}

// Dialogs: one modal dialog at a time, its lists and check boxes in fakeSystem.dialog.
INT_PTR DialogBoxParamA(HINSTANCE, LPCSTR templateName, HWND parent, DLGPROC proc, LPARAM param) {
  RecordCall("DialogBoxParamA(" + Str((intptr_t)templateName) + "," + Str((intptr_t)parent) + "," + Str(param) + ")");
  FakeDialog& d = fakeSystem.dialog;
  auto* w = new FakeWindow;
  w->className = "#32770";
  w->parent = parent;
  w->rect = fakeSystem.dialogRect;
  fakeSystem.windows.push_back(w);
  d.window = (HWND)w;
  d.proc = proc;
  d.ended = false;
  proc(d.window, WM_INITDIALOG, 0, param);
  if (d.whileOpen) d.whileOpen(d.window);
  proc(d.window, WM_DESTROY, 0, 0);
  w->alive = false;
  return d.ended ? d.result : -1;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
  RecordCall("EndDialog(" + Str(result) + ")");
  if (dialog != fakeSystem.dialog.window) return FALSE;
  fakeSystem.dialog.ended = true;
  fakeSystem.dialog.result = result;
  return TRUE;
}

static bool LessIgnoringCase(const std::string& a, const std::string& b) { return Lower(a.c_str()) < Lower(b.c_str()); }

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  FakeDialog& d = fakeSystem.dialog;
  if (dialog != d.window) return 0;
  if (message == BM_SETCHECK) d.checks[id] = wParam;
  if (message == BM_GETCHECK) return (LRESULT)d.checks[id];
  FakeList& list = d.lists[id];
  auto& entries = list.entries;
  int count = (int)entries.size();
  int index = (int)wParam;
  bool inRange = index >= 0 && index < count;
  switch (message) {
    case CB_ADDSTRING: {
      std::string text = (const char*)lParam;
      auto at = entries.end();
      if (list.sorted)
        at = std::upper_bound(
            entries.begin(), entries.end(), text,
            [](const std::string& t, const std::pair<std::string, LPARAM>& e) { return LessIgnoringCase(t, e.first); });
      LRESULT added = at - entries.begin();
      entries.insert(at, {text, 0});
      if (list.selection >= added) ++list.selection;
      return added;
    }
    case CB_DELETESTRING:
      if (!inRange) return CB_ERR;
      entries.erase(entries.begin() + index);
      if (list.selection == index) list.selection = -1;
      if (list.selection > index) --list.selection;
      return count - 1;
    case CB_GETCOUNT:
      return count;
    case CB_GETCURSEL:
      return list.selection;
    case CB_SETCURSEL:
      list.selection = inRange ? index : -1;
      return inRange ? index : CB_ERR;
    case CB_GETITEMDATA:
      return inRange ? entries[index].second : CB_ERR;
    case CB_SETITEMDATA:
      if (!inRange) return CB_ERR;
      entries[index].second = lParam;
      return 1;
  }
  return 0;
}

void FakeChooseEntry(HWND dialog, int list, int index) {
  fakeSystem.dialog.lists[list].selection = index;
  fakeSystem.dialog.proc(dialog, WM_COMMAND, MAKEWPARAM(list, CBN_SELCHANGE), 0);
}

void FakePressButton(HWND dialog, int id) { fakeSystem.dialog.proc(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
