// The per-frame kernels of the effect: moving the light, lighting the height
// map around it into the light map, and turning the light map into the rows
// of the 8-bit frame bitmap.
//
// Both maps are width x height bytes, row 0 at the bottom of the screen, as
// the frame bitmap stores its rows. Every parameter may hold any int that the
// registry can deliver (fall-offs and distances up to 2^31 - 1, negative
// values, a light far off the screen): the arithmetic is done wide enough that
// no signed overflow occurs, and for ordinary values the results are those of
// plain int arithmetic.
#pragma once

#include <cstddef>

// double -> int, truncating toward zero; values beyond the int range saturate
// to INT_MIN / INT_MAX and NaN gives 0, where a plain conversion would be
// undefined.
int SaturateToInt(double value);

struct LightPosition {
    int x;
    int y;
};

// The light's position on its ellipse for the current angle, then the angle
// moves on by one step (angle -= angleStep, never wrapped). Computed in double
// as cos(angle) * xDistance * radiusScale + centerX (likewise with sin and y),
// converted with SaturateToInt.
LightPosition MoveLight(double& angle, double angleStep, double radiusScale, int centerX, int centerY,
                        int xDistance, int yDistance);

struct BumpSettings {
    int xFallOff;    // a pixel is lit only when |lightX - x| < xFallOff
    int yFallOff;    // ... and |lightY - y| < yFallOff
    int multiplier;  // right shift of the squared normal; only its low five bits count
    int fromIndex;   // only heights strictly above this are lit
};

// Half-open pixel rectangle [x0, x1) x [y0, y1) in map coordinates.
struct PixelRect {
    int x0;
    int y0;
    int x1;
    int y1;
    bool Empty() const { return x0 >= x1 || y0 >= y1; }
};

// The pixels the bump pass may write: the open fall-off window around the
// light, clipped to the interior (rows 1..height-2, columns 1..width-2).
PixelRect LitRect(int width, int height, int lightX, int lightY, const BumpSettings& settings);

// Sets the first width x height bytes to 0.
void ClearLightMap(unsigned char* lightMap, int width, int height);

// Reference bump pass: every interior pixel is tested against the window.
// Inside it, nx = H[y][x-1] - H[y][x+1] - dx, ny = H[y-1][x] - H[y+1][x] - dy,
// v = 255 - ((nx^2 + ny^2) >> (multiplier & 31)) clamped to 0..255, written
// to L[y][x] only where H[y][x] > fromIndex. dx, dy, nx, ny are 64-bit and
// the sum of squares unsigned 64-bit, so huge settings cannot overflow.
void ApplyBumpReference(const unsigned char* heightMap, unsigned char* lightMap, int width, int height,
                        int lightX, int lightY, const BumpSettings& settings);

// Same result as ApplyBumpReference, visiting only LitRect; its cost follows
// the window's area, not the screen's.
void ApplyBump(const unsigned char* heightMap, unsigned char* lightMap, int width, int height, int lightX,
               int lightY, const BumpSettings& settings);

// Writes rect of the light map into a bottom-up bitmap: the byte at
// bits + j * stride + k becomes colorIndex[L[j][k]], or L[j][k] itself when
// colorIndex is null (a display deeper than 8 bits). Bytes past width in each
// row (the padding up to stride) are never written. Does nothing when
// stride < width, a buffer is null or a size is not positive; rect is clipped
// to the map.
void ConvertLightMapRect(const unsigned char* lightMap, int width, int height, unsigned char* bits,
                         int stride, const unsigned char* colorIndex, const PixelRect& rect);

// The whole map, e.g. for a repaint.
void ConvertLightMap(const unsigned char* lightMap, int width, int height, unsigned char* bits, int stride,
                     const unsigned char* colorIndex);

// One frame the plain way: clear the whole light map, reference bump pass,
// convert the whole map.
void RenderFrameReference(const unsigned char* heightMap, unsigned char* lightMap, int width, int height,
                          int lightX, int lightY, const BumpSettings& settings, unsigned char* bits,
                          int stride, const unsigned char* colorIndex);

// One frame whose cost follows the lit window. Outside the window the light
// map is 0 and the bitmap holds colorIndex[0], so a frame clears only the
// previous window in the light map, sets the part of the previous window
// that is no longer lit to colorIndex[0] in the bitmap and converts only the
// current window. The light map and every bitmap byte end up exactly as
// RenderFrameReference leaves them.
//
// The first frame, and any frame after the buffers, sizes, stride or the
// table (compared by content) change, clears and converts everything. Call
// Invalidate after anything else writes to the light map or the bitmap.
class BumpFrame {
public:
    void Render(const unsigned char* heightMap, unsigned char* lightMap, int width, int height, int lightX,
                int lightY, const BumpSettings& settings, unsigned char* bits, int stride,
                const unsigned char* colorIndex);

    void Invalidate();

    // Promises that lightMap (width x height) is all 0, as after a set-up:
    // the next frame clears only the window it lit.
    void KnowClearLightMap(const unsigned char* lightMap, int width, int height);
    // Promises that every byte of the rows bits (stride apart) is
    // colorIndex[0] (0 with a null table), as a freshly zeroed buffer: the
    // next frame writes only its lit window into them.
    void KnowClearBits(unsigned char* bits, int stride, const unsigned char* colorIndex);

    // Where the light map may be non-zero after the last frame.
    const PixelRect& LitArea() const { return m_lit; }

private:
    PixelRect m_lit{0, 0, 0, 0};
    bool m_lightMapKnown = false;  // light map is 0 outside m_lit
    bool m_bitsKnown = false;      // bitmap holds m_table[0] outside m_lit
    const unsigned char* m_lightMap = nullptr;
    unsigned char* m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
    bool m_identity = true;
    unsigned char m_table[256] = {};
};
