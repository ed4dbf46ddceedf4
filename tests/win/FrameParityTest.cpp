// The Windows front-end gives the parity cases' frames byte for byte: values
// stored in the registry, the saver window's own set-up, its frame loop, the
// frame bitmap's pixels and colour table (tests/common/FrameParity.h).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/common/FrameParity.h"
#include "tests/win/EffectTestSupport.h"

namespace {

using namespace effecttest;
using namespace frameparity;

class FrameParityTest : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override { ClearTestProfile(); }
    void TearDown() override {
        ClearTestProfile();
        std::remove(m_picturePath.c_str());
    }

    // The case's values in the registry, as the settings dialog stores them.
    void StoreValues(const Case& c) {
        for (const Value& v : c.values) {
            const SettingInfo& s = Setting(v.id);
            if (s.kind == SettingKind::Integer) {
                ASSERT_TRUE(TestApp().WriteProfileInt(kConfigSection, s.key, std::atoi(v.text)));
            } else {
                std::string text = v.text;
                if (text == kPictureToken) {
                    giftest::WriteFile(m_picturePath, ParityGif());
                    text = m_picturePath;
                }
                ASSERT_TRUE(TestApp().WriteProfileString(kConfigSection, s.key, text.c_str()));
            }
        }
    }

    std::string m_picturePath = TempPath("orvane-parity.gif");
};

TEST_P(FrameParityTest, SaverWindowGivesTheExpectedFrames) {
    if (GetSystemMetrics(SM_CXSCREEN) != kWidth || GetSystemMetrics(SM_CYSCREEN) != kHeight)
        GTEST_SKIP() << "the cases are for a " << kWidth << " x " << kHeight << " screen";
    const Case& c = GetParam();
    StoreValues(c);
    SaverWindow s(true, c.seed);
    ASSERT_TRUE(s.created);
    const CSaverWnd& wnd = *s.wnd;
    ASSERT_EQ(wnd.m_effect.Failure(), 0) << wnd.m_effect.Message();
    ASSERT_GT(wnd.m_bitsPerPixel, 8) << "pixel values are the intensities on a deeper display";
    ASSERT_TRUE(wnd.m_textDone) << "no text: nothing is burnt in";
    ASSERT_NE(wnd.m_dib.m_pBits, nullptr);
    // The palette as it reaches the screen: the bitmap's colour table.
    const RGBQUAD* table = static_cast<const RGBQUAD*>(wnd.m_dib.m_pColors);
    ASSERT_NE(table, nullptr);
    unsigned char palette[768];
    for (int i = 0; i < 256; ++i) {
        palette[3 * i] = table[i].rgbRed;
        palette[3 * i + 1] = table[i].rgbGreen;
        palette[3 * i + 2] = table[i].rgbBlue;
    }
    int frame = 0;
    for (const Expected& e : c.frames) {
        while (frame < e.frame) {
            s.Frame();
            ++frame;
        }
        GdiFlush();
        const std::uint64_t hash = FrameHash(wnd.m_dib.m_pBits, kWidth, kHeight, DibStride(kWidth, 8), palette);
        char text[32];
        std::snprintf(text, sizeof text, "0x%016llx", static_cast<unsigned long long>(hash));
        EXPECT_EQ(hash, e.hash) << c.name << " frame " << e.frame << ": " << text;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, FrameParityTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
