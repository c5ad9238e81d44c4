#include "render/front_pieces.h"

#include "render/bitmap.h"
#include "render/textures.h"
#include "settings/settings.h"

void MakeFrontPieces() {
  if (!SaverSettings.Surface) return;
  for (int32_t piece = 0; piece < kFrontPieces; ++piece) {
    PendingBitmap = LoadBitmapFile(SaverSettings.Texture);
    if (!PendingBitmap) {
      SaverSettings.Surface = 0;
      return;
    }
    MakeFrontTexture(piece);
  }
}
