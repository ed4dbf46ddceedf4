// The frames every front-end must give: a few settings (without text), a
// seed for the default picture, and for some frame numbers the FNV-1a hash of
// the 8-bit frame and the palette. A front-end's test puts the values into
// its own settings store (the registry, the command line), runs its own
// set-up on a kWidth x kHeight display and compares; the native test checks
// the core from the same values. Window-free: no <windows.h>, no X11.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "settings/Settings.h"
#include "tests/native/image/GifWriter.h"

namespace frameparity {

// The display of every case: the Windows tests' screen, deeper than 8 bits,
// so pixel values are the intensities themselves.
constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// One stored value: integers as decimal text. kFilenameGif with the text
// kPictureToken names the case's picture, which the test writes first
// (ParityGif) and whose path it stores instead.
struct Value {
    SettingId id;
    const char* text;
};
constexpr const char* kPictureToken = "<parity picture>";

struct Expected {
    int frame;           // frames run since the set-up (1 is the first)
    std::uint64_t hash;  // FrameHash after that frame
};

struct Case {
    const char* name;
    std::uint32_t seed;  // the default picture's noise
    std::vector<Value> values;
    std::vector<Expected> frames;
};

// FNV-1a, 64 bits.
constexpr std::uint64_t kFnvOffset = 14695981039346656037ull;
inline std::uint64_t Fnv1a(const unsigned char* bytes, std::size_t size, std::uint64_t hash = kFnvOffset) {
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= bytes[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

// The frame's rows as stored (bottom-up), width bytes of each, then the
// palette's 256 R, G, B triples.
inline std::uint64_t FrameHash(const unsigned char* rows, int width, int height, std::size_t stride,
                               const unsigned char* palette) {
    std::uint64_t hash = kFnvOffset;
    for (int y = 0; y < height; ++y)
        hash = Fnv1a(rows + static_cast<std::size_t>(y) * stride, static_cast<std::size_t>(width), hash);
    return Fnv1a(palette, 768, hash);
}

// The picture case's file: 333 x 217 (steps of the stretch that are not
// exact in binary, so the stretch's precision shows), a colour table far
// from brightness order, and a pattern that uses every entry.
inline giftest::Bytes ParityGif() {
    using namespace giftest;
    const int width = 333, height = 217;
    Bytes file = {'G', 'I', 'F', '8', '9', 'a'};
    PutWord(file, width);
    PutWord(file, height);
    file.push_back(0xF7);  // global table of 256 entries
    file.push_back(0);
    file.push_back(0);
    for (int i = 0; i < 256; ++i) {
        const int level = (i * 73 + 41) & 0xFF;
        file.push_back(static_cast<std::uint8_t>(level));
        file.push_back(static_cast<std::uint8_t>((level * 3) / 4));
        file.push_back(static_cast<std::uint8_t>(255 - (i & 0x3F)));
    }
    file += ImageDescriptor(0, 0, width, height);
    // Roots only, with a clear code often enough that codes stay 9 bits wide.
    CodeStream codes(8);
    codes.Clear();
    int sinceClear = 0;
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            if (++sinceClear == 250) {
                codes.Clear();
                sinceClear = 1;
            }
            codes.Code(((c * c) / 7 + r * 3 + ((c ^ r) & 0x1F)) & 0xFF);
        }
    }
    codes.End();
    file += codes.ImageData();
    file.push_back(0x3B);
    return file;
}

inline const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = {
        // The empty store but for the text: the default picture and path.
        {"defaults", 4242, {{kTextLines, ""}}, {{1, 0x02100ce685ffa46full}, {2, 0xe3d087495db65b27ull}, {40, 0xd6854870e3f0594full}}},
        // A path about the bottom-right corner, anticlockwise by whole
        // radians, a wide low window, a small shift.
        {"path",
         7,
         {{kTextLines, ""},
          {kXPosition, "Right"},
          {kYPosition, "Bottom"},
          {kBumpSpeed, "101"},
          {kCwDirection, "0"},
          {kBumpXFallOff, "300"},
          {kBumpYFallOff, "97"},
          {kBumpXDistance, "400"},
          {kBumpYDistance, "123"},
          {kBumpMultiplier, "3"},
          {kFrameRate, "0"}},
         {{3, 0x28d99aa37522c860ull}, {4, 0x82bc4ec61fe18ac3ull}, {9, 0x0362c3c993452246ull}}},
        // A GIF picture stretched over the screen, lit above a threshold.
        {"picture",
         1,
         {{kTextLines, ""},
          {kFilenameGif, kPictureToken},
          {kBumpFromIndex, "20"},
          {kBumpXFallOff, "180"},
          {kBumpYFallOff, "260"},
          {kBumpMultiplier, "6"},
          {kBumpSpeed, "37"}},
         {{1, 0x7d0282a4a5fe798dull}, {2, 0xd70ffd741e0841f1ull}, {60, 0x54a592e8bfca07c3ull}}},
    };
    return cases;
}

}  // namespace frameparity
