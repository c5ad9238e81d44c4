// The settings dialog in GTK 3. As on Windows, the record is the dialog's
// only state: every command changes it first (the shared dialog logic) and
// then shows it again in every control. The path box is the one control
// whose text flows back, and it does so before every refresh, so that what
// was typed is never lost to a click.
#include "settings/dialog_gtk.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "settings/dialog_model.h"

extern const uint8_t IconPng[];
extern const size_t IconPngSize;

namespace {

// The dialog's words on Linux; the Windows dialog keeps its own template.
const char kTitle[] = "Quarlo's Cube Settings";
const char kCredits[] = "A cube that scrambles and solves itself.\nWritten by the Quarlo's Cube team.";
enum { kPreviewWidth = 320, kPreviewHeight = 240, kTickMilliseconds = 50, kTypingPause = 400 };

const ConfigDialogPreview* Preview = nullptr;

}  // namespace

struct ConfigDialog {
  GtkWidget* window = nullptr;
  GtkWidget* ok = nullptr;
  GtkWidget* cancel = nullptr;
  GtkWidget* surface = nullptr;
  GtkWidget* path = nullptr;
  GtkWidget* choose = nullptr;
  GtkWidget* explode = nullptr;
  GtkWidget* sizes[3] = {};  // Large, Medium, Small
  GtkWidget* problem = nullptr;  // why the picture can't be shown
  GtkWidget* picture = nullptr;  // the live preview, when there is one
  GMainLoop* loop = nullptr;
  // The path box shows the path's display form (a file name need not be
  // UTF-8); what it shows is kept to tell an edit from the stored bytes.
  gchar* shown_path = nullptr;
  const ConfigDialogPreview* preview = nullptr;
  uint8_t* frame = nullptr;  // the preview's pixels
  GdkPixbuf* frame_pixbuf = nullptr;
  guint tick_source = 0, typing_source = 0;
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

// The path box into the record: nothing when it shows what the record
// holds, else the typed text in the file system's encoding, at most 258
// bytes and not cut inside a character.
void TakeTypedPath(ConfigDialog* d) {
  const char* typed = gtk_entry_get_text(GTK_ENTRY(d->path));
  if (d->shown_path && std::strcmp(typed, d->shown_path) == 0) return;
  char cut[kTypedPathChars + 1];
  size_t length = std::strlen(typed);
  if (length > kTypedPathChars) {
    length = kTypedPathChars;
    while (length > 0 && (static_cast<unsigned char>(typed[length]) & 0xC0) == 0x80) --length;
  }
  std::memcpy(cut, typed, length);
  cut[length] = '\0';
  gchar* bytes = g_filename_from_utf8(cut, -1, nullptr, nullptr, nullptr);
  std::snprintf(SaverSettings.Texture, sizeof SaverSettings.Texture, "%s",
                bytes && std::strlen(bytes) <= kTypedPathChars ? bytes : cut);
  g_free(bytes);
  g_free(d->shown_path);
  d->shown_path = g_strdup(typed);
}

void ShowProblem(ConfigDialog* d) {
  const char* why = d->preview ? d->preview->picture_problem() : nullptr;
  gtk_label_set_text(GTK_LABEL(d->problem), why ? why : "");
  gtk_widget_set_visible(d->problem, why != nullptr);
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

// The preview follows the record, and the problem under it the preview.
void PreviewChanged(ConfigDialog* d, bool picture) {
  if (d->preview) d->preview->settings_changed(picture);
  ShowProblem(d);
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

void Command(ConfigDialog* d, int32_t control) {
  if (d->refreshing || d->result >= 0) return;
  const ConfigDialogAction action = ApplyConfigCommand(&SaverSettings, control);
  if (action != CONFIG_CANCEL && action != CONFIG_NOTHING) TakeTypedPath(d);
  switch (action) {
    case CONFIG_ACCEPT: {
      char typed[sizeof SaverSettings.Texture];
      std::memcpy(typed, SaverSettings.Texture, sizeof typed);
      SaveSettings(typed);
      d->result = 1;
      g_main_loop_quit(d->loop);
      break;
    }
    case CONFIG_CANCEL:
      d->result = 0;
      g_main_loop_quit(d->loop);
      break;
    case CONFIG_CHOOSE_FILE:
      ChooseTextureFile(d);
      Refresh(d);
      PreviewChanged(d, true);
      break;
    case CONFIG_REFRESH:
      Refresh(d);
      PreviewChanged(d, control == kSurfaceCheck);
      break;
    case CONFIG_NOTHING:
      break;
  }
}

void Clicked(GtkWidget* widget, gpointer dialog) {
  Command(static_cast<ConfigDialog*>(dialog),
          GPOINTER_TO_INT(g_object_get_data(G_OBJECT(widget), "control")));
}

// A path being typed is shown on the preview once the typing pauses.
gboolean TypingPaused(gpointer dialog) {
  auto* d = static_cast<ConfigDialog*>(dialog);
  d->typing_source = 0;
  TakeTypedPath(d);
  PreviewChanged(d, true);
  return G_SOURCE_REMOVE;
}
void PathEdited(GtkEditable*, gpointer dialog) {
  auto* d = static_cast<ConfigDialog*>(dialog);
  if (d->refreshing || !d->preview) return;
  if (d->typing_source) g_source_remove(d->typing_source);
  d->typing_source = g_timeout_add(kTypingPause, TypingPaused, d);
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

gboolean PreviewTick(gpointer dialog) {
  auto* d = static_cast<ConfigDialog*>(dialog);
  if (d->preview->tick(d->frame)) gtk_widget_queue_draw(d->picture);
  return G_SOURCE_CONTINUE;
}
gboolean DrawPreview(GtkWidget*, cairo_t* cr, gpointer dialog) {
  gdk_cairo_set_source_pixbuf(cr, static_cast<ConfigDialog*>(dialog)->frame_pixbuf, 0, 0);
  cairo_paint(cr);
  return TRUE;
}

GtkWidget* Control(ConfigDialog* d, GtkWidget* widget, int32_t control) {
  g_object_set_data(G_OBJECT(widget), "control", GINT_TO_POINTER(control));
  g_signal_connect(widget, "clicked", G_CALLBACK(Clicked), d);
  return widget;
}

GtkWidget* Label(const char* text, bool heading = false) {
  GtkWidget* label = gtk_label_new(nullptr);
  if (heading) {
    gchar* markup = g_markup_printf_escaped("<b>%s</b>", text);
    gtk_label_set_markup(GTK_LABEL(label), markup);
    g_free(markup);
  } else {
    gtk_label_set_text_with_mnemonic(GTK_LABEL(label), text);
  }
  gtk_widget_set_halign(label, GTK_ALIGN_START);
  return label;
}

// The preview where one can be drawn, with the credits under it.
GtkWidget* BuildPreview(ConfigDialog* d) {
  GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
  if (d->preview && d->preview->start(kPreviewWidth, kPreviewHeight)) {
    d->frame = static_cast<uint8_t*>(g_malloc0(kPreviewWidth * kPreviewHeight * 4));
    d->frame_pixbuf = gdk_pixbuf_new_from_data(d->frame, GDK_COLORSPACE_RGB, TRUE, 8, kPreviewWidth,
                                               kPreviewHeight, kPreviewWidth * 4, nullptr, nullptr);
    d->picture = gtk_drawing_area_new();
    gtk_widget_set_size_request(d->picture, kPreviewWidth, kPreviewHeight);
    gtk_widget_set_valign(d->picture, GTK_ALIGN_START);
    g_signal_connect(d->picture, "draw", G_CALLBACK(DrawPreview), d);
    gtk_box_pack_start(GTK_BOX(column), d->picture, FALSE, FALSE, 0);
    d->tick_source = g_timeout_add(kTickMilliseconds, PreviewTick, d);
  } else {
    d->preview = nullptr;
  }
  GtkWidget* credits = Label(kCredits);
  gtk_style_context_add_class(gtk_widget_get_style_context(credits), "dim-label");
  gtk_box_pack_start(GTK_BOX(column), credits, FALSE, FALSE, 0);
  return column;
}

// The settings: the cube's, then the front face's, under plain bold
// headings, every control with its mnemonic.
GtkWidget* BuildSettings(ConfigDialog* d) {
  GtkWidget* grid = gtk_grid_new();
  gtk_grid_set_row_spacing(GTK_GRID(grid), 6);
  gtk_grid_set_column_spacing(GTK_GRID(grid), 12);
  gtk_grid_attach(GTK_GRID(grid), Label("Cube", true), 0, 0, 2, 1);
  d->explode = Control(d, gtk_check_button_new_with_mnemonic("_Explode cube"), kExplodeCheck);
  gtk_grid_attach(GTK_GRID(grid), d->explode, 0, 1, 2, 1);
  gtk_grid_attach(GTK_GRID(grid), Label("Size"), 0, 2, 1, 1);
  GtkWidget* sizes = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 12);
  const char* size_names[3] = {"_Large", "_Medium", "_Small"};
  for (int k = 0; k < 3; ++k) {
    GtkWidget* radio = gtk_radio_button_new_with_mnemonic_from_widget(
        k ? GTK_RADIO_BUTTON(d->sizes[0]) : nullptr, size_names[k]);
    d->sizes[k] = Control(d, radio, kLargeButton + k);
    gtk_box_pack_start(GTK_BOX(sizes), radio, FALSE, FALSE, 0);
  }
  gtk_grid_attach(GTK_GRID(grid), sizes, 1, 2, 1, 1);

  GtkWidget* face = Label("Front face", true);
  gtk_widget_set_margin_top(face, 12);
  gtk_grid_attach(GTK_GRID(grid), face, 0, 3, 2, 1);
  d->surface = Control(d, gtk_check_button_new_with_mnemonic("Show a _picture"), kSurfaceCheck);
  gtk_grid_attach(GTK_GRID(grid), d->surface, 0, 4, 2, 1);
  GtkWidget* file_label = Label("_File");
  gtk_grid_attach(GTK_GRID(grid), file_label, 0, 5, 1, 1);
  // The path and the chooser's button side by side, linked as one control.
  GtkWidget* file = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
  gtk_style_context_add_class(gtk_widget_get_style_context(file), "linked");
  d->path = gtk_entry_new();
  g_object_set_data(G_OBJECT(d->path), "control", GINT_TO_POINTER(kPathEdit));
  gtk_entry_set_width_chars(GTK_ENTRY(d->path), 28);
  gtk_entry_set_placeholder_text(GTK_ENTRY(d->path), "No picture chosen");
  gtk_entry_set_activates_default(GTK_ENTRY(d->path), TRUE);
  gtk_label_set_mnemonic_widget(GTK_LABEL(file_label), d->path);
  g_signal_connect(d->path, "changed", G_CALLBACK(PathEdited), d);
  d->choose = Control(d, gtk_button_new_with_mnemonic("_Choose…"), kChooseBitmapButton);
  gtk_widget_set_tooltip_text(d->choose, "Choose a picture: BMP, PNG or JPEG");
  gtk_widget_set_hexpand(d->path, TRUE);
  gtk_box_pack_start(GTK_BOX(file), d->path, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(file), d->choose, FALSE, FALSE, 0);
  gtk_grid_attach(GTK_GRID(grid), file, 1, 5, 1, 1);
  d->problem = Label("");
  gtk_label_set_line_wrap(GTK_LABEL(d->problem), TRUE);
  gtk_label_set_max_width_chars(GTK_LABEL(d->problem), 36);
  gtk_label_set_xalign(GTK_LABEL(d->problem), 0);
  gtk_style_context_add_class(gtk_widget_get_style_context(d->problem), "dim-label");
  gtk_grid_attach(GTK_GRID(grid), d->problem, 1, 6, 1, 1);
  return grid;
}

// Cancel and OK at the bottom right, OK the default.
GtkWidget* BuildActions(ConfigDialog* d) {
  GtkWidget* actions = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
  gtk_widget_set_halign(actions, GTK_ALIGN_END);
  d->cancel = Control(d, gtk_button_new_with_mnemonic("_Cancel"), kCancelButton);
  d->ok = Control(d, gtk_button_new_with_mnemonic("_OK"), kOkButton);
  gtk_style_context_add_class(gtk_widget_get_style_context(d->ok), "suggested-action");
  gtk_box_pack_start(GTK_BOX(actions), d->cancel, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(actions), d->ok, FALSE, FALSE, 0);
  return actions;
}

void Build(ConfigDialog* d) {
  d->window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(d->window), kTitle);
  gtk_window_set_resizable(GTK_WINDOW(d->window), FALSE);
  gtk_window_set_position(GTK_WINDOW(d->window), GTK_WIN_POS_CENTER);
  gtk_container_set_border_width(GTK_CONTAINER(d->window), 18);
  if (GdkPixbuf* icon = Icon()) {
    gtk_window_set_icon(GTK_WINDOW(d->window), icon);
    g_object_unref(icon);
  }
  GtkWidget* body = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 18);
  gtk_box_pack_start(GTK_BOX(body), BuildPreview(d), FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(body), BuildSettings(d), TRUE, TRUE, 0);
  GtkWidget* page = gtk_box_new(GTK_ORIENTATION_VERTICAL, 18);
  gtk_box_pack_start(GTK_BOX(page), body, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(page), BuildActions(d), FALSE, FALSE, 0);
  gtk_container_add(GTK_CONTAINER(d->window), page);

  gtk_widget_set_can_default(d->ok, TRUE);
  gtk_window_set_default(GTK_WINDOW(d->window), d->ok);
  gtk_widget_grab_focus(d->ok);
  g_signal_connect(d->window, "delete-event", G_CALLBACK(CloseAsCancel), d);
  g_signal_connect(d->window, "key-press-event", G_CALLBACK(KeyPressed), d);
}

}  // namespace

void SetConfigDialogPreview(const ConfigDialogPreview* preview) { Preview = preview; }

ConfigDialog* OpenConfigDialog() {
  auto* d = new ConfigDialog;
  d->loop = g_main_loop_new(nullptr, FALSE);
  d->preview = Preview;
  LoadSettings();
  Build(d);
  gtk_widget_show_all(d->window);
  Refresh(d);
  PreviewChanged(d, true);
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

int32_t ConfigDialogResult(ConfigDialog* d) { return d->result; }

void RunConfigDialogLoop(ConfigDialog* d) {
  if (d->result < 0) g_main_loop_run(d->loop);
}

void CloseConfigDialog(ConfigDialog* d) {
  if (d->tick_source) g_source_remove(d->tick_source);
  if (d->typing_source) g_source_remove(d->typing_source);
  if (d->preview) d->preview->stop();
  gtk_widget_destroy(d->window);
  if (d->frame_pixbuf) g_object_unref(d->frame_pixbuf);
  g_free(d->frame);
  g_main_loop_unref(d->loop);
  g_free(d->shown_path);
  delete d;
}

int32_t RunConfigDialog(const char* display) {
  g_set_prgname("quarlo-settings");  // the menu entry's StartupWMClass
  gdk_set_program_class("quarlo-settings");
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
