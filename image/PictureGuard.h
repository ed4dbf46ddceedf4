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
//    tables hold 256 and it does not check the counts it reads); every scan
//    uses only Huffman and quantisation tables defined before it; a
//    progressive scan refines only coefficients an earlier scan began; and
//    by the end of the image every component of the frame was in a scan
//    (progressive: has its DC coefficients). Otherwise the decoder would
//    give pixels from buffers no scan wrote: a file with no scan, without
//    its DC scan, or whose first scan is a refinement is refused;
//  - PNG: no chunk claims more bytes than the file has left, and the first
//    IDAT chunk is not empty;
//  - BMP: the height is not the most negative 32-bit number, and the pixel
//    offset does not point into the headers.
bool SafeForDecoder(PictureFormat format, const unsigned char* bytes, std::size_t size);
