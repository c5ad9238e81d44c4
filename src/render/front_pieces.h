// The nine front-face pictures the saver makes when its window is created.
#pragma once

#include "render/picture.h"

// Why the picture of the last MakeFrontPieces could not be shown, or
// PICTURE_FINE.
extern PictureProblem FrontPictureProblem;

// With Surface on, reads the Texture picture (once: one read or decode
// serves all nine pieces) and makes each piece's image; a picture that
// can't be read turns Surface off for this run (never stored) and says why
// in FrontPictureProblem. Nothing is read with Surface off.
void MakeFrontPieces();
