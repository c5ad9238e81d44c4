// Square texture images of blue, green, red, 255 pixels, rows bottom-up:
// nine pieces of the user's picture for the front face, and the logo tile.
#pragma once

#include <cstdint>

#include "render/bitmap.h"
#include "render/dib_decode.h"

enum { kFrontPieces = 9 };

extern uint8_t* FrontPieceBits[kFrontPieces];
extern int32_t FrontTextureSize;
extern uint8_t* LogoBits;
extern int32_t LogoTextureSize;

// The largest power of two not above n (1..65535); 32768 above that and for
// negative n; 0 for 0.
int32_t TextureSizeFor(int32_t n);
// The edge made for a picture of width w and height h, kept below the
// context's limit (`max_size` <= 0: no context, a safe limit is used).
int32_t TextureEdgeFor(int32_t w, int32_t h, int32_t max_size);

// Piece p (0..8, row p / 3 from the top, column p % 3) of a w x h picture.
PixelRect PieceSourceRect(int32_t piece, int32_t w, int32_t h);
// What an image is made from: piece 0..8, or kWholePicture for the logo.
enum { kWholePicture = -1 };
PixelRect TextureSourceRect(int32_t piece, int32_t w, int32_t h);

// Both consume PendingBitmap: 1 when there was one, 0 when it was none.
int32_t MakeFrontTexture(int32_t piece);
int32_t MakeLogoTexture();
// Makes piece `piece`'s image from `picture`, which stays the caller's: the
// nine pieces of one picture, read once.
void MakeFrontTextureFrom(int32_t piece, const PackedBitmap* picture);
// Frees every texture image and a PendingBitmap never consumed.
void FreeTextures();

// Sets the fourth byte of every pixel to 255: the faces are drawn with
// GL_DECAL and must come out opaque.
void MakeTextureOpaque(uint8_t* texture, int32_t edge);

// Fills a texture image of edge `edge` (zeroed by the caller) from the
// rectangle of a bitmap, nearest pixel, then makes every pixel opaque.
void FillTextureFromBitmap(const PackedBitmap* bitmap, const PixelRect& source, uint8_t* texture,
                           int32_t edge);
