#include "display/SurfaceLogic.h"

#include <algorithm>
#include <cstring>

std::int64_t DibStride(int width, int bitCount) {
    if (width <= 0 || bitCount <= 0) return 0;
    const std::int64_t rowBytes = static_cast<std::int64_t>(width) * bitCount / 8;
    return (rowBytes + 3) & ~std::int64_t(3);
}

int BuildIdentityColorTable(int numColors, int sizePalette, const SystemPaletteEntry* systemPalette,
                            const std::uint32_t* colors, std::uint8_t* rgbQuads) {
    const bool hasPalette = numColors >= 1;
    if (hasPalette && sizePalette != kDibColorCount) return kDibPaletteNot256;
    // A driver reporting more than 256 static colours leaves no room for the caller's.
    const int half = hasPalette ? std::min(numColors / 2, kDibColorCount / 2) : 0;
    for (int i = 0; i < kDibColorCount; ++i) {
        std::uint8_t* quad = rgbQuads + 4 * i;
        const bool isStatic = i < half || i >= kDibColorCount - half;
        if (isStatic && systemPalette != nullptr) {
            quad[0] = systemPalette[i].blue;
            quad[1] = systemPalette[i].green;
            quad[2] = systemPalette[i].red;
        } else if (!isStatic && colors != nullptr) {
            quad[0] = static_cast<std::uint8_t>(colors[i] >> 16);
            quad[1] = static_cast<std::uint8_t>(colors[i] >> 8);
            quad[2] = static_cast<std::uint8_t>(colors[i]);
        } else {
            quad[0] = quad[1] = quad[2] = 0;
        }
        quad[3] = 0;
    }
    return kDibOk;
}

std::uint16_t Fill16FromColor(std::uint32_t color) {
    const unsigned red = color & 0xFF, green = (color >> 8) & 0xFF, blue = (color >> 16) & 0xFF;
    return static_cast<std::uint16_t>(((red >> 3) << 10) | ((green >> 3) << 5) | (blue >> 3));
}

void Fill24FromColor(std::uint32_t color, std::uint8_t* bgr) {
    bgr[0] = static_cast<std::uint8_t>(color >> 16);
    bgr[1] = static_cast<std::uint8_t>(color >> 8);
    bgr[2] = static_cast<std::uint8_t>(color);
}

namespace {

// One edge: "low" edges (left, top) are pulled into 0 .. extent-1, "high"
// edges (right, bottom) into 1 .. extent.
int ClampLow(int value, int extent) { return value < 0 ? 0 : (value >= extent ? extent - 1 : value); }
int ClampHigh(int value, int extent) { return value <= 0 ? 1 : (value > extent ? extent : value); }

int Saturate(std::int64_t value) {
    return static_cast<int>(std::min<std::int64_t>(std::max<std::int64_t>(value, INT32_MIN), INT32_MAX));
}

}  // namespace

bool ClampFillRect(const SurfaceRect& rect, int width, int height, SurfaceRect* clamped) {
    clamped->top = ClampLow(rect.top, height);
    clamped->bottom = ClampHigh(rect.bottom, height);
    clamped->left = ClampLow(rect.left, width);
    clamped->right = ClampHigh(rect.right, width);
    return clamped->top < clamped->bottom && clamped->left < clamped->right;
}

int FillSurfaceRect(std::uint8_t* bits, int width, int height, int bitCount, const SurfaceRect* rect,
                    const FillValues& fill) {
    SurfaceRect r = {0, 0, width, height};
    if (rect != nullptr && !ClampFillRect(*rect, width, height, &r)) return kDibEmptyRect;
    if (bitCount != 8 && bitCount != 16 && bitCount != 24) return kDibBadDepth;
    // An empty surface (no pixels, or a size that is not positive) has nothing to fill.
    if (bits == nullptr || width <= 0 || height <= 0 || r.left >= r.right || r.top >= r.bottom) return kDibOk;

    const std::int64_t stride = DibStride(width, bitCount);
    const int bytesPerPixel = bitCount / 8;
    const std::size_t count = static_cast<std::size_t>(r.right - r.left);
    // Image row y is stored row height - 1 - y.
    for (int y = r.top; y < r.bottom; ++y) {
        std::uint8_t* row = bits + static_cast<std::int64_t>(height - 1 - y) * stride + r.left * bytesPerPixel;
        switch (bitCount) {
        case 8:
            std::memset(row, fill.index, count);
            break;
        case 16:
            for (std::size_t k = 0; k < count; ++k) std::memcpy(row + 2 * k, &fill.word, 2);
            break;
        default:
            for (std::size_t k = 0; k < count; ++k) std::memcpy(row + 3 * k, fill.bgr, 3);
            break;
        }
    }
    return kDibOk;
}

DrawSource ResolveDrawSource(const SurfaceRect& source, int width, int height, bool isSection) {
    DrawSource s = {kDibOk, source.left, source.top, 0, 0};
    // Extents computed wide: rectangles from anywhere cannot overflow.
    const std::int64_t w = static_cast<std::int64_t>(source.right) - source.left;
    const std::int64_t h = static_cast<std::int64_t>(source.bottom) - source.top;
    if (s.x == 0 && s.y == 0 && w == width && h == height) {
        s.width = width;
        s.height = height;
        return s;
    }
    if (w < 0 || h < 0) {
        if (isSection) s.result = w < 0 ? kDibNegativeWidth : kDibNegativeHeight;
        return s;  // a packed bitmap is not mirrored: nothing is drawn
    }
    if (s.x >= width || s.y >= height) return s;
    // A start left of or above the surface is left to the system's clipping;
    // the arithmetic stays within int.
    const std::int64_t x = s.x, y = s.y;
    s.width = Saturate((w == 0 || x + w > width) ? width - x : w);
    s.height = Saturate((h == 0 || y + h > height) ? height - y : h);
    if (!isSection) s.y = Saturate(height - y - s.height);
    return s;
}
