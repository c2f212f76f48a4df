// Inside the options dialog: its controls, the item data its lists own, and the
// steps that fill and save them. The three lists cascade top-down: board, then
// the board's devices, then the modes that board and device can show.
#pragma once

#include "platform.h"

const int BoardListId = 201;
const int ModeListId = 202;
const int MusicBoxId = 203;
const int DriverListId = 204;
const int SoundBoxId = 205;
const int ConfigDialogId = 200;

// Item data of a board entry other than the primary display (which has none).
struct BoardItem {
  GUID driver;
};
struct DriverItem {
  GUID device;
  DWORD renderDepths;  // DDBD_ flags of the depths the device draws at
};
struct ModeItem {
  DDSURFACEDESC2 mode;
};

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

void ClearList(HWND dialog, int list);
void FillBoardList(HWND dialog);
void FillDriverList(HWND dialog);
void FillModeList(HWND dialog);
void SaveDialogSettings(HWND dialog);

// The selected entry's index, and its item data; false when either is CB_ERR.
bool GetSelectedItem(HWND dialog, int list, LRESULT* index, LRESULT* data);
void SelectListEntry(HWND dialog, int list, LRESULT index);
// Makes the block the entry's item data; an entry whose block could not be
// allocated is taken away again instead, since it could only be saved wrongly.
// False when that happened.
bool AttachItemData(HWND dialog, int list, LRESULT index, void* item);
// A DirectDraw object of the board behind a board entry's item data (null for
// the primary display), initialised; null when it cannot be had.
IDirectDraw4* OpenBoard(LRESULT boardData);
