// DecodePicture on arbitrary bytes (PNG, JPEG and BMP through stb_image, then
// the colour reduction). A buffer that comes back must be readable to its
// last byte and zero beyond the picture; the sanitizers watch the library and
// our code on the way.
#include "image/Gif.h"
#include "image/Picture.h"
#include "image/PictureGuard.h"
#include "image/StbDecode.h"

#include <cstdint>
#include <cstdlib>

namespace {

constexpr int kReserveSide = 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Pictures above 4 M pixels cost a huge allocation per run and teach the
    // fuzzer nothing new; the size limit itself is covered by the unit tests.
    int headerWidth = 0;
    int headerHeight = 0;
    // The header is read only where DecodePicture would read it too.
    if (size <= 0x7FFFFFFF && SafeForDecoder(PictureFormatOf(data, size), data, size) &&
        StbPictureSize(data, static_cast<int>(size), &headerWidth, &headerHeight) &&
        static_cast<std::uint64_t>(headerWidth) * static_cast<std::uint64_t>(headerHeight) > (std::uint64_t(1) << 22)) {
        return -1;
    }
    // Odd sizes decode without a palette.
    unsigned char palette[768] = {};
    int width = -1;
    int height = -1;
    unsigned char* buffer =
        DecodePicture(data, size, &width, &height, kReserveSide, kReserveSide, (size & 1) ? nullptr : palette);
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
