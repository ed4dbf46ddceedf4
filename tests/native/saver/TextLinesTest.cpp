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
