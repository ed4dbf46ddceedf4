// The profile functions over the registry: whatever a value holds, a reader
// gets a defined answer.
#include <gtest/gtest.h>

#include <string>

#include "tests/win/TestApp.h"

namespace {

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override { ClearTestProfile(); }
    void TearDown() override { ClearTestProfile(); }

    static void Store(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestConfigKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    static bool KeyExists() {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kTestConfigKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }
};

TEST_F(ProfileTest, AbsentKeysGiveDefaultsAndCreateNothing) {
    EXPECT_EQ(static_cast<int>(TestApp().GetProfileInt("Config", "Frame Rate", 30)), 30);
    EXPECT_EQ(static_cast<int>(TestApp().GetProfileInt("Config", "Frame Rate", -4)), -4);
    EXPECT_STREQ(TestApp().GetProfileString("Config", "Text Lines", "Orvane"), "Orvane");
    EXPECT_STREQ(TestApp().GetProfileString("Config", "Text Lines", nullptr), "");
    EXPECT_FALSE(KeyExists());
}

TEST_F(ProfileTest, WrittenValuesReadBackUnderTheCompanyKey) {
    ASSERT_TRUE(TestApp().WriteProfileInt("Config", "Frame Rate", 12));
    ASSERT_TRUE(TestApp().WriteProfileInt("Config", "Bump Speed", -1));
    ASSERT_TRUE(TestApp().WriteProfileString("Config", "XPosition", "Left"));
    ASSERT_TRUE(TestApp().WriteProfileString("Config", "Text Lines", "A\r\nB"));
    EXPECT_TRUE(KeyExists());
    EXPECT_EQ(TestApp().GetProfileInt("Config", "Frame Rate", 30), 12u);
    EXPECT_EQ(TestApp().GetProfileInt("Config", "Bump Speed", 15), 0xFFFFFFFFu);
    EXPECT_STREQ(TestApp().GetProfileString("Config", "XPosition", "Center"), "Left");
    EXPECT_STREQ(TestApp().GetProfileString("Config", "Text Lines", ""), "A\r\nB");

    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kTestConfigKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD type = 0, value = 0, size = sizeof value;
    EXPECT_EQ(RegQueryValueExA(key, "Frame Rate", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    RegCloseKey(key);
}

TEST_F(ProfileTest, IntegerOfAnotherTypeGivesTheDefault) {
    const struct {
        DWORD type;
        std::string data;
    } cases[] = {
        {REG_SZ, std::string("30\0", 3)},
        {REG_SZ, std::string("7\0", 2)},
        {REG_BINARY, std::string("\x05\x00\x00\x00", 4)},
        {REG_BINARY, std::string("\x05", 1)},
        {REG_QWORD, std::string("\x05\x00\x00\x00\x00\x00\x00\x00", 8)},
        {REG_DWORD_BIG_ENDIAN, std::string("\x00\x00\x00\x05", 4)},
        {REG_MULTI_SZ, std::string("1\0\0", 3)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        Store("Frame Rate", c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
        EXPECT_EQ(static_cast<int>(TestApp().GetProfileInt("Config", "Frame Rate", 30)), 30);
    }
}

TEST_F(ProfileTest, StringOfAnotherTypeGivesTheDefault) {
    const DWORD number = 5;
    Store("FilenameGif", REG_DWORD, &number, sizeof number);
    EXPECT_STREQ(TestApp().GetProfileString("Config", "FilenameGif", "none"), "none");
    Store("FilenameGif", REG_BINARY, "abc", 3);
    EXPECT_STREQ(TestApp().GetProfileString("Config", "FilenameGif", "none"), "none");
}

TEST_F(ProfileTest, OddStringsReadSafely) {
    // Without a terminator.
    Store("XPosition", REG_SZ, "Right", 5);
    EXPECT_STREQ(TestApp().GetProfileString("Config", "XPosition", "Center"), "Right");
    // Empty data, and an embedded terminator that ends the text.
    Store("XPosition", REG_SZ, "", 0);
    EXPECT_STREQ(TestApp().GetProfileString("Config", "XPosition", "Center"), "");
    Store("XPosition", REG_SZ, "Top\0Left", 9);
    EXPECT_STREQ(TestApp().GetProfileString("Config", "XPosition", "Center"), "Top");
    // Far longer than any buffer a reader might have had in mind.
    const std::string longText(300000, 'x');
    ASSERT_TRUE(TestApp().WriteProfileString("Config", "Text Lines", longText.c_str()));
    const CString read = TestApp().GetProfileString("Config", "Text Lines", "");
    EXPECT_EQ(read.GetLength(), 300000);
    EXPECT_EQ(std::string(read), longText);
}

}  // namespace
