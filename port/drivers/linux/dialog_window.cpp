// The dialogs that are open, and their windows' place and size.
#include "driver.h"
#include "dialog_internal.h"
#include "win32/win32_internal.h"

std::vector<PortDialog*> portDialogs;

PortDialog* PortDialogOf(HWND handle) {
  return static_cast<PortDialog*>(FindHandle(windowHandles, (uintptr_t)handle, HandleKind::Dialog));
}

DialogItem* PortDialogItem(PortDialog* d, int id) {
  for (DialogItem& item : d->items)
    if (item.id == id && id != -1) return &item;
  return nullptr;
}

bool PortDialogWindowRect(HWND dialog, RECT* rect) {
  PortDialog* d = PortDialogOf(dialog);
  if (!d || !rect) return false;
  *rect = d->rect;
  return true;
}

bool PortDialogMove(HWND dialog, int x, int y, int width, int height) {
  PortDialog* d = PortDialogOf(dialog);
  if (!d) return false;
  gtk_window_move(GTK_WINDOW(d->window), x, y);
  gtk_window_resize(GTK_WINDOW(d->window), width, height);
  d->rect = {x, y, x + width, y + height};
  return true;
}
