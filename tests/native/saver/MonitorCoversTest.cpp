#include "saver/MonitorCovers.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

std::ostream& operator<<(std::ostream& os, const ScreenRect& r) {
    return os << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
}

struct CoverCase {
    const char* name;
    std::vector<ScreenRect> monitors;
    std::vector<ScreenRect> covers;
};

std::ostream& operator<<(std::ostream& os, const CoverCase& c) { return os << c.name; }

class CoverRectsTest : public ::testing::TestWithParam<CoverCase> {};

constexpr ScreenRect kPrimary = {0, 0, 1920, 1080};

TEST_P(CoverRectsTest, CoversWhatThePrimaryWindowDoesNot) {
    const CoverCase& c = GetParam();
    EXPECT_EQ(CoverRects(c.monitors, kPrimary), c.covers);
}

const CoverCase kCases[] = {
    {"NoMonitors", {}, {}},
    {"OnlyThePrimary", {kPrimary}, {}},
    {"TwoSideBySide", {kPrimary, {1920, 0, 3840, 1080}}, {{1920, 0, 3840, 1080}}},
    {"SecondListedFirst", {{1920, 0, 3840, 1080}, kPrimary}, {{1920, 0, 3840, 1080}}},
    {"LeftOfAndAbove", {kPrimary, {-1280, -1024, 0, 0}}, {{-1280, -1024, 0, 0}}},
    {"ThreeOfMixedSizes",
     {{-1024, 200, 0, 968}, kPrimary, {1920, -300, 3360, 2260}},
     {{-1024, 200, 0, 968}, {1920, -300, 3360, 2260}}},
    {"MirrorOfThePrimary", {kPrimary, kPrimary}, {}},
    {"InsideThePrimary", {kPrimary, {0, 0, 640, 480}}, {}},
    {"OverlappingThePrimary", {kPrimary, {1000, 500, 2600, 1700}}, {{1000, 500, 2600, 1700}}},
    {"LargerThanThePrimaryAtTheSameOrigin", {kPrimary, {0, 0, 2560, 1440}}, {{0, 0, 2560, 1440}}},
    {"DuplicatedSecondary",
     {kPrimary, {1920, 0, 3840, 1080}, {1920, 0, 3840, 1080}},
     {{1920, 0, 3840, 1080}}},
    {"EmptyRectangles", {kPrimary, {1920, 0, 1920, 1080}, {100, 50, 0, 0}}, {}},
};

INSTANTIATE_TEST_SUITE_P(Cases, CoverRectsTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<CoverCase>& info) { return std::string(info.param.name); });

}  // namespace
