// Reading a GIF file into one byte per pixel (palette indices) and its colour
// table. Every image of the file is drawn into the same buffer; extensions are
// ignored. The decoder keeps its state at module level: one call at a time.
#pragma once

#include <cstddef>

// Largest buffer LoadGif hands out, in bytes (16384 x 16384). A tiny header can
// ask for a 65535 x 65535 screen; a file asking for more than this is refused.
constexpr std::size_t kGifMaxBufferBytes = std::size_t(1) << 28;

// Decodes fileName. The buffer holds max(reserveWidth x reserveHeight, logical
// screen width x height) bytes from malloc (the caller frees it); pixel (x, y)
// of the logical screen is byte y * width + x, rows top-down; bytes that no
// image covers are 0. width and height receive the logical screen size as soon
// as the file's screen descriptor has been read, even when null is returned
// afterwards. palette (256 x 3 bytes, R G B; may be null) receives the last
// complete colour table read, from entry 0 on; entries beyond it are left as
// they were.
//
// Returns null when the file cannot be opened, is not a GIF file, ends inside
// its screen descriptor, or needs a buffer that is larger than
// kGifMaxBufferBytes or cannot be allocated. Damage further on cuts the
// decoding short and returns what was decoded until then.
unsigned char* LoadGif(const char* fileName, int* width, int* height, int reserveWidth,
                       int reserveHeight, unsigned char* palette);

// The same on the bytes of source, read to the trailer (or the end).
class ByteSource;
unsigned char* LoadGif(ByteSource& source, int* width, int* height, int reserveWidth,
                       int reserveHeight, unsigned char* palette);
