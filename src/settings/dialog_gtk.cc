// The settings dialog in GTK 3. As on Windows, the record is the dialog's
// only state: every command changes it first (the shared dialog logic) and
// then shows it again in every control, the path box included.
#include "settings/dialog_gtk.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "settings/dialog_model.h"
#include "settings/dialog_texts.h"

extern const uint8_t IconPng[];
extern const size_t IconPngSize;

struct ConfigDialog {
  GtkWidget* window = nullptr;
  GtkWidget* ok = nullptr;
  GtkWidget* cancel = nullptr;
  GtkWidget* surface = nullptr;
  GtkWidget* path = nullptr;
  GtkWidget* choose = nullptr;
  GtkWidget* explode = nullptr;
  GtkWidget* sizes[3] = {};  // Large, Medium, Small
  GMainLoop* loop = nullptr;
  // The path box shows the path's display form (a file name need not be
  // UTF-8); what it shows is kept to tell an edit from the stored bytes.
  gchar* shown_path = nullptr;
  int32_t result = -1;
  bool refreshing = false;  // setting a mark emits the same signal as a click
};

namespace {

GdkPixbuf* Icon() {
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
  GdkPixbuf* icon = nullptr;
  if (gdk_pixbuf_loader_write(loader, IconPng, IconPngSize, nullptr) &&
      gdk_pixbuf_loader_close(loader, nullptr)) {
    icon = gdk_pixbuf_loader_get_pixbuf(loader);
    if (icon) g_object_ref(icon);
  }
  g_object_unref(loader);
  return icon;
}

void Refresh(ConfigDialog* d) {
  const ConfigDialogView view = ConfigDialogViewOf(SaverSettings);
  d->refreshing = true;
  g_free(d->shown_path);
  d->shown_path = g_filename_display_name(view.path);
  gtk_entry_set_text(GTK_ENTRY(d->path), d->shown_path);
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(d->surface), view.surface_checked);
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(d->explode), view.explode_checked);
  gtk_widget_set_sensitive(d->choose, view.bitmap_controls_enabled);
  gtk_widget_set_sensitive(d->path, view.bitmap_controls_enabled);
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(d->sizes[view.size_button - kLargeButton]), TRUE);
  d->refreshing = false;
}

// The pictures' patterns, each in any case ("*.png" as "*.[pP][nN][gG]").
GtkFileFilter* PictureFilter() {
  GtkFileFilter* filter = gtk_file_filter_new();
  gtk_file_filter_set_name(filter, kPictureFilterName);
  std::string pattern;
  for (const char* c = kPictureFilterPatterns;; ++c) {
    if (*c == ';' || *c == '\0') {
      gtk_file_filter_add_pattern(filter, pattern.c_str());
      pattern.clear();
      if (*c == '\0') return filter;
    } else if (g_ascii_isalpha(*c)) {
      pattern += {'[', g_ascii_tolower(*c), g_ascii_toupper(*c), ']'};
    } else {
      pattern += *c;
    }
  }
}

void ChooseTextureFile(ConfigDialog* d) {
  GtkWidget* chooser = gtk_file_chooser_dialog_new(
      kChooseTextureTitle, GTK_WINDOW(d->window), GTK_FILE_CHOOSER_ACTION_OPEN, "_Cancel",
      GTK_RESPONSE_CANCEL, "_Open", GTK_RESPONSE_ACCEPT, nullptr);
  gtk_file_chooser_add_filter(GTK_FILE_CHOOSER(chooser), PictureFilter());
  if (SaverSettings.Texture[0]) {
    gtk_file_chooser_set_filename(GTK_FILE_CHOOSER(chooser), SaverSettings.Texture);
  }
  if (gtk_dialog_run(GTK_DIALOG(chooser)) == GTK_RESPONSE_ACCEPT) {
    gchar* chosen = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(chooser));
    // A path too long for the field is left out, as a chooser that failed.
    if (chosen && std::strlen(chosen) < sizeof SaverSettings.Texture) {
      std::strcpy(SaverSettings.Texture, chosen);
    }
    g_free(chosen);
  }
  gtk_widget_destroy(chooser);
}

// The path as saved: the stored bytes when the box was not edited, else
// the typed text in the file system's encoding, at most 258 bytes and not
// cut inside a character.
void SaveTypedPath(ConfigDialog* d) {
  const char* typed = gtk_entry_get_text(GTK_ENTRY(d->path));
  if (d->shown_path && std::strcmp(typed, d->shown_path) == 0) {
    char stored[sizeof SaverSettings.Texture];
    std::memcpy(stored, SaverSettings.Texture, sizeof stored);
    SaveSettings(stored);
    return;
  }
  char cut[kTypedPathChars + 1];
  size_t length = std::strlen(typed);
  if (length > kTypedPathChars) {
    length = kTypedPathChars;
    while (length > 0 && (static_cast<unsigned char>(typed[length]) & 0xC0) == 0x80) --length;
  }
  std::memcpy(cut, typed, length);
  cut[length] = '\0';
  gchar* bytes = g_filename_from_utf8(cut, -1, nullptr, nullptr, nullptr);
  SaveSettings(bytes && std::strlen(bytes) <= kTypedPathChars ? bytes : cut);
  g_free(bytes);
}

void Command(ConfigDialog* d, int32_t control) {
  if (d->refreshing || d->result >= 0) return;
  switch (ApplyConfigCommand(&SaverSettings, control)) {
    case CONFIG_ACCEPT:
      SaveTypedPath(d);
      d->result = 1;
      g_main_loop_quit(d->loop);
      break;
    case CONFIG_CANCEL:
      d->result = 0;
      g_main_loop_quit(d->loop);
      break;
    case CONFIG_CHOOSE_FILE:
      ChooseTextureFile(d);
      Refresh(d);
      break;
    case CONFIG_REFRESH:
      Refresh(d);
      break;
    case CONFIG_NOTHING:
      break;
  }
}

void Clicked(GtkWidget* widget, gpointer dialog) {
  Command(static_cast<ConfigDialog*>(dialog),
          GPOINTER_TO_INT(g_object_get_data(G_OBJECT(widget), "control")));
}

// Closing the window, or Escape, is Cancel, as on Windows.
gboolean CloseAsCancel(GtkWidget*, GdkEvent*, gpointer dialog) {
  Command(static_cast<ConfigDialog*>(dialog), kCancelButton);
  return TRUE;
}
gboolean KeyPressed(GtkWidget*, GdkEventKey* key, gpointer dialog) {
  if (key->keyval != GDK_KEY_Escape) return FALSE;
  Command(static_cast<ConfigDialog*>(dialog), kCancelButton);
  return TRUE;
}

GtkWidget* Control(ConfigDialog* d, GtkWidget* widget, int32_t control) {
  g_object_set_data(G_OBJECT(widget), "control", GINT_TO_POINTER(control));
  g_signal_connect(widget, "clicked", G_CALLBACK(Clicked), d);
  return widget;
}

GtkWidget* Group(const char* title, GtkWidget* inside) {
  GtkWidget* frame = gtk_frame_new(title);
  gtk_container_set_border_width(GTK_CONTAINER(inside), 6);
  gtk_container_add(GTK_CONTAINER(frame), inside);
  return frame;
}

GtkWidget* LeftLabel(const char* text) {
  GtkWidget* label = gtk_label_new(text);
  gtk_widget_set_halign(label, GTK_ALIGN_START);
  return label;
}

// The Windows dialog's layout: icon and credits at the top left, OK and
// Cancel at the top right, "Explode cube" and the sizes on the left, the
// picture's controls in their group on the right.
void Build(ConfigDialog* d) {
  d->window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(d->window), QUARLO_DIALOG_CAPTION);
  gtk_window_set_resizable(GTK_WINDOW(d->window), FALSE);
  gtk_window_set_position(GTK_WINDOW(d->window), GTK_WIN_POS_CENTER);
  gtk_container_set_border_width(GTK_CONTAINER(d->window), 10);
  GtkWidget* grid = gtk_grid_new();
  gtk_grid_set_row_spacing(GTK_GRID(grid), 6);
  gtk_grid_set_column_spacing(GTK_GRID(grid), 12);
  gtk_container_add(GTK_CONTAINER(d->window), grid);

  GdkPixbuf* icon = Icon();
  GtkWidget* picture = icon ? gtk_image_new_from_pixbuf(icon) : gtk_image_new();
  gtk_widget_set_halign(picture, GTK_ALIGN_START);
  if (icon) {
    gtk_window_set_icon(GTK_WINDOW(d->window), icon);
    g_object_unref(icon);
  }
  GtkWidget* top = gtk_box_new(GTK_ORIENTATION_VERTICAL, 2);
  gtk_box_pack_start(GTK_BOX(top), picture, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(top), LeftLabel(QUARLO_CREDIT_LINE_1), FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(top), LeftLabel(QUARLO_CREDIT_LINE_2), FALSE, FALSE, 0);
  gtk_grid_attach(GTK_GRID(grid), top, 0, 0, 1, 1);

  GtkWidget* buttons = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
  d->ok = Control(d, gtk_button_new_with_label(QUARLO_OK_TEXT), kOkButton);
  d->cancel = Control(d, gtk_button_new_with_label(QUARLO_CANCEL_TEXT), kCancelButton);
  gtk_box_pack_start(GTK_BOX(buttons), d->ok, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(buttons), d->cancel, FALSE, FALSE, 0);
  gtk_widget_set_valign(buttons, GTK_ALIGN_START);
  gtk_widget_set_halign(buttons, GTK_ALIGN_END);
  gtk_widget_set_size_request(buttons, 110, -1);
  gtk_grid_attach(GTK_GRID(grid), buttons, 1, 0, 1, 1);

  GtkWidget* left = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
  d->explode = Control(d, gtk_check_button_new_with_label(QUARLO_EXPLODE_TEXT), kExplodeCheck);
  gtk_box_pack_start(GTK_BOX(left), d->explode, FALSE, FALSE, 0);
  GtkWidget* sizes = gtk_box_new(GTK_ORIENTATION_VERTICAL, 2);
  const char* size_names[3] = {QUARLO_LARGE_TEXT, QUARLO_MEDIUM_TEXT, QUARLO_SMALL_TEXT};
  for (int k = 0; k < 3; ++k) {
    GtkWidget* radio = gtk_radio_button_new_with_label_from_widget(
        k ? GTK_RADIO_BUTTON(d->sizes[0]) : nullptr, size_names[k]);
    d->sizes[k] = Control(d, radio, kLargeButton + k);
    gtk_box_pack_start(GTK_BOX(sizes), radio, FALSE, FALSE, 0);
  }
  gtk_box_pack_start(GTK_BOX(left), Group(QUARLO_SIZE_GROUP, sizes), FALSE, FALSE, 0);
  gtk_grid_attach(GTK_GRID(grid), left, 0, 1, 1, 1);

  GtkWidget* texture = gtk_box_new(GTK_ORIENTATION_VERTICAL, 4);
  d->surface = Control(d, gtk_check_button_new_with_label(QUARLO_SURFACE_TEXT), kSurfaceCheck);
  d->path = gtk_entry_new();
  g_object_set_data(G_OBJECT(d->path), "control", GINT_TO_POINTER(kPathEdit));
  gtk_entry_set_width_chars(GTK_ENTRY(d->path), 32);
  gtk_entry_set_activates_default(GTK_ENTRY(d->path), TRUE);
  d->choose = Control(d, gtk_button_new_with_label(QUARLO_CHOOSE_TEXT), kChooseBitmapButton);
  gtk_widget_set_halign(d->choose, GTK_ALIGN_START);
  gtk_box_pack_start(GTK_BOX(texture), d->surface, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(texture), LeftLabel(QUARLO_PATH_LABEL), FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(texture), d->path, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(texture), d->choose, FALSE, FALSE, 0);
  gtk_grid_attach(GTK_GRID(grid), Group(QUARLO_TEXTURE_GROUP, texture), 1, 1, 1, 1);

  gtk_widget_set_can_default(d->ok, TRUE);
  gtk_window_set_default(GTK_WINDOW(d->window), d->ok);
  gtk_widget_grab_focus(d->ok);
  g_signal_connect(d->window, "delete-event", G_CALLBACK(CloseAsCancel), d);
  g_signal_connect(d->window, "key-press-event", G_CALLBACK(KeyPressed), d);
}

}  // namespace

ConfigDialog* OpenConfigDialog() {
  auto* d = new ConfigDialog;
  d->loop = g_main_loop_new(nullptr, FALSE);
  LoadSettings();
  Build(d);
  Refresh(d);
  gtk_widget_show_all(d->window);
  return d;
}

GtkWidget* ConfigDialogControl(ConfigDialog* d, int32_t control) {
  GtkWidget* const controls[] = {d->ok, d->cancel, d->path, d->choose, d->surface, d->explode,
                                 d->sizes[0], d->sizes[1], d->sizes[2]};
  for (GtkWidget* widget : controls) {
    if (GPOINTER_TO_INT(g_object_get_data(G_OBJECT(widget), "control")) == control) return widget;
  }
  return nullptr;
}

GtkWidget* ConfigDialogWindow(ConfigDialog* d) { return d->window; }
int32_t ConfigDialogResult(ConfigDialog* d) { return d->result; }

void RunConfigDialogLoop(ConfigDialog* d) {
  if (d->result < 0) g_main_loop_run(d->loop);
}

void CloseConfigDialog(ConfigDialog* d) {
  gtk_widget_destroy(d->window);
  g_main_loop_unref(d->loop);
  g_free(d->shown_path);
  delete d;
}

int32_t RunConfigDialog(const char* display) {
  if (display) {  // an X display by name, whatever session this is
    g_setenv("DISPLAY", display, TRUE);
    gdk_set_allowed_backends("x11");
  }
  if (!gtk_init_check(nullptr, nullptr)) {
    std::fprintf(stderr, "quarlo: cannot open the display for the settings dialog\n");
    return -1;
  }
  ConfigDialog* dialog = OpenConfigDialog();
  RunConfigDialogLoop(dialog);
  const int32_t result = ConfigDialogResult(dialog);
  CloseConfigDialog(dialog);
  return result;
}
