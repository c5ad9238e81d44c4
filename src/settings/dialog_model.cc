#include "settings/dialog_model.h"

const char kChooseTextureTitle[] = "Choose Texture";
#define QUARLO_PICTURES "Pictures"
#define QUARLO_PICTURE_PATTERNS "*.bmp;*.png;*.jpg;*.jpeg"
const char kPictureFilterName[] = QUARLO_PICTURES;
const char kPictureFilterPatterns[] = QUARLO_PICTURE_PATTERNS;
const char kPictureFilterLabel[] = QUARLO_PICTURES " (" QUARLO_PICTURE_PATTERNS ")";
const char kBitmapDefaultExtension[] = "bmp";

ConfigDialogView ConfigDialogViewOf(const SaverSettingsRecord& record) {
  ConfigDialogView view;
  view.path = record.Texture;
  view.surface_checked = record.Surface != 0;
  view.explode_checked = record.Explode != 0;
  view.bitmap_controls_enabled = record.Surface != 0;
  view.size_button = record.Displacement < kMediumDisplacement    ? kLargeButton
                     : record.Displacement == kMediumDisplacement ? kMediumButton
                                                                  : kSmallButton;
  return view;
}

ConfigDialogAction ApplyConfigCommand(SaverSettingsRecord* record, int32_t control) {
  switch (control) {
    case kOkButton:
      return CONFIG_ACCEPT;
    case kCancelButton:
      return CONFIG_CANCEL;
    case kChooseBitmapButton:
      return CONFIG_CHOOSE_FILE;
    case kSurfaceCheck:
      record->Surface = record->Surface == 0 ? 1 : 0;
      return CONFIG_REFRESH;
    case kExplodeCheck:
      record->Explode = record->Explode == 0 ? 1 : 0;
      return CONFIG_REFRESH;
    case kLargeButton:
      record->Displacement = kLargeDisplacement;
      return CONFIG_REFRESH;
    case kMediumButton:
      record->Displacement = kMediumDisplacement;
      return CONFIG_REFRESH;
    case kSmallButton:
      record->Displacement = kSmallDisplacement;
      return CONFIG_REFRESH;
    default:
      return CONFIG_NOTHING;
  }
}
