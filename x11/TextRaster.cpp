#include "x11/TextRaster.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr std::size_t kMaxFamilyChars = 31;  // as the Windows font's face name

bool DecodeUtf8(const unsigned char* s, std::size_t n, std::vector<std::uint32_t>* out) {
    for (std::size_t i = 0; i < n;) {
        const unsigned char b = s[i];
        int extra;
        std::uint32_t cp;
        if (b < 0x80) { extra = 0; cp = b; }
        else if ((b & 0xE0) == 0xC0) { extra = 1; cp = b & 0x1F; }
        else if ((b & 0xF0) == 0xE0) { extra = 2; cp = b & 0x0F; }
        else if ((b & 0xF8) == 0xF0) { extra = 3; cp = b & 0x07; }
        else return false;
        if (i + static_cast<std::size_t>(extra) >= n && extra > 0) return false;
        for (int k = 1; k <= extra; ++k) {
            if ((s[i + k] & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        static const std::uint32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        out->push_back(cp);
        i += 1 + extra;
    }
    return true;
}

// The file fontconfig picks for the family (the default sans face when the
// family is unknown: fontconfig's own fallback), and its face index.
bool MatchFont(const char* family, double pixelHeight, std::string* file, int* index) {
    if (!FcInit()) return false;
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) return false;
    std::string name(family != nullptr ? family : "");
    if (name.size() > kMaxFamilyChars) name.resize(kMaxFamilyChars);
    if (!name.empty()) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_NORMAL);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, pixelHeight);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) return false;
    FcChar8* path = nullptr;
    int faceIndex = 0;
    const bool found = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path != nullptr;
    if (found) {
        *file = reinterpret_cast<const char*>(path);
        if (FcPatternGetInteger(match, FC_INDEX, 0, &faceIndex) != FcResultMatch) faceIndex = 0;
        *index = faceIndex;
    }
    FcPatternDestroy(match);
    return found;
}

}  // namespace

std::vector<std::uint32_t> DecodeText(const char* text, std::size_t length) {
    std::vector<std::uint32_t> out;
    if (text == nullptr) return out;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    if (DecodeUtf8(bytes, length, &out)) return out;
    out.assign(bytes, bytes + length);
    return out;
}

std::unique_ptr<CFontFace> CFontFace::Open(const char* family, long long pixelHeight) {
    pixelHeight = std::clamp<long long>(pixelHeight, 1, kMaxFontPixels);
    std::unique_ptr<CFontFace> font(new (std::nothrow) CFontFace);
    if (!font) return nullptr;
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return nullptr;
    font->m_library = library;
    std::string file;
    int index = 0;
    FT_Face face = nullptr;
    if (MatchFont(family, static_cast<double>(pixelHeight), &file, &index)) {
        if (FT_New_Face(library, file.c_str(), index, &face) != 0) face = nullptr;
    }
    if (face == nullptr && MatchFont("sans-serif", static_cast<double>(pixelHeight), &file, &index)) {
        if (FT_New_Face(library, file.c_str(), index, &face) != 0) face = nullptr;
    }
    if (face == nullptr) return nullptr;
    font->m_face = face;
    font->m_file = file;
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelHeight)) != 0) return nullptr;
    font->m_ascent = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
    font->m_descent = static_cast<int>((-face->size->metrics.descender + 63) >> 6);
    if (font->m_ascent < 0) font->m_ascent = 0;
    if (font->m_descent < 0) font->m_descent = 0;
    return font;
}

CFontFace::~CFontFace() {
    if (m_face != nullptr) FT_Done_Face(static_cast<FT_Face>(m_face));
    if (m_library != nullptr) FT_Done_FreeType(static_cast<FT_Library>(m_library));
}

int CFontFace::Advance(std::uint32_t character) {
    FT_Face face = static_cast<FT_Face>(m_face);
    if (FT_Load_Char(face, character, FT_LOAD_DEFAULT) != 0) return 0;
    return static_cast<int>((face->glyph->advance.x + 32) >> 6);
}

bool CFontFace::Load(std::uint32_t character) {
    FT_Face face = static_cast<FT_Face>(m_face);
    return FT_Load_Char(face, character, FT_LOAD_RENDER) == 0 && face->glyph->bitmap.pixel_mode == FT_PIXEL_MODE_GRAY;
}

const unsigned char* CFontFace::GlyphBitmap(int* width, int* rows, int* pitch, int* left, int* top) const {
    const FT_GlyphSlot slot = static_cast<FT_Face>(m_face)->glyph;
    if (slot->bitmap.buffer == nullptr || slot->bitmap.pitch <= 0) return nullptr;
    *width = static_cast<int>(slot->bitmap.width);
    *rows = static_cast<int>(slot->bitmap.rows);
    *pitch = slot->bitmap.pitch;
    *left = slot->bitmap_left;
    *top = slot->bitmap_top;
    return slot->bitmap.buffer;
}

Coverage CFontFace::RenderLine(const std::vector<std::uint32_t>& characters) {
    Coverage line;
    long long width = 0;
    std::vector<int> advances;
    advances.reserve(characters.size());
    for (std::uint32_t c : characters) {
        advances.push_back(Advance(c));
        width += advances.back();
    }
    line.width = static_cast<int>(std::min<long long>(width, 1 << 15));
    line.height = CellHeight();
    line.data.assign(static_cast<std::size_t>(line.width) * line.height, 0);
    long long pen = 0;
    for (std::size_t i = 0; i < characters.size() && pen < line.width; ++i) {
        ForEachGlyphPixel(characters[i], pen, 0, [&](long long x, long long y, unsigned char v) {
            if (x >= 0 && y >= 0 && x < line.width && y < line.height) {
                unsigned char& p = line.data[static_cast<std::size_t>(y) * line.width + x];
                p = std::max(p, v);
            }
        });
        pen += advances[i];
    }
    return line;
}

bool BuildTextMask(CFontFace& face, const TextLines& lines, int screenWidth, int screenHeight, bool darkestIsBlack,
                   std::vector<unsigned char>* mask) {
    mask->clear();
    if (screenWidth <= 0 || screenHeight <= 0) return true;
    try {
        mask->assign(static_cast<std::size_t>(screenWidth) * screenHeight, darkestIsBlack ? 1 : 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    const long long cell = face.CellHeight();
    std::vector<std::uint32_t> decoded[kMaxTextLines];
    long long block = 0;
    for (std::size_t i = 0; i < kMaxTextLines; ++i) {
        decoded[i] = DecodeText(lines[i], static_cast<std::size_t>(lines[i].GetLength()));
        if (!decoded[i].empty()) block += cell;
    }
    long long y = TextBlockTop(screenHeight, block);
    for (std::size_t i = 0; i < kMaxTextLines; ++i, y += cell) {
        if (decoded[i].empty() || y >= screenHeight || y + cell <= 0) continue;
        std::vector<int> advances;
        long long lineWidth = 0;
        for (std::uint32_t c : decoded[i]) {
            advances.push_back(face.Advance(c));
            lineWidth += advances.back();
        }
        long long x = TextLineLeft(screenWidth, lineWidth);
        for (std::size_t k = 0; k < decoded[i].size(); x += advances[k], ++k) {
            // Cells wholly off the screen change nothing (a glyph may overhang
            // its cell by a little; far away it cannot reach the screen).
            if (x + advances[k] + cell < 0 || x - cell > screenWidth) continue;
            const long long x0 = std::max<long long>(x, 0), x1 = std::min<long long>(x + advances[k], screenWidth);
            const long long y0 = std::max<long long>(y, 0), y1 = std::min<long long>(y + cell, screenHeight);
            for (long long r = y0; r < y1; ++r) {
                std::memset(mask->data() + r * screenWidth + x0, 1, static_cast<std::size_t>(std::max<long long>(x1 - x0, 0)));
            }
            face.ForEachGlyphPixel(decoded[i][k], x, y, [&](long long px, long long py, unsigned char) {
                if (px >= 0 && py >= 0 && px < screenWidth && py < screenHeight) (*mask)[py * screenWidth + px] = 0;
            });
        }
    }
    return true;
}
