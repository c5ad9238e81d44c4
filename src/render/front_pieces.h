// The nine front-face pictures the saver makes when its window is created.
#pragma once

#include "render/picture.h"

// Why the picture of the last MakeFrontPieces could not be shown, or
// PICTURE_FINE.
extern PictureProblem FrontPictureProblem;

// With Surface on, reads the Texture picture and makes each piece's image:
// a bitmap once for each piece, as the bitmap reader always has; a PNG or
// a JPEG once, its decode serving all nine. A picture that can't be read
// turns Surface off for this run (never stored) and says why in
// FrontPictureProblem. Nothing is read with Surface off.
void MakeFrontPieces();
