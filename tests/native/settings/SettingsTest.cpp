#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(SettingsTable, KeysInWriteOrderWithBothDefaults) {
    struct Row {
        SettingId id;
        const char* key;
        SettingKind kind;
    };
    const Row rows[] = {
        {kFrameRate, "Frame Rate", SettingKind::Integer},
        {kBumpSpeed, "Bump Speed", SettingKind::Integer},
        {kBumpXFallOff, "Bump XFallOff", SettingKind::Integer},
        {kBumpYFallOff, "Bump YFallOff", SettingKind::Integer},
        {kBumpXDistance, "Bump XDistance", SettingKind::Integer},
        {kBumpYDistance, "Bump YDistance", SettingKind::Integer},
        {kBumpMultiplier, "Bump Multiplier", SettingKind::Integer},
        {kBumpFromIndex, "Bump From Index", SettingKind::Integer},
        {kCwDirection, "CW Direction", SettingKind::Integer},
        {kFilenameGif, "FilenameGif", SettingKind::String},
        {kXPosition, "XPosition", SettingKind::String},
        {kYPosition, "YPosition", SettingKind::String},
        {kTextLines, "Text Lines", SettingKind::String},
        {kTextSize, "Text Size", SettingKind::Integer},
        {kFontFace, "Font Face", SettingKind::String},
        {kFontStyle, "Font Style", SettingKind::String},
        {kFontWidth, "Font Width", SettingKind::Integer},
        {kFontHeight, "Font Height", SettingKind::Integer},
    };
    ASSERT_EQ(sizeof rows / sizeof rows[0], static_cast<size_t>(kSettingCount));
    for (const Row& r : rows) {
        SCOPED_TRACE(r.key);
        EXPECT_STREQ(Setting(r.id).key, r.key);
        EXPECT_EQ(Setting(r.id).kind, r.kind);
        if (r.kind == SettingKind::String) {
            EXPECT_NE(Setting(r.id).dialog.text, nullptr);
            if (Setting(r.id).readBySaver) {
                EXPECT_NE(Setting(r.id).saver.text, nullptr);
            }
        }
    }
}

TEST(SettingsTable, DefaultsDifferOnlyForBumpSpeed) {
    EXPECT_EQ(Setting(kBumpSpeed).saver.number, 15);
    EXPECT_EQ(Setting(kBumpSpeed).dialog.number, 20);
    for (int i = 0; i < kSettingCount; ++i) {
        const SettingInfo& s = kSettings[i];
        if (i == kBumpSpeed || !s.readBySaver) continue;
        SCOPED_TRACE(s.key);
        if (s.kind == SettingKind::Integer) {
            EXPECT_EQ(s.saver.number, s.dialog.number);
        } else {
            EXPECT_STREQ(s.saver.text, s.dialog.text);
        }
    }
    EXPECT_FALSE(Setting(kTextSize).readBySaver);
    EXPECT_FALSE(Setting(kFontStyle).readBySaver);
    EXPECT_FALSE(Setting(kFontWidth).readBySaver);
    EXPECT_STREQ(Setting(kFontStyle).dialog.text, "Negrita");
    EXPECT_STREQ(Setting(kTextLines).saver.text, "Orvane");
    EXPECT_STREQ(Setting(kFontFace).saver.text, "Arial Black");
}

TEST(SettingsTable, DialogRanges) {
    struct Range {
        SettingId id;
        int minimum, maximum;
    };
    const Range ranges[] = {{kFrameRate, 1, 50},     {kBumpFromIndex, 0, 255}, {kBumpMultiplier, 1, 11},
                            {kBumpSpeed, 1, 256},    {kBumpXFallOff, 16, 512}, {kBumpYFallOff, 16, 512},
                            {kBumpXDistance, 0, 1000}, {kBumpYDistance, 0, 1000}};
    for (const Range& r : ranges) {
        SCOPED_TRACE(Setting(r.id).key);
        EXPECT_TRUE(Setting(r.id).hasRange);
        EXPECT_EQ(Setting(r.id).minimum, r.minimum);
        EXPECT_EQ(Setting(r.id).maximum, r.maximum);
    }
    EXPECT_FALSE(Setting(kTextSize).hasRange);
    EXPECT_FALSE(Setting(kFontHeight).hasRange);
}

TEST(FrameRate, RaisedToOneAndPeriodTruncates) {
    const struct {
        int stored;
        int rate;
        unsigned period;
    } cases[] = {{30, 30, 33}, {0, 1, 1000}, {-5, 1, 1000}, {1, 1, 1000}, {50, 50, 20},
                 {7, 7, 142}, {1000, 1000, 1}, {1001, 1001, 0}, {2147483647, 2147483647, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(EffectiveFrameRate(c.stored), c.rate);
        EXPECT_EQ(FrameTimerPeriod(c.stored), c.period);
    }
}

TEST(AngleStep, SpeedAndDirection) {
    const struct {
        uint32_t speed;
        int cw;
        double step;
    } cases[] = {
        {15, 1, 15 * 0.005},  {20, 1, 20 * 0.005}, {100, 1, 0.5},   {101, 1, 1.0},
        {256, 1, 156.0},      {101, 0, -1.0},      {15, 2, -15 * 0.005}, {15, -1, -15 * 0.005},
        {0, 1, 0.0},
        // A stored -1 read unsigned is 4294967295: far above 100.
        {0xFFFFFFFFu, 1, 4294967295.0 - 100.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.speed);
        EXPECT_DOUBLE_EQ(AngleStep(c.speed, c.cw), c.step);
    }
    EXPECT_EQ(AngleStep(15, 1), 0.075);
}

TEST(CentreFromPosition, ExactWordsOnly) {
    const struct {
        const char* text;
        Axis axis;
        bool known;
        int centre;
    } cases[] = {
        {"Center", Axis::Horizontal, true, 512}, {"Left", Axis::Horizontal, true, 0},
        {"Right", Axis::Horizontal, true, 1025}, {"center", Axis::Horizontal, false, -7},
        {"LEFT", Axis::Horizontal, false, -7},   {"Top", Axis::Horizontal, false, -7},
        {"Center ", Axis::Horizontal, false, -7}, {"", Axis::Horizontal, false, -7},
        {"Center", Axis::Vertical, true, 512},   {"Bottom", Axis::Vertical, true, 0},
        {"Top", Axis::Vertical, true, 1025},     {"Left", Axis::Vertical, false, -7},
        {"bottom", Axis::Vertical, false, -7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        int centre = -7;
        EXPECT_EQ(CentreFromPosition(c.text, c.axis, 1025, &centre), c.known);
        EXPECT_EQ(centre, c.centre);
    }
}

}  // namespace
