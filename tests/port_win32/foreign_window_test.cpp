// Window handles given on a command line are X11 window ids on this system.
#include <gtest/gtest.h>

#include "drivers/x11/x11.h"

// Last: Xlib's macros (None, Bool, Status) would clash with the names above.
#include <X11/Xlib.h>

TEST(PortForeignWindow, RectOfAnotherProgramsWindowIsItsPlaceOnTheScreen) {
  Display* x = PortX11Display();
  ASSERT_NE(nullptr, x);
  Window host = XCreateSimpleWindow(x, DefaultRootWindow(x), 30, 40, 152, 112, 0, 0, 0);
  XSync(x, False);
  RECT rect = {};
  ASSERT_TRUE(GetWindowRect((HWND)(uintptr_t)host, &rect));
  EXPECT_EQ(30, rect.left);
  EXPECT_EQ(40, rect.top);
  EXPECT_EQ(182, rect.right);
  EXPECT_EQ(152, rect.bottom);
  XDestroyWindow(x, host);
}

TEST(PortForeignWindow, AnIdThatIsNoWindowFailsWithoutEndingTheProcess) {
  ASSERT_NE(nullptr, PortX11Display());
  RECT rect = {1, 2, 3, 4};
  EXPECT_FALSE(GetWindowRect((HWND)(uintptr_t)0x3ffffff, &rect));
  EXPECT_FALSE(GetWindowRect(nullptr, &rect));
  EXPECT_EQ(1, rect.left);
  // The connection is still good for the next call.
  Display* x = PortX11Display();
  Window host = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 10, 10, 0, 0, 0);
  XSync(x, False);
  EXPECT_TRUE(GetWindowRect((HWND)(uintptr_t)host, &rect));
}
