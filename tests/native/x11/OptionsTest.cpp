#include "x11/Options.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

struct Parsed {
    ParseResult result;
    CommandLine line;
};

Parsed Parse(std::vector<const char*> args, const char* hostWindow = nullptr) {
    args.insert(args.begin(), "orvane");
    Parsed run;
    run.result = ParseCommandLine(static_cast<int>(args.size()), args.data(), hostWindow, &run.line);
    return run;
}

TEST(OptionNames, DerivedFromEveryKey) {
    const char* names[kSettingCount] = {
        "frame-rate", "speed",        "x-fall-off", "y-fall-off", "x-distance", "y-distance",
        "multiplier", "from-index",   "cw-direction", "picture",  "x-position", "y-position",
        "text-lines", "text-size",    "font-face",  "font-style", "font-width", "font-height",
    };
    for (int i = 0; i < kSettingCount; ++i) {
        EXPECT_EQ(OptionNameOf(static_cast<SettingId>(i)), names[i]) << kSettings[i].key;
    }
}

TEST(CommandLineParse, NothingGivenIsTheSaversDefaultsInAWindowOfItsOwn) {
    const Parsed run = Parse({});
    ASSERT_EQ(run.result.status, ParseStatus::Run);
    EXPECT_EQ(run.line.mode, WindowMode::OwnWindow);
    EXPECT_FALSE(run.line.showFps);
    const SettingValues& s = run.line.settings;
    EXPECT_EQ(s.number[kFrameRate], 30);
    EXPECT_EQ(s.number[kBumpSpeed], 15);  // the saver's default, not the dialog's 20
    EXPECT_EQ(s.number[kBumpXFallOff], 200);
    EXPECT_EQ(s.number[kBumpXDistance], 300);
    EXPECT_EQ(s.number[kBumpYDistance], 200);
    EXPECT_EQ(s.number[kBumpMultiplier], 7);
    EXPECT_EQ(s.number[kCwDirection], 1);
    EXPECT_EQ(s.number[kFontHeight], 18);
    EXPECT_EQ(s.text[kFilenameGif], "");
    EXPECT_EQ(s.text[kXPosition], "Center");
    EXPECT_EQ(s.text[kTextLines], "Orvane");
    EXPECT_EQ(s.text[kFontFace], "Arial Black");
}

TEST(CommandLineParse, EverySettingByItsNameWithOneOrTwoDashes) {
    const Parsed run = Parse({"-frame-rate", "12", "--speed", "101", "-x-fall-off", "16", "--y-fall-off", "512",
                           "-x-distance", "0", "-y-distance", "1000", "-multiplier", "11", "-from-index", "255",
                           "-cw-direction", "0", "--picture", "/tmp/a b.gif", "-x-position", "Left",
                           "-y-position", "Top", "-text-lines", "A\nB", "-text-size", "3", "-font-face", "DejaVu Sans",
                           "-font-style", "Bold", "-font-width", "9", "-font-height", "40"});
    ASSERT_EQ(run.result.status, ParseStatus::Run) << run.result.message;
    const SettingValues& s = run.line.settings;
    const int numbers[] = {12, 101, 16, 512, 0, 1000, 11, 255, 0};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(s.number[i], numbers[i]) << kSettings[i].key;
    EXPECT_EQ(s.text[kFilenameGif], "/tmp/a b.gif");
    EXPECT_EQ(s.text[kXPosition], "Left");
    EXPECT_EQ(s.text[kYPosition], "Top");
    EXPECT_EQ(s.text[kTextLines], "A\r\nB");  // a line feed ends a line as CR LF does in the store
    EXPECT_EQ(s.number[kTextSize], 3);
    EXPECT_EQ(s.text[kFontFace], "DejaVu Sans");
    EXPECT_EQ(s.text[kFontStyle], "Bold");
    EXPECT_EQ(s.number[kFontWidth], 9);
    EXPECT_EQ(s.number[kFontHeight], 40);
}

TEST(CommandLineParse, IntegersOutsideTheDialogsRangesAreKeptAsGiven) {
    // As stored registry values: used unchanged (the frame rate is raised
    // to 1 where the effect is set up, not here).
    const struct {
        const char* option;
        const char* value;
        SettingId id;
        int expected;
    } cases[] = {
        {"-frame-rate", "0", kFrameRate, 0},
        {"-frame-rate", "-2147483648", kFrameRate, INT_MIN},
        {"-speed", "2147483647", kBumpSpeed, INT_MAX},
        {"-speed", "-1", kBumpSpeed, -1},
        {"-multiplier", "+40", kBumpMultiplier, 40},
        {"-cw-direction", "2", kCwDirection, 2},
        {"-font-height", "-007", kFontHeight, -7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.option) + " " + c.value);
        const Parsed run = Parse({c.option, c.value});
        ASSERT_EQ(run.result.status, ParseStatus::Run) << run.result.message;
        EXPECT_EQ(run.line.settings.number[c.id], c.expected);
    }
}

TEST(CommandLineParse, BadInputGivesOneLineNamingIt) {
    const struct {
        std::vector<const char*> args;
        const char* named;  // the message names this
    } cases[] = {
        {{"-frame-rat", "3"}, "-frame-rat"},
        {{"--Frame-Rate", "3"}, "--Frame-Rate"},
        {{"-"}, "-"},
        {{"--"}, "--"},
        {{"---root"}, "---root"},
        {{"frame-rate", "3"}, "frame-rate"},
        {{"-frame-rate", "fast"}, "fast"},
        {{"-frame-rate", ""}, "-frame-rate"},
        {{"-frame-rate", " 30"}, "-frame-rate"},
        {{"-frame-rate", "30 "}, "-frame-rate"},
        {{"-frame-rate", "0x1e"}, "0x1e"},
        {{"-frame-rate", "2147483648"}, "2147483648"},
        {{"-frame-rate", "-2147483649"}, "-2147483649"},
        {{"-speed", "1e3"}, "1e3"},
        {{"-multiplier", "7.5"}, "7.5"},
        {{"-frame-rate"}, "-frame-rate"},
        {{"-picture"}, "-picture"},
        {{"-window-id"}, "-window-id"},
        {{"-window-id", "0"}, "-window-id"},
        {{"-window-id", "-5"}, "-5"},
        {{"-window-id", "0x"}, "0x"},
        {{"-window-id", "0x1g"}, "0x1g"},
        {{"-window-id", "4294967296"}, "4294967296"},
        {{"-window-id", "12abc"}, "12abc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.named);
        const Parsed run = Parse(c.args);
        ASSERT_EQ(run.result.status, ParseStatus::Error);
        EXPECT_NE(run.result.message.find(c.named), std::string::npos) << run.result.message;
        EXPECT_EQ(run.result.message.find('\n'), std::string::npos) << run.result.message;
    }
}

TEST(CommandLineParse, WhereItDraws) {
    const struct {
        std::vector<const char*> args;
        const char* hostWindow;
        WindowMode mode;
        unsigned long id;
    } cases[] = {
        {{"-root"}, nullptr, WindowMode::Root, 0},
        {{"--root"}, nullptr, WindowMode::Root, 0},
        {{"-window"}, "4242", WindowMode::OwnWindow, 0},
        {{}, "4242", WindowMode::OwnWindow, 0},  // the host's window only together with -root
        {{"-root"}, "4242", WindowMode::WindowId, 4242},
        {{"-root"}, "0x400001", WindowMode::WindowId, 0x400001},
        {{"-root"}, "", WindowMode::Root, 0},
        {{"-window-id", "0x2A"}, nullptr, WindowMode::WindowId, 42},
        {{"-window-id", "0X2a"}, nullptr, WindowMode::WindowId, 42},
        {{"--window-id", "4294967295"}, nullptr, WindowMode::WindowId, 4294967295ul},
        {{"-window-id", "77", "-root"}, "4242", WindowMode::WindowId, 4242},
        {{"-root", "-window-id", "77"}, "4242", WindowMode::WindowId, 77},  // an explicit id wins
        {{"-window-id", "77", "-window"}, nullptr, WindowMode::OwnWindow, 77},
    };
    for (const auto& c : cases) {
        std::string label;
        for (const char* a : c.args) label += std::string(a) + " ";
        SCOPED_TRACE(label + "| " + (c.hostWindow ? c.hostWindow : "(none)"));
        const Parsed run = Parse(c.args, c.hostWindow);
        ASSERT_EQ(run.result.status, ParseStatus::Run) << run.result.message;
        EXPECT_EQ(run.line.mode, c.mode);
        if (c.mode == WindowMode::WindowId) {
            EXPECT_EQ(run.line.windowId, c.id);
        }
    }
}

TEST(CommandLineParse, HostWindowThatIsNoIdIsAnError) {
    const Parsed run = Parse({"-root"}, "window");
    ASSERT_EQ(run.result.status, ParseStatus::Error);
    EXPECT_NE(run.result.message.find("XSCREENSAVER_WINDOW"), std::string::npos);
}

TEST(CommandLineParse, HostOptionsAndHelp) {
    Parsed run = Parse({"-fps", "--display", ":7"});
    ASSERT_EQ(run.result.status, ParseStatus::Run);
    EXPECT_TRUE(run.line.showFps);
    EXPECT_EQ(run.line.display, ":7");
    EXPECT_EQ(Parse({"-frame-rate", "5", "--help", "-bogus"}).result.status, ParseStatus::Help);
}

TEST(CommandLineParse, LongTextsAreKeptWhole) {
    const std::string longText(10000, 'x');
    const Parsed run = Parse({"-picture", longText.c_str(), "-font-face", longText.c_str()});
    ASSERT_EQ(run.result.status, ParseStatus::Run);
    EXPECT_EQ(run.line.settings.text[kFilenameGif], longText);
    EXPECT_EQ(run.line.settings.text[kFontFace], longText);
}

TEST(HelpText, ListsEveryOptionWithItsRangeAndDefault) {
    const std::string help = HelpText("orvane");
    for (int i = 0; i < kSettingCount; ++i) {
        EXPECT_NE(help.find("-" + OptionNameOf(static_cast<SettingId>(i)) + " "), std::string::npos) << kSettings[i].key;
    }
    EXPECT_NE(help.find("\"Frame Rate\", 1 to 50 [30]"), std::string::npos);
    EXPECT_NE(help.find("\"Bump Speed\", 1 to 256 [15]"), std::string::npos);
    EXPECT_NE(help.find("\"Bump XFallOff\", 16 to 512 [200]"), std::string::npos);
    for (const char* host : {"-root", "-window ", "-window-id", "-fps", "-help"}) {
        EXPECT_NE(help.find(host), std::string::npos) << host;
    }
}

}  // namespace
