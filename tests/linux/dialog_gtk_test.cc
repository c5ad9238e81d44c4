// The GTK settings dialog, in process on a real display: clicks, typing and
// the real file chooser; what it shows and what reaches the settings file.
#include "settings/dialog_gtk.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bmp_builder.h"
#include "settings/dialog_model.h"
#include "settings/settings.h"
#include "settings/store_file.h"
#include "settings_fixture.h"

namespace {

struct Shown {
  bool surface, explode, enabled;
  int size;
  std::string path;
};

class GtkDialogTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(gtk_init_check(nullptr, nullptr)); }
  void SetUp() override {
    ClearStoredSettings();
    SaverSettings = SaverSettingsRecord{0, 0, kDefaultDisplacement, ""};
  }
  void TearDown() override { ClearStoredSettings(); }

  void Open() { dialog_ = OpenConfigDialog(); }
  void Click(int control) { gtk_button_clicked(GTK_BUTTON(ConfigDialogControl(dialog_, control))); }
  void Type(const std::string& text) {
    gtk_entry_set_text(GTK_ENTRY(ConfigDialogControl(dialog_, kPathEdit)), text.c_str());
  }
  void Expect(const Shown& want, const char* when) {
    const auto active = [&](int c) {
      return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(ConfigDialogControl(dialog_, c))) != 0;
    };
    const auto enabled = [&](int c) { return gtk_widget_get_sensitive(ConfigDialogControl(dialog_, c)) != 0; };
    EXPECT_EQ(active(kSurfaceCheck), want.surface) << when;
    EXPECT_EQ(active(kExplodeCheck), want.explode) << when;
    EXPECT_EQ(enabled(kPathEdit), want.enabled) << when;
    EXPECT_EQ(enabled(kChooseBitmapButton), want.enabled) << when;
    for (int button = kLargeButton; button <= kSmallButton; ++button) {
      EXPECT_EQ(active(button), button == want.size) << when << ": button " << button;
    }
    EXPECT_EQ(gtk_entry_get_text(GTK_ENTRY(ConfigDialogControl(dialog_, kPathEdit))), want.path)
        << when;
  }
  // Ends the dialog with OK or Cancel; its result.
  int32_t End(int control) {
    Click(control);
    const int32_t result = ConfigDialogResult(dialog_);
    CloseConfigDialog(dialog_);
    dialog_ = nullptr;
    return result;
  }
  void Plant(int32_t surface, int32_t displacement, const std::string& texture) {
    PlantStoredDword("Surface", static_cast<uint32_t>(surface));
    PlantStoredDword("Displacement", static_cast<uint32_t>(displacement));
    PlantStoredValue("Texture", 1, texture + '\0');
  }
  static int32_t Stored(const char* name) {
    StoredValue value;
    return ReadStoredValue(name, &value) ? *reinterpret_cast<const int32_t*>(value.data.data()) : -999;
  }
  static std::string StoredTexture() {
    StoredValue value;
    return ReadStoredValue("Texture", &value) ? std::string(value.data.c_str()) : "<absent>";
  }

  ConfigDialog* dialog_ = nullptr;
};

TEST_F(GtkDialogTest, ShowsTheStoredSettingsAndOkStoresThem) {
  const struct {
    bool planted;
    int32_t surface, displacement;
    Shown shown;
  } cases[] = {
      {false, 0, 60, {false, false, false, kSmallButton, ""}},
      {true, 0, 50, {false, false, false, kMediumButton, "p.bmp"}},
      {true, 0, 49, {false, false, false, kLargeButton, "p.bmp"}},
      {true, 5, 51, {true, false, true, kSmallButton, "p.bmp"}},
      {true, 0, 45, {false, false, false, kLargeButton, "p.bmp"}},
  };
  for (const auto& c : cases) {
    ClearStoredSettings();
    if (c.planted) Plant(c.surface, c.displacement, "p.bmp");
    Open();
    Expect(c.shown, "opened");
    EXPECT_EQ(End(kOkButton), 1);
    EXPECT_EQ(CountStoredValues(), 4);
    EXPECT_EQ(Stored("Displacement"), c.displacement);  // unchanged unless a size is clicked
    EXPECT_EQ(Stored("Surface"), c.surface);
  }
}

TEST_F(GtkDialogTest, ClicksChangeTheRecordAndEveryControlFollowsIt) {
  Plant(1, 60, "/old.bmp");
  Open();
  Click(kSurfaceCheck);
  Expect({false, false, false, kSmallButton, "/old.bmp"}, "surface off");
  Click(kSurfaceCheck);
  Click(kExplodeCheck);
  Click(kMediumButton);
  Expect({true, true, true, kMediumButton, "/old.bmp"}, "surface, explode, medium");
  Type("/typed.bmp");
  Click(kLargeButton);
  Expect({true, true, true, kLargeButton, "/old.bmp"}, "a click after typing");
  Type("/typed again.bmp");
  EXPECT_EQ(End(kOkButton), 1);
  EXPECT_EQ(StoredTexture(), "/typed again.bmp");
  EXPECT_EQ(Stored("Displacement"), 30);
  EXPECT_EQ(Stored("Explode"), 1);

  Open();
  Type("/never.bmp");
  Click(kSmallButton);
  Click(kSurfaceCheck);
  EXPECT_EQ(End(kCancelButton), 0);
  EXPECT_EQ(StoredTexture(), "/typed again.bmp");
  EXPECT_EQ(Stored("Displacement"), 30);
}

TEST_F(GtkDialogTest, AChosenFileShowsItsFullPathAtOnce) {
  static std::string picture;
  picture = WriteTempFile("chosen picture.bmp", BuildPicture(3, 3, [](int, int) { return 0u; }));
  Plant(1, 60, "");
  Open();
  // The chooser runs its own loop: a timer answers it from inside, once it
  // has taken in the file (it does that on its own time), or gives up.
  static int tries;
  tries = 0;
  g_timeout_add(100, [](gpointer) -> gboolean {
    GList* windows = gtk_window_list_toplevels();
    GtkWidget* chooser = nullptr;
    for (GList* w = windows; w; w = w->next) {
      if (GTK_IS_FILE_CHOOSER_DIALOG(w->data)) chooser = GTK_WIDGET(w->data);
    }
    g_list_free(windows);
    if (!chooser) return ++tries < 100;
    EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(chooser)), kChooseTextureTitle);
    gchar* chosen = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(chooser));
    const bool ready = chosen && picture == chosen;
    g_free(chosen);
    if (ready || ++tries >= 100) {
      gtk_dialog_response(GTK_DIALOG(chooser), ready ? GTK_RESPONSE_ACCEPT : GTK_RESPONSE_CANCEL);
      return G_SOURCE_REMOVE;
    }
    gtk_file_chooser_set_filename(GTK_FILE_CHOOSER(chooser), picture.c_str());
    return G_SOURCE_CONTINUE;
  }, nullptr);
  Click(kChooseBitmapButton);
  Expect({true, false, true, kSmallButton, picture}, "chosen");
  EXPECT_EQ(End(kOkButton), 1);
  EXPECT_EQ(StoredTexture(), picture);
}

TEST_F(GtkDialogTest, OkClosesAsAcceptedWhenTheFileCantBeWritten) {
  const std::string folder = SettingsFilePath().substr(0, SettingsFilePath().rfind('/'));
  std::ofstream(folder, std::ios::trunc) << "a file where the folder should be";
  Open();
  EXPECT_EQ(End(kOkButton), 1);
  std::remove(folder.c_str());
}

}  // namespace
