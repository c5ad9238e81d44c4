// Loading and saving the settings record.
#pragma once

#include "settings/settings.h"

// Fills SaverSettings from the user's stored values; a missing store, or a
// value that is missing or too large, gives that field its default.
void LoadSettings();
