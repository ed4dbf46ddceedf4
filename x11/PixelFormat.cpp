#include "x11/PixelFormat.h"

#include <algorithm>
#include <cstring>

namespace {

int ShiftOf(std::uint32_t mask) {
    int shift = 0;
    while (mask != 0 && (mask & 1u) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

int WidthOf(std::uint32_t mask) {
    mask >>= ShiftOf(mask);
    int bits = 0;
    while (mask & 1u) {
        mask >>= 1;
        ++bits;
    }
    return bits;
}

// A mask is one run of 1 to 8 set bits.
bool UsableMask(std::uint32_t mask) {
    const int bits = WidthOf(mask);
    return bits >= 1 && bits <= 8 && (mask >> ShiftOf(mask)) == (1u << bits) - 1;
}

std::uint32_t Channel(unsigned char value, std::uint32_t mask) {
    const std::uint32_t top = (1u << WidthOf(mask)) - 1;
    return ((value * top + 127) / 255) << ShiftOf(mask);
}

std::uint32_t Swap(std::uint32_t v, int bitsPerPixel) {
    switch (bitsPerPixel) {
    case 16: return ((v & 0xFF) << 8) | ((v >> 8) & 0xFF);
    case 24: return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
    case 32: return ((v & 0xFF) << 24) | ((v & 0xFF00) << 8) | ((v >> 8) & 0xFF00) | (v >> 24);
    default: return v;
    }
}

template <typename Pixel>
void ConvertRows(const unsigned char* src, std::size_t srcStride, int height, const PixelRect& r,
                 const PixelTable& table, const ImageBuffer& image) {
    for (int row = r.y0; row < r.y1; ++row) {
        const unsigned char* in = src + static_cast<std::size_t>(row) * srcStride + r.x0;
        unsigned char* line = image.data + static_cast<std::size_t>(height - 1 - row - image.top) * image.stride;
        Pixel* out = reinterpret_cast<Pixel*>(line) + (r.x0 - image.left);
        for (int x = r.x0; x < r.x1; ++x) *out++ = static_cast<Pixel>(table[*in++]);
    }
}

}  // namespace

VisualKind ClassifyVisual(bool trueColor, bool pseudoColor, int depth, int colormapSize, int bitsPerPixel,
                          std::uint32_t redMask, std::uint32_t greenMask, std::uint32_t blueMask) {
    const bool pixelSize = bitsPerPixel == 8 || bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32;
    if (!pixelSize || depth > bitsPerPixel) return VisualKind::Unsupported;
    if (trueColor && depth >= 15 && UsableMask(redMask) && UsableMask(greenMask) && UsableMask(blueMask) &&
        (redMask & greenMask) == 0 && (redMask & blueMask) == 0 && (greenMask & blueMask) == 0 &&
        ((redMask | greenMask | blueMask) >> (bitsPerPixel - 1) >> 1) == 0) {
        return VisualKind::Masked;
    }
    if (pseudoColor && depth >= 8 && colormapSize >= 256) return VisualKind::Indexed;
    return VisualKind::Unsupported;
}

PixelTable BuildPixelTable(const unsigned char* palette, const PixelFormat& format) {
    PixelTable table{};
    if (palette == nullptr) return table;
    for (int v = 0; v < 256; ++v) {
        std::uint32_t pixel = 0;
        if (format.kind == VisualKind::Masked) {
            const unsigned char* c = palette + 3 * v;
            pixel = Channel(c[0], format.redMask) | Channel(c[1], format.greenMask) | Channel(c[2], format.blueMask);
        } else if (format.kind == VisualKind::Indexed) {
            pixel = static_cast<std::uint32_t>(v);
        }
        table[v] = format.swapBytes ? Swap(pixel, format.bitsPerPixel) : pixel;
    }
    return table;
}

PixelRect ImageRectOf(const PixelRect& mapRect, int height) {
    return {mapRect.x0, height - mapRect.y1, mapRect.x1, height - mapRect.y0};
}

void ConvertRectToImage(const unsigned char* src, std::size_t srcStride, int width, int height,
                        const PixelRect& rect, const PixelTable& table, const ImageBuffer& image) {
    const int bpp = image.bitsPerPixel;
    if (src == nullptr || image.data == nullptr || width <= 0 || height <= 0) return;
    if (srcStride < static_cast<std::size_t>(width)) return;
    if (bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return;
    if (image.width <= 0 || image.height <= 0 || image.stride < static_cast<std::size_t>(image.width) * (bpp / 8)) return;
    // The image's window rows [top, top + height) are map rows
    // (height - top - image.height, height - top].
    const int mapTop = height - image.top;
    const PixelRect r{std::max({rect.x0, 0, image.left}), std::max({rect.y0, 0, mapTop - image.height}),
                      std::min({rect.x1, width, image.left + image.width}), std::min({rect.y1, height, mapTop})};
    if (r.Empty()) return;
    switch (bpp) {
    case 8: ConvertRows<std::uint8_t>(src, srcStride, height, r, table, image); break;
    case 16: ConvertRows<std::uint16_t>(src, srcStride, height, r, table, image); break;
    case 32: ConvertRows<std::uint32_t>(src, srcStride, height, r, table, image); break;
    case 24:
        // Packed three-byte pixels: the table's value in memory order, low byte first.
        for (int row = r.y0; row < r.y1; ++row) {
            const unsigned char* in = src + static_cast<std::size_t>(row) * srcStride + r.x0;
            unsigned char* out = image.data + static_cast<std::size_t>(height - 1 - row - image.top) * image.stride +
                                 3 * static_cast<std::size_t>(r.x0 - image.left);
            for (int x = r.x0; x < r.x1; ++x, out += 3) {
                const std::uint32_t p = table[*in++];
                out[0] = p & 0xFF;
                out[1] = (p >> 8) & 0xFF;
                out[2] = (p >> 16) & 0xFF;
            }
        }
        break;
    }
}
