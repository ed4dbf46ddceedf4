#include "saver/TextLines.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct SplitCase {
    const char* name;
    std::string text;
    TextLines lines;
};

std::ostream& operator<<(std::ostream& os, const SplitCase& c) {
    return os << c.name;
}

class SplitTextLinesTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTextLinesTest, SplitsAtCrLfOnly) {
    const SplitCase& c = GetParam();
    EXPECT_EQ(SplitTextLines(c.text.data(), c.text.size()), c.lines);
}

const SplitCase kSplitCases[] = {
    {"Empty", "", {"", "", "", ""}},
    {"OneLine", "Orvane", {"Orvane", "", "", ""}},
    {"TwoLines", "A\r\nB", {"A", "B", "", ""}},
    {"EmptyLineBetween", "A\r\n\r\nB", {"A", "", "B", ""}},
    {"TrailingCrLf", "A\r\n", {"A", "", "", ""}},
    {"LoneCrAndLf", "A\rB\nC", {"A\rB\nC", "", "", ""}},
    {"LfCrIsNoSeparator", "A\n\rB", {"A\n\rB", "", "", ""}},
    {"CrBeforeCrLf", "A\r\r\nB", {"A\r", "B", "", ""}},
    {"TrailingLoneCr", "A\r", {"A\r", "", "", ""}},
    {"FourLines", "1\r\n2\r\n3\r\n4", {"1", "2", "3", "4"}},
    {"FourthCrLfDropsRest", "1\r\n2\r\n3\r\n4\r\n5\r\n6", {"1", "2", "3", "4"}},
    {"FourthCrLfAtEnd", "1\r\n2\r\n3\r\n4\r\n", {"1", "2", "3", "4"}},
    {"OnlySeparators", "\r\n\r\n\r\n\r\n\r\n", {"", "", "", ""}},
};

INSTANTIATE_TEST_SUITE_P(Cases, SplitTextLinesTest, ::testing::ValuesIn(kSplitCases),
                         [](const ::testing::TestParamInfo<SplitCase>& info) { return info.param.name; });

TEST(SplitTextLines, NullTextGivesEmptyLines) {
    EXPECT_EQ(SplitTextLines(nullptr, 5), (TextLines{"", "", "", ""}));
}

TEST(SplitTextLines, CrAtEndOfLengthIsNotPairedWithFollowingByte) {
    const char text[] = "A\r\nB";
    EXPECT_EQ(SplitTextLines(text, 2), (TextLines{"A\r", "", "", ""}));
}

}  // namespace

// Cells wholly off the screen are left out; the rest are drawn at positions
// the 95/98 family's 16-bit coordinates hold.
TEST(PlaceTextCell, LeavesOutCellsOffTheScreenAndKeeps16BitPositions) {
    const struct {
        const char* name;
        long long x, y, width, height;
        bool drawn;
        int drawX, drawY;
    } cases[] = {
        {"inside", 100, 200, 40, 60, true, 100, 200},
        {"reaching in from the left", -30, 0, 40, 60, true, -30, 0},
        {"left of the screen within its height (overhang)", -90, 0, 40, 60, true, -90, 0},
        {"left of the screen beyond its height", -101, 0, 40, 60, false, 0, 0},
        {"at the right edge", 799, 0, 40, 60, true, 799, 0},
        {"right of the screen within its height", 859, 0, 40, 60, true, 859, 0},
        {"right of the screen beyond its height", 860, 0, 40, 60, false, 0, 0},
        {"above the screen", 0, -60, 40, 60, false, 0, 0},
        {"reaching down into the screen", 0, -59, 40, 60, true, 0, -59},
        {"below the screen", 0, 600, 40, 60, false, 0, 0},
        {"far along a long line", 40000, 10, 40, 60, false, 0, 0},
        {"far before a long line", -5000000000LL, 10, 40, 60, false, 0, 0},
        {"a cell taller than 16 bits", -40000, -40000, 80000, 80000, true, -32767, -32767},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int x = 12345, y = 12345;
        EXPECT_EQ(PlaceTextCell(c.x, c.y, c.width, c.height, 800, 600, &x, &y), c.drawn);
        if (!c.drawn) continue;
        EXPECT_EQ(x, c.drawX);
        EXPECT_EQ(y, c.drawY);
        EXPECT_LE(x < 0 ? -x : x, 32767);
        EXPECT_LE(y < 0 ? -y : y, 32767);
    }
}
