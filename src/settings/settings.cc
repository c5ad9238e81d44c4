#include "settings/settings.h"

SaverSettingsRecord SaverSettings = {0, 0, kDefaultDisplacement, {0}};
