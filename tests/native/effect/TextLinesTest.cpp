#include "effect/TextLines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

namespace {

// " Sorry, file not found: " is 24 characters; with the closing blank a
// message needs 25 plus the name.
struct MessageCase {
    const char* name;
    const char* fileName;
    std::size_t capacity;
    std::string message;
};

std::ostream& operator<<(std::ostream& os, const MessageCase& c) { return os << c.name; }

const std::string kLongName = "C:\\" + std::string(280, 'd') + "\\photo.jpg";

const MessageCase kMessageCases[] = {
    {"NameFits", "C:\\pics\\photo.jpg", 255, " Sorry, file not found: C:\\pics\\photo.jpg "},
    {"NameFitsExactly", "C:\\pics\\photo.jpg", 25 + 17 + 1, " Sorry, file not found: C:\\pics\\photo.jpg "},
    {"OneShortKeepsTheEnd", "C:\\pics\\photo.jpg", 25 + 17, " Sorry, file not found: ...ics\\photo.jpg "},
    {"RoomForOneCharacter", "C:\\pics\\photo.jpg", 25 + 3 + 1 + 1, " Sorry, file not found: ...g "},
    {"NoRoomForAnyOfTheName", "C:\\pics\\photo.jpg", 25 + 3 + 1, " Sorry, file not found:  "},
    {"PrefixCut", "C:\\pics\\photo.jpg", 10, " Sorry, f"},
    {"OnlyTheTerminator", "C:\\pics\\photo.jpg", 1, ""},
    {"NullName", nullptr, 255, " Sorry, file not found:  "},
    {"LongNameKeepsItsEnd", kLongName.c_str(), 255,
     " Sorry, file not found: ..." + kLongName.substr(kLongName.size() - (254 - 25 - 3)) + " "},
};

class NotFoundMessageTest : public ::testing::TestWithParam<MessageCase> {};

TEST_P(NotFoundMessageTest, FitsTheCapacity) {
    const MessageCase& c = GetParam();
    std::string buffer(c.capacity + 8, '#');
    FormatNotFoundMessage(c.fileName, &buffer[0], c.capacity);
    EXPECT_EQ(std::string(buffer.c_str()), c.message);
    EXPECT_EQ(buffer.substr(c.capacity), std::string(8, '#')) << "wrote past the capacity";
}

INSTANTIATE_TEST_SUITE_P(Cases, NotFoundMessageTest, ::testing::ValuesIn(kMessageCases),
                         [](const ::testing::TestParamInfo<MessageCase>& info) { return info.param.name; });

// A 3 x 3 screen whose height map starts at 9; rows of the read-back are
// top-down, the map's are bottom-up.
struct CutCase {
    const char* name;
    int firstRow;
    std::vector<unsigned int> pixels;  // rowCount rows of kStride pixels
    std::vector<unsigned char> heights;
};

std::ostream& operator<<(std::ostream& os, const CutCase& c) { return os << c.name; }

constexpr std::size_t kStride = 4;  // one pixel of padding per row, never read as the screen's
constexpr unsigned int kWhite = 0xFFFFFF;

const CutCase kCutCases[] = {
    {"TopRowIsTheMapsLast", 0, {0, kWhite, kWhite, 0}, {9, 9, 9, 9, 9, 9, 0, 9, 9}},
    {"BandFurtherDown", 1, {kWhite, 0, kWhite, 0, kWhite, kWhite, 0, 0}, {9, 9, 0, 9, 0, 9, 9, 9, 9}},
    {"HighByteIsNotColour", 2, {0xFF000000u, 0x01000000u, 0x00000001u, 0}, {0, 0, 9, 9, 9, 9, 9, 9, 9}},
    {"NearBlackKeepsItsHeight", 0, {0x010000, 0x000100, 0x000001, 0}, {9, 9, 9, 9, 9, 9, 9, 9, 9}},
    {"RowsOutsideTheScreenIgnored", -1, {0, 0, 0, 0, kWhite, 0, kWhite, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
     {0, 0, 0, 0, 0, 0, 9, 0, 9}},
};

class CutHeightsTest : public ::testing::TestWithParam<CutCase> {};

TEST_P(CutHeightsTest, BlackPixelsLoseTheirHeight) {
    const CutCase& c = GetParam();
    std::vector<unsigned char> heights(9, 9);
    CutHeightsUnderBlack(c.pixels.data(), kStride, c.firstRow, static_cast<int>(c.pixels.size() / kStride), 3, 3,
                         heights.data());
    EXPECT_EQ(heights, c.heights);
}

INSTANTIATE_TEST_SUITE_P(Cases, CutHeightsTest, ::testing::ValuesIn(kCutCases),
                         [](const ::testing::TestParamInfo<CutCase>& info) { return info.param.name; });

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

TEST(TextLayout, FontSizeIsEightPointsAHeightUnitHeldTo4096Pixels) {
    const struct {
        const char* name;
        int fontHeight, pixelsPerInch;
        long long tenths, pixels;
    } cases[] = {
        {"the default at 96 dpi", 18, 96, 1440, 192},
        {"negative keeps its sign in tenths", -18, 96, -1440, 192},
        {"zero", 0, 96, 0, 0},
        {"huge is held to 4096 pixels", 2147483647, 96, 30720, 4096},
        {"hugely negative too", -2147483647 - 1, 96, -30720, 4096},
        {"no resolution counts as 1 dpi", 18, 0, 1440, 2},
        {"a negative resolution too", 18, -5, 1440, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FontPointTenths(c.fontHeight, c.pixelsPerInch), c.tenths);
        EXPECT_EQ(FontPixelHeight(c.fontHeight, c.pixelsPerInch), c.pixels);
    }
}

TEST(TextLayout, BlockAndLinesAreCentredWithoutOverflow) {
    EXPECT_EQ(TextBlockTop(768, 192), 288);
    EXPECT_EQ(TextLineLeft(1024, 1001), 11);  // the halving truncates toward zero
    EXPECT_EQ(TextLineLeft(1024, 1025), 0);
    EXPECT_EQ(TextLineLeft(1024, 2000000000LL * 4), (1024 - 8000000000LL) / 2);
    EXPECT_EQ(TextBlockTop(0, 7), -3);
}
