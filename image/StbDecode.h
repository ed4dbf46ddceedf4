// The PNG, JPEG and BMP decoders of stb_image, behind two calls on memory.
// Plain C: the library is compiled as C in StbImage.c.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// Reads only the header: 1 and the picture's size when the bytes begin like
// a PNG, JPEG or BMP file the library accepts, 0 otherwise. The height is
// positive for top-down BMP files too.
int StbPictureSize(const unsigned char* bytes, int size, int* width, int* height);

// Decodes the whole picture into width x height pixels of R, G, B, A bytes,
// rows top-down, in a block from ImageAlloc (freed with ImageFree). Null when
// the bytes cannot be decoded.
unsigned char* StbDecodeRgba(const unsigned char* bytes, int size, int* width, int* height);

#ifdef __cplusplus
}
#endif
