// What the program asks of a dialog's controls: the combo-box and check-box
// messages. Changes made here are the program's own and are never reported back
// to it as the user's.
#include <algorithm>

#include "dialog_internal.h"

namespace {
LRESULT ComboMessage(DialogItem& item, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* combo = GTK_COMBO_BOX_TEXT(item.widget);
  int count = (int)item.itemData.size();
  int index = (int)wParam;
  bool inRange = index >= 0 && index < count;
  switch (message) {
    case CB_ADDSTRING: {
      if (!lParam) return CB_ERR;
      std::string text = (const char*)lParam;
      int at = count;
      if (item.control.style & CBS_SORT)
        at = (int)(std::upper_bound(item.texts.begin(), item.texts.end(), text,
                                    [](const std::string& a, const std::string& b) {
                                      return g_ascii_strcasecmp(a.c_str(), b.c_str()) < 0;
                                    }) -
                   item.texts.begin());
      item.texts.insert(item.texts.begin() + at, text);
      item.itemData.insert(item.itemData.begin() + at, 0);
      gtk_combo_box_text_insert(combo, at, nullptr, PortUtf8(text).c_str());
      return at;
    }
    case CB_DELETESTRING:
      if (!inRange) return CB_ERR;
      item.texts.erase(item.texts.begin() + index);
      item.itemData.erase(item.itemData.begin() + index);
      gtk_combo_box_text_remove(combo, index);
      return count - 1;
    case CB_GETCOUNT:
      return count;
    case CB_GETCURSEL: {
      int active = gtk_combo_box_get_active(GTK_COMBO_BOX(combo));
      return active < 0 ? CB_ERR : active;
    }
    case CB_SETCURSEL:
      gtk_combo_box_set_active(GTK_COMBO_BOX(combo), inRange ? index : -1);
      return inRange ? index : CB_ERR;
    case CB_GETITEMDATA:
      return inRange ? item.itemData[index] : CB_ERR;
    case CB_SETITEMDATA:
      if (!inRange) return CB_ERR;
      item.itemData[index] = lParam;
      return 1;
  }
  return 0;
}
}  // namespace

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  PortDialog* d = PortDialogOf(dialog);
  DialogItem* item = d ? PortDialogItem(d, id) : nullptr;
  if (!item) return 0;
  ++d->programChanges;
  LRESULT result = 0;
  if (item->control.kind == ComboBoxControl) {
    result = ComboMessage(*item, message, wParam, lParam);
  } else if (GTK_IS_TOGGLE_BUTTON(item->widget)) {
    if (message == BM_SETCHECK) gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(item->widget), wParam == BST_CHECKED);
    if (message == BM_GETCHECK)
      result = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(item->widget)) ? BST_CHECKED : BST_UNCHECKED;
  }
  --d->programChanges;
  return result;
}
