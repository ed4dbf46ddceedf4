// Turning a decoded picture into the height map: palette ordered by
// brightness (so an index is a height) and the picture stretched over the
// screen with its rows bottom-up.
#pragma once

// Orders the 256 R, G, B entries of palette by R + G + B with the original
// exchange loop (so entries of equal brightness keep that loop's order) and
// rewrites each of the pixelCount pixels to the new position of its colour.
// A palette already in non-decreasing brightness leaves everything untouched.
// A null palette does nothing; null pixels or pixelCount <= 0 only order the
// palette.
void SortPaletteByBrightness(unsigned char* pixels, int pixelCount, unsigned char* palette);

// Flips the top-down pictureWidth x pictureHeight picture held in heightMap
// upside down into scratch, then stretches it, nearest neighbour by
// accumulated double steps, back into heightMap as screenWidth x screenHeight
// bytes, row 0 at the bottom.
// heightMap must hold max(picture, screen) bytes and scratch the picture's;
// a picture of the screen's size is only flipped, in place, and scratch is
// left alone.
// Any size that is not positive (or a null buffer) makes it a no-op.
void ScalePictureToScreen(unsigned char* heightMap, unsigned char* scratch, int pictureWidth,
                          int pictureHeight, int screenWidth, int screenHeight);
