#include "effect/DefaultPicture.h"

#include "effect/PixelCount.h"
#include "framework/runtime/CrtRand.h"

#include <cstddef>
#include <cstring>

namespace {

// Red of the dark end of the ramp, which does not follow sqrt(255 g);
// entry 36 does, so it has no row here.
struct RedOverride {
    int entry;
    unsigned char red;
};
constexpr RedOverride kRedOverrides[] = {
    {11, 12}, {12, 16}, {13, 19}, {14, 23}, {15, 26}, {16, 30}, {17, 33}, {18, 37}, {19, 40},
    {20, 43}, {21, 46}, {22, 49}, {23, 52}, {24, 55}, {25, 58}, {26, 61}, {27, 64}, {28, 66},
    {29, 69}, {30, 71}, {31, 73}, {32, 76}, {33, 78}, {34, 80}, {35, 82}, {37, 85},
};

// round(sqrt(n)) in integers; n is never a square plus a half, so no tie rule.
int RoundedSqrt(int n) {
    int r = 0;
    while ((r + 1) * (r + 1) <= n) {
        ++r;
    }
    return n - r * r > r ? r + 1 : r;
}

// The range [first, end) of bytes that take noise and smoothing; empty when
// the picture is too small to hold the zero bytes at both ends.
bool InteriorRange(int width, int height, std::size_t* first, std::size_t* end, std::size_t* count) {
    if (!PixelCount(width, height, count)) {
        return false;
    }
    const std::size_t w = static_cast<std::size_t>(width);
    *first = w + 4;
    *end = *count - w;  // height >= 1, so no wrap
    return true;
}

}  // namespace

void FillDefaultPalette(unsigned char* palette) {
    if (palette == nullptr) {
        return;
    }
    for (int i = 0; i < kDefaultPaletteSize; ++i) {
        unsigned char* entry = palette + 3 * i;
        if (i <= 10) {
            entry[0] = entry[1] = entry[2] = 0;
        } else if (i == 255) {
            entry[0] = entry[1] = entry[2] = 255;
        } else {
            const int g = i - 8;
            int red = RoundedSqrt(255 * g);
            for (const RedOverride& o : kRedOverrides) {
                if (o.entry == i) {
                    red = o.red;
                }
            }
            entry[0] = static_cast<unsigned char>(red);
            entry[1] = static_cast<unsigned char>(g);
            entry[2] = static_cast<unsigned char>((2 * g * g + 255) / 510);  // round(g*g / 255)
        }
    }
}

void FillDefaultNoise(unsigned char* pixels, int width, int height, std::uint32_t* randomState) {
    std::size_t first = 0;
    std::size_t end = 0;
    std::size_t count = 0;
    if (pixels == nullptr || randomState == nullptr || !InteriorRange(width, height, &first, &end, &count)) {
        return;
    }
    if (first >= end) {
        std::memset(pixels, 0, count);
        return;
    }
    std::memset(pixels, 0, first);
    for (std::size_t k = first; k < end; ++k) {
        pixels[k] = static_cast<unsigned char>(CrtRandNext(randomState) % 256);
    }
    std::memset(pixels + end, 0, count - end);
}

void SmoothDefaultPicture(unsigned char* pixels, int width, int height) {
    std::size_t first = 0;
    std::size_t end = 0;
    std::size_t count = 0;
    if (pixels == nullptr || !InteriorRange(width, height, &first, &end, &count) || first >= end) {
        return;
    }
    // With first < end every offset stays inside: k - w - 4 >= 0 and
    // k + w - 1 <= count - 2.
    const std::size_t w = static_cast<std::size_t>(width);
    unsigned char* b = pixels;
    unsigned previous = b[first - 1];  // the new value of b[k - 1], kept in a register
    for (std::size_t k = first; k < end; ++k) {
        const unsigned s = 2u * b[k - w - 4] + 4u * b[k - w - 2] + 2u * b[k - w - 1] + b[k - w] +
                           previous + b[k] + b[k + w - 1];
        unsigned q = s / 12;
        q -= (q != 0);
        b[k] = static_cast<unsigned char>(q);
        previous = q;
    }
}

void SmoothDefaultPictureTwice(unsigned char* pixels, int width, int height) {
    std::size_t first = 0;
    std::size_t end = 0;
    std::size_t count = 0;
    if (pixels == nullptr || !InteriorRange(width, height, &first, &end, &count) || first >= end) {
        return;
    }
    // Byte k of the second pass needs the first pass's bytes k and k + w - 1,
    // so the first pass runs w - 1 bytes ahead in the same buffer, and the two
    // sequential chains of "previous" values overlap. Past k the buffer holds
    // first-pass bytes, then noise; before k the second pass's. The first
    // pass's own bytes k - 5 .. k - 1, which it still reads, are kept in a.
    const std::size_t w = static_cast<std::size_t>(width);
    unsigned char* b = pixels;
    const std::size_t lead = w - 1;
    unsigned previous1 = b[first - 1];
    std::size_t j = first;  // the first pass's next byte
    for (; j < end && j < first + lead; ++j) {
        const unsigned s = 2u * b[j - w - 4] + 4u * b[j - w - 2] + 2u * b[j - w - 1] + b[j - w] + previous1 +
                           b[j] + b[j + w - 1];
        unsigned q = s / 12;
        q -= (q != 0);
        b[j] = static_cast<unsigned char>(q);
        previous1 = q;
    }
    // a[i]: the first pass's byte k - 5 + i (below first: untouched zeros).
    unsigned a[5] = {b[first - 5], b[first - 4], b[first - 3], b[first - 2], b[first - 1]};
    unsigned previous2 = b[first - 1];
    for (std::size_t k = first; k < end; ++k, ++j) {
        if (j < end) {  // j = k + w - 1: its neighbours j - w - 4 .. j - w are k - 5 .. k - 1
            const unsigned s = 2u * a[0] + 4u * a[2] + 2u * a[3] + a[4] + previous1 + b[j] + b[j + w - 1];
            unsigned q = s / 12;
            q -= (q != 0);
            b[j] = static_cast<unsigned char>(q);
            previous1 = q;
        }
        const unsigned firstPass = b[k];
        const unsigned s = 2u * b[k - w - 4] + 4u * b[k - w - 2] + 2u * b[k - w - 1] + b[k - w] + previous2 +
                           firstPass + b[k + w - 1];
        unsigned q = s / 12;
        q -= (q != 0);
        b[k] = static_cast<unsigned char>(q);
        previous2 = q;
        a[0] = a[1];
        a[1] = a[2];
        a[2] = a[3];
        a[3] = a[4];
        a[4] = firstPass;
    }
}

void GenerateDefaultPicture(unsigned char* pixels, int width, int height, unsigned char* palette,
                            std::uint32_t randomSeed) {
    FillDefaultPalette(palette);
    std::uint32_t state = randomSeed;
    FillDefaultNoise(pixels, width, height, &state);
    SmoothDefaultPictureTwice(pixels, width, height);
}
