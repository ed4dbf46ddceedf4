// Running LoadGif on bytes or files and holding what it returns.
#pragma once

#include "image/Gif.h"
#include "GifWriter.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace giftest {

constexpr std::uint8_t kPaletteSentinel = 0xA5;
constexpr int kUnwritten = -7;

struct Decoded {
    unsigned char* buffer = nullptr;
    int width = kUnwritten;
    int height = kUnwritten;
    std::array<std::uint8_t, 768> palette;

    Decoded() { palette.fill(kPaletteSentinel); }
    Decoded(const Decoded&) = delete;
    Decoded& operator=(const Decoded&) = delete;
    ~Decoded() { std::free(buffer); }
};

// A file name under the test temp dir that no other test of this process uses.
inline std::string TempPath(const char* stem) {
    static int counter = 0;
    return ::testing::TempDir() + "orvane_gif_" + std::to_string(getpid()) + "_" + std::to_string(++counter) +
           "_" + stem + ".gif";
}

inline void LoadFile(const std::string& path, Decoded& out, int reserveWidth = 0, int reserveHeight = 0,
                     bool withPalette = true) {
    out.buffer = LoadGif(path.c_str(), &out.width, &out.height, reserveWidth, reserveHeight,
                         withPalette ? out.palette.data() : nullptr);
}

inline void LoadBytes(const Bytes& bytes, Decoded& out, int reserveWidth = 0, int reserveHeight = 0,
                      bool withPalette = true) {
    const std::string path = TempPath("bytes");
    WriteFile(path, bytes);
    LoadFile(path, out, reserveWidth, reserveHeight, withPalette);
    std::remove(path.c_str());
}

}  // namespace giftest
