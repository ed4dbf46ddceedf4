// DecodePicture on arbitrary bytes (PNG, JPEG and BMP through stb_image, then
// the colour reduction). A buffer that comes back must be readable to its
// last byte and zero beyond the picture, and a second decode on memory made
// dirty with other bytes must give the same picture; the sanitizers watch the
// library and our code on the way.
#include "image/Gif.h"
#include "image/ImageMemory.h"
#include "image/Picture.h"
#include "image/PictureGuard.h"
#include "image/PictureRewrite.h"
#include "image/StbDecode.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kReserveSide = 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Pictures above 4 M pixels cost a huge allocation per run and teach the
    // fuzzer nothing new; the size limit itself is covered by the unit tests.
    int headerWidth = 0;
    int headerHeight = 0;
    // The header is read only where DecodePicture would read it too: in the
    // file as rewritten for the library.
    const PictureFormat format = PictureFormatOf(data, size);
    if (size <= 0x7FFFFFFF && SafeForDecoder(format, data, size)) {
        unsigned char* rewritten = nullptr;
        std::size_t rewrittenSize = 0;
        if (!RewriteForDecoder(format, data, size, &rewritten, &rewrittenSize)) {
            return 0;
        }
        const bool readable = rewritten != nullptr
                                  ? StbPictureSize(rewritten, static_cast<int>(rewrittenSize), &headerWidth, &headerHeight)
                                  : StbPictureSize(data, static_cast<int>(size), &headerWidth, &headerHeight);
        ImageFree(rewritten);
        if (readable && static_cast<std::uint64_t>(headerWidth) * static_cast<std::uint64_t>(headerHeight) >
                            (std::uint64_t(1) << 22)) {
            return -1;
        }
    }
    // Odd sizes decode without a palette.
    unsigned char palette[768] = {};
    int width = -1;
    int height = -1;
    ImageScribble(0xA7);
    unsigned char* buffer =
        DecodePicture(data, size, &width, &height, kReserveSide, kReserveSide, (size & 1) ? nullptr : palette);
    {
        unsigned char again[768] = {};
        int w = -1;
        int h = -1;
        ImageScribble(0x00);
        unsigned char* second =
            DecodePicture(data, size, &w, &h, kReserveSide, kReserveSide, (size & 1) ? nullptr : again);
        ImageScribble(-1);
        if ((buffer == nullptr) != (second == nullptr) || w != width || h != height ||
            std::memcmp(palette, again, sizeof palette) != 0 ||
            (buffer != nullptr &&
             std::memcmp(buffer, second, static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) != 0)) {
            std::abort();  // a pixel from memory nobody wrote
        }
        std::free(second);
    }
    if (buffer == nullptr) {
        if (width != -1 || height != -1) {
            std::abort();  // a refusal writes no out parameter
        }
        return 0;
    }
    if (width <= 0 || height <= 0 || width != headerWidth || height != headerHeight) {
        std::abort();
    }
    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (pixels > kPictureMaxPixels) {
        std::abort();
    }
    const std::size_t reserve = std::size_t(kReserveSide) * kReserveSide;
    const std::size_t bytes = pixels > reserve ? pixels : reserve;
    unsigned sum = 0;
    for (std::size_t i = 0; i < bytes; ++i) {
        if (i >= pixels && buffer[i] != 0) {
            std::abort();
        }
        sum += buffer[i];
    }
    volatile unsigned sink = sum;
    (void)sink;
    std::free(buffer);
    return 0;
}
