// Checks on a PNG, JPEG or BMP file held in memory for damage that is known
// to make stb_image read or write out of bounds. The library is used as it
// comes; a file that fails a check is refused before it sees it.
#pragma once

#include "image/Picture.h"

#include <cstddef>

// False for a format the library is not used for. Otherwise true when
// nothing in the bytes is known to hurt the library's decoder
// for that format. Walks the file as the decoder would; checks:
//  - JPEG: every Huffman table defines at most 256 codes (the decoder's
//    tables hold 256 and it does not check the counts it reads), and every
//    scan uses only tables defined before it;
//  - PNG: no chunk claims more bytes than the file has left, and the first
//    IDAT chunk is not empty;
//  - BMP: the height is not the most negative 32-bit number.
bool SafeForDecoder(PictureFormat format, const unsigned char* bytes, std::size_t size);
