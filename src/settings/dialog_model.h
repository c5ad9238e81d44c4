// The settings dialog's logic, shared by the Windows and GTK dialogs: what
// each control shows for the record, and what each command does to it.
#pragma once

#include <cstdint>

#include "settings/settings.h"

// The dialog's controls, by their numbers in the dialog template.
enum : int32_t {
  kOkButton = 1,
  kCancelButton = 2,
  kPathEdit = 201,
  kChooseBitmapButton = 202,
  kSurfaceCheck = 203,
  kExplodeCheck = 204,
  kLargeButton = 205,
  kMediumButton = 206,
  kSmallButton = 207,
};

// The size buttons' Displacement values.
enum : int32_t { kLargeDisplacement = 30, kMediumDisplacement = 50, kSmallDisplacement = 70 };

// What the controls show for a record.
struct ConfigDialogView {
  const char* path;              // the path box
  bool surface_checked;          // "Show bitmap on front face"
  bool explode_checked;          // "Explode cube"
  bool bitmap_controls_enabled;  // the path box and "Choose Bitmap..."
  int32_t size_button;           // the one size button checked
};
ConfigDialogView ConfigDialogViewOf(const SaverSettingsRecord& record);

// What the dialog does after a command has changed the record.
enum ConfigDialogAction {
  CONFIG_NOTHING,      // the command changes nothing
  CONFIG_REFRESH,      // show the record again
  CONFIG_CHOOSE_FILE,  // run the file chooser into Texture, then refresh
  CONFIG_ACCEPT,       // save with the typed path, end with 1
  CONFIG_CANCEL,       // end with 0, nothing saved
};
ConfigDialogAction ApplyConfigCommand(SaverSettingsRecord* record, int32_t control);

// The file chooser's texts: the pictures' filter by its name, its patterns
// (";" between them, matched in any case) and, for the Windows list, the
// two in one label.
extern const char kChooseTextureTitle[];
extern const char kPictureFilterName[];
extern const char kPictureFilterPatterns[];
extern const char kPictureFilterLabel[];
extern const char kBitmapDefaultExtension[];
