// The settings dialog as the shell runs it: modal, from the template in
// quarlo.scr, played through the shared scenarios with real clicks, typing
// and the real file chooser.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "bmp_builder.h"
#include "dialog_scenarios.h"
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
} script;

// Runs the steps from a timer inside the dialog's own loop. Clicks are
// posted, so that a click that opens the file chooser doesn't hold it up.
void CALLBACK RunStep(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = FindWindowA("#32770", "Quarlo Screen Saver Setup");
  if (script.busy || !dialog) return;
  if (++script.ticks > 500) {  // a script that is stuck ends the dialog
    ADD_FAILURE() << "step " << script.next << " never finished";
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  } else if (script.next < script.steps.size()) {
    script.busy = true;
    script.next += script.steps[script.next](dialog);
    script.busy = false;
  }
}

std::vector<Step> Steps(const DialogStep& s) {
  const auto click = [](int32_t id) { return Step([id](HWND d) { return PostMessageA(GetDlgItem(d, id), BM_CLICK, 0, 0) != 0; }); };
  switch (s.kind) {
    case DialogStep::kClick: return {click(s.control)};
    case DialogStep::kType: return {[s](HWND d) { return SetDlgItemTextA(d, kPathEdit, s.text.c_str()) != 0; }};
    case DialogStep::kChoose:
      return {click(kChooseBitmapButton),
              [s](HWND) {
                HWND chooser = FindWindowA(nullptr, kChooseTextureTitle);
                if (!chooser) return false;
                char type[64] = {};  // the file type list (cmb1) offers the pictures
                GetDlgItemTextA(chooser, 0x470, type, sizeof type);
                EXPECT_STREQ(type, "Pictures (*.bmp;*.png;*.jpg;*.jpeg)");
                HWND name = GetDlgItem(chooser, 0x47C);           // the file name box (cmb13)
                SetWindowTextA(name ? name : GetDlgItem(chooser, 0x480), s.text.c_str());  // or edt1
                return PostMessageA(chooser, WM_COMMAND, IDOK, 0) != 0;
              },
              [](HWND) { return FindWindowA(nullptr, kChooseTextureTitle) == nullptr; }};
    default:
      return {[s](HWND d) {
        char path[300] = {};
        GetDlgItemTextA(d, kPathEdit, path, sizeof path);
        const auto checked = [d](int id) { return IsDlgButtonChecked(d, id) == BST_CHECKED; };
        EXPECT_EQ(checked(kSurfaceCheck), s.view.surface);
        EXPECT_EQ(checked(kExplodeCheck), s.view.explode);
        for (int id : {kPathEdit, kChooseBitmapButton}) EXPECT_EQ(IsWindowEnabled(GetDlgItem(d, id)) != 0, s.view.bitmap_controls_enabled);
        for (int id = kLargeButton; id <= kSmallButton; ++id) EXPECT_EQ(checked(id), id == s.view.size_button) << id;
        EXPECT_EQ(std::string(path), s.view.path);
        return true;
      }};
  }
}

TEST(ConfigDialogTest, TheScenarios) {
  SaverInstance = LoadLibraryExA(QUARLO_SCR_PATH, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(SaverInstance, nullptr);
  char chosen[MAX_PATH];
  GetFullPathNameA(WriteTempFile("chosen picture.bmp", BuildPicture(3, 3, [](int, int) { return 0u; })).c_str(),
                   sizeof chosen, chosen, nullptr);
  for (const DialogScenario& scenario : DialogScenarios(chosen)) {
    SCOPED_TRACE(scenario.what);
    PlantScenario(scenario);
    SaverSettings = SaverSettingsRecord{0, 0, kDefaultDisplacement, ""};
    script = Script();
    for (const DialogStep& s : scenario.steps) {
      for (const Step& step : Steps(s)) script.steps.push_back(step);
    }
    script.steps.push_back(Steps({DialogStep::kClick, scenario.end_button, "", {}})[0]);
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, RunStep);
    EXPECT_EQ(ShowConfigDialog(nullptr), scenario.result);
    KillTimer(nullptr, timer);
    EXPECT_EQ(script.next, script.steps.size()) << "the dialog ended before its script";
    CheckStoredAfter(scenario);
  }
  ClearStoredSettings();
  FreeLibrary(SaverInstance);
}

}  // namespace
