// The X11 program gives the parity cases' frames byte for byte: each case as
// the program's command-line options, the program's own parser and set-up
// (CScreenEffect, as CX11Saver runs it) and its frame step, the rows it
// converts and the palette it shows (tests/common/FrameParity.h).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/common/FrameParity.h"
#include "x11/Options.h"
#include "x11/ScreenEffect.h"

namespace {

using namespace frameparity;

// The case's values as options: "-name value", the picture token replaced by
// picturePath.
std::vector<std::string> CaseArguments(const Case& c, const std::string& picturePath) {
    std::vector<std::string> args = {"orvane"};
    for (const Value& v : c.values) {
        args.push_back("-" + OptionNameOf(v.id));
        args.push_back(std::string(v.text) == kPictureToken ? picturePath : v.text);
    }
    return args;
}

class FrameParityTest : public ::testing::TestWithParam<Case> {};

TEST_P(FrameParityTest, CommandLineGivesTheExpectedFrames) {
    const Case& c = GetParam();
    const std::string path = ::testing::TempDir() + "orvane-x11-parity-" + std::to_string(getpid()) + ".gif";
    giftest::WriteFile(path, ParityGif());
    const std::vector<std::string> args = CaseArguments(c, path);
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    CommandLine line;
    const ParseResult parsed = ParseCommandLine(static_cast<int>(argv.size()), argv.data(), nullptr, &line);
    ASSERT_EQ(parsed.status, ParseStatus::Run) << parsed.message;

    CScreenEffect screen;
    screen.Setup(line.settings, kWidth, kHeight, 24, VisualKind::Masked, c.seed);
    ASSERT_TRUE(screen.Runs()) << screen.GetEffect().Message();
    ASSERT_FALSE(screen.GetEffect().NeedsText());
    ASSERT_NE(screen.Rows(), nullptr);
    int frame = 0;
    for (const Expected& e : c.frames) {
        while (frame < e.frame) {
            screen.Step();
            ++frame;
        }
        const std::uint64_t hash = FrameHash(screen.Rows(), kWidth, kHeight, kWidth, screen.Palette());
        char text[32];
        std::snprintf(text, sizeof text, "0x%016llxull", static_cast<unsigned long long>(hash));
        EXPECT_EQ(hash, e.hash) << c.name << " frame " << e.frame << ": " << text;
    }
    std::remove(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(Cases, FrameParityTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
