#include "effect/PictureSetup.h"

#include "effect/PixelCount.h"

#include <cstddef>
#include <cstring>

namespace {

constexpr int kPaletteEntries = 256;

int Brightness(const unsigned char* entry) {
    return entry[0] + entry[1] + entry[2];
}

// Truncates an accumulated position and keeps it inside the picture: the sum
// of W - 1 steps of w / W could round up to w itself.
int SourceIndex(double position, int limit) {
    if (!(position < static_cast<double>(limit))) {
        return limit - 1;
    }
    return position > 0.0 ? static_cast<int>(position) : 0;
}

// Swaps row r and row h - 1 - r of a w x h map, a block at a time.
void FlipRows(unsigned char* map, std::size_t w, std::size_t h) {
    unsigned char block[256];
    for (std::size_t r = 0; r < h / 2; ++r) {
        unsigned char* a = map + r * w;
        unsigned char* b = map + (h - 1 - r) * w;
        for (std::size_t x = 0; x < w; x += sizeof block) {
            const std::size_t n = w - x < sizeof block ? w - x : sizeof block;
            std::memcpy(block, a + x, n);
            std::memcpy(a + x, b + x, n);
            std::memcpy(b + x, block, n);
        }
    }
}

}  // namespace

void SortPaletteByBrightness(unsigned char* pixels, int pixelCount, unsigned char* palette) {
    if (palette == nullptr) {
        return;
    }
    unsigned char origin[kPaletteEntries];  // origin[k]: former index of the colour now at k
    for (int k = 0; k < kPaletteEntries; ++k) {
        origin[k] = static_cast<unsigned char>(k);
    }
    bool moved = false;
    for (int i = 0; i < kPaletteEntries; ++i) {
        for (int j = i; j < kPaletteEntries; ++j) {
            unsigned char* a = palette + 3 * i;
            unsigned char* b = palette + 3 * j;
            if (Brightness(a) > Brightness(b)) {
                for (int c = 0; c < 3; ++c) {
                    const unsigned char t = a[c];
                    a[c] = b[c];
                    b[c] = t;
                }
                const unsigned char t = origin[i];
                origin[i] = origin[j];
                origin[j] = t;
                moved = true;
            }
        }
    }
    if (!moved || pixels == nullptr || pixelCount <= 0) {
        return;
    }
    unsigned char position[kPaletteEntries];  // inverse of origin
    for (int k = 0; k < kPaletteEntries; ++k) {
        position[origin[k]] = static_cast<unsigned char>(k);
    }
    for (int n = 0; n < pixelCount; ++n) {
        pixels[n] = position[pixels[n]];
    }
}

void ScalePictureToScreen(unsigned char* heightMap, unsigned char* scratch, int pictureWidth,
                          int pictureHeight, int screenWidth, int screenHeight) {
    std::size_t pictureBytes = 0;
    std::size_t screenBytes = 0;
    if (heightMap == nullptr || scratch == nullptr ||
        !PixelCount(pictureWidth, pictureHeight, &pictureBytes) ||
        !PixelCount(screenWidth, screenHeight, &screenBytes)) {
        return;
    }
    const std::size_t w = static_cast<std::size_t>(pictureWidth);
    const std::size_t h = static_cast<std::size_t>(pictureHeight);
    if (pictureWidth == screenWidth && pictureHeight == screenHeight) {
        // Steps of exactly 1 pick every pixel of its row: only the flip is
        // left, done in place by swapping rows.
        FlipRows(heightMap, w, h);
        return;
    }
    for (std::size_t r = 0; r < h; ++r) {
        std::memcpy(scratch + r * w, heightMap + (h - 1 - r) * w, w);
    }

    const double xStep = static_cast<double>(pictureWidth) / screenWidth;
    const double yStep = static_cast<double>(pictureHeight) / screenHeight;
    const std::size_t screenW = static_cast<std::size_t>(screenWidth);
    unsigned char* out = heightMap;
    double sy = 0.0;
    for (int y = 0; y < screenHeight; ++y) {
        const unsigned char* source = scratch + static_cast<std::size_t>(SourceIndex(sy, pictureHeight)) * w;
        double sx = 0.0;
        for (std::size_t x = 0; x < screenW; ++x) {
            out[x] = source[SourceIndex(sx, pictureWidth)];
            sx += xStep;
        }
        out += screenW;
        sy += yStep;
    }
}
