// Handles say what they are: a handle of another kind, or one kept after its
// object went, fails the call as it fails on Windows.
#include <gtest/gtest.h>

#include "port_internal.h"

namespace {
HWND MakeWindow() {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.lpszClassName = "handletest";
  RegisterClassExA(&windowClass);  // refused after the first time; the class stays
  return CreateWindowExA(0, "handletest", "", WS_POPUP, 0, 0, 64, 48, nullptr, nullptr, nullptr, nullptr);
}
}  // namespace

TEST(PortHandles, AHandleOfAnotherKindOrAGoneObjectFailsTheCall) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\HandleTest", 0, nullptr, 0, KEY_WRITE, nullptr,
                                           &key, nullptr));
  HWND window = MakeWindow();
  ASSERT_NE(window, nullptr);
  HWND gone = MakeWindow();
  ASSERT_TRUE(DestroyWindow(gone));
  HWND reused = MakeWindow();  // may take the gone window's entry
  ASSERT_NE(reused, gone);

  RECT rect;
  struct {
    const char* what;
    HWND handle;
  } windows[] = {{"a registry key", reinterpret_cast<HWND>(key)}, {"a destroyed window", gone}};
  for (auto& c : windows) {
    SetLastError(0);
    EXPECT_FALSE(ShowWindow(c.handle, SW_HIDE)) << c.what;
    EXPECT_FALSE(InvalidateRect(c.handle, nullptr, FALSE)) << c.what;
    EXPECT_FALSE(GetClientRect(c.handle, &rect)) << c.what;
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_WINDOW_HANDLE) << c.what;
    EXPECT_FALSE(EndDialog(c.handle, 1)) << c.what;
  }
  EXPECT_TRUE(GetClientRect(window, &rect));
  EXPECT_FALSE(EndDialog(window, 1)) << "a window is no dialog";

  DWORD value = 1;
  for (HKEY wrong : {reinterpret_cast<HKEY>(window), HKEY_CURRENT_USER, (HKEY) nullptr})
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegSetValueExA(wrong, "v", 0, REG_DWORD, (const BYTE*)&value, 4));
  EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
  EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(key)) << "a closed key";
  DestroyWindow(window);
  DestroyWindow(reused);
}
