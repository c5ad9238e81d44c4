#include "render/front_pieces.h"

#include "render/gl_compat.h"
#include "render/textures.h"
#include "settings/settings.h"

PictureProblem FrontPictureProblem = PICTURE_FINE;

void MakeFrontPieces() {
  FrontPictureProblem = PICTURE_FINE;
  if (!SaverSettings.Surface) return;
  if (PictureFileIsBitmap(SaverSettings.Texture)) {  // read for each piece, each decoding its part
    for (int32_t piece = 0; piece < kFrontPieces; ++piece) {
      PendingBitmap = LoadPictureFile(SaverSettings.Texture, 0, &FrontPictureProblem);
      if (!PendingBitmap) {
        SaverSettings.Surface = 0;
        return;
      }
      MakeFrontTexture(piece);
    }
    return;
  }
  PackedBitmap* picture =
      LoadPictureFile(SaverSettings.Texture, ContextTextureLimit(), &FrontPictureProblem);
  if (!picture) {
    SaverSettings.Surface = 0;
    return;
  }
  for (int32_t piece = 0; piece < kFrontPieces; ++piece) MakeFrontTextureFrom(piece, picture);
  FreePackedBitmap(picture);
}
