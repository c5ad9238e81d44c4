#include "render/logo.h"

extern const uint8_t LogoResource[];
extern const size_t LogoResourceSize;

PackedBitmap* LoadLogoBitmap() { return LoadBitmapMemory(LogoResource, LogoResourceSize); }
