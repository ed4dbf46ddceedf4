// The picture files of tests/native/image/data, made by its make-fixtures.sh.
#pragma once

#include "PictureWriter.h"

#include "image/ImageMemory.h"

#include <fstream>
#include <iterator>
#include <string>

namespace picturetest {

// The file's bytes; empty when it is not there.
inline Bytes ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A file of data/ by its name there.
inline Bytes Fixture(const char* name) { return ReadFileBytes(std::string(PICTURE_TEST_DATA_DIR) + "/" + name); }

// Leaves byte in a stretch of stack below the caller, where a decoder's
// local arrays will lie.
__attribute__((noinline)) inline void ScribbleStack(int byte) {
    volatile unsigned char stack[64 * 1024];
    for (std::size_t i = 0; i < sizeof stack; ++i) stack[i] = static_cast<unsigned char>(byte);
}

// Makes the memory the next decode gets dirty with byte: the blocks of
// ImageMemory.h before they are zeroed and the stack (-1: blocks left alone).
inline void DirtyMemory(int byte) {
    ImageScribble(byte);
    ScribbleStack(byte < 0 ? 0 : byte);
}

}  // namespace picturetest
