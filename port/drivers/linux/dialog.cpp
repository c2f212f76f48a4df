// Modal dialogs on GTK 3, built from the program's own dialog template: group
// boxes, static texts, drop-down combo boxes, check boxes and push buttons at the
// template's places. The user's actions reach the dialog procedure as the window
// messages a Windows dialog sends; what the program itself does to a control
// never comes back to it as a notification.
#include <gdk/gdkx.h>
#include <glib-unix.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "dialog_internal.h"
#include "drivers/linux/linux.h"
#include "win32/win32_internal.h"

namespace {
HWND HandleOf(PortDialog* d) { return d->handle; }

// "&Video" becomes "_Video"; "&&" is a plain ampersand and "_" stays itself.
std::string Mnemonic(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) {
      out += text[i + 1] == '&' ? "&" : "_";
      if (text[i + 1] == '&') ++i;
    } else if (text[i] == '_') {
      out += "__";
    } else {
      out += text[i];
    }
  }
  return PortUtf8(out);
}

int ToPixelsX(const PortDialog* d, int units) { return units * d->baseX / 4; }
int ToPixelsY(const PortDialog* d, int units) { return units * d->baseY / 8; }

LRESULT Send(PortDialog* d, UINT message, WPARAM wParam, LPARAM lParam) {
  return d->proc(HandleOf(d), message, wParam, lParam);
}

void Notify(PortDialog* d, int id, int code, GtkWidget* widget) {
  if (d->programChanges || d->ended) return;
  Send(d, WM_COMMAND, MAKEWPARAM(id, code), (LPARAM)widget);
}

void ComboChanged(GtkComboBox* combo, gpointer item) {
  PortDialog* d = (PortDialog*)g_object_get_data(G_OBJECT(combo), "portDialog");
  Notify(d, ((DialogItem*)item)->id, CBN_SELCHANGE, GTK_WIDGET(combo));
}

void ButtonClicked(GtkButton* button, gpointer) {
  PortDialog* d = (PortDialog*)g_object_get_data(G_OBJECT(button), "portDialog");
  Notify(d, GPOINTER_TO_INT(g_object_get_data(G_OBJECT(button), "portId")), BN_CLICKED, GTK_WIDGET(button));
}

gboolean CloseAsked(GtkWidget*, GdkEvent*, gpointer data) {
  auto* d = (PortDialog*)data;
  if (!d->ended && !Send(d, WM_CLOSE, 0, 0) && !d->ended) Send(d, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  return TRUE;
}

// An ending signal cancels the dialog, so nothing is stored half chosen.
gboolean SignalArrived(int, GIOCondition, gpointer data) {
  auto* d = (PortDialog*)data;
  d->signalWatch = 0;
  if (!d->ended) Send(d, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  return G_SOURCE_REMOVE;
}

// Enter is OK unless a push button has the focus, which Enter then presses;
// Escape is Cancel.
gboolean KeyPressed(GtkWidget* window, GdkEventKey* event, gpointer data) {
  auto* d = (PortDialog*)data;
  if (d->ended) return FALSE;
  if (event->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK)) return FALSE;
  if (event->keyval == GDK_KEY_Escape) {
    Send(d, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return TRUE;
  }
  if (event->keyval == GDK_KEY_Return || event->keyval == GDK_KEY_KP_Enter || event->keyval == GDK_KEY_ISO_Enter) {
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window));
    if (focus && GTK_IS_BUTTON(focus) && !GTK_IS_TOGGLE_BUTTON(focus)) return FALSE;
    Send(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return TRUE;
  }
  return FALSE;
}

gboolean Moved(GtkWidget*, GdkEventConfigure* event, gpointer data) {
  auto* d = (PortDialog*)data;
  d->rect = {event->x, event->y, event->x + event->width, event->y + event->height};
  return FALSE;
}

// Dialog units follow the template's font: a quarter of its average letter
// width and an eighth of its height.
void MeasureFont(PortDialog* d, const DialogTemplate& t) {
  PangoFontDescription* font = pango_font_description_from_string(t.font.c_str());
  pango_font_description_set_size(font, (t.pointSize > 0 ? t.pointSize : 8) * PANGO_SCALE);
  PangoLayout* layout =
      gtk_widget_create_pango_layout(d->window, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  pango_layout_set_font_description(layout, font);
  int width, height;
  pango_layout_get_pixel_size(layout, &width, &height);
  if (width > 0 && height > 0) {
    d->baseX = (width / 26 + 1) / 2;
    d->baseY = height;
  }
  g_object_unref(layout);
  pango_font_description_free(font);
}

// The template's font for every control, and controls as compact as a Windows
// dialog's so that they fit the places the template gives them.
void StyleDialog(GtkWidget* window, const DialogTemplate& t) {
  std::string css = "* { font-family: \"" + t.font +
                    "\", sans-serif; font-size: " + std::to_string(t.pointSize > 0 ? t.pointSize : 8) +
                    "pt; }\n"
                    "combobox button, button { min-height: 0; padding: 1px 4px; }\n"
                    "combobox box { min-height: 0; }\n";
  GtkCssProvider* provider = gtk_css_provider_new();
  gtk_css_provider_load_from_data(provider, css.c_str(), -1, nullptr);
  gtk_style_context_add_provider_for_screen(gtk_widget_get_screen(window), GTK_STYLE_PROVIDER(provider),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(provider);
}

GtkWidget* MakeWidget(PortDialog* d, DialogItem& item) {
  const DialogControl& c = item.control;
  GtkWidget* w = nullptr;
  if (c.kind == StaticControl) {
    w = gtk_label_new_with_mnemonic(Mnemonic(c.text).c_str());
    gtk_label_set_xalign(GTK_LABEL(w), 0);
    gtk_label_set_yalign(GTK_LABEL(w), 0);
  } else if (c.kind == ComboBoxControl) {
    w = gtk_combo_box_text_new();
    g_signal_connect(w, "changed", G_CALLBACK(ComboChanged), &item);
  } else if (c.kind == ButtonControl) {
    DWORD type = c.style & BS_TYPEMASK;
    if (type == BS_GROUPBOX) {
      w = gtk_frame_new(PortUtf8(c.text).c_str());
    } else {
      w = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX ? gtk_check_button_new_with_mnemonic(Mnemonic(c.text).c_str())
                                                         : gtk_button_new_with_mnemonic(Mnemonic(c.text).c_str());
      g_signal_connect(w, "clicked", G_CALLBACK(ButtonClicked), nullptr);
    }
  } else {
    w = gtk_label_new("");
  }
  g_object_set_data(G_OBJECT(w), "portDialog", d);
  g_object_set_data(G_OBJECT(w), "portId", GINT_TO_POINTER(c.id));
  // A combo box's template height includes its open list.
  gtk_widget_set_size_request(w, ToPixelsX(d, c.width), c.kind == ComboBoxControl ? -1 : ToPixelsY(d, c.height));
  gtk_widget_set_sensitive(w, !(c.style & WS_DISABLED));
  gtk_widget_set_can_focus(w, (c.style & WS_TABSTOP) != 0);
  return w;
}

void BuildControls(PortDialog* d, const DialogTemplate& t) {
  GtkWidget* fixed = gtk_fixed_new();
  gtk_container_add(GTK_CONTAINER(d->window), fixed);
  d->items.reserve(t.controls.size());
  for (const DialogControl& c : t.controls) d->items.push_back({c.id, c, nullptr, {}, {}});
  GList* focusChain = nullptr;
  for (DialogItem& item : d->items) {
    item.widget = MakeWidget(d, item);
    gtk_fixed_put(GTK_FIXED(fixed), item.widget, ToPixelsX(d, item.control.x), ToPixelsY(d, item.control.y));
    if (item.control.style & WS_VISIBLE) gtk_widget_show(item.widget);
    if (item.control.style & WS_TABSTOP) focusChain = g_list_append(focusChain, item.widget);
  }
  // A text's mnemonic moves to the next control that takes the focus.
  for (size_t i = 0; i < d->items.size(); ++i) {
    if (d->items[i].control.kind != StaticControl) continue;
    for (size_t j = i + 1; j < d->items.size(); ++j)
      if (d->items[j].control.style & WS_TABSTOP) {
        gtk_label_set_mnemonic_widget(GTK_LABEL(d->items[i].widget), d->items[j].widget);
        break;
      }
  }
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  gtk_container_set_focus_chain(GTK_CONTAINER(fixed), focusChain);
  G_GNUC_END_IGNORE_DEPRECATIONS
  g_list_free(focusChain);
  gtk_widget_show(fixed);
}

bool StartGtk() {
  static int started = -1;
  if (started >= 0) return started;
  // Quiet on a desktop without an accessibility bus or a settings service.
  setenv("NO_AT_BRIDGE", "1", 0);
  setenv("GSETTINGS_BACKEND", "memory", 0);
  // The session's own display: Wayland where there is one.
  gdk_set_allowed_backends(std::getenv("WAYLAND_DISPLAY") ? "wayland,x11" : "x11");
  started = gtk_init_check(nullptr, nullptr) ? 1 : 0;
  return started;
}

// A dialog over another program's window stays above it.
void KeepAboveOwner(PortDialog* d, HWND owner) {
  GdkDisplay* display = gtk_widget_get_display(d->window);
  // An owner's id is an X11 window's: only an X11 dialog can stay above it.
  if (!IsForeignWindow(owner) || !GDK_IS_X11_DISPLAY(display)) return;
  gdk_x11_display_error_trap_push(display);
  GdkWindow* foreign = gdk_x11_window_foreign_new_for_display(display, (Window)(uintptr_t)owner);
  if (foreign) {
    gdk_window_set_transient_for(gtk_widget_get_window(d->window), foreign);
    g_object_unref(foreign);
  }
  gdk_x11_display_error_trap_pop_ignored(display);
}

void Destroy(PortDialog* d) {
  RemoveHandle(windowHandles, (uintptr_t)d->handle);
  gtk_widget_destroy(d->window);
  portDialogs.erase(std::find(portDialogs.begin(), portDialogs.end(), d));
  delete d;
  while (gtk_events_pending()) gtk_main_iteration();
}
}  // namespace

INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND parent, DLGPROC proc, LPARAM param) {
  if (!proc) return -1;
  HRSRC resource = FindResourceA(instance, templateName, RT_DIALOG);
  DialogTemplate t;
  if (!resource || !ReadDialogTemplate((const BYTE*)LockResource(LoadResource(instance, resource)),
                                       SizeofResource(instance, resource), &t))
    return -1;
  if (!StartGtk()) return -1;

  auto* d = new PortDialog;
  d->handle = reinterpret_cast<HWND>(AddHandle(windowHandles, HandleKind::Dialog, d));
  portDialogs.push_back(d);
  d->proc = proc;
  d->window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(d->window), PortUtf8(t.caption).c_str());
  gtk_window_set_resizable(GTK_WINDOW(d->window), FALSE);
  gtk_window_set_modal(GTK_WINDOW(d->window), TRUE);
  gtk_window_set_type_hint(GTK_WINDOW(d->window), GDK_WINDOW_TYPE_HINT_DIALOG);
  StyleDialog(d->window, t);
  MeasureFont(d, t);
  BuildControls(d, t);

  // The template's place is counted from the owner's corner, or the screen's.
  RECT owner{};
  if (!parent || !GetWindowRect(parent, &owner)) owner = {};
  int x = owner.left + ToPixelsX(d, t.x), y = owner.top + ToPixelsY(d, t.y);
  int width = ToPixelsX(d, t.width), height = ToPixelsY(d, t.height);
  gtk_window_set_default_size(GTK_WINDOW(d->window), width, height);
  gtk_widget_set_size_request(d->window, width, height);
  gtk_window_move(GTK_WINDOW(d->window), x, y);
  d->rect = {x, y, x + width, y + height};
  g_signal_connect(d->window, "delete-event", G_CALLBACK(CloseAsked), d);
  g_signal_connect(d->window, "key-press-event", G_CALLBACK(KeyPressed), d);
  g_signal_connect(d->window, "configure-event", G_CALLBACK(Moved), d);
  gtk_widget_realize(d->window);
  // A caption with a close box and a frame that does not resize, as a modal frame has.
  gdk_window_set_decorations(gtk_widget_get_window(d->window),
                             (GdkWMDecoration)(GDK_DECOR_BORDER | GDK_DECOR_TITLE | GDK_DECOR_MENU));
  gdk_window_set_functions(gtk_widget_get_window(d->window), (GdkWMFunction)(GDK_FUNC_MOVE | GDK_FUNC_CLOSE));
  KeepAboveOwner(d, parent);

  if (Send(d, WM_INITDIALOG, 0, param) && !d->ended) {
    for (DialogItem& item : d->items)
      if ((item.control.style & WS_TABSTOP) && gtk_widget_get_visible(item.widget) &&
          gtk_widget_get_sensitive(item.widget)) {
        gtk_widget_grab_focus(item.widget);
        break;
      }
  }
  if (!d->ended) gtk_widget_show(d->window);
  if (PortEndingSignalFd() >= 0) d->signalWatch = g_unix_fd_add(PortEndingSignalFd(), G_IO_IN, SignalArrived, d);
  while (!d->ended) gtk_main_iteration();
  if (d->signalWatch) g_source_remove(d->signalWatch);
  gtk_widget_hide(d->window);
  Send(d, WM_DESTROY, 0, 0);
  INT_PTR result = d->result;
  Destroy(d);
  return result;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
  PortDialog* d = PortDialogOf(dialog);
  if (!d) return FALSE;
  d->ended = true;
  d->result = result;
  return TRUE;
}
