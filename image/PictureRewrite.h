// Rewriting a file's headers in memory before stb_image sees it, where the
// library would otherwise misread a valid file or leave colours undefined.
// The library is used as it comes; it gets a file it reads right.
//  - BMP: an OS/2 1.x header (12 bytes, palette entries of 3 bytes) becomes
//    a Windows one (40 bytes, entries of 4): the library reads four entries
//    too few of the former. A palette shorter than the bit depth allows
//    is filled up with black, so that an index past its end has a colour.
//    A gap between the headers (or the palette) and the pixels, which the
//    file header's pixel offset skips, is closed: the library wants the
//    pixels right behind them. A 56-byte header becomes a V4 one: the
//    library would read its bit masks from behind it and never its alpha.
//  - PNG: a palette of an indexed picture shorter than its bit depth allows
//    is filled up with black, for the same reason.
#pragma once

#include "image/Picture.h"

#include <cstddef>

// The file to hand to the library instead of bytes: *rewritten is set to a
// block from ImageAlloc (the caller frees it with ImageFree) and
// *rewrittenSize to its length, or *rewritten to null when the file can be
// used as it is. False when the block cannot be allocated.
bool RewriteForDecoder(PictureFormat format, const unsigned char* bytes, std::size_t size,
                       unsigned char** rewritten, std::size_t* rewrittenSize);
