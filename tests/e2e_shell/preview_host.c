/* A settings program's preview pane: a grey 152 x 112 window at 40, 30; prints
   its id, and a line on stdin destroys it. */
#include <X11/Xlib.h>
#include <stdio.h>

int main(void) {
  Display* display = XOpenDisplay(NULL);
  if (!display) return 1;
  Window host = XCreateSimpleWindow(display, DefaultRootWindow(display), 40, 30, 152, 112, 0, 0, 0x808080);
  XMapWindow(display, host);
  XSync(display, False);
  printf("%lu\n", (unsigned long)host);
  fflush(stdout);
  char line[64];
  if (fgets(line, sizeof line, stdin)) XDestroyWindow(display, host);
  XSync(display, False);
  printf("destroyed\n");
  fflush(stdout);
  fgets(line, sizeof line, stdin);
  XCloseDisplay(display);
  return 0;
}
