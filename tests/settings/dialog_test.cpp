#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "settings/dialog.h"
#include "settings/settings.h"
#include "support/fake_com.h"
#include "support/fake_directx.h"
#include "support/fake_win32.h"

namespace {
std::vector<std::pair<std::string, const GUID*>> boards;  // null: the primary driver

HRESULT WINAPI EnumerateBoards(LPDDENUMCALLBACKA callback, LPVOID context) {
  for (auto& b : boards)
    if (!callback((GUID*)b.second, &b.first[0], &b.first[0], context)) break;
  return DD_OK;
}

const GUID SecondBoard = {0x12345678, 0x9ABC, 0xDEF0, {1, 2, 3, 4, 5, 6, 7, 8}};
const char SecondBoardText[] = "{12345678-9ABC-DEF0-0102}";

std::vector<BYTE> Bytes(const GUID& g) { return std::vector<BYTE>((const BYTE*)&g, (const BYTE*)&g + 16); }
std::vector<BYTE> Dword(DWORD v) { return {BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)}; }

class OptionsDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFakeSystem();
    ResetFakeDirectX();
    fakeComFailures.clear();
    fakeSystem.libraries["DDRAW.DLL"]["DirectDrawEnumerateA"] = (FARPROC)(void*)&EnumerateBoards;
    boards = {{"Primary Display Driver", nullptr}};
    AddFakeDeviceType(IID_IDirect3DHALDevice, "Direct3D HAL", DDBD_16 | DDBD_32);
    AddFakeDeviceType(IID_IDirect3DRGBDevice, "RGB Emulation", DDBD_16 | DDBD_32, false);
    Modes({{640, 480, 16}, {640, 480, 32}, {800, 600, 16}});
  }
  void Modes(std::vector<std::array<DWORD, 3>> modes, const std::string& board = "") {
    for (auto& m : modes) fakeDirectX.displayModes.push_back({FakeDisplayMode(m[0], m[1], m[2]), board});
  }
  // Runs the dialog while the user acts; `shown` keeps the lists as they were
  // just before the dialog went.
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
  std::vector<BYTE> Stored(const char* name) {
    auto it = fakeSystem.registry.find(name);
    return it == fakeSystem.registry.end() ? std::vector<BYTE>{} : it->second.data;
  }
  std::map<int, FakeList> shown;
};

void Cancel(HWND d) { FakePressButton(d, IDCANCEL); }
}  // namespace

TEST_F(OptionsDialog, OpeningSelectsAndStoresTheDefaultsEvenWhenCancelled) {
  Open(Cancel);
  EXPECT_EQ(Selected(BoardListId), "Primary Display Driver");
  EXPECT_EQ(Selected(DriverListId), "Hardware Accelerated (HAL)");
  EXPECT_EQ(Selected(ModeListId), "640x480, 16-bit");
  EXPECT_EQ(fakeSystem.dialog.checks[MusicBoxId], (WPARAM)BST_CHECKED);
  EXPECT_EQ(fakeSystem.dialog.checks[SoundBoxId], (WPARAM)BST_CHECKED);
  for (const char* name : {"music", "sound", "usenullddguid"}) EXPECT_EQ(Stored(name), Dword(1)) << name;
  EXPECT_EQ(Stored("deviceguid"), Bytes(IID_IDirect3DHALDevice));
  EXPECT_EQ(Stored("displaywidth"), Dword(640));
  EXPECT_EQ(Stored("displayheight"), Dword(480));
  EXPECT_EQ(Stored("displaybpp"), Dword(16));
  EXPECT_FALSE(fakeSystem.registry.count("ddguid"));
  // Without an owner the dialog is centred on the 1024x768 screen, its size kept.
  EXPECT_TRUE(CallMade("MoveWindow(336,302,351,163,1)"));
  EXPECT_TRUE(CallMade("EndDialog(0)"));
  EXPECT_TRUE(CallMade("directDraw.EnumDisplayModes(0,size,0x1,0x6200)"));
  // Each fill's DirectDraw object, and the library, are let go again.
  EXPECT_TRUE(LiveFakeObjects().empty());
  EXPECT_EQ(CallsStartingWith("FreeLibrary").size(), 1u);
}

TEST_F(OptionsDialog, ASecondBoardIsStoredByItsGuidAndThePrimaryAgainKeepsTheOldGuid) {
  boards.push_back({"Second Monitor", &SecondBoard});
  Open([](HWND d) {
    FakeChooseEntry(d, BoardListId, 1);
    FakePressButton(d, IDOK);
  });
  EXPECT_EQ(Stored("ddguid"), Bytes(SecondBoard));
  EXPECT_EQ(Stored("usenullddguid"), Dword(0));

  // Owned by a window, it stays where the template puts it; the stored board comes up.
  ClearRecordedCalls();
  Open(
      [](HWND d) {
        FakeChooseEntry(d, BoardListId, 0);
        FakePressButton(d, IDOK);
      },
      (HWND)(uintptr_t)5678);
  EXPECT_FALSE(CallMade("MoveWindow"));
  EXPECT_TRUE(CallMade(std::string("directDraw.Initialize(") + SecondBoardText));
  EXPECT_EQ(Stored("usenullddguid"), Dword(1));
  EXPECT_EQ(Stored("ddguid"), Bytes(SecondBoard));

  // That old GUID beside UseNULLddguid 1 chooses nothing, wherever its board is listed.
  std::swap(boards[0], boards[1]);
  ClearRecordedCalls();
  Open(Cancel);
  EXPECT_EQ(Selected(BoardListId), "Primary Display Driver");
  EXPECT_FALSE(CallMade(std::string("directDraw.Initialize(") + SecondBoardText));
}

TEST_F(OptionsDialog, AStoredDeviceOrModeNotOfferedTakesTheFirstAndModesFollowTheDeviceDepths) {
  fakeSystem.registry["deviceguid"] = {REG_BINARY, Bytes(IID_IDirect3DRampDevice)};
  fakeDirectX.deviceTypes.clear();
  AddFakeDeviceType(IID_IDirect3DHALDevice, "Direct3D HAL", DDBD_16);
  AddFakeDeviceType(IID_IDirect3DRGBDevice, "RGB Emulation", DDBD_24 | DDBD_32, false);
  Modes({{1024, 768, 24}, {320, 200, 8}});
  DDSURFACEDESC2 noFormat = FakeDisplayMode(1280, 1024, 16);
  noFormat.dwFlags &= ~DDSD_PIXELFORMAT;
  fakeDirectX.displayModes.push_back({noFormat, ""});
  Open([&](HWND d) {
    EXPECT_EQ(fakeSystem.dialog.lists[DriverListId].selection, 0);
    EXPECT_EQ(fakeSystem.dialog.lists[ModeListId].entries.size(), 2u);  // 640x480 and 800x600 at 16 bits
    FakeChooseEntry(d, DriverListId, 1);
    FakePressButton(d, IDOK);
  });
  EXPECT_EQ(Texts(ModeListId), (std::vector<std::string>{"640x480, 32-bit", "1024x768, 24-bit"}));
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
  Open(Cancel);
  EXPECT_EQ(Texts(DriverListId), (std::vector<std::string>{"Alpha Device", "Hardware Accelerated (HAL)",
                                                           "Software Emulation (RGB)", "Zeta Device"}));
  EXPECT_EQ(Selected(DriverListId), "Hardware Accelerated (HAL)");
}

TEST_F(OptionsDialog, OkStoresEveryChoiceWhileCancelAndTheCloseButtonWriteNothing) {
  const std::map<std::string, std::vector<BYTE>> chosen = {{"music", Dword(1)},
                                                           {"sound", Dword(0)},
                                                           {"usenullddguid", Dword(1)},
                                                           {"displaywidth", Dword(800)},
                                                           {"displayheight", Dword(600)},
                                                           {"displaybpp", Dword(16)},
                                                           {"deviceguid", Bytes(IID_IDirect3DHALDevice)}};
  for (int close : {IDCANCEL, WM_CLOSE, IDOK}) {
    Open([close](HWND d) {
      fakeSystem.dialog.checks[SoundBoxId] = BST_UNCHECKED;
      FakeChooseEntry(d, ModeListId, 2);
      fakeSystem.registry.clear();  // the defaults opening stored
      if (close == WM_CLOSE)
        fakeSystem.dialog.proc(d, WM_CLOSE, 0, 0);
      else
        FakePressButton(d, close);
    });
    EXPECT_TRUE(fakeSystem.dialog.ended);
    std::map<std::string, std::vector<BYTE>> written;
    for (auto& value : fakeSystem.registry) written[value.first] = value.second.data;
    EXPECT_EQ(written, close == IDOK ? chosen : decltype(chosen){}) << close;
  }
}

TEST_F(OptionsDialog, ABoardChangeRebuildsTheLowerListsAndClosingEmptiesAll) {
  boards.push_back({"Second Monitor", &SecondBoard});
  fakeDirectX.displayModes.clear();
  Modes({{640, 480, 16}});
  // 24 bits, and a format that is not RGB, are never offered to a device that draws at 16 and 32.
  Modes({{1280, 1024, 16}, {1280, 1024, 24}, {1280, 1024, 32}, {1024, 768, 16}}, SecondBoardText);
  fakeDirectX.displayModes.back().desc.ddpfPixelFormat.dwFlags &= ~DDPF_RGB;
  Open([&](HWND d) {
    FakeChooseEntry(d, BoardListId, 1);
    FakeChooseEntry(d, DriverListId, 1);
    EXPECT_EQ(fakeSystem.dialog.lists[DriverListId].entries.size(), 2u);
    FakePressButton(d, IDOK);
  });
  EXPECT_EQ(Texts(ModeListId), (std::vector<std::string>{"640x480, 16-bit", "1280x1024, 16-bit", "1280x1024, 32-bit"}));
  EXPECT_EQ(Stored("deviceguid"), Bytes(IID_IDirect3DRGBDevice));
  for (int list : {BoardListId, DriverListId, ModeListId}) EXPECT_TRUE(fakeSystem.dialog.lists[list].entries.empty());
}
