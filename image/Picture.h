// The saver's picture from a file in any format it knows, recognised by its
// first bytes: GIF through LoadGif; PNG, JPEG and BMP through stb_image,
// reduced to at most 256 colours. Either way the result is one palette index
// per pixel and a colour table, as LoadGif gives them.
#pragma once

#include <cstddef>

enum class PictureFormat { Unknown, Gif, Png, Jpeg, Bmp };

// The format that the first size bytes of a file announce; Unknown for too
// few bytes or any other start.
PictureFormat PictureFormatOf(const unsigned char* bytes, std::size_t size);

// The largest PNG, JPEG or BMP picture that is decoded: 2^25 pixels (for
// instance 8192 x 4096), refused from its header before anything large is
// allocated. The library decodes into 4 bytes a pixel (8 for a 16-bit PNG, on
// the way, whose inflate buffer may reach twice that: see the budget below).
constexpr std::size_t kPictureMaxPixels = std::size_t(1) << 25;

// The longest picture file that is read into memory.
constexpr std::size_t kPictureMaxFileBytes = std::size_t(1) << 28;

// The working memory of one decode of a w x h picture from a file of f
// bytes (the library's buffers and the colour reduction's, through
// ImageMemory.h), refused at once as a damaged file beyond it:
//  - no single block larger than 8 x (w + 32) x (h + 32) bytes (16-bit RGBA,
//    with the rows and columns a JPEG pads to whole blocks), 16 w h + 2 h
//    (a 16-bit RGBA PNG's inflate buffer: its raw rows, 8 w h + h bytes, are
//    the first guess, and the buffer doubles once when interlacing makes the
//    rows longer), 2 f (the PNG data chunks gathered in a block that
//    doubles) or kPictureBlockFloor (the reduction's tables), whichever is
//    largest;
//  - all blocks alive at once at most 28 w h (an interlaced 16-bit RGBA PNG:
//    that inflate buffer, the 16-bit picture and one pass beside them; a
//    JPEG needs 13 w h) + 2 f + kPictureBudgetSlack.
// A PNG whose data inflates past twice what its header announces thus
// stops there, within a few megabytes for a small picture.
constexpr std::size_t kPictureBlockFloor = std::size_t(5) << 20;
constexpr std::size_t kPictureBudgetSlack = std::size_t(8) << 20;

// Decodes a PNG, JPEG or BMP file held in memory. On success returns a buffer
// from malloc of max(width x height, reserveWidth x reserveHeight) bytes
// (the caller frees it): one palette index per pixel, rows top-down, zero
// beyond the picture; *width and *height receive the picture's size, and
// palette (256 x 3 bytes, may be null) its colours from entry 0 on, entries
// beyond them left as they were. Transparent pixels are laid over black.
//
// Returns null, writing no out parameter, for any other format, a picture
// the library cannot decode or that would take more working memory than its
// budget, one larger than kPictureMaxPixels, a buffer larger than
// kGifMaxBufferBytes, or a failed allocation. The same bytes always give the
// same picture: whatever the decoder does not write is zero.
unsigned char* DecodePicture(const unsigned char* bytes, std::size_t size, int* width, int* height,
                             int reserveWidth, int reserveHeight, unsigned char* palette);

// Loads fileName with the same results: a GIF file exactly as LoadGif does;
// a PNG, JPEG or BMP file (at most kPictureMaxFileBytes long) read into
// memory and decoded by DecodePicture; null for a file that cannot be
// opened or is none of these.
unsigned char* LoadPictureFile(const char* fileName, int* width, int* height, int reserveWidth, int reserveHeight,
                               unsigned char* palette);
