// The port's dialogs, shared by the dialog's modal run (dialog.cpp), its
// controls (dialog_controls.cpp) and its window (dialog_window.cpp).
#pragma once

#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "port_internal.h"
#include "win32/dialog/dialog_template.h"

struct DialogItem {
  int id;
  DialogControl control;
  GtkWidget* widget;
  std::vector<LPARAM> itemData;  // combo boxes: one per entry
  std::vector<std::string> texts;
};

struct PortDialog {
  HWND handle = nullptr;
  GtkWidget* window = nullptr;
  DLGPROC proc = nullptr;
  std::vector<DialogItem> items;
  int programChanges = 0;  // while above 0, signals come from the program's own calls
  bool ended = false;
  INT_PTR result = 0;
  unsigned signalWatch = 0;   // the GLib source watching for an ending signal
  int baseX = 6, baseY = 13;  // pixels per 4 horizontal and 8 vertical dialog units
  RECT rect{};
};

extern std::vector<PortDialog*> portDialogs;
PortDialog* PortDialogOf(HWND handle);
// The control with this id, or null (-1, the id of every static text, names none).
DialogItem* PortDialogItem(PortDialog* dialog, int id);
