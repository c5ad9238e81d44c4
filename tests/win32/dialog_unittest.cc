// The settings dialog as the shell runs it: modal, from the template in
// quarlo.scr, with real clicks, typing and the real file chooser; what it
// shows and what reaches the registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "bmp_builder.h"
#include "settings/dialog_model.h"
#include "settings/settings.h"
#include "settings_fixture.h"
#include "shell/saver_shell_win32.h"

namespace {

using Step = std::function<bool(HWND dialog)>;  // true when done, false to try again

struct Script {
  std::vector<Step> steps;
  size_t next = 0;
  int ticks = 0;
  bool busy = false;
};
Script* Running = nullptr;

void CALLBACK RunStep(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = FindWindowA("#32770", "Quarlo Screen Saver Setup");
  if (!Running || Running->busy || !dialog) return;
  if (++Running->ticks > 500) {  // a script that is stuck ends the dialog
    ADD_FAILURE() << "step " << Running->next << " never finished";
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    return;
  }
  if (Running->next >= Running->steps.size()) return;
  Running->busy = true;
  if (Running->steps[Running->next](dialog)) ++Running->next;
  Running->busy = false;
}

int RunDialog(std::vector<Step> steps) {
  Script script{std::move(steps)};
  Running = &script;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, RunStep);
  const int result = ShowConfigDialog(nullptr);
  KillTimer(nullptr, timer);
  Running = nullptr;
  EXPECT_EQ(script.next, script.steps.size()) << "the dialog ended before its script";
  return result;
}

// Clicks are posted, so that a click that opens the file chooser doesn't
// hold the script up.
Step Click(int id) {
  return [id](HWND dialog) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
    return true;
  };
}
Step Type(const std::string& text) {
  return [text](HWND dialog) { return SetDlgItemTextA(dialog, kPathEdit, text.c_str()) != 0; };
}

struct Shown {
  bool surface, explode, enabled;
  int size;
  std::string path;
};
Step Expect(const Shown& want, const char* when) {
  return [want, when](HWND dialog) {
    char path[300] = {};
    GetDlgItemTextA(dialog, kPathEdit, path, sizeof path);
    EXPECT_EQ(IsDlgButtonChecked(dialog, kSurfaceCheck) == BST_CHECKED, want.surface) << when;
    EXPECT_EQ(IsDlgButtonChecked(dialog, kExplodeCheck) == BST_CHECKED, want.explode) << when;
    EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog, kPathEdit)) != 0, want.enabled) << when;
    EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog, kChooseBitmapButton)) != 0, want.enabled) << when;
    for (int button = kLargeButton; button <= kSmallButton; ++button) {
      EXPECT_EQ(IsDlgButtonChecked(dialog, button) == BST_CHECKED, button == want.size)
          << when << ": button " << button;
    }
    EXPECT_EQ(std::string(path), want.path) << when;
    return true;
  };
}

int32_t StoredInteger(const char* name) {
  StoredValue value;
  return ReadStoredValue(name, &value) ? *reinterpret_cast<const int32_t*>(value.data.data()) : -999;
}
std::string StoredTexture() {
  StoredValue value;
  return ReadStoredValue("Texture", &value) ? std::string(value.data.c_str()) : "<absent>";
}

class ConfigDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SaverInstance = LoadLibraryExA(QUARLO_SCR_PATH, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(SaverInstance, nullptr);
    ClearStoredSettings();
    SaverSettings = SaverSettingsRecord{0, 0, kDefaultDisplacement, ""};
  }
  void TearDown() override {
    ClearStoredSettings();
    FreeLibrary(SaverInstance);
  }
  void Plant(int32_t surface, int32_t displacement, const std::string& texture) {
    PlantStoredDword("Surface", static_cast<uint32_t>(surface));
    PlantStoredDword("Displacement", static_cast<uint32_t>(displacement));
    PlantStoredValue("Texture", REG_SZ, texture + '\0');
  }
};

TEST_F(ConfigDialogTest, NothingStoredShowsTheDefaultsAndOkStoresThem) {
  EXPECT_EQ(RunDialog({Expect({false, false, false, kSmallButton, ""}, "opened"), Click(kOkButton)}), 1);
  EXPECT_EQ(CountStoredValues(), 4);
  EXPECT_EQ(StoredInteger("Displacement"), 60);
  EXPECT_EQ(StoredInteger("Surface"), 0);
}

TEST_F(ConfigDialogTest, StoredSizesShowAsTheirButtonAndStayUnlessOneIsClicked) {
  const struct {
    int32_t stored;
    int button;
  } cases[] = {{50, kMediumButton}, {49, kLargeButton}, {51, kSmallButton}, {45, kLargeButton}};
  for (const auto& c : cases) {
    Plant(0, c.stored, "");
    EXPECT_EQ(RunDialog({Expect({false, false, false, c.button, ""}, "opened"), Click(kOkButton)}), 1);
    EXPECT_EQ(StoredInteger("Displacement"), c.stored);
  }
  EXPECT_EQ(RunDialog({Click(kMediumButton), Click(kOkButton)}), 1);
  EXPECT_EQ(StoredInteger("Displacement"), 50);
}

TEST_F(ConfigDialogTest, TheCheckBoxesFollowTheRecord) {
  Plant(5, 60, "C:\\old.bmp");  // any non-zero value is on
  EXPECT_EQ(RunDialog({Expect({true, false, true, kSmallButton, "C:\\old.bmp"}, "opened"),
                       Click(kSurfaceCheck),
                       Expect({false, false, false, kSmallButton, "C:\\old.bmp"}, "surface off"),
                       Click(kSurfaceCheck), Click(kExplodeCheck),
                       Expect({true, true, true, kSmallButton, "C:\\old.bmp"}, "both on"),
                       Click(kOkButton)}),
            1);
  EXPECT_EQ(StoredInteger("Surface"), 1);
  EXPECT_EQ(StoredInteger("Explode"), 1);
}

TEST_F(ConfigDialogTest, ATypedPathLastsUntilTheNextClickAndReachesTheStoreOnlyByOk) {
  Plant(1, 60, "C:\\old.bmp");
  EXPECT_EQ(RunDialog({Type("C:\\typed.bmp"), Click(kExplodeCheck),
                       Expect({true, true, true, kSmallButton, "C:\\old.bmp"}, "after a click"),
                       Type("C:\\typed again.bmp"), Click(kOkButton)}),
            1);
  EXPECT_EQ(StoredTexture(), "C:\\typed again.bmp");
  EXPECT_EQ(RunDialog({Type("C:\\never.bmp"), Click(kLargeButton), Click(kSurfaceCheck),
                       Click(kCancelButton)}),
            0);
  EXPECT_EQ(StoredTexture(), "C:\\typed again.bmp");
  EXPECT_EQ(StoredInteger("Displacement"), 60);
  EXPECT_EQ(StoredInteger("Surface"), 1);
}

TEST_F(ConfigDialogTest, AChosenFileShowsItsFullPathAtOnce) {
  const std::string picture =
      WriteTempFile("chosen picture.bmp", BuildPicture(3, 3, [](int, int) { return 0u; }));
  char full[MAX_PATH];
  GetFullPathNameA(picture.c_str(), sizeof full, full, nullptr);
  Plant(1, 60, "");
  const Step choose = [full](HWND) {
    HWND chooser = FindWindowA(nullptr, kChooseTextureTitle);
    if (!chooser) return false;
    HWND name = GetDlgItem(chooser, 0x47C);  // the file name box (cmb13)
    if (!name) name = GetDlgItem(chooser, 0x480);  // edt1, in the old style
    SetWindowTextA(name, full);
    PostMessageA(chooser, WM_COMMAND, IDOK, 0);
    return true;
  };
  const Step chosen = [](HWND) { return FindWindowA(nullptr, kChooseTextureTitle) == nullptr; };
  EXPECT_EQ(RunDialog({Click(kChooseBitmapButton), choose, chosen,
                       Expect({true, false, true, kSmallButton, full}, "chosen"), Click(kOkButton)}),
            1);
  EXPECT_EQ(StoredTexture(), full);
}

}  // namespace
