#include "image/Picture.h"

#include "image/Gif.h"
#include "image/ImageMemory.h"
#include "image/PictureFile.h"
#include "image/PictureGuard.h"
#include "image/PictureRewrite.h"
#include "image/Quantize.h"
#include "image/StbDecode.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::size_t kSignatureBytes = 8;

bool StartsWith(const unsigned char* bytes, std::size_t size, const char* signature, std::size_t length) {
    return size >= length && std::memcmp(bytes, signature, length) == 0;
}

// Pixels that are partly or wholly transparent, laid over black.
void OverBlack(unsigned char* rgba, std::size_t pixelCount) {
    for (std::size_t i = 0; i < pixelCount; ++i) {
        unsigned char* p = rgba + 4 * i;
        const unsigned alpha = p[3];
        if (alpha != 255) {
            for (int c = 0; c < 3; ++c) {
                p[c] = static_cast<unsigned char>((p[c] * alpha + 127) / 255);
            }
        }
    }
}

// A BMP whose alpha bytes are all 0 (GDI writes such 32-bit files, with an
// alpha mask) has no transparency: it is shown opaque.
bool NoAlphaAtAll(const unsigned char* rgba, std::size_t pixelCount) {
    for (std::size_t i = 0; i < pixelCount; ++i) {
        if (rgba[4 * i + 3] != 0) {
            return false;
        }
    }
    return true;
}

// The working memory of a decode (see Picture.h).
ImageBudget BudgetFor(int width, int height, std::size_t fileBytes) {
    const std::uint64_t w = static_cast<std::uint64_t>(width);
    const std::uint64_t h = static_cast<std::uint64_t>(height);
    const std::uint64_t block = 8 * (w + 32) * (h + 32);
    const std::uint64_t inflated = 16 * w * h + 2 * h;
    const std::uint64_t file = 2 * static_cast<std::uint64_t>(fileBytes);
    const std::uint64_t largest = std::max({block, inflated, file, std::uint64_t{kPictureBlockFloor}});
    const std::uint64_t total = 28 * w * h + file + kPictureBudgetSlack;
    ImageBudget budget = {};
    budget.largestBlock = largest < SIZE_MAX ? static_cast<std::size_t>(largest) : SIZE_MAX;
    budget.total = total < SIZE_MAX ? static_cast<std::size_t>(total) : SIZE_MAX;
    return budget;
}

// DecodePicture on a file the guards passed and the library is to read as it is.
unsigned char* DecodeChecked(PictureFormat format, const unsigned char* bytes, std::size_t size, int* width,
                             int* height, int reserveWidth, int reserveHeight, unsigned char* palette) {
    if (size > static_cast<std::size_t>(INT_MAX)) {
        return nullptr;
    }
    // The header's size, checked before the library allocates for the pixels.
    int w = 0;
    int h = 0;
    if (!StbPictureSize(bytes, static_cast<int>(size), &w, &h) || w <= 0 || h <= 0) {
        return nullptr;
    }
    const std::uint64_t pixels = static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h);
    const std::uint64_t reserve =
        reserveWidth > 0 && reserveHeight > 0
            ? static_cast<std::uint64_t>(reserveWidth) * static_cast<std::uint64_t>(reserveHeight)
            : 0;
    const std::uint64_t bufferBytes = pixels > reserve ? pixels : reserve;
    if (pixels > kPictureMaxPixels || bufferBytes > kGifMaxBufferBytes) {
        return nullptr;
    }

    ImageBudget budget = BudgetFor(w, h, size);
    ImageBudget* const outer = ImageUseBudget(&budget);
    int decodedWidth = 0;
    int decodedHeight = 0;
    unsigned char* rgba = StbDecodeRgba(bytes, static_cast<int>(size), &decodedWidth, &decodedHeight);
    if (rgba == nullptr) {
        ImageUseBudget(outer);
        return nullptr;
    }
    unsigned char* result = nullptr;
    unsigned char colors[3 * kMaxPaletteColors];
    int colorCount = 0;
    // The decoder reads the header again; what it decoded must be what was checked.
    if (decodedWidth == w && decodedHeight == h) {
        const std::size_t count = static_cast<std::size_t>(pixels);
        result = static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(bufferBytes)));
        if (result != nullptr) {
            if (format != PictureFormat::Bmp || !NoAlphaAtAll(rgba, count)) {
                OverBlack(rgba, count);
            }
            colorCount = QuantizeColors(rgba, count, result, colors);
            std::memset(result + count, 0, static_cast<std::size_t>(bufferBytes) - count);
        }
    }
    ImageFree(rgba);
    ImageUseBudget(outer);
    if (colorCount == 0) {
        std::free(result);
        return nullptr;
    }
    if (palette != nullptr) {
        std::memcpy(palette, colors, 3 * static_cast<std::size_t>(colorCount));
    }
    *width = w;
    *height = h;
    return result;
}

}  // namespace

PictureFormat PictureFormatOf(const unsigned char* bytes, std::size_t size) {
    if (bytes == nullptr) {
        return PictureFormat::Unknown;
    }
    if (StartsWith(bytes, size, "GIF", 3)) {
        return PictureFormat::Gif;
    }
    if (StartsWith(bytes, size, "\x89PNG\r\n\x1a\n", 8)) {
        return PictureFormat::Png;
    }
    if (StartsWith(bytes, size, "\xFF\xD8\xFF", 3)) {
        return PictureFormat::Jpeg;
    }
    if (StartsWith(bytes, size, "BM", 2)) {
        return PictureFormat::Bmp;
    }
    return PictureFormat::Unknown;
}

unsigned char* DecodePicture(const unsigned char* bytes, std::size_t size, int* width, int* height,
                             int reserveWidth, int reserveHeight, unsigned char* palette) {
    const PictureFormat format = PictureFormatOf(bytes, size);
    if (width == nullptr || height == nullptr || size > static_cast<std::size_t>(INT_MAX) ||
        (format != PictureFormat::Png && format != PictureFormat::Jpeg && format != PictureFormat::Bmp)) {
        return nullptr;
    }
    if (!SafeForDecoder(format, bytes, size)) {
        return nullptr;
    }
    unsigned char* rewritten = nullptr;
    std::size_t rewrittenSize = 0;
    if (!RewriteForDecoder(format, bytes, size, &rewritten, &rewrittenSize)) {
        return nullptr;
    }
    unsigned char* result = DecodeChecked(format, rewritten != nullptr ? rewritten : bytes,
                                          rewritten != nullptr ? rewrittenSize : size, width, height, reserveWidth,
                                          reserveHeight, palette);
    ImageFree(rewritten);
    return result;
}

unsigned char* LoadPictureFile(const char* fileName, int* width, int* height, int reserveWidth, int reserveHeight,
                               unsigned char* palette) {
    unsigned char start[kSignatureBytes];
    const int read = ReadFileStart(fileName, start, static_cast<int>(sizeof start));
    if (read < 0) {
        return nullptr;
    }
    switch (PictureFormatOf(start, static_cast<std::size_t>(read))) {
    case PictureFormat::Gif:
        return LoadGif(fileName, width, height, reserveWidth, reserveHeight, palette);
    case PictureFormat::Unknown:
        return nullptr;
    default:
        break;
    }
    std::size_t size = 0;
    unsigned char* bytes = ReadWholeFile(fileName, kPictureMaxFileBytes, &size);
    if (bytes == nullptr) {
        return nullptr;
    }
    unsigned char* result = DecodePicture(bytes, size, width, height, reserveWidth, reserveHeight, palette);
    ImageFree(bytes);
    return result;
}
