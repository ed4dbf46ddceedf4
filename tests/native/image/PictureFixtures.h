// The picture files of tests/native/image/data, made by its make-fixtures.sh.
#pragma once

#include "PictureWriter.h"

#include <fstream>
#include <iterator>
#include <string>

namespace picturetest {

// The file's bytes; empty when it is not there.
inline Bytes Fixture(const char* name) {
    std::ifstream in(std::string(PICTURE_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace picturetest
