// The GTK settings dialog, in process on a real display, played through the
// shared scenarios with clicks, typing and the real file chooser.
#include "settings/dialog_gtk.h"

#include <gtest/gtest.h>

#include <string>

#include "bmp_builder.h"
#include "dialog_scenarios.h"
#include "settings/dialog_model.h"
#include "settings_fixture.h"

namespace {

std::string chosen;  // what the chooser is to answer
int tries = 0;

// The chooser runs its own loop: a timer answers it from inside, once it
// has taken in the file (which it does in its own time), or gives up.
gboolean AnswerChooser(gpointer) {
  GtkFileChooser* chooser = nullptr;
  GList* windows = gtk_window_list_toplevels();
  for (GList* w = windows; w; w = w->next) {
    if (GTK_IS_FILE_CHOOSER_DIALOG(w->data)) chooser = GTK_FILE_CHOOSER(w->data);
  }
  g_list_free(windows);
  if (!chooser) return ++tries < 100;
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(chooser)), kChooseTextureTitle);
  GSList* filters = gtk_file_chooser_list_filters(chooser);
  EXPECT_EQ(g_slist_length(filters), 1u);
  for (GSList* f = filters; f; f = f->next) {  // the pictures, by their names in any case
    EXPECT_STREQ(gtk_file_filter_get_name(GTK_FILE_FILTER(f->data)), "Pictures");
    for (const char* file : {"a.bmp", "b.PNG", "c.Jpg", "d.jpeG", "e.gif", "f.bmp.txt"}) {
      GtkFileFilterInfo info = {GTK_FILE_FILTER_DISPLAY_NAME, nullptr, nullptr, file, nullptr};
      EXPECT_EQ(gtk_file_filter_filter(GTK_FILE_FILTER(f->data), &info) != 0, file[0] < 'e') << file;
    }
  }
  g_slist_free(filters);
  g_autofree gchar* name = gtk_file_chooser_get_filename(chooser);
  const bool ready = name && chosen == name;
  if (ready || ++tries >= 100) {
    gtk_dialog_response(GTK_DIALOG(chooser), ready ? GTK_RESPONSE_ACCEPT : GTK_RESPONSE_CANCEL);
    return G_SOURCE_REMOVE;
  }
  gtk_file_chooser_set_filename(chooser, chosen.c_str());
  return G_SOURCE_CONTINUE;
}

void Play(ConfigDialog* dialog, const DialogStep& step) {
  const auto control = [dialog](int32_t id) { return ConfigDialogControl(dialog, id); };
  const auto active = [&](int32_t id) { return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(control(id))) != 0; };
  switch (step.kind) {
    case DialogStep::kClick:
      gtk_button_clicked(GTK_BUTTON(control(step.control)));
      break;
    case DialogStep::kType:
      gtk_entry_set_text(GTK_ENTRY(control(kPathEdit)), step.text.c_str());
      break;
    case DialogStep::kChoose:
      chosen = step.text;
      tries = 0;
      g_timeout_add(100, AnswerChooser, nullptr);
      gtk_button_clicked(GTK_BUTTON(control(kChooseBitmapButton)));
      break;
    case DialogStep::kLook:
      EXPECT_EQ(active(kSurfaceCheck), step.view.surface);
      EXPECT_EQ(active(kExplodeCheck), step.view.explode);
      for (int id : {kPathEdit, kChooseBitmapButton}) EXPECT_EQ(gtk_widget_get_sensitive(control(id)) != 0, step.view.bitmap_controls_enabled);
      for (int id = kLargeButton; id <= kSmallButton; ++id) EXPECT_EQ(active(id), id == step.view.size_button) << id;
      EXPECT_EQ(gtk_entry_get_text(GTK_ENTRY(control(kPathEdit))), step.view.path);
      break;
  }
}

// The shared scenarios; then, as a file name need not be UTF-8, the box
// shows its display form, and its bytes are stored as they are unless the
// box was edited.
TEST(GtkDialogTest, TheScenarios) {
  ASSERT_TRUE(gtk_init_check(nullptr, nullptr));
  const auto black = BuildPicture(3, 3, [](int, int) { return 0u; });
  auto scenarios = DialogScenarios(WriteTempFile("chosen picture.bmp", black));
  const std::string stored = "/tmp/Men\xfc.bmp", typed = "/tmp/Men\xc3\xbc.bmp";
  const std::string latin1_file = WriteTempFile("Bild\xe4.bmp", black);
  const auto look = [](const std::string& path) {
    g_autofree gchar* shown = g_filename_display_name(path.c_str());
    return DialogStep{DialogStep::kLook, 0, "", {true, false, true, kSmallButton, shown}};
  };
  scenarios.insert(scenarios.end(), {
      {"a stored Latin-1 path, OK with nothing changed", true, 1, 70, stored, {look(stored)},
       kOkButton, 1, 1, 0, 70, stored},
      {"a Latin-1 file chosen", true, 1, 70, "", {{DialogStep::kChoose, 0, latin1_file, {}}, look(latin1_file)},
       kOkButton, 1, 1, 0, 70, latin1_file},
      {"a path typed over it", true, 1, 70, stored, {{DialogStep::kType, 0, typed, {}}}, kOkButton,
       1, 1, 0, 70, typed}});
  for (const DialogScenario& scenario : scenarios) {
    SCOPED_TRACE(scenario.what);
    PlantScenario(scenario);
    ConfigDialog* dialog = OpenConfigDialog();
    for (const DialogStep& step : scenario.steps) Play(dialog, step);
    Play(dialog, {DialogStep::kClick, scenario.end_button, "", {}});
    EXPECT_EQ(ConfigDialogResult(dialog), scenario.result);
    CloseConfigDialog(dialog);
    CheckStoredAfter(scenario);
  }
  ClearStoredSettings();
}

}  // namespace
