// The settings dialog's logic: what the controls show for a record, and
// what each command does to it.
#include "settings/dialog_model.h"

#include <gtest/gtest.h>

namespace {

TEST(DialogModelTest, ControlsShowTheRecord) {
  const struct {
    SaverSettingsRecord record;
    bool surface, explode, enabled;
    int32_t size;
  } cases[] = {
      {{0, 0, 60, ""}, false, false, false, kSmallButton},  // nothing stored yet
      {{5, 0, 50, "a"}, true, false, true, kMediumButton},  // any non-zero flag is on
      {{0, -1, 49, ""}, false, true, false, kLargeButton},
      {{0, 0, 51, ""}, false, false, false, kSmallButton},
      {{0, 0, 45, ""}, false, false, false, kLargeButton},
      {{0, 0, -2147483647 - 1, ""}, false, false, false, kLargeButton},  // compared signed
  };
  for (const auto& c : cases) {
    const ConfigDialogView view = ConfigDialogViewOf(c.record);
    EXPECT_EQ(view.path, c.record.Texture);
    EXPECT_EQ(view.surface_checked, c.surface) << c.record.Displacement;
    EXPECT_EQ(view.explode_checked, c.explode) << c.record.Displacement;
    EXPECT_EQ(view.bitmap_controls_enabled, c.enabled) << c.record.Displacement;
    EXPECT_EQ(view.size_button, c.size) << c.record.Displacement;
  }
}

TEST(DialogModelTest, CommandsChangeTheRecordThenSayWhatFollows) {
  const struct {
    int32_t control;
    SaverSettingsRecord before, after;
    ConfigDialogAction action;
  } cases[] = {
      {kSurfaceCheck, {5, 0, 45, "t"}, {0, 0, 45, "t"}, CONFIG_REFRESH},
      {kSurfaceCheck, {0, 0, 45, "t"}, {1, 0, 45, "t"}, CONFIG_REFRESH},
      {kExplodeCheck, {0, -3, 45, "t"}, {0, 0, 45, "t"}, CONFIG_REFRESH},
      {kExplodeCheck, {0, 0, 45, "t"}, {0, 1, 45, "t"}, CONFIG_REFRESH},
      {kLargeButton, {0, 0, 45, "t"}, {0, 0, 30, "t"}, CONFIG_REFRESH},
      {kMediumButton, {0, 0, 45, "t"}, {0, 0, 50, "t"}, CONFIG_REFRESH},
      {kSmallButton, {0, 0, 45, "t"}, {0, 0, 70, "t"}, CONFIG_REFRESH},
      {kChooseBitmapButton, {0, 0, 45, "t"}, {0, 0, 45, "t"}, CONFIG_CHOOSE_FILE},
      {kOkButton, {1, 1, 45, "t"}, {1, 1, 45, "t"}, CONFIG_ACCEPT},
      {kCancelButton, {1, 1, 45, "t"}, {1, 1, 45, "t"}, CONFIG_CANCEL},
      {kPathEdit, {1, 1, 45, "t"}, {1, 1, 45, "t"}, CONFIG_NOTHING},  // the box's own notices
      {0, {1, 1, 45, "t"}, {1, 1, 45, "t"}, CONFIG_NOTHING},
  };
  for (const auto& c : cases) {
    SaverSettingsRecord record = c.before;
    EXPECT_EQ(ApplyConfigCommand(&record, c.control), c.action) << c.control;
    EXPECT_EQ(record.Surface, c.after.Surface) << c.control;
    EXPECT_EQ(record.Explode, c.after.Explode) << c.control;
    EXPECT_EQ(record.Displacement, c.after.Displacement) << c.control;
    EXPECT_STREQ(record.Texture, c.after.Texture) << c.control;
  }
}

}  // namespace
