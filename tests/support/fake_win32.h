// Recording stand-ins for every call of port/win32.h: an in-memory system whose
// clock, queue, windows, registry and resources a test sets up and inspects.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform.h"
#include "support/recorder.h"

struct FakeWindow {
  std::string className;
  std::string title;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  HWND parent = nullptr;
  RECT rect{};
  bool alive = true;
  bool visible = false;
};

struct FakeRegistryValue {
  DWORD type = 0;
  std::vector<BYTE> data;
};

// A combo box of the one modal dialog: its entries with their item data.
struct FakeList {
  std::vector<std::pair<std::string, LPARAM>> entries;
  int selection = -1;
  bool sorted = false;
};

struct FakeDialog {
  DLGPROC proc = nullptr;
  HWND window = nullptr;
  std::map<int, FakeList> lists;
  std::map<int, WPARAM> checks;
  bool ended = false;
  INT_PTR result = -1;
  // What the user does while the dialog is open; it should end the dialog.
  std::function<void(HWND)> whileOpen;
};

struct FakeSystem {
  std::string commandLine = "glimmerz.scr";
  // timeGetTime returns now, then adds advancePerRead; onTimeRead runs first.
  DWORD now = 1000;
  DWORD advancePerRead = 0;
  std::function<void()> onTimeRead;
  HRESULT coInitializeResult = S_OK;
  DWORD platformId = VER_PLATFORM_WIN32_NT;
  // Loadable libraries and their exports, by name.
  std::map<std::string, std::map<std::string, FARPROC>> libraries;
  // String table, and resources keyed by (type, id).
  std::map<UINT, std::string> strings;
  std::map<std::pair<int, int>, std::vector<BYTE>> resources;
  // Values under the one key the program uses, by lower-case name.
  std::map<std::string, FakeRegistryValue> registry;
  bool registryKeyExists = false;
  bool registryOpenFails = false;
  std::deque<MSG> queue;
  // Runs when GetMessageA finds the queue empty, where a real loop would block:
  // a test can make something happen there (a timer tick, the host going away).
  std::function<void()> onEmptyQueue;
  std::vector<FakeWindow*> windows;
  std::map<std::string, WNDCLASSEXA> classes;
  bool registerClassFails = false;
  bool createWindowFails = false;
  int screenWidth = 1024;
  int screenHeight = 768;
  int screenSaverRunning = -1;  // last SPI_SCREENSAVERRUNNING value, -1 before any
  bool cursorVisible = true;
  HWND foreground = nullptr;
  FakeDialog dialog;
  RECT dialogRect{10, 20, 361, 183};
};

extern FakeSystem fakeSystem;

// Frees every fake window and returns the system to its start state; also
// clears the call log.
void ResetFakeSystem();
FakeWindow* FakeWindowOf(HWND window);
// As a user picking entry index of a list: the selection moves and the dialog
// hears CBN_SELCHANGE.
void FakeChooseEntry(HWND dialog, int list, int index);
void FakePressButton(HWND dialog, int id);
