#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ModeCase {
    const char* cmdLine;
    bool isWin9x;
    SaverMode mode;
    bool useForeground;
    uint32_t window;  // checked only when useForeground is false
};

std::ostream& operator<<(std::ostream& os, const ModeCase& c) {
    return os << '"' << c.cmdLine << "\" win9x=" << c.isWin9x;
}

class ChooseModeTest : public ::testing::TestWithParam<ModeCase> {};

TEST_P(ChooseModeTest, PicksModeAndWindow) {
    const ModeCase& c = GetParam();
    const ModeChoice choice = ChooseMode(c.cmdLine, c.isWin9x);
    EXPECT_EQ(choice.mode, c.mode);
    if (c.mode == SaverMode::ChangePassword || c.mode == SaverMode::ConfigureWithParent) {
        EXPECT_EQ(choice.useForegroundWindow, c.useForeground);
        if (!c.useForeground) {
            EXPECT_EQ(choice.window, c.window);
        }
    }
}

using M = SaverMode;
const ModeCase kModeCases[] = {
    {"/s", false, M::Saver, false, 0},
    {"/S", false, M::Saver, false, 0},
    {"-s", false, M::Saver, false, 0},
    {"-S", false, M::Saver, false, 0},
    {"s", false, M::Saver, false, 0},
    {"S", false, M::Saver, false, 0},
    {"/s:", false, M::Saver, false, 0},
    {"/s 99", false, M::Saver, false, 0},
    {"/p", false, M::Preview, false, 0},
    {"/p 1234", false, M::Preview, false, 0},
    {"-P", true, M::Preview, false, 0},
    {"p", false, M::Preview, false, 0},
    {"/C:1234", false, M::ConfigureWithParent, false, 1234},
    {"/c", false, M::ConfigureWithParent, true, 0},
    {"/c: ", false, M::ConfigureWithParent, true, 0},
    {"/c 0", false, M::ConfigureWithParent, true, 0},
    {"/c:abc", false, M::ConfigureWithParent, true, 0},
    {"/c : :: 77", false, M::ConfigureWithParent, false, 77},
    {"-c:::77", false, M::ConfigureWithParent, false, 77},
    {"c 77x", false, M::ConfigureWithParent, false, 77},
    // 4294967295 read as a signed number is -1: no window.
    {"/c 4294967295", false, M::ConfigureWithParent, true, 0},
    // Overflow wraps: 4294967373 = 2^32 + 77.
    {"/c 4294967373", false, M::ConfigureWithParent, false, 77},
    {"/scr", false, M::Configure, false, 0},
    {"/save", false, M::Configure, false, 0},
    {"/c1234", false, M::Configure, false, 0},
    {"", false, M::Configure, false, 0},
    {" /s", false, M::Configure, false, 0},  // no blanks are skipped before the token
    {"/x", false, M::Configure, false, 0},
    {"/a", false, M::Configure, false, 0},
    {"/a 77", false, M::Configure, false, 0},
    {"/a 77", true, M::ChangePassword, false, 77},
    {"-A 77", true, M::ChangePassword, false, 77},
    {"a", true, M::ChangePassword, true, 0},
    {"/a:77", true, M::ChangePassword, true, 0},
    {"/a   0", true, M::ChangePassword, true, 0},
};

INSTANTIATE_TEST_SUITE_P(EdgeCases, ChooseModeTest, ::testing::ValuesIn(kModeCases));

TEST(ChooseMode, NullCommandLineIsEmpty) {
    EXPECT_EQ(ChooseMode(nullptr, false).mode, SaverMode::Configure);
}

TEST(ExtractToken, StopsAtBlankColonOrEnd) {
    char token[kMaxTokenLength + 1];
    EXPECT_EQ(ExtractToken("/c:12", token), 2u);
    EXPECT_STREQ(token, "/c");
    EXPECT_EQ(ExtractToken("/s 99", token), 2u);
    EXPECT_STREQ(token, "/s");
    EXPECT_EQ(ExtractToken("abc", token), 3u);
    EXPECT_STREQ(token, "abc");
}

TEST(ExtractToken, LongTokenIsCutAtTwoHundred) {
    const std::string line = std::string(250, 's');
    char token[kMaxTokenLength + 1];
    EXPECT_EQ(ExtractToken(line.c_str(), token), kMaxTokenLength);
    EXPECT_EQ(std::string(token), std::string(200, 's'));
    EXPECT_EQ(ChooseMode(line.c_str(), false).mode, SaverMode::Configure);
}

TEST(ReadWindowNumber, NeverReadsPastPosition199) {
    // "/c" then blanks up to position 197, digits at 197..201: only 197..199 count.
    std::string line = "/c" + std::string(195, ' ') + "12345";
    ASSERT_EQ(line.size(), 202u);
    EXPECT_EQ(ReadConfigWindowNumber(line.c_str(), 2), 123u);
    const ModeChoice choice = ChooseMode(line.c_str(), false);
    EXPECT_EQ(choice.window, 123u);

    std::string onlyBlanks = "/c" + std::string(198, ' ') + "77";
    EXPECT_TRUE(ChooseMode(onlyBlanks.c_str(), false).useForegroundWindow);

    std::string password = "/a" + std::string(197, ' ') + "98";
    EXPECT_EQ(ChooseMode(password.c_str(), true).window, 9u);
}

TEST(ReadWindowNumber, ScanStartsAtTheStopPosition) {
    EXPECT_EQ(ReadConfigWindowNumber("/c::  :42", 2), 42u);
    EXPECT_EQ(ReadPasswordWindowNumber("/a  42", 2), 42u);
    EXPECT_EQ(ReadPasswordWindowNumber("/a:42", 2), 0u);
}

}  // namespace
