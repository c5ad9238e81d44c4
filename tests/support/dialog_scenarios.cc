#include "dialog_scenarios.h"

#include <gtest/gtest.h>

#include "settings/dialog_model.h"
#include "settings_fixture.h"

namespace {
DialogStep Click(int32_t control) { return {DialogStep::kClick, control, "", {}}; }
DialogStep Type(const std::string& text) { return {DialogStep::kType, 0, text, {}}; }
DialogStep Look(bool surface, bool explode, int32_t size, const std::string& path) {
  return {DialogStep::kLook, 0, "", {surface, explode, surface, size, path}};
}
}  // namespace

std::vector<DialogScenario> DialogScenarios(const std::string& chosen) {
  const std::string old = "C:\\old.bmp", typed = "C:\\typed again.bmp";
  std::vector<DialogScenario> all = {
      {"nothing stored: the defaults, and OK stores them", false, 0, 0, "",
       {Look(false, false, kSmallButton, "")}, kOkButton, 1, 0, 0, 60, ""},
      {"a size button clicked", false, 0, 0, "", {Click(kMediumButton)}, kOkButton, 1, 0, 0, 50, ""},
      {"any non-zero Surface is on; the check boxes follow the record", true, 5, 60, old,
       {Look(true, false, kSmallButton, old), Click(kSurfaceCheck), Look(false, false, kSmallButton, old),
        Click(kSurfaceCheck), Click(kExplodeCheck), Look(true, true, kSmallButton, old)},
       kOkButton, 1, 1, 1, 60, old},
      {"a typed path stays through every click, and OK stores it", true, 1, 60, old,
       {Type("C:\\typed.bmp"), Click(kExplodeCheck), Look(true, true, kSmallButton, "C:\\typed.bmp"),
        Type(typed), Click(kSurfaceCheck), Click(kMediumButton), Click(kSurfaceCheck),
        Look(true, true, kMediumButton, typed)},
       kOkButton, 1, 1, 1, 50, typed},
      {"Cancel stores nothing", true, 1, 60, typed,
       {Type("C:\\never.bmp"), Click(kLargeButton), Click(kSurfaceCheck)}, kCancelButton, 0, 1, 0, 60, typed},
      {"a chosen file shows its full path at once", true, 1, 60, "",
       {{DialogStep::kChoose, 0, chosen, {}}, Look(true, false, kSmallButton, chosen)}, kOkButton, 1, 1, 0, 60, chosen},
  };
  const int32_t sizes[][2] = {{50, kMediumButton}, {49, kLargeButton}, {51, kSmallButton}, {45, kLargeButton}};
  for (const auto& size : sizes) {
    all.push_back({"a stored size shows as its button and stays", true, 0, size[0], "",
                   {Look(false, false, size[1], "")}, kOkButton, 1, 0, 0, size[0], ""});
  }
  return all;
}

void PlantScenario(const DialogScenario& s) {
  ClearStoredSettings();
  if (!s.planted) return;
  PlantStoredDword("Surface", uint32_t(s.surface));
  PlantStoredDword("Displacement", uint32_t(s.displacement));
  PlantStoredValue("Texture", kValueString, s.texture + '\0');
}

void CheckStoredAfter(const DialogScenario& s) {
  EXPECT_EQ(LoadedSettings(), SettingsText(s.stored_surface, s.stored_explode,
                                           s.stored_displacement, s.stored_texture)) << s.what;
  EXPECT_EQ(CountStoredValues(), s.result == 1 ? 4 : s.planted ? 3 : 0) << s.what;  // as planted
}
