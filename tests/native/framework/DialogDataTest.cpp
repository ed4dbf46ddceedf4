// The window-free side of dialog data exchange: integer fields, prompts and
// the dialog-initialisation records.
#include "framework/DialogData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

namespace {

TEST(ParseDialogInt, AcceptsWholeFieldsOfOneNumber) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"0", 0},          {"30", 30},         {"007", 7},
        {" 7 ", 7},        {"\t12\t", 12},     {"-5", -5},
        {"+5", 5},         {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"00000000000000000000000000000000000001", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        int value = -99;
        EXPECT_TRUE(ParseDialogInt(c.text, &value));
        EXPECT_EQ(value, c.value);
    }
}

TEST(ParseDialogInt, RefusesAnythingElseAndLeavesTheValue) {
    const char* cases[] = {
        "",           " ",           "-",          "+",          "abc",        "12abc",      "1 2",
        "1.5",        "0x10",        "--1",        "- 1",        "2147483648", "-2147483649", "99999999999",
        "4294967296", "4294967295",  "1234567890123456789012345678901234567890",
    };
    for (const char* text : cases) {
        SCOPED_TRACE(text);
        int value = 42;
        EXPECT_FALSE(ParseDialogInt(text, &value));
        EXPECT_EQ(value, 42);
    }
    int value = 42;
    EXPECT_FALSE(ParseDialogInt(nullptr, &value));
    // Far more digits than any number: refused without reading them all as one.
    const std::string huge(100000, '9');
    EXPECT_FALSE(ParseDialogInt(huge.c_str(), &value));
}

TEST(DialogText, IntegersAndPrompts) {
    EXPECT_EQ(FormatDialogInt(0), "0");
    EXPECT_EQ(FormatDialogInt(-2147483647 - 1), "-2147483648");
    EXPECT_EQ(FormatPrompt("Please enter an integer between %1 and %2.", "1", "50"),
              "Please enter an integer between 1 and 50.");
    EXPECT_EQ(FormatPrompt("%2-%1 %3 %", "a", "b"), "b-a %3 %");
    EXPECT_EQ(FormatPrompt("Please enter an integer.", "1", "2"), "Please enter an integer.");
}

std::string Record(uint16_t id, uint16_t message, const std::string& data, uint32_t length) {
    std::string r;
    r += static_cast<char>(id & 0xFF);
    r += static_cast<char>(id >> 8);
    r += static_cast<char>(message & 0xFF);
    r += static_cast<char>(message >> 8);
    for (int i = 0; i < 4; ++i) r += static_cast<char>(length >> (8 * i) & 0xFF);
    return r + data;
}
std::string Record(uint16_t id, uint16_t message, const std::string& data) {
    return Record(id, message, data, static_cast<uint32_t>(data.size()));
}
const std::string kEnd("\0\0", 2);

TEST(ParseDlgInit, RecordsWithoutAlignment) {
    // Odd lengths leave the next record at an odd offset.
    const std::string data = Record(1013, 0x0403, std::string("Left\0", 5)) +
                             Record(1013, 0x0403, std::string("Center\0", 7)) +
                             Record(1014, 0x0401, std::string("Top\0", 4)) + kEnd;
    const auto items = ParseDlgInit(data.data(), data.size());
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].controlId, 1013);
    EXPECT_EQ(items[0].message, kDlgInitComboAddString);
    EXPECT_EQ(items[0].text, "Left");
    EXPECT_EQ(items[1].text, "Center");
    EXPECT_EQ(items[2].controlId, 1014);
    EXPECT_EQ(items[2].message, kDlgInitListAddString);
    EXPECT_EQ(items[2].text, "Top");
}

TEST(ParseDlgInit, HostileDataEndsTheWalkSafely) {
    const std::string good = Record(1013, 0x0403, std::string("Left\0", 5));
    const struct {
        const char* what;
        std::string data;
        std::size_t items;
        const char* lastText;
    } cases[] = {
        {"empty", "", 0, nullptr},
        {"one byte", "\x01", 0, nullptr},
        {"only the end", kEnd, 0, nullptr},
        {"no end mark", good, 1, "Left"},
        {"header cut short", good + Record(1014, 0x0403, "").substr(0, 5), 1, "Left"},
        {"length past the end", good + Record(1014, 0x0403, "Top", 0xFFFFFFF0u), 1, "Left"},
        {"length one past the end", good + Record(1014, 0x0403, "Top", 4), 1, "Left"},
        {"text without terminator", Record(1014, 0x0403, "Top") + kEnd, 1, "Top"},
        {"text with inner zero", Record(1014, 0x0403, std::string("To\0p", 4)) + kEnd, 1, "To"},
        {"empty text", Record(1014, 0x0403, "") + kEnd, 1, ""},
        {"records after the end mark", good + kEnd + good, 1, "Left"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // A heap copy of exactly the data's size, so a read past it shows under ASan.
        std::string copy(c.data);
        std::unique_ptr<char[]> exact(new char[copy.size() + 1]);
        std::copy(copy.begin(), copy.end(), exact.get());
        const auto items = ParseDlgInit(exact.get(), copy.size());
        ASSERT_EQ(items.size(), c.items);
        if (c.lastText != nullptr) {
            EXPECT_EQ(items.back().text, c.lastText);
        }
    }
    EXPECT_TRUE(ParseDlgInit(nullptr, 100).empty());
}

}  // namespace
