#include "x11/TextRaster.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

TEST(DecodeText, Utf8WhenValidOtherwiseOneCharacterPerByte) {
    const struct {
        std::string bytes;
        std::vector<std::uint32_t> characters;
    } cases[] = {
        {"Orvane", {'O', 'r', 'v', 'a', 'n', 'e'}},
        {"\xC3\xA9t\xC3\xA9", {0xE9, 't', 0xE9}},
        {"\xE2\x82\xAC", {0x20AC}},
        {"\xF0\x9F\x98\x80", {0x1F600}},
        {"caf\xE9", {'c', 'a', 'f', 0xE9}},             // Latin-1
        {"\xC3", {0xC3}},                               // cut short
        {"\xC0\xAF", {0xC0, 0xAF}},                     // overlong
        {"\xED\xA0\x80", {0xED, 0xA0, 0x80}},           // surrogate
        {"\xF4\x90\x80\x80", {0xF4, 0x90, 0x80, 0x80}},  // past U+10FFFF
        {"", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeText(c.bytes.data(), c.bytes.size()), c.characters) << c.bytes;
    }
    EXPECT_TRUE(DecodeText(nullptr, 4).empty());
}

// The mask's black cells, measured on whatever sans face the machine has.
class TextMaskFixture : public ::testing::Test {
protected:
    static constexpr int kWidth = 320, kHeight = 200;
    std::unique_ptr<CFontFace> face = CFontFace::Open("sans-serif", 24);
    std::vector<unsigned char> mask;

    // Bounding box of the black (1) pixels in rows [top, bottom).
    void Box(int top, int bottom, int* x0, int* y0, int* x1, int* y1) const {
        *x0 = *y0 = INT_MAX;
        *x1 = *y1 = -1;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (mask[static_cast<std::size_t>(y) * kWidth + x]) {
                    *x0 = std::min(*x0, x), *y0 = std::min(*y0, y), *x1 = std::max(*x1, x), *y1 = std::max(*y1, y);
                }
    }
};

TEST_F(TextMaskFixture, LinesCentredCellsBlackStrokesNot) {
    ASSERT_TRUE(face);
    const int cell = face->CellHeight();
    ASSERT_GT(cell, 10);
    // "A" CR LF "BB": two lines; the block of two cells is centred.
    ASSERT_TRUE(BuildTextMask(*face, SplitTextLines("A\r\nBB"), kWidth, kHeight, false, &mask));
    ASSERT_EQ(mask.size(), static_cast<std::size_t>(kWidth) * kHeight);
    const int top = (kHeight - 2 * cell) / 2;
    int x0, y0, x1, y1;
    Box(0, kHeight, &x0, &y0, &x1, &y1);
    EXPECT_EQ(y0, top);
    EXPECT_EQ(y1, top + 2 * cell - 1);
    // Each line centred by its own width.
    const int a = face->Advance('A'), b = face->Advance('B');
    Box(top, top + cell, &x0, &y0, &x1, &y1);
    EXPECT_EQ(x0, (kWidth - a) / 2);
    EXPECT_EQ(x1, (kWidth - a) / 2 + a - 1);
    Box(top + cell, top + 2 * cell, &x0, &y0, &x1, &y1);
    EXPECT_EQ(x0, (kWidth - 2 * b) / 2);
    EXPECT_EQ(x1, (kWidth - 2 * b) / 2 + 2 * b - 1);
    // The strokes are not black: some pixels inside the cells are 0.
    int strokes = 0;
    for (int y = top; y < top + 2 * cell; ++y)
        for (int x = 0; x < kWidth; ++x) strokes += mask[static_cast<std::size_t>(y) * kWidth + x] == 0 && x >= x0 && x <= x1;
    EXPECT_GT(strokes, 20);
}

TEST_F(TextMaskFixture, DarkestBlackMakesEverythingOutsideTheStrokesBlack) {
    ASSERT_TRUE(face);
    ASSERT_TRUE(BuildTextMask(*face, SplitTextLines("A"), kWidth, kHeight, true, &mask));
    int notBlack = 0;
    for (unsigned char m : mask) notBlack += m == 0;
    EXPECT_GT(notBlack, 20);                       // the stroke of the A
    EXPECT_LT(notBlack, face->CellHeight() * face->Advance('A'));
    EXPECT_EQ(mask[0], 1);
}

TEST_F(TextMaskFixture, EmptyLinesAdvanceButDoNotCountInTheBlock) {
    ASSERT_TRUE(face);
    const int cell = face->CellHeight();
    // A, empty, B, empty: the block counts two lines, B is drawn one cell lower.
    ASSERT_TRUE(BuildTextMask(*face, SplitTextLines("A\r\n\r\nB\r\n"), kWidth, kHeight, false, &mask));
    const int top = (kHeight - 2 * cell) / 2;
    int x0, y0, x1, y1;
    Box(0, kHeight, &x0, &y0, &x1, &y1);
    EXPECT_EQ(y0, top);
    EXPECT_EQ(y1, top + 3 * cell - 1);
    Box(top + cell, top + 2 * cell, &x0, &y0, &x1, &y1);
    EXPECT_EQ(x1, -1);  // the empty line leaves its row of cells alone
}

TEST_F(TextMaskFixture, HugeTextAndFontStayInsideTheScreen) {
    // A 4096-pixel face (the largest drawn) and a 10 000-character line: only
    // the cells on the screen are drawn, nothing is written beside the mask.
    std::unique_ptr<CFontFace> huge = CFontFace::Open(std::string(10000, 'x').c_str(), LLONG_MAX);
    ASSERT_TRUE(huge);
    EXPECT_GT(huge->CellHeight(), 4000);
    const std::string line(10000, 'W');
    ASSERT_TRUE(BuildTextMask(*huge, SplitTextLines(line.c_str(), line.size()), 64, 48, false, &mask));
    EXPECT_EQ(mask.size(), 64u * 48u);
    ASSERT_TRUE(BuildTextMask(*huge, SplitTextLines("W"), 0, 48, false, &mask));
    EXPECT_TRUE(mask.empty());
}

}  // namespace
