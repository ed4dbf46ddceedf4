// The window-free pieces the release uses in place of the C and C++ run-time
// libraries: CString's own buffer, the handle tables, the C run-time's random
// sequence, the command line's tail, and the x87 functions.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "framework/HandleMap.h"
#include "framework/String.h"
#include "framework/runtime/CommandTail.h"
#include "framework/runtime/CrtRand.h"
#include "framework/runtime/X87.h"
#include "effect/BumpPass.h"

namespace {

TEST(CString, BuildsComparesAndCuts) {
    CString s;
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_STREQ(s, "");
    s += "Orv";
    s += 'a';
    s += CString("ne");
    EXPECT_EQ(s, "Orvane");
    EXPECT_EQ(s.GetLength(), 6);
    EXPECT_EQ(s.Left(3), "Orv");
    EXPECT_EQ(s.Left(-1), "");
    EXPECT_EQ(s.Left(100), "Orvane");
    EXPECT_EQ("[" + s + "]", "[Orvane]");
    EXPECT_NE(s, "Orvan");
    EXPECT_NE(s, CString("Orvanes"));
    EXPECT_EQ(CString(nullptr), "");
    EXPECT_EQ(s, s.Left(6));
    s.Empty();
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(s, nullptr);
}

TEST(CString, EmbeddedZeroIsPartOfTheString) {
    const CString s("A\0B", 3);
    EXPECT_EQ(s.GetLength(), 3);
    EXPECT_NE(s, "A");
    EXPECT_NE(s, CString("A"));
    EXPECT_EQ(s, CString("A\0B", 3));
}

TEST(CString, SourcesInsideTheStringItself) {
    CString s("abcdef");
    s = static_cast<const char*>(s) + 2;  // assigned from its own buffer
    EXPECT_EQ(s, "cdef");
    for (int i = 0; i < 6; ++i) s += s;  // appended to itself, growing each time
    EXPECT_EQ(s.GetLength(), 4 << 6);
    EXPECT_EQ(s.Left(8), "cdefcdef");
    CString copy = s;
    CString moved = static_cast<CString&&>(copy);
    EXPECT_EQ(moved, s);
    EXPECT_TRUE(copy.IsEmpty());
}

TEST(CHandleMap, FindsInsertsAndRemovesInAnyOrder) {
    CHandleMap<int*, int> map;
    static int objects[100];
    int* handles[100];
    for (int i = 0; i < 100; ++i) handles[i] = reinterpret_cast<int*>(static_cast<std::uintptr_t>((i * 37) % 100 + 1) * 16);
    for (int i = 0; i < 100; ++i) {
        int** slot = map.Slot(handles[i]);
        ASSERT_NE(slot, nullptr);
        EXPECT_EQ(*slot, nullptr) << "a new handle starts without an object";
        *slot = &objects[i];
    }
    EXPECT_EQ(map.Size(), 100u);
    EXPECT_EQ(*map.Slot(handles[5]), &objects[5]) << "an existing handle keeps its object";
    for (int i = 0; i < 100; ++i) EXPECT_EQ(map.Find(handles[i]), &objects[i]);
    EXPECT_EQ(map.Find(reinterpret_cast<int*>(8)), nullptr);
    for (int i = 0; i < 100; i += 2) map.Remove(handles[i]);
    map.Remove(reinterpret_cast<int*>(8));  // absent: nothing happens
    EXPECT_EQ(map.Size(), 50u);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(map.Find(handles[i]), i % 2 ? &objects[i] : nullptr);
    std::uintptr_t last = 0;
    for (const auto& entry : map) {
        EXPECT_GT(reinterpret_cast<std::uintptr_t>(entry.handle), last) << "kept sorted";
        last = reinterpret_cast<std::uintptr_t>(entry.handle);
    }
    map.Clear();
    EXPECT_EQ(map.Find(handles[1]), nullptr);
}

// The platform C run-time's rand after srand(1) (its first numbers without srand).
TEST(CrtRand, GivesTheCRunTimeSequence) {
    std::uint32_t state = 1;
    const int afterOne[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int expected : afterOne) EXPECT_EQ(CrtRandNext(&state), expected);
    // Over a long run every result stays within 0..32767.
    state = 0xFFFFFFFFu;
    for (int i = 0; i < 100000; ++i) {
        const int r = CrtRandNext(&state);
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 32767);
    }
}

TEST(CommandTail, DropsTheProgramNameAndTheBlanksAfterIt) {
    const struct {
        const char* line;
        const char* tail;
    } cases[] = {
        {"Orvane.scr /s", "/s"},
        {"C:\\WINDOWS\\ORVANE.SCR  \t /c:1234", "/c:1234"},
        {"\"C:\\Program Files\\Orvane.scr\" /p 42", "/p 42"},
        {"\"C:\\unterminated quote /s", ""},
        {"\"\"/s", "/s"},
        {"Orvane.scr", ""},
        {"", ""},
        {"  /s", "/s"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_STREQ(CommandTail(c.line), c.tail);
    }
    EXPECT_STREQ(CommandTail(nullptr), "");
}

TEST(X87, SetsDoublePrecisionControl) {
    const unsigned short before = X87ControlWord();
    SetX87DoublePrecision();
    EXPECT_EQ(X87ControlWord(), 0x027F);
    __asm__ volatile("fldcw %0" : : "m"(before));
}

// The light's path as the release computes it (FCOS, FSIN) and as the 64-bit
// build does (the C library's cos and sin): the same pixels over a long run,
// for paths of several speeds, sizes and directions.
TEST(X87, LightPathMatchesTheCLibraryToThePixel) {
    const struct {
        double step;
        double scale;
        int centerX, centerY, xDistance, yDistance;
    } paths[] = {
        {0.0125, 1.0, 512, 384, 400, 300},       // the default path on 1024 x 768
        {0.05, 1.0, 960, 540, 900, 500},
        {-0.0031415, 2.5, 1920, 1080, 3000, 2000},
        {0.3, 1.0, 0, 0, 32767, 32767},
    };
    long long bitDifferences = 0, frames = 0;
    for (const auto& p : paths) {
        double ours = 0.0, theirs = 0.0;
        for (int frame = 0; frame < 500000; ++frame, ++frames) {
            const double a = ours;
            const LightPosition x87 = {SaturateToInt(X87Cos(a) * p.xDistance * p.scale + p.centerX),
                                       SaturateToInt(X87Sin(a) * p.yDistance * p.scale + p.centerY)};
            const LightPosition lib = MoveLight(theirs, p.step, p.scale, p.centerX, p.centerY, p.xDistance, p.yDistance);
            ASSERT_EQ(x87.x, lib.x) << "frame " << frame << " angle " << a;
            ASSERT_EQ(x87.y, lib.y) << "frame " << frame << " angle " << a;
            if (X87Cos(a) != std::cos(a) || X87Sin(a) != std::sin(a)) ++bitDifferences;
            ours -= p.step;
        }
    }
    RecordProperty("frames", static_cast<int>(frames));
    RecordProperty("frames_with_a_last_bit_difference", static_cast<int>(bitDifferences));
}

// Angles far out (a light that has run for years) stay close to the C
// library's; beyond FCOS's range (2^63) the reduction by FPREM1 gives some
// value of the function, bounded, as the C run-time's loss of significance does.
TEST(X87, ReducesArgumentsBeyondTheUnitsRange) {
    for (double x : {1e3, -1e5, 1e6, 12345678.9}) {
        SCOPED_TRACE(x);
        EXPECT_NEAR(X87Cos(x), std::cos(x), 1e-9);
        EXPECT_NEAR(X87Sin(x), std::sin(x), 1e-9);
    }
    for (double x : {9.3e18, -1e19, 1e300}) {
        SCOPED_TRACE(x);
        EXPECT_LE(std::fabs(X87Cos(x)), 1.0);
        EXPECT_LE(std::fabs(X87Sin(x)), 1.0);
    }
    EXPECT_EQ(X87Cos(0.0), 1.0);
    EXPECT_EQ(X87Sin(0.0), 0.0);
}

}  // namespace
