// The colour reduction: exact up to 256 colours, median cut beyond.
#include "image/Quantize.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <set>
#include <vector>

namespace {

using Pixels = std::vector<unsigned char>;

void Put(Pixels& p, int r, int g, int b) {
    p.insert(p.end(), {static_cast<unsigned char>(r), static_cast<unsigned char>(g), static_cast<unsigned char>(b), 0});
}

int Distinct(const Pixels& p) {
    std::set<int> colors;
    for (std::size_t i = 0; i < p.size(); i += 4) colors.insert(p[i] << 16 | p[i + 1] << 8 | p[i + 2]);
    return static_cast<int>(colors.size());
}

struct Result {
    int count;
    std::vector<unsigned char> indices;
    unsigned char palette[768];
};

Result Quantize(const Pixels& p) {
    Result r;
    r.indices.assign(p.size() / 4, 0xEE);
    std::fill(std::begin(r.palette), std::end(r.palette), 0xA5);
    r.count = QuantizeColors(p.data(), p.size() / 4, r.indices.data(), r.palette);
    return r;
}

// The largest channel difference between a pixel and its palette colour.
int WorstError(const Pixels& p, const Result& r) {
    int worst = 0;
    for (std::size_t i = 0; i < r.indices.size(); ++i) {
        for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(p[4 * i + c] - r.palette[3 * r.indices[i] + c]));
    }
    return worst;
}

TEST(QuantizeColors, UpTo256ColoursAreKeptExactly) {
    for (int colors : {1, 2, 255, 256}) {
        Pixels p;
        for (int k = 0; k < 3 * colors; ++k) Put(p, (k % colors) * 7 % 256, (k % colors) / 37 * 19, 255 - k % colors);
        ASSERT_EQ(Distinct(p), colors);
        const Result r = Quantize(p);
        EXPECT_EQ(r.count, colors);
        EXPECT_EQ(WorstError(p, r), 0) << colors;
        for (unsigned char i : r.indices) ASSERT_LT(i, colors);
        EXPECT_EQ(r.palette[3 * colors - 1 + (colors < 256 ? 1 : 0)], colors < 256 ? 0xA5 : r.palette[767]);
    }
}

TEST(QuantizeColors, MoreColoursGiveAtMost256CloseOnes) {
    // 257 colours: one box must merge two; a smooth ramp of 4096 needs more.
    Pixels few;
    for (int k = 0; k < 257; ++k) Put(few, k % 256, k / 256 * 128, 0);
    Pixels ramp;
    for (int k = 0; k < 4096; ++k) Put(ramp, k % 64 * 4, k / 64 * 4, 128);
    Pixels noise;
    std::mt19937 rng(7);
    for (int k = 0; k < 20000; ++k) Put(noise, rng() % 256, rng() % 256, rng() % 256);
    const struct {
        const Pixels* pixels;
        int worst;
    } cases[] = {{&few, 1}, {&ramp, 8}, {&noise, 80}};
    for (const auto& c : cases) {
        const Result r = Quantize(*c.pixels);
        EXPECT_EQ(r.count, 256);
        for (unsigned char i : r.indices) ASSERT_LT(i, r.count);
        EXPECT_LE(WorstError(*c.pixels, r), c.worst) << Distinct(*c.pixels) << " colours";
    }
}

TEST(QuantizeColors, PicturesWithTooManyShadesForTheTableStillReduce) {
    // More distinct colours than the colour table holds at full precision.
    Pixels p;
    std::mt19937 rng(11);
    for (int k = 0; k < 300000; ++k) Put(p, rng() % 256, rng() % 256, rng() % 256);
    ASSERT_GT(Distinct(p), 65536);
    const Result r = Quantize(p);
    EXPECT_EQ(r.count, 256);
    for (unsigned char i : r.indices) ASSERT_LT(i, 256);
    EXPECT_LE(WorstError(p, r), 80);
}

// --- What every reduction keeps, over a table of pictures --------------------

struct PictureCase {
    const char* name;
    Pixels pixels;
    double meanError;  // the most the mean channel error over the pixels may be
};

// The pixels whose index is k, averaged and rounded: what entry k must be.
std::vector<int> RoundedMeans(const Pixels& p, const Result& r) {
    std::vector<std::uint64_t> sum(3 * 256, 0), count(256, 0);
    for (std::size_t i = 0; i < r.indices.size(); ++i) {
        ++count[r.indices[i]];
        for (int c = 0; c < 3; ++c) sum[3 * r.indices[i] + c] += p[4 * i + c];
    }
    std::vector<int> means;
    for (int k = 0; k < r.count; ++k) {
        for (int c = 0; c < 3; ++c) {
            means.push_back(count[k] ? static_cast<int>((sum[3 * k + c] + count[k] / 2) / count[k]) : -1);
        }
    }
    return means;
}

double MeanError(const Pixels& p, const Result& r) {
    double sum = 0;
    for (std::size_t i = 0; i < r.indices.size(); ++i) {
        for (int c = 0; c < 3; ++c) sum += std::abs(p[4 * i + c] - r.palette[3 * r.indices[i] + c]);
    }
    return sum / (3.0 * static_cast<double>(r.indices.size()));
}

std::vector<PictureCase> PictureCases() {
    std::vector<PictureCase> cases;
    std::mt19937 rng(5);
    {
        // Exactly 256 colours, first used in an order no sort gives.
        Pixels p;
        for (int k = 0; k < 512; ++k) {
            const int c = (k * 97 + 13) % 256;
            Put(p, c, 255 - c, (c * 31) % 256);
        }
        cases.push_back({"Exactly256Colours", p, 0});
    }
    {
        // A few hundred colours, in clusters whose means are not whole.
        Pixels p;
        for (int k = 0; k < 6000; ++k) Put(p, (k % 300) * 5 % 256 + k % 3, 40 + k % 7, 200 - (k % 300) / 3);
        cases.push_back({"FewHundredColours", p, 2});
    }
    {
        // More colours than the table holds at full precision: low bits are
        // dropped while counting, the means keep them.
        Pixels p;
        for (int k = 0; k < 200000; ++k) Put(p, rng() % 256, rng() % 256, rng() % 256);
        cases.push_back({"NoiseDroppingLowBits", p, 20});
    }
    {
        // Many pixels of a narrow range of reds, a few of colours spread over
        // the whole cube: the boxes go where the pixels are.
        Pixels p;
        for (int k = 0; k < 60000; ++k) Put(p, 64 + k % 128, k / 128 % 4, 0);
        for (int k = 0; k < 600; ++k) Put(p, rng() % 256, rng() % 256, rng() % 256);
        cases.push_back({"CrowdedRedsAndSparseNoise", p, 0.6});
    }
    return cases;
}

TEST(QuantizeColors, EveryPictureKeepsItsPromises) {
    for (const PictureCase& c : PictureCases()) {
        const Result r = Quantize(c.pixels);
        const int distinct = Distinct(c.pixels);
        ASSERT_EQ(r.count, std::min(distinct, 256)) << c.name;
        // Each entry is the exact rounded mean of the pixels given its index.
        const std::vector<int> means = RoundedMeans(c.pixels, r);
        EXPECT_EQ(means, std::vector<int>(r.palette, r.palette + 3 * r.count)) << c.name;
        EXPECT_LE(MeanError(c.pixels, r), c.meanError) << c.name;
        if (distinct <= 256) {
            // Colours numbered in the order they first occur.
            std::vector<int> firstUse;
            std::set<int> seen;
            for (std::size_t i = 0; i < c.pixels.size(); i += 4) {
                const int colour = c.pixels[i] << 16 | c.pixels[i + 1] << 8 | c.pixels[i + 2];
                if (seen.insert(colour).second) firstUse.push_back(colour);
            }
            for (int k = 0; k < r.count; ++k) {
                ASSERT_EQ(r.palette[3 * k] << 16 | r.palette[3 * k + 1] << 8 | r.palette[3 * k + 2],
                          firstUse[static_cast<std::size_t>(k)])
                    << c.name << " entry " << k;
            }
        }
    }
}

TEST(QuantizeColors, NothingToDoGivesZero) {
    unsigned char pixel[4] = {1, 2, 3, 0};
    unsigned char index = 9;
    unsigned char palette[768] = {};
    EXPECT_EQ(QuantizeColors(pixel, 0, &index, palette), 0);
    EXPECT_EQ(QuantizeColors(nullptr, 1, &index, palette), 0);
    EXPECT_EQ(QuantizeColors(pixel, 1, nullptr, palette), 0);
    EXPECT_EQ(QuantizeColors(pixel, 1, &index, nullptr), 0);
    EXPECT_EQ(index, 9);
}

}  // namespace
