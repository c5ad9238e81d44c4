// The nine front-face pictures the saver makes when its window is created.
#pragma once

// With Surface on, reads the Texture picture once per piece and makes each
// piece's image; a read that fails turns Surface off for this run (never
// stored) and ends the making. Nothing is read with Surface off.
void MakeFrontPieces();
