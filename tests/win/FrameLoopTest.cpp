// The frame loop: every frame's light map and bitmap equal a whole-screen
// recomputation, the screen shows the bitmap whichever part a frame copies,
// erase and paint draw it, and a failed set-up shows its message.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "tests/win/EffectTestSupport.h"

namespace {

using namespace effecttest;

void Store(const char* key, int value) { ASSERT_TRUE(TestApp().WriteProfileInt(kConfigSection, key, value)); }
void Store(const char* key, const char* value) {
    ASSERT_TRUE(TestApp().WriteProfileString(kConfigSection, key, value));
}

class FrameLoopTest : public ::testing::Test {
protected:
    void SetUp() override { ClearTestProfile(); }
    void TearDown() override { ClearTestProfile(); }
};

std::size_t CountDifferent(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) n += a[i] != b[i];
    return n + (a.size() > b.size() ? a.size() - b.size() : b.size() - a.size());
}

// A few hundred frames, with an erase and a paint among them: after each the
// light is where the ellipse puts it, and the light map and every bitmap byte
// equal the plain whole-screen frame on the same height map.
TEST_F(FrameLoopTest, EveryFrameEqualsAWholeScreenRecomputation) {
    const struct {
        const char* name;
        int xDistance, yDistance, xFallOff, yFallOff, multiplier, fromIndex, speed, clockwise;
    } cases[] = {
        {"defaults", 300, 200, 200, 200, 7, 0, 15, 1},
        // A light that leaves the screen, a tall narrow window, a threshold.
        {"off the screen", 700, 500, 16, 300, 11, 100, 40, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClearTestProfile();
        Store("Bump XDistance", c.xDistance);
        Store("Bump YDistance", c.yDistance);
        Store("Bump XFallOff", c.xFallOff);
        Store("Bump YFallOff", c.yFallOff);
        Store("Bump Multiplier", c.multiplier);
        Store("Bump From Index", c.fromIndex);  // the default picture forces 0
        Store("Bump Speed", c.speed);
        Store("CW Direction", c.clockwise);
        SaverWindow s;
        ASSERT_TRUE(s.created);
        CSaverWnd& wnd = *s.wnd;
        ASSERT_EQ(wnd.m_effect.Failure(), 0);
        const int w = s.W(), h = s.H(), stride = s.Stride();
        const BumpSettings settings = wnd.m_effect.Bump();
        std::vector<BYTE> light(static_cast<std::size_t>(w) * h), bits(static_cast<std::size_t>(stride) * h);
        double angle = 0.0;
        int mismatches = 0;
        for (int frame = 0; frame < 300 && mismatches < 3; ++frame) {
            if (frame == 100) SendMessageA(s.hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(GetDC(s.hWnd)), 0);
            if (frame == 200) {
                InvalidateRect(s.hWnd, nullptr, FALSE);
                UpdateWindow(s.hWnd);
            }
            s.Frame();
            const int x = static_cast<int>(std::cos(angle) * c.xDistance + w / 2);
            const int y = static_cast<int>(std::sin(angle) * c.yDistance + h / 2);
            angle -= wnd.m_effect.AngleStep();
            EXPECT_EQ(wnd.m_effect.Light().x, x) << frame;
            EXPECT_EQ(wnd.m_effect.Light().y, y) << frame;
            RenderFrameReference(wnd.m_effect.HeightMap(), light.data(), w, h, wnd.m_effect.Light().x, wnd.m_effect.Light().y, settings,
                                 bits.data(), stride, nullptr);
            const bool sameLight = std::memcmp(light.data(), wnd.m_effect.LightMap(), light.size()) == 0;
            const bool sameBits = std::memcmp(bits.data(), wnd.m_dib.m_pBits, bits.size()) == 0;
            if (!sameLight || !sameBits) {
                ++mismatches;
                ADD_FAILURE() << "frame " << frame << (sameLight ? "" : ": light map differs")
                              << (sameBits ? "" : ": bitmap differs");
            }
        }
        EXPECT_TRUE(wnd.m_textDone);
    }
}

// Frames copy only where the light was and is; after many of them the screen
// is exactly what a copy of the whole bitmap gives.
TEST_F(FrameLoopTest, PartialCopiesLeaveTheScreenAsAWholeCopyWould) {
    Store("Bump XDistance", 600);  // the light leaves the screen on both sides
    Store("Bump YDistance", 100);  // and crosses the letters
    Store("Bump Speed", 60);
    SaverWindow s;
    ASSERT_TRUE(s.created);
    CSaverWnd& wnd = *s.wnd;
    const int w = s.W(), h = s.H();
    std::size_t lit = 0;  // most lit pixels seen at a check
    for (int frame = 1; frame <= 240; ++frame) {
        s.Frame();
        EXPECT_FALSE(wnd.m_copyWhole);
        if (frame % 60 != 0) continue;
        SCOPED_TRACE(frame);
        const std::vector<std::uint32_t> partial = Capture(s.hWnd, 0, 0, w, h);
        const std::vector<std::uint32_t> bitmap = BitmapAsScreen(wnd);
        EXPECT_EQ(CountDifferent(partial, bitmap), 0u);
        PumpMessages(200);  // lets Wine hand the window's drawing to the X server
        EXPECT_EQ(CountDifferent(Capture(nullptr, 0, 0, w, h), bitmap), 0u) << "on the screen";
        lit = std::max<std::size_t>(lit, bitmap.size() - std::count(bitmap.begin(), bitmap.end(), 0u));
        HDC dc = GetDC(s.hWnd);
        const RECT whole = {0, 0, w, h};
        wnd.m_dib.Draw(&whole, &whole, CDC::FromHandle(dc), nullptr, 1, &wnd.m_palette);
        ReleaseDC(s.hWnd, dc);
        EXPECT_EQ(CountDifferent(partial, Capture(s.hWnd, 0, 0, w, h)), 0u);
    }
    // The relief was lit: the comparisons were not of black screens only.
    EXPECT_GT(lit, 100u);
}

// Erase and paint put the bitmap back over whatever covered the screen; the
// next frame copies the whole bitmap again.
TEST_F(FrameLoopTest, EraseAndPaintDrawTheBitmap) {
    SaverWindow s;
    ASSERT_TRUE(s.created);
    CSaverWnd& wnd = *s.wnd;
    const int w = s.W(), h = s.H();
    for (int frame = 0; frame < 5; ++frame) s.Frame();
    ASSERT_FALSE(wnd.m_copyWhole);

    Scribble(s.hWnd, RGB(0, 200, 0));
    HDC dc = GetDC(s.hWnd);
    EXPECT_TRUE(SendMessageA(s.hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0));
    ReleaseDC(s.hWnd, dc);
    EXPECT_EQ(CountDifferent(Capture(s.hWnd, 0, 0, w, h), BitmapAsScreen(wnd)), 0u);
    EXPECT_TRUE(wnd.m_copyWhole);
    s.Frame();
    EXPECT_FALSE(wnd.m_copyWhole);

    Scribble(s.hWnd, RGB(0, 200, 0));
    const RECT invalid = {w / 4, h / 4, w / 2, h / 2};
    InvalidateRect(s.hWnd, &invalid, FALSE);
    UpdateWindow(s.hWnd);
    const std::vector<std::uint32_t> screen = Capture(s.hWnd, 0, 0, w, h);
    const std::vector<std::uint32_t> bitmap = BitmapAsScreen(wnd);
    std::size_t inside = 0, outside = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::size_t k = static_cast<std::size_t>(y) * w + x;
            if (x >= invalid.left && x < invalid.right && y >= invalid.top && y < invalid.bottom)
                inside += screen[k] != bitmap[k];
            else
                outside += screen[k] != 0x00C800u;  // nothing is drawn outside the invalid area
        }
    EXPECT_EQ(inside, 0u);
    EXPECT_EQ(outside, 0u);
    EXPECT_TRUE(wnd.m_copyWhole);
}

// On a display deeper than 8 bits the palette messages only get the default
// handling: nothing is drawn.
TEST_F(FrameLoopTest, PaletteMessagesOnADeeperDisplayOnlyGetTheDefault) {
    SaverWindow s;
    ASSERT_TRUE(s.created);
    ASSERT_GT(s.wnd->m_bitsPerPixel, 8);
    for (int frame = 0; frame < 3; ++frame) s.Frame();
    Scribble(s.hWnd, RGB(0, 0, 200));
    HWND other = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(SendMessageA(s.hWnd, WM_QUERYNEWPALETTE, 0, 0), DefWindowProcA(s.hWnd, WM_QUERYNEWPALETTE, 0, 0));
    SendMessageA(s.hWnd, WM_PALETTECHANGED, reinterpret_cast<WPARAM>(other), 0);
    DestroyWindow(other);
    const std::vector<std::uint32_t> screen = Capture(s.hWnd, 0, 0, s.W(), s.H());
    std::size_t notBlue = 0;
    for (std::uint32_t p : screen) notBlue += p != 0x0000C8u;
    EXPECT_EQ(notBlue, 0u);
    EXPECT_FALSE(s.wnd->m_copyWhole);
}

// A failed set-up: the erase leaves the screen black, the next tick draws the
// message black on a red band, centred, its top at half the screen height.
TEST_F(FrameLoopTest, FailedSetUpErasesToBlackThenShowsTheMessage) {
    Store("FilenameGif", "C:\\no\\such\\picture.gif");
    SaverWindow s;
    ASSERT_TRUE(s.created);
    CSaverWnd& wnd = *s.wnd;
    ASSERT_EQ(wnd.m_effect.Failure(), 1);
    const int w = s.W(), h = s.H();
    Scribble(s.hWnd, RGB(0, 200, 0));
    HDC dc = GetDC(s.hWnd);
    SendMessageA(s.hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ReleaseDC(s.hWnd, dc);
    std::size_t notBlack = 0;
    for (std::uint32_t p : Capture(s.hWnd, 0, 0, w, h)) notBlack += p != 0;
    EXPECT_EQ(notBlack, 0u);

    EXPECT_FALSE(wnd.m_textDone);
    s.Frame();
    EXPECT_TRUE(wnd.m_textDone);
    HDC screenDC = GetDC(s.hWnd);
    SIZE size;
    GetTextExtentPointA(screenDC, wnd.m_effect.Message(), static_cast<int>(strlen(wnd.m_effect.Message())), &size);
    ReleaseDC(s.hWnd, screenDC);
    EXPECT_EQ(wnd.m_messageWidth, size.cx);
    for (int frame = 0; frame < 2; ++frame) s.Frame();  // drawn again at the same place
    const std::vector<std::uint32_t> screen = Capture(s.hWnd, 0, 0, w, h);
    const int left = w / 2 - size.cx / 2, top = h / 2;
    std::size_t wrong = 0, red = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = screen[static_cast<std::size_t>(y) * w + x];
            const bool band = x >= left && x < left + size.cx && y >= top && y < top + size.cy;
            if (band) {
                red += p == 0xFF0000u;
                wrong += (p & 0x00FFFFu) != 0;  // red band, black letters (smoothed edges: darker reds)
            } else {
                wrong += p != 0;
            }
        }
    EXPECT_EQ(wrong, 0u);
    EXPECT_GT(red, static_cast<std::size_t>(size.cx) * size.cy / 2);
    // The leading and closing blanks make the band's edges red from top to bottom.
    for (int y = top; y < top + size.cy; ++y) {
        EXPECT_EQ(screen[static_cast<std::size_t>(y) * w + left], 0xFF0000u) << y;
        EXPECT_EQ(screen[static_cast<std::size_t>(y) * w + left + size.cx - 1], 0xFF0000u) << y;
    }
}

}  // namespace

namespace {

using namespace effecttest;

// On a 256-colour display (run by win.unit.8bit on an 8-bit screen) the
// bitmap's colour table holds palette indices, each intensity goes through
// the nearest palette entry, and the frames still equal a whole-screen
// recomputation through that table.
TEST(FrameLoopEightBit, PaletteIndexPath) {
    HDC screen = GetDC(nullptr);
    const int depth = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    if (depth != 8) GTEST_SKIP() << "needs an 8-bit display";
    ClearTestProfile();
    SaverWindow s;
    ASSERT_TRUE(s.created);
    CSaverWnd& wnd = *s.wnd;
    ASSERT_EQ(wnd.m_bitsPerPixel, 8);
    ASSERT_EQ(wnd.m_effect.Failure(), 0);
    EXPECT_TRUE(wnd.m_dib.m_paletteIndices);
    const WORD* indices = static_cast<const WORD*>(wnd.m_dib.m_pColors);
    for (int i = 0; i < 256; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(indices[i], i);
        const COLORREF colour = RGB(wnd.m_effect.ImagePalette()[3 * i], wnd.m_effect.ImagePalette()[3 * i + 1], wnd.m_effect.ImagePalette()[3 * i + 2]);
        EXPECT_EQ(wnd.m_colorIndex[i], wnd.m_palette.GetNearestPaletteIndex(colour));
    }
    const int w = s.W(), h = s.H(), stride = s.Stride();
    const BumpSettings settings = wnd.m_effect.Bump();
    std::vector<BYTE> light(static_cast<std::size_t>(w) * h), bits(static_cast<std::size_t>(stride) * h);
    int mismatches = 0;
    for (int frame = 0; frame < 120 && mismatches < 3; ++frame) {
        s.Frame();
        RenderFrameReference(wnd.m_effect.HeightMap(), light.data(), w, h, wnd.m_effect.Light().x, wnd.m_effect.Light().y, settings, bits.data(),
                             stride, wnd.m_colorIndex);
        if (std::memcmp(bits.data(), wnd.m_dib.m_pBits, bits.size()) != 0) {
            ++mismatches;
            ADD_FAILURE() << "frame " << frame << ": bitmap differs";
        }
    }
    // Messages of a palette display: handled without harm.
    EXPECT_GE(SendMessageA(s.hWnd, WM_QUERYNEWPALETTE, 0, 0), 0);
    SendMessageA(s.hWnd, WM_PALETTECHANGED, 0, 0);
    EXPECT_TRUE(wnd.m_copyWhole);
}

}  // namespace
