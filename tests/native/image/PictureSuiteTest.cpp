// The published test suites of the formats: PngSuite (Willem van Schaik) and
// files of BMP Suite (Jason Summers), each with its licence in its folder
// under PICTURE_SUITE_DIR. They are not part of the repository: where a suite
// is absent its tests are skipped, saying so. Every file has one outcome, the same on every load however dirty
// the memory the decoder is given; the BMP files show as their suite's
// reference renderings do.
#include "image/ImageMemory.h"
#include "image/Picture.h"

#include "GifTestSupport.h"
#include "PictureFixtures.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <string>
#include <vector>

using namespace picturetest;

namespace {

// One decode: the picture as RGB triples, or nothing when refused.
struct Picture {
    bool decoded = false;
    int width = 0;
    int height = 0;
    std::vector<std::array<int, 3>> pixels;
    bool operator==(const Picture& o) const {
        return decoded == o.decoded && width == o.width && height == o.height && pixels == o.pixels;
    }
};

Picture DecodeOn(const Bytes& bytes, int scribble) {
    DirtyMemory(scribble);
    Picture p;
    std::array<std::uint8_t, 768> palette;
    palette.fill(0);
    unsigned char* buffer = DecodePicture(bytes.data(), bytes.size(), &p.width, &p.height, 0, 0, palette.data());
    ImageScribble(-1);
    if (buffer != nullptr) {
        p.decoded = true;
        const std::size_t count = static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height);
        for (std::size_t i = 0; i < count; ++i) {
            const int k = buffer[i];
            p.pixels.push_back({palette[3 * k], palette[3 * k + 1], palette[3 * k + 2]});
        }
    }
    std::free(buffer);
    return p;
}

// Two loads of the same file, on memory scribbled with different bytes.
Picture DecodeTwiceAlike(const Bytes& bytes, const std::string& name) {
    const Picture first = DecodeOn(bytes, 0x00);
    const Picture second = DecodeOn(bytes, 0xA7);
    EXPECT_TRUE(first == second) << name << ": two loads differ";
    return first;
}

std::string SuitePath(const std::string& relative) { return std::string(PICTURE_SUITE_DIR) + "/" + relative; }

bool SuitePresent(const char* folder) {
    DIR* dir = opendir(SuitePath(folder).c_str());
    if (dir == nullptr) return false;
    closedir(dir);
    return true;
}

#define REQUIRE_SUITE(folder)                                                                   \
    if (!SuitePresent(folder)) GTEST_SKIP() << folder << " not found in " << PICTURE_SUITE_DIR

Bytes SuiteFile(const std::string& relative) { return ReadFileBytes(SuitePath(relative)); }

std::vector<std::string> FilesIn(const char* folder, const char* ending) {
    std::vector<std::string> names;
    DIR* dir = opendir(SuitePath(folder).c_str());
    if (dir == nullptr) return names;
    while (const dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name.size() > std::strlen(ending) && name.compare(name.size() - std::strlen(ending), std::string::npos, ending) == 0) {
            names.push_back(name);
        }
    }
    closedir(dir);
    return names;
}

std::string In(const char* folder, const std::string& name) { return std::string(folder) + "/" + name; }

TEST(PngSuite, EveryFileHasOneOutcome) {
    REQUIRE_SUITE("pngsuite");
    const std::vector<std::string> names = FilesIn("pngsuite", ".png");
    ASSERT_GT(names.size(), 170u);
    for (const std::string& name : names) {
        const Picture p = DecodeTwiceAlike(SuiteFile(In("pngsuite", name)), name);
        // The x files are damaged; of them the library reads only the two
        // whose damage is a CRC, which it does not check.
        const bool damaged = name[0] == 'x' && name != "xcsn0g01.png" && name != "xhdn0g08.png";
        EXPECT_EQ(p.decoded, !damaged) << name;
    }
}

struct SuiteBmp {
    const char* file;
    const char* reference;  // the suite's rendering of the same picture
};

TEST(BmpSuite, FilesShowAsTheirReferences) {
    REQUIRE_SUITE("bmpsuite");
    const SuiteBmp files[] = {
        {"pal1.bmp", "pal1.png"},
        {"pal4.bmp", "pal4.png"},
        {"pal8.bmp", "pal8.png"},
        {"pal8os2.bmp", "pal8.png"},          // OS/2 1.x: 3-byte palette entries
        {"pal8os2sp.bmp", "pal8.png"},        // OS/2 1.x, fewer entries than 256
        {"pal8offs.bmp", "pal8.png"},         // a gap between palette and pixels
        {"pal8oversizepal.bmp", "pal8.png"},  // 300 entries: the first 256 count
        {"rgb24.bmp", "rgb24.png"},
        {"rgb24pal.bmp", "rgb24.png"},        // a colour table before 24-bit pixels
        {"rgb24largepal.bmp", "rgb24.png"},   // one of 300 entries
        // More than 256 colours, widened from 5 and 6 bits otherwise than
        // the reference's: reduced to 256 they differ. The plain file is
        // the reference.
        {"rgb16-565pal.bmp", "rgb16-565.bmp"},  // bit fields, then a colour table
        {"rgba32-2.bmp", "rgba32.png"},
        {"rgba32h56.bmp", "rgba32.png"},  // a 56-byte header holding the bit fields
    };
    for (const SuiteBmp& f : files) {
        const Picture bmp = DecodeTwiceAlike(SuiteFile(In("bmpsuite", f.file)), f.file);
        const Picture reference = DecodeOn(SuiteFile(In("bmpsuite", f.reference)), -1);
        ASSERT_TRUE(reference.decoded) << f.reference;
        EXPECT_TRUE(bmp.decoded) << f.file;
        EXPECT_TRUE(bmp == reference) << f.file << " does not show as " << f.reference;
    }
}

TEST(BmpSuite, IndicesPastThePaletteAreBlack) {
    REQUIRE_SUITE("bmpsuite");
    const Bytes bytes = SuiteFile("bmpsuite/pal8badindex.bmp");
    const Picture p = DecodeTwiceAlike(bytes, "pal8badindex.bmp");
    ASSERT_TRUE(p.decoded);
    // Its palette has 101 entries: pixels of index 101 on are black.
    const std::size_t offset = bytes[10] | bytes[11] << 8;
    const int width = p.width;
    int black = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int index = bytes[offset + static_cast<std::size_t>((p.height - 1 - y) * ((width + 3) / 4 * 4) + x)];
            if (index >= 101) {
                ASSERT_EQ(p.pixels[static_cast<std::size_t>(y * width + x)], (std::array<int, 3>{0, 0, 0}));
                ++black;
            }
        }
    }
    EXPECT_GT(black, 0);
}

}  // namespace
