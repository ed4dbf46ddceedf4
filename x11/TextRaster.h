// Text through fontconfig and FreeType, without a window: the face found from
// a family name and a pixel height (the default sans face when the name finds
// nothing), lines rasterised into coverage, and the mask of what the burnt
// text leaves black on the screen.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "effect/TextLines.h"

// The text's characters: UTF-8 when the bytes are valid UTF-8, otherwise one
// character per byte (Latin-1).
std::vector<std::uint32_t> DecodeText(const char* text, std::size_t length);

// Grey coverage of one line: width x height bytes, 0 = background.
struct Coverage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> data;
};

class CFontFace {
public:
    // The face that fontconfig matches for family at pixelHeight (held to
    // 1..kMaxFontPixels), normal weight, upright; family is cut to 31
    // characters. Null only when no font file can be opened at all.
    static std::unique_ptr<CFontFace> Open(const char* family, long long pixelHeight);
    ~CFontFace();
    CFontFace(const CFontFace&) = delete;
    CFontFace& operator=(const CFontFace&) = delete;

    // Height of a character cell (ascent + descent) and the baseline within it.
    int CellHeight() const { return m_ascent + m_descent; }
    int Ascent() const { return m_ascent; }
    // Advance of one character in whole pixels (0 for a character the face lacks
    // and cannot render).
    int Advance(std::uint32_t character);
    // Calls draw(x, y, value) for every pixel the glyph covers (value 1..255),
    // the pen at penX with the cell's top at cellTop.
    template <typename Draw>
    void ForEachGlyphPixel(std::uint32_t character, long long penX, long long cellTop, Draw draw);
    // A whole line, character after character, no kerning.
    Coverage RenderLine(const std::vector<std::uint32_t>& characters);
    const std::string& FileName() const { return m_file; }

private:
    CFontFace() = default;
    bool Load(std::uint32_t character);  // renders the glyph into the face's slot
    const unsigned char* GlyphBitmap(int* width, int* rows, int* pitch, int* left, int* top) const;

    void* m_library = nullptr;  // FT_Library
    void* m_face = nullptr;     // FT_Face
    int m_ascent = 0;
    int m_descent = 0;
    std::string m_file;
};

template <typename Draw>
void CFontFace::ForEachGlyphPixel(std::uint32_t character, long long penX, long long cellTop, Draw draw) {
    if (!Load(character)) return;
    int width = 0, rows = 0, pitch = 0, left = 0, top = 0;
    const unsigned char* bits = GlyphBitmap(&width, &rows, &pitch, &left, &top);
    if (bits == nullptr) return;
    const long long x0 = penX + left;
    const long long y0 = cellTop + m_ascent - top;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < width; ++c) {
            const unsigned char v = bits[static_cast<long long>(r) * pitch + c];
            if (v != 0) draw(x0 + c, y0 + r, v);
        }
    }
}

// The black the burnt text leaves on a screenWidth x screenHeight screen, top
// rows first, one byte a pixel (1 = pure black): the lines laid out as the
// effect's text layout says (block centred by the heights of the lines that
// are not empty, each line centred by its own width, characters by their own
// advance), each character's cell filled black and its glyph drawn over it.
// Outside the cells the screen shows ramp entry 0: black when
// darkestIsBlack. Returns false (and an empty mask) when the mask cannot be
// allocated.
bool BuildTextMask(CFontFace& face, const TextLines& lines, int screenWidth, int screenHeight, bool darkestIsBlack,
                   std::vector<unsigned char>* mask);
