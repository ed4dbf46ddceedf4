// The core from each parity case's settings gives the frames and palettes
// every front-end must show (tests/common/FrameParity.h).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "effect/Effect.h"
#include "tests/common/FrameParity.h"

namespace {

using namespace frameparity;

// A store holding the case's values; the picture token becomes picturePath.
class CaseStore : public CSettingsReader {
public:
    CaseStore(const Case& c, const std::string& picturePath) : m_case(c), m_picturePath(picturePath) {}
    int ReadInt(SettingId id) override {
        const char* text = Find(id);
        return text ? std::atoi(text) : Setting(id).saver.number;
    }
    CString ReadString(SettingId id) override {
        const char* text = Find(id);
        if (text == nullptr) return CString(Setting(id).saver.text);
        return CString(std::string(text) == kPictureToken ? m_picturePath.c_str() : text);
    }

private:
    const char* Find(SettingId id) const {
        for (const Value& v : m_case.values)
            if (v.id == id) return v.text;
        return nullptr;
    }
    const Case& m_case;
    std::string m_picturePath;
};

class FrameParityTest : public ::testing::TestWithParam<Case> {};

TEST_P(FrameParityTest, CoreGivesTheExpectedFrames) {
    const Case& c = GetParam();
    const std::string path = ::testing::TempDir() + "orvane-parity-" + std::to_string(getpid()) + ".gif";
    giftest::WriteFile(path, ParityGif());
    CaseStore store(c, path);
    CEffect effect;
    effect.Setup(ReadEffectSettings(store), kWidth, kHeight, 24, c.seed);
    ASSERT_EQ(effect.Failure(), kEffectRuns) << effect.Message();
    ASSERT_FALSE(effect.NeedsText());
    std::vector<unsigned char> bits(static_cast<std::size_t>(kWidth) * kHeight, 0);
    int frame = 0;
    for (const Expected& e : c.frames) {
        while (frame < e.frame) {
            effect.MoveLight();
            effect.RenderFrame(bits.data(), kWidth, nullptr);
            ++frame;
        }
        std::size_t lit = 0;
        for (unsigned char b : bits) lit += b != 0;
        EXPECT_GT(lit, 1000u) << c.name << " frame " << e.frame << " shows the light";
        const std::uint64_t hash = FrameHash(bits.data(), kWidth, kHeight, kWidth, effect.ImagePalette());
        char text[32];
        std::snprintf(text, sizeof text, "0x%016llxull", static_cast<unsigned long long>(hash));
        EXPECT_EQ(hash, e.hash) << c.name << " frame " << e.frame << ": " << text;
    }
    std::remove(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(Cases, FrameParityTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
