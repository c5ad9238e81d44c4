// The show as the settings dialog's live picture.
#pragma once

#include "settings/dialog_gtk.h"

const ConfigDialogPreview* ShowPreview();
