#include "effect/BumpPass.h"

#include "effect/PixelCount.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>

// ORVANE_BUMP_SCALAR keeps the scalar path where SSE2 exists, to measure what
// the release (i486, no SSE2) runs.
#if (defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)) && !defined(ORVANE_BUMP_SCALAR)
#define ORVANE_BUMP_SSE2 1
#include <emmintrin.h>
#endif

namespace {

using std::int64_t;
using std::uint64_t;

// Offsets |dx|, |dy| up to this keep |nx|, |ny| <= 32767: they fit 16-bit
// lanes and nx^2 + ny^2 < 2^31 fits a signed 32-bit sum.
constexpr int64_t kNarrowOffsetLimit = 32767 - 255;

unsigned ShiftOf(const BumpSettings& settings) {
    return static_cast<unsigned>(settings.multiplier) & 31u;
}

// One pixel in 64-bit: exact for any dx, dy that pass the window test
// (|d| < 2^31), where |n| < 2^31 + 255 and the sum stays below 2^64.
unsigned char BumpValue(int left, int right, int below, int above, int64_t dx, int64_t dy, unsigned shift) {
    const int64_t nx = static_cast<int64_t>(left - right) - dx;
    const int64_t ny = static_cast<int64_t>(below - above) - dy;
    const uint64_t sum = static_cast<uint64_t>(nx * nx) + static_cast<uint64_t>(ny * ny);
    const uint64_t t = sum >> shift;
    return t >= 255 ? 0 : static_cast<unsigned char>(255 - t);
}

bool MapSize(const unsigned char* a, const unsigned char* b, int width, int height, std::size_t* count) {
    return a != nullptr && b != nullptr && PixelCount(width, height, count);
}

// Row kernel for the usual case: |x - lightX| and |dy| at most
// kNarrowOffsetLimit, so nx and ny fit 16 bits and nx^2 + ny^2 < 2^31.
// from is in [-1, 254].
void BumpRowNarrowScalar(const unsigned char* __restrict row, const unsigned char* __restrict below,
                         const unsigned char* __restrict above, unsigned char* __restrict out, int x0, int x1,
                         int lightX, int dy, int shift, int from) {
    for (int x = x0; x < x1; ++x) {
        const int nx = row[x - 1] - row[x + 1] + (x - lightX);
        const int ny = below[x] - above[x] - dy;
        const int t = (nx * nx + ny * ny) >> shift;
        const int v = t > 255 ? 0 : 255 - t;
        out[x] = row[x] > from ? static_cast<unsigned char>(v) : out[x];
    }
}

#if ORVANE_BUMP_SSE2
// Sixteen pixels per step. The compiler's own vectorisation of the scalar
// kernel widens everything to 32 bits and emulates the 32-bit multiply;
// pairing nx with ny in 16-bit lanes lets one multiply-add give nx^2 + ny^2.
void BumpRowNarrow(const unsigned char* __restrict row, const unsigned char* __restrict below,
                   const unsigned char* __restrict above, unsigned char* __restrict out, int x0, int x1,
                   int lightX, int dy, int shift, int from) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i count = _mm_cvtsi32_si128(shift);
    const __m128i c255 = _mm_set1_epi16(255);
    const __m128i minusDy = _mm_set1_epi16(static_cast<short>(-dy));
    const __m128i eight = _mm_set1_epi16(8);
    const __m128i lowest = _mm_set1_epi8(static_cast<char>(from + 1));  // lit when height >= from + 1
    __m128i offset = _mm_add_epi16(_mm_set1_epi16(static_cast<short>(x0 - lightX)),
                                   _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7));
    int x = x0;
    for (; x + 16 <= x1; x += 16) {
        const __m128i left = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x - 1));
        const __m128i right = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x + 1));
        const __m128i down = _mm_loadu_si128(reinterpret_cast<const __m128i*>(below + x));
        const __m128i up = _mm_loadu_si128(reinterpret_cast<const __m128i*>(above + x));
        const __m128i height = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
        const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out + x));

        __m128i nx = _mm_add_epi16(_mm_sub_epi16(_mm_unpacklo_epi8(left, zero), _mm_unpacklo_epi8(right, zero)), offset);
        __m128i ny = _mm_add_epi16(_mm_sub_epi16(_mm_unpacklo_epi8(down, zero), _mm_unpacklo_epi8(up, zero)), minusDy);
        offset = _mm_add_epi16(offset, eight);
        __m128i pairs = _mm_unpacklo_epi16(nx, ny);
        __m128i t0 = _mm_sra_epi32(_mm_madd_epi16(pairs, pairs), count);
        pairs = _mm_unpackhi_epi16(nx, ny);
        __m128i t1 = _mm_sra_epi32(_mm_madd_epi16(pairs, pairs), count);
        // t saturates to 32767 and 255 - t then to 0..255 when packed to bytes.
        const __m128i low = _mm_sub_epi16(c255, _mm_packs_epi32(t0, t1));

        nx = _mm_add_epi16(_mm_sub_epi16(_mm_unpackhi_epi8(left, zero), _mm_unpackhi_epi8(right, zero)), offset);
        ny = _mm_add_epi16(_mm_sub_epi16(_mm_unpackhi_epi8(down, zero), _mm_unpackhi_epi8(up, zero)), minusDy);
        offset = _mm_add_epi16(offset, eight);
        pairs = _mm_unpacklo_epi16(nx, ny);
        t0 = _mm_sra_epi32(_mm_madd_epi16(pairs, pairs), count);
        pairs = _mm_unpackhi_epi16(nx, ny);
        t1 = _mm_sra_epi32(_mm_madd_epi16(pairs, pairs), count);
        const __m128i high = _mm_sub_epi16(c255, _mm_packs_epi32(t0, t1));

        const __m128i value = _mm_packus_epi16(low, high);
        const __m128i lit = _mm_cmpeq_epi8(_mm_max_epu8(height, lowest), height);
        const __m128i result = _mm_xor_si128(old, _mm_and_si128(lit, _mm_xor_si128(old, value)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), result);
    }
    BumpRowNarrowScalar(row, below, above, out, x, x1, lightX, dy, shift, from);
}
#else
void BumpRowNarrow(const unsigned char* __restrict row, const unsigned char* __restrict below,
                   const unsigned char* __restrict above, unsigned char* __restrict out, int x0, int x1,
                   int lightX, int dy, int shift, int from) {
    BumpRowNarrowScalar(row, below, above, out, x0, x1, lightX, dy, shift, from);
}
#endif

void BumpRowWide(const unsigned char* row, const unsigned char* below, const unsigned char* above,
                 unsigned char* out, int x0, int x1, int lightX, int64_t dy, unsigned shift, int from) {
    for (int x = x0; x < x1; ++x) {
        if (row[x] > from) {
            out[x] = BumpValue(row[x - 1], row[x + 1], below[x], above[x],
                               static_cast<int64_t>(lightX) - x, dy, shift);
        }
    }
}

// 8-byte steps: runs of zero intensity (everything outside the spot, and all
// of the unlit relief) become a single store.
void ConvertRow(const unsigned char* src, unsigned char* dst, std::size_t n, const unsigned char* table) {
    const uint64_t zeroFill = table[0] * UINT64_C(0x0101010101010101);
    std::size_t k = 0;
    for (; k + 8 <= n; k += 8) {
        uint64_t chunk;
        std::memcpy(&chunk, src + k, 8);
        if (chunk == 0) {
            std::memcpy(dst + k, &zeroFill, 8);
        } else {
            for (std::size_t b = k; b < k + 8; ++b) {
                dst[b] = table[src[b]];
            }
        }
    }
    for (; k < n; ++k) {
        dst[k] = table[src[k]];
    }
}

void ConvertRows(const unsigned char* lightMap, std::size_t width, unsigned char* bits, std::size_t stride,
                 const unsigned char* colorIndex, const PixelRect& r) {
    // A local copy cannot alias the bitmap, so the compiler need not order
    // every table load after the previous store.
    unsigned char table[256];
    if (colorIndex != nullptr) {
        std::memcpy(table, colorIndex, sizeof table);
    }
    const std::size_t x0 = static_cast<std::size_t>(r.x0);
    const std::size_t n = static_cast<std::size_t>(r.x1 - r.x0);
    for (int j = r.y0; j < r.y1; ++j) {
        const unsigned char* src = lightMap + static_cast<std::size_t>(j) * width + x0;
        unsigned char* dst = bits + static_cast<std::size_t>(j) * stride + x0;
        if (colorIndex == nullptr) {
            std::memcpy(dst, src, n);
        } else {
            ConvertRow(src, dst, n, table);
        }
    }
}

// Sets the bytes of rect (already inside the map) in rows of the given stride.
void FillRect(unsigned char* bytes, std::size_t stride, const PixelRect& r, unsigned char value) {
    if (r.Empty()) {
        return;
    }
    const std::size_t n = static_cast<std::size_t>(r.x1 - r.x0);
    for (int j = r.y0; j < r.y1; ++j) {
        std::memset(bytes + static_cast<std::size_t>(j) * stride + static_cast<std::size_t>(r.x0), value, n);
    }
}

// Sets the bytes of outer that lie outside inner: the bands below and above
// inner, then the parts left and right of it in the rows they share.
void FillDifference(unsigned char* bytes, std::size_t stride, const PixelRect& outer, const PixelRect& inner,
                    unsigned char value) {
    if (outer.Empty()) {
        return;
    }
    if (inner.Empty() || inner.x0 >= outer.x1 || inner.x1 <= outer.x0 || inner.y0 >= outer.y1 ||
        inner.y1 <= outer.y0) {
        FillRect(bytes, stride, outer, value);
        return;
    }
    const int y0 = inner.y0 > outer.y0 ? inner.y0 : outer.y0;
    const int y1 = inner.y1 < outer.y1 ? inner.y1 : outer.y1;
    FillRect(bytes, stride, PixelRect{outer.x0, outer.y0, outer.x1, y0}, value);
    FillRect(bytes, stride, PixelRect{outer.x0, y1, outer.x1, outer.y1}, value);
    FillRect(bytes, stride, PixelRect{outer.x0, y0, inner.x0 < outer.x1 ? inner.x0 : outer.x1, y1}, value);
    FillRect(bytes, stride, PixelRect{inner.x1 > outer.x0 ? inner.x1 : outer.x0, y0, outer.x1, y1}, value);
}

bool BitmapFits(int width, int height, int stride) {
    if (stride < width) {
        return false;
    }
    const uint64_t span = static_cast<uint64_t>(height - 1) * static_cast<uint64_t>(stride) +
                          static_cast<uint64_t>(width);
    return span <= static_cast<uint64_t>(PTRDIFF_MAX);
}

PixelRect Clip(const PixelRect& r, int width, int height) {
    PixelRect c = r;
    c.x0 = c.x0 < 0 ? 0 : c.x0;
    c.y0 = c.y0 < 0 ? 0 : c.y0;
    c.x1 = c.x1 > width ? width : c.x1;
    c.y1 = c.y1 > height ? height : c.y1;
    return c;
}

}  // namespace

int SaturateToInt(double value) {
    if (value != value) {
        return 0;
    }
    if (value >= static_cast<double>(INT_MAX)) {
        return INT_MAX;
    }
    if (value <= static_cast<double>(INT_MIN)) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

LightPosition MoveLight(double& angle, double angleStep, double radiusScale, int centerX, int centerY,
                        int xDistance, int yDistance) {
    LightPosition p;
    p.x = SaturateToInt(std::cos(angle) * xDistance * radiusScale + centerX);
    p.y = SaturateToInt(std::sin(angle) * yDistance * radiusScale + centerY);
    angle -= angleStep;
    return p;
}

PixelRect LitRect(int width, int height, int lightX, int lightY, const BumpSettings& settings) {
    // Open window lightX - xFallOff < x < lightX + xFallOff, in 64-bit so that
    // any fall-off and any light position are safe.
    int64_t x0 = static_cast<int64_t>(lightX) - settings.xFallOff + 1;
    int64_t x1 = static_cast<int64_t>(lightX) + settings.xFallOff;  // exclusive
    int64_t y0 = static_cast<int64_t>(lightY) - settings.yFallOff + 1;
    int64_t y1 = static_cast<int64_t>(lightY) + settings.yFallOff;
    x0 = x0 < 1 ? 1 : x0;
    y0 = y0 < 1 ? 1 : y0;
    x1 = x1 > static_cast<int64_t>(width) - 1 ? static_cast<int64_t>(width) - 1 : x1;
    y1 = y1 > static_cast<int64_t>(height) - 1 ? static_cast<int64_t>(height) - 1 : y1;
    if (x0 >= x1 || y0 >= y1) {
        return PixelRect{0, 0, 0, 0};
    }
    return PixelRect{static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1), static_cast<int>(y1)};
}

void ClearLightMap(unsigned char* lightMap, int width, int height) {
    std::size_t count = 0;
    if (lightMap != nullptr && PixelCount(width, height, &count)) {
        std::memset(lightMap, 0, count);
    }
}

void ApplyBumpReference(const unsigned char* heightMap, unsigned char* lightMap, int width, int height,
                        int lightX, int lightY, const BumpSettings& settings) {
    std::size_t count = 0;
    if (!MapSize(heightMap, lightMap, width, height, &count)) {
        return;
    }
    const int64_t xFallOff = settings.xFallOff;
    const int64_t yFallOff = settings.yFallOff;
    const unsigned shift = ShiftOf(settings);
    const std::size_t w = static_cast<std::size_t>(width);
    for (int y = 1; y < height - 1; ++y) {
        const unsigned char* row = heightMap + static_cast<std::size_t>(y) * w;
        const unsigned char* below = row - w;
        const unsigned char* above = row + w;
        unsigned char* out = lightMap + static_cast<std::size_t>(y) * w;
        const int64_t dy = static_cast<int64_t>(lightY) - y;
        for (int x = 1; x < width - 1; ++x) {
            const int64_t dx = static_cast<int64_t>(lightX) - x;
            if (!(-xFallOff < dx && dx < xFallOff && -yFallOff < dy && dy < yFallOff)) {
                continue;
            }
            const unsigned char v = BumpValue(row[x - 1], row[x + 1], below[x], above[x], dx, dy, shift);
            if (static_cast<int>(row[x]) > settings.fromIndex) {
                out[x] = v;
            }
        }
    }
}

void ApplyBump(const unsigned char* heightMap, unsigned char* lightMap, int width, int height, int lightX,
               int lightY, const BumpSettings& settings) {
    std::size_t count = 0;
    if (!MapSize(heightMap, lightMap, width, height, &count) || settings.fromIndex >= 255) {
        return;  // no height exceeds 255: nothing is lit
    }
    const PixelRect r = LitRect(width, height, lightX, lightY, settings);
    if (r.Empty()) {
        return;
    }
    const int from = settings.fromIndex < 0 ? -1 : settings.fromIndex;
    const unsigned shift = ShiftOf(settings);
    const std::size_t w = static_cast<std::size_t>(width);
    const int64_t lx = lightX;
    const int64_t ly = lightY;
    // Largest |dx| and |dy| inside the window (at one of its edges).
    const int64_t farX = lx - r.x0 > r.x1 - 1 - lx ? lx - r.x0 : r.x1 - 1 - lx;
    const int64_t farY = ly - r.y0 > r.y1 - 1 - ly ? ly - r.y0 : r.y1 - 1 - ly;
    const bool narrow = farX <= kNarrowOffsetLimit && farY <= kNarrowOffsetLimit;
    for (int y = r.y0; y < r.y1; ++y) {
        const unsigned char* row = heightMap + static_cast<std::size_t>(y) * w;
        unsigned char* out = lightMap + static_cast<std::size_t>(y) * w;
        const int64_t dy = ly - y;
        if (narrow) {
            BumpRowNarrow(row, row - w, row + w, out, r.x0, r.x1, lightX, static_cast<int>(dy),
                          static_cast<int>(shift), from);
        } else {
            BumpRowWide(row, row - w, row + w, out, r.x0, r.x1, lightX, dy, shift, from);
        }
    }
}

void ConvertLightMapRect(const unsigned char* lightMap, int width, int height, unsigned char* bits,
                         int stride, const unsigned char* colorIndex, const PixelRect& rect) {
    std::size_t count = 0;
    if (!MapSize(lightMap, bits, width, height, &count) || !BitmapFits(width, height, stride)) {
        return;
    }
    const PixelRect r = Clip(rect, width, height);
    if (r.Empty()) {
        return;
    }
    ConvertRows(lightMap, static_cast<std::size_t>(width), bits, static_cast<std::size_t>(stride), colorIndex, r);
}

void ConvertLightMap(const unsigned char* lightMap, int width, int height, unsigned char* bits, int stride,
                     const unsigned char* colorIndex) {
    ConvertLightMapRect(lightMap, width, height, bits, stride, colorIndex, PixelRect{0, 0, width, height});
}

void RenderFrameReference(const unsigned char* heightMap, unsigned char* lightMap, int width, int height,
                          int lightX, int lightY, const BumpSettings& settings, unsigned char* bits,
                          int stride, const unsigned char* colorIndex) {
    ClearLightMap(lightMap, width, height);
    ApplyBumpReference(heightMap, lightMap, width, height, lightX, lightY, settings);
    ConvertLightMap(lightMap, width, height, bits, stride, colorIndex);
}

void BumpFrame::Invalidate() {
    m_lightMapKnown = false;
    m_bitsKnown = false;
}

void BumpFrame::KnowClearLightMap(const unsigned char* lightMap, int width, int height) {
    m_lit = PixelRect{0, 0, 0, 0};
    m_lightMapKnown = true;
    m_bitsKnown = false;
    m_lightMap = lightMap;
    m_width = width;
    m_height = height;
}

void BumpFrame::KnowClearBits(unsigned char* bits, int stride, const unsigned char* colorIndex) {
    // Outside m_lit the rows must hold table[0]; they hold it everywhere.
    m_bitsKnown = true;
    m_bits = bits;
    m_stride = stride;
    m_identity = colorIndex == nullptr;
    if (colorIndex != nullptr) {
        std::memcpy(m_table, colorIndex, sizeof m_table);
    }
}

void BumpFrame::Render(const unsigned char* heightMap, unsigned char* lightMap, int width, int height,
                       int lightX, int lightY, const BumpSettings& settings, unsigned char* bits, int stride,
                       const unsigned char* colorIndex) {
    std::size_t count = 0;
    if (!MapSize(heightMap, lightMap, width, height, &count) || bits == nullptr ||
        !BitmapFits(width, height, stride)) {
        Invalidate();
        return;
    }
    const bool sameMaps = lightMap == m_lightMap && width == m_width && height == m_height;
    const bool sameTable = (colorIndex == nullptr) == m_identity &&
                           (colorIndex == nullptr || std::memcmp(colorIndex, m_table, sizeof m_table) == 0);
    if (!sameMaps) {
        m_lightMapKnown = false;
    }
    if (!sameMaps || bits != m_bits || stride != m_stride || !sameTable) {
        m_bitsKnown = false;
    }

    // Outside the previous window the light map is already 0.
    if (m_lightMapKnown) {
        FillRect(lightMap, static_cast<std::size_t>(width), m_lit, 0);
    } else {
        ClearLightMap(lightMap, width, height);
    }

    ApplyBump(heightMap, lightMap, width, height, lightX, lightY, settings);
    // ApplyBump writes nothing when no height can pass the threshold.
    const PixelRect lit = settings.fromIndex >= 255 ? PixelRect{0, 0, 0, 0}
                                                    : LitRect(width, height, lightX, lightY, settings);

    if (m_bitsKnown) {
        // What was lit last frame and is not lit now has intensity 0.
        FillDifference(bits, static_cast<std::size_t>(stride), m_lit, lit,
                       colorIndex != nullptr ? colorIndex[0] : 0);
        ConvertLightMapRect(lightMap, width, height, bits, stride, colorIndex, lit);
    } else {
        ConvertLightMap(lightMap, width, height, bits, stride, colorIndex);
    }

    m_lit = lit;
    m_lightMapKnown = true;
    m_bitsKnown = true;
    m_lightMap = lightMap;
    m_bits = bits;
    m_width = width;
    m_height = height;
    m_stride = stride;
    m_identity = colorIndex == nullptr;
    if (colorIndex != nullptr) {
        std::memcpy(m_table, colorIndex, sizeof m_table);
    }
}
