#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>

#include "settings/dialog.h"
#include "settings/settings.h"
#include "support/fake_com.h"
#include "support/fake_directx.h"
#include "support/fake_win32.h"

namespace {
struct Board {
  const char* description;
  GUID guid;
  bool primary;
};
std::vector<Board> boards;

HRESULT WINAPI EnumerateBoards(LPDDENUMCALLBACKA callback, LPVOID context) {
  for (Board& b : boards) {
    std::string text = b.description;
    if (!callback(b.primary ? nullptr : &b.guid, &text[0], &text[0], context)) break;
  }
  return DD_OK;
}

const GUID SecondBoard = {0x12345678, 0x9ABC, 0xDEF0, {1, 2, 3, 4, 5, 6, 7, 8}};

std::vector<BYTE> Bytes(const GUID& g) {
  const BYTE* p = (const BYTE*)&g;
  return std::vector<BYTE>(p, p + 16);
}
std::vector<BYTE> Dword(DWORD v) { return {BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)}; }

class OptionsDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFakeSystem();
    ResetFakeDirectX();
    fakeComFailures.clear();
    fakeSystem.libraries["DDRAW.DLL"]["DirectDrawEnumerateA"] = (FARPROC)(void*)&EnumerateBoards;
    boards = {{"Primary Display Driver", {}, true}};
    AddFakeDeviceType(IID_IDirect3DHALDevice, "Direct3D HAL", DDBD_16 | DDBD_32);
    AddFakeDeviceType(IID_IDirect3DRGBDevice, "RGB Emulation", DDBD_16 | DDBD_32, false);
    Modes({{640, 480, 16}, {640, 480, 32}, {800, 600, 16}});
  }
  void Modes(std::vector<std::array<DWORD, 3>> modes, const std::string& board = "") {
    for (auto& m : modes) fakeDirectX.displayModes.push_back({FakeDisplayMode(m[0], m[1], m[2]), board});
  }
  // Opens the dialog with no owner, lets the user act, and returns what the
  // lists showed at the end, before the dialog went.
  void Open(std::function<void(HWND)> user, HWND parent = nullptr) {
    fakeSystem.dialog.lists[DriverListId].sorted = true;
    fakeSystem.dialog.whileOpen = [&, user](HWND dialog) {
      user(dialog);
      shown = fakeSystem.dialog.lists;
    };
    ShowConfigDialog(nullptr, parent);
  }
  std::vector<std::string> Texts(int list) {
    std::vector<std::string> texts;
    for (auto& e : shown[list].entries) texts.push_back(e.first);
    return texts;
  }
  std::string Selected(int list) {
    FakeList& l = shown[list];
    return l.selection < 0 ? "none" : l.entries[l.selection].first;
  }
  void Store(const char* name, std::vector<BYTE> data) {
    fakeSystem.registry[name] = {data.size() == 4 ? (DWORD)REG_DWORD : (DWORD)REG_BINARY, data};
  }
  std::vector<BYTE> Stored(const char* name) {
    auto it = fakeSystem.registry.find(name);
    return it == fakeSystem.registry.end() ? std::vector<BYTE>{} : it->second.data;
  }
  std::map<int, FakeList> shown;
};
}  // namespace

TEST_F(OptionsDialog, OpeningSelectsAndStoresTheDefaultsEvenWhenCancelled) {
  Open([](HWND d) { FakePressButton(d, IDCANCEL); });
  EXPECT_EQ(Selected(BoardListId), "Primary Display Driver");
  EXPECT_EQ(Selected(DriverListId), "Hardware Accelerated (HAL)");
  EXPECT_EQ(Selected(ModeListId), "640x480, 16-bit");
  EXPECT_EQ(shown[MusicBoxId].entries.size(), 0u);
  EXPECT_EQ(fakeSystem.dialog.checks[MusicBoxId], (WPARAM)BST_CHECKED);
  EXPECT_EQ(fakeSystem.dialog.checks[SoundBoxId], (WPARAM)BST_CHECKED);
  EXPECT_EQ(Stored("music"), Dword(1));
  EXPECT_EQ(Stored("sound"), Dword(1));
  EXPECT_EQ(Stored("usenullddguid"), Dword(1));
  EXPECT_EQ(Stored("deviceguid"), Bytes(IID_IDirect3DHALDevice));
  EXPECT_EQ(Stored("displaywidth"), Dword(640));
  EXPECT_EQ(Stored("displayheight"), Dword(480));
  EXPECT_EQ(Stored("displaybpp"), Dword(16));
  EXPECT_FALSE(fakeSystem.registry.count("ddguid"));
  // Without an owner the dialog is centred on the 1024x768 screen, its size kept.
  EXPECT_GE(FindCall("MoveWindow(336,302,351,163,1)"), 0);
  EXPECT_GE(FindCall("DialogBoxParamA(200,0,0)"), 0);
  EXPECT_GE(FindCall("EndDialog(0)"), 0);
  // Each fill has a DirectDraw object of its own for the board, and lets it go.
  EXPECT_EQ(CallsStartingWith("directDraw.Initialize(null)").size(), 2u);
  EXPECT_GE(FindCall("directDraw.EnumDisplayModes(0,124,0x1,0x6200)"), 0);
  EXPECT_TRUE(LiveFakeObjects().empty());
  EXPECT_EQ(CallsStartingWith("FreeLibrary").size(), 1u);
}

TEST_F(OptionsDialog, AnOwnedDialogKeepsItsPlaceAndStoredChoicesComeUpSelected) {
  Store("music", Dword(0));
  Store("displaywidth", Dword(800));
  Store("displayheight", Dword(600));
  Store("deviceguid", Bytes(IID_IDirect3DRGBDevice));
  Open([](HWND d) { FakePressButton(d, IDCANCEL); }, (HWND)(uintptr_t)5678);
  EXPECT_EQ(FindCall("MoveWindow"), -1);
  EXPECT_EQ(fakeSystem.dialog.checks[MusicBoxId], (WPARAM)BST_UNCHECKED);
  EXPECT_EQ(Selected(DriverListId), "Software Emulation (RGB)");
  EXPECT_EQ(Selected(ModeListId), "800x600, 16-bit");
}

TEST_F(OptionsDialog, ASecondBoardIsStoredByItsGuidAndThePrimaryAgainKeepsTheOldGuid) {
  boards.push_back({"Second Monitor", SecondBoard, false});
  Open([](HWND d) {
    FakeChooseEntry(d, BoardListId, 1);
    FakePressButton(d, IDOK);
  });
  EXPECT_EQ(Stored("ddguid"), Bytes(SecondBoard));
  EXPECT_EQ(Stored("usenullddguid"), Dword(0));

  ClearRecordedCalls();
  Open([](HWND d) { FakePressButton(d, IDCANCEL); });
  EXPECT_EQ(Selected(BoardListId), "Second Monitor");
  EXPECT_GE(FindCall("directDraw.Initialize({12345678-9ABC-DEF0-0102})"), 0);

  Open([](HWND d) {
    FakeChooseEntry(d, BoardListId, 0);
    FakePressButton(d, IDOK);
  });
  EXPECT_EQ(Stored("usenullddguid"), Dword(1));
  EXPECT_EQ(Stored("ddguid"), Bytes(SecondBoard));
}

TEST_F(OptionsDialog, ModesFollowTheDepthsTheDeviceDrawsAt) {
  fakeDirectX.deviceTypes.clear();
  AddFakeDeviceType(IID_IDirect3DHALDevice, "Direct3D HAL", DDBD_16);
  AddFakeDeviceType(IID_IDirect3DRGBDevice, "RGB Emulation", DDBD_24 | DDBD_32, false);
  Modes({{1024, 768, 24}, {320, 200, 8}});
  DDSURFACEDESC2 noFormat = FakeDisplayMode(1280, 1024, 16);
  noFormat.dwFlags &= ~DDSD_PIXELFORMAT;
  fakeDirectX.displayModes.push_back({noFormat, ""});
  Open([&](HWND d) {
    EXPECT_EQ(fakeSystem.dialog.lists[ModeListId].entries.size(), 2u);
    FakeChooseEntry(d, DriverListId, 1);
    FakePressButton(d, IDOK);
  });
  EXPECT_EQ(Texts(ModeListId), (std::vector<std::string>{"640x480, 32-bit", "1024x768, 24-bit"}));
  // The stored 16-bit mode is gone with the device: the first entry is taken.
  EXPECT_EQ(Selected(ModeListId), "640x480, 32-bit");
  EXPECT_EQ(Stored("displaybpp"), Dword(32));
  EXPECT_EQ(Stored("deviceguid"), Bytes(IID_IDirect3DRGBDevice));
}

TEST_F(OptionsDialog, RampDevicesAreNeverListedAndTheOthersSortWithTheFixedNames) {
  const GUID other = {0xABCDEF01, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
  AddFakeDeviceType(IID_IDirect3DRampDevice, "Ramp Emulation", DDBD_16, false);
  AddFakeDeviceType(other, "Zeta Device", DDBD_16);
  AddFakeDeviceType(other, "Alpha Device", DDBD_16, false);
  AddFakeDeviceType(other, "No Depths", 0);
  fakeDirectX.deviceTypes.back().hardware->dwFlags = D3DDD_COLORMODEL;
  Open([](HWND d) { FakePressButton(d, IDCANCEL); });
  EXPECT_EQ(Texts(DriverListId), (std::vector<std::string>{"Alpha Device", "Hardware Accelerated (HAL)",
                                                           "Software Emulation (RGB)", "Zeta Device"}));
  EXPECT_EQ(Selected(DriverListId), "Hardware Accelerated (HAL)");
}

TEST_F(OptionsDialog, CancelAndTheCloseButtonWriteNothing) {
  for (UINT close : {(UINT)WM_COMMAND, (UINT)WM_CLOSE}) {
    Open([](HWND d) { FakePressButton(d, IDCANCEL); });  // stores the defaults
    ClearRecordedCalls();
    Open([close](HWND d) {
      fakeSystem.dialog.checks[MusicBoxId] = BST_UNCHECKED;
      FakeChooseEntry(d, ModeListId, 2);
      fakeSystem.dialog.proc(d, close, close == WM_COMMAND ? MAKEWPARAM(IDCANCEL, BN_CLICKED) : 0, 0);
    });
    EXPECT_TRUE(fakeSystem.dialog.ended);
    EXPECT_EQ(FindCall("RegSetValueExA"), -1);
    EXPECT_EQ(Stored("music"), Dword(1));
  }
}

TEST_F(OptionsDialog, ABoardChangeRebuildsTheLowerListsAndClosingEmptiesAll) {
  boards.push_back({"Second Monitor", SecondBoard, false});
  fakeDirectX.displayModes.clear();
  Modes({{640, 480, 16}});
  Modes({{1280, 1024, 16}, {1280, 1024, 32}}, "{12345678-9ABC-DEF0-0102}");
  Open([&](HWND d) {
    FakeChooseEntry(d, BoardListId, 1);
    FakeChooseEntry(d, DriverListId, 1);
    EXPECT_EQ(fakeSystem.dialog.lists[DriverListId].entries.size(), 2u);
    FakePressButton(d, IDOK);
  });
  EXPECT_EQ(Texts(ModeListId), (std::vector<std::string>{"640x480, 16-bit", "1280x1024, 16-bit", "1280x1024, 32-bit"}));
  EXPECT_EQ(Selected(ModeListId), "640x480, 16-bit");
  EXPECT_EQ(Stored("deviceguid"), Bytes(IID_IDirect3DRGBDevice));
  for (int list : {BoardListId, DriverListId, ModeListId}) EXPECT_TRUE(fakeSystem.dialog.lists[list].entries.empty());
}

TEST_F(OptionsDialog, WithoutDirectDrawOnlyTheCheckBoxesAreSaved) {
  fakeSystem.libraries.clear();
  Open([](HWND d) { FakePressButton(d, IDOK); });
  EXPECT_TRUE(Texts(BoardListId).empty());
  EXPECT_EQ(CallsStartingWith("RegSetValueExA"),
            (std::vector<std::string>{"RegSetValueExA(music,4,4)", "RegSetValueExA(sound,4,4)",
                                      "RegSetValueExA(music,4,4)", "RegSetValueExA(sound,4,4)"}));

  // A board whose DirectDraw object cannot be made: the board and the boxes.
  SetUp();
  fakeDirectX.failures["DirectDraw.Initialize"] = DDERR_GENERIC;
  Open([](HWND d) {
    ClearRecordedCalls();
    FakePressButton(d, IDOK);
  });
  EXPECT_TRUE(Texts(DriverListId).empty() && Texts(ModeListId).empty());
  EXPECT_EQ(CallsStartingWith("RegSetValueExA"),
            (std::vector<std::string>{"RegSetValueExA(UseNULLddguid,4,4)", "RegSetValueExA(music,4,4)",
                                      "RegSetValueExA(sound,4,4)"}));
  EXPECT_TRUE(LiveFakeObjects().empty());
}
