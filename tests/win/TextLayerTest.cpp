// The text burnt into the relief on the first frame: the banded read-back
// gives the same heights as reading every pixel with GetPixel, and the lines
// are centred as drawn character by character.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "tests/win/EffectTestSupport.h"

namespace {

using namespace effecttest;

class TextLayerTest : public ::testing::Test {
protected:
    void SetUp() override { ClearTestProfile(); }
    void TearDown() override { ClearTestProfile(); }
};

// Shows the cleared light map (the picture's darkest colour), burns the text,
// then reads the same screen pixel by pixel with GetPixel and cuts a copy of
// the earlier heights where it is pure black: both height maps must agree.
TEST_F(TextLayerTest, ReadBackCutsWhatGetPixelSeesAsBlack) {
    const std::string gif = TempPath("orvane-grey.gif");
    // Darkest colour (50, 50, 50): only the black cells behind the letters are cut.
    WriteGif(gif, 320, 200, GreyPalette([](int i) { return 50 + i * 200 / 255; }),
             [](int c, int r) { return 1 + (c * 7 + r * 3) % 255; });
    const struct {
        const char* name;
        const char* file;
        const char* text;
        bool darkestIsBlack;
    } cases[] = {
        {"default picture", "", "Orvane", true},
        {"grey picture", gif.c_str(), "Orvane\r\nAB", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClearTestProfile();
        ASSERT_TRUE(TestApp().WriteProfileString(kConfigSection, "FilenameGif", c.file));
        ASSERT_TRUE(TestApp().WriteProfileString(kConfigSection, "Text Lines", c.text));
        SaverWindow s;
        ASSERT_TRUE(s.created);
        CSaverWnd& wnd = *s.wnd;
        ASSERT_EQ(wnd.m_effect.Failure(), 0);
        const int w = s.W(), h = s.H();
        const std::size_t n = static_cast<std::size_t>(w) * h;
        std::vector<BYTE> expected(wnd.m_effect.HeightMap(), wnd.m_effect.HeightMap() + n);

        CDC* dc = wnd.GetDC();
        wnd.BlitLightMap(dc, w, h);
        wnd.BurnText(dc);
        EXPECT_TRUE(wnd.m_textDone);
        std::size_t black = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (dc->GetPixel(x, y) == 0) {
                    expected[static_cast<std::size_t>(h - 1 - y) * w + x] = 0;
                    ++black;
                }
        wnd.ReleaseDC(dc);

        std::size_t differ = 0;
        for (std::size_t k = 0; k < n; ++k) differ += wnd.m_effect.HeightMap()[k] != expected[k];
        EXPECT_EQ(differ, 0u);
        const std::size_t kept = n - std::count(expected.begin(), expected.end(), 0);
        if (c.darkestIsBlack) {
            // The screen was black but for the letters' strokes: relief only there.
            EXPECT_GT(black, n * 9 / 10);
            EXPECT_GT(kept, 1000u);
            EXPECT_LT(kept, n / 10);
        } else {
            // Only the cells behind the letters were black.
            EXPECT_GT(black, 1000u);
            EXPECT_LT(black, n / 4);
            EXPECT_GT(kept, n * 3 / 4);
        }
    }
    DeleteFileA(gif.c_str());
}

// Where the black character cells land, from the heights they cut out of a
// flat relief: each line centred by its own width, the block centred by the
// heights of its non-empty lines, an empty line still advancing the next.
TEST_F(TextLayerTest, LinesAreCentredCharacterByCharacter) {
    const std::string gif = TempPath("orvane-flat.gif");
    WriteGif(gif, 16, 16, GreyPalette([](int i) { return 60 + i / 2; }), [](int, int) { return 200; });
    const char* texts[] = {"Orvane", "A\r\nBB", "A\r\n\r\nB\r\n"};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        ClearTestProfile();
        ASSERT_TRUE(TestApp().WriteProfileString(kConfigSection, "FilenameGif", gif.c_str()));
        ASSERT_TRUE(TestApp().WriteProfileString(kConfigSection, "Text Lines", text));
        SaverWindow s;
        ASSERT_TRUE(s.created);
        CSaverWnd& wnd = *s.wnd;
        ASSERT_EQ(wnd.m_effect.Failure(), 0);
        const int w = s.W(), h = s.H();

        // The expected cells, measured in the same font.
        CDC* dc = wnd.GetDC();
        wnd.BlitLightMap(dc, w, h);
        CFont font;
        ASSERT_TRUE(font.CreatePointFont(wnd.m_effect.Settings().fontHeight * 80, wnd.m_effect.Settings().fontFace, dc));
        const HGDIOBJ old = dc->SelectObject(&font);
        const TextLines split = SplitTextLines(text, std::strlen(text));
        std::vector<std::string> lines;
        for (const CString& line : split) lines.emplace_back(line, line.GetLength());
        auto extent = [&](const std::string& s) {
            SIZE size = {0, 0};
            GetTextExtentPointA(dc->m_hDC, s.c_str(), static_cast<int>(s.size()), &size);
            return size;
        };
        int block = 0;
        for (const std::string& line : lines)
            if (!line.empty()) block += extent(line).cy;
        int y = (h - block) / 2;
        RECT box = {w, h, -1, -1};
        std::vector<RECT> cells;
        for (const std::string& line : lines) {
            int x = (w - extent(line).cx) / 2;
            const int top = y;
            const int left = x;
            for (char ch : line) x += extent(std::string(1, ch)).cx;
            y += extent(line).cy;
            if (line.empty()) continue;
            cells.push_back(RECT{left, top, x, y});
            box = {std::min(box.left, static_cast<LONG>(left)), std::min(box.top, static_cast<LONG>(top)),
                   std::max(box.right, static_cast<LONG>(x)), std::max(box.bottom, static_cast<LONG>(y))};
        }
        dc->SelectObject(old);
        wnd.BurnText(dc);
        wnd.ReleaseDC(dc);

        RECT cut = {w, h, -1, -1};
        std::size_t outsideCells = 0;
        for (int row = 0; row < h; ++row)
            for (int x = 0; x < w; ++x) {
                if (wnd.m_effect.HeightMap()[static_cast<std::size_t>(h - 1 - row) * w + x] != 0) continue;
                cut = {std::min(cut.left, static_cast<LONG>(x)), std::min(cut.top, static_cast<LONG>(row)),
                       std::max(cut.right, static_cast<LONG>(x + 1)), std::max(cut.bottom, static_cast<LONG>(row + 1))};
                bool inCell = false;
                for (const RECT& r : cells) inCell |= x >= r.left && x < r.right && row >= r.top && row < r.bottom;
                outsideCells += !inCell;
            }
        EXPECT_EQ(outsideCells, 0u);
        EXPECT_EQ(cut.left, box.left);
        EXPECT_EQ(cut.top, box.top);
        EXPECT_EQ(cut.right, box.right);
        EXPECT_EQ(cut.bottom, box.bottom);
    }
    DeleteFileA(gif.c_str());
}

}  // namespace
