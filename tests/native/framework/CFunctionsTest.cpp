// The release's own C library functions (namespace crt) against the host's:
// every alignment and length up to a few dozen bytes, overlaps both ways,
// bytes of 0x80 and above in the comparisons, and the heap's rules for null,
// zero and sizes that do not fit.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "framework/runtime/CFunctions.h"

namespace {

constexpr std::size_t kMaxLength = 40;
constexpr std::size_t kBuffer = 128;

int Sign(int value) { return (value > 0) - (value < 0); }

// A buffer of bytes from every range: low, ASCII, 0x80 and above.
std::vector<unsigned char> Pattern(std::size_t size, unsigned seed) {
    std::vector<unsigned char> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>((i * 73 + seed * 29 + 0x5B) & 0xFF);
    return bytes;
}

// Copies and moves into one buffer, each side at every offset: the whole
// buffer (guards around the block included) must come out as the host's.
TEST(CFunctions, CopiesAndMovesAsTheHost) {
    for (std::size_t length = 0; length <= kMaxLength; ++length) {
        for (std::size_t from = 0; from < 12; ++from) {
            for (std::size_t to = 0; to < 12; ++to) {
                SCOPED_TRACE(testing::Message() << "length " << length << " from " << from << " to " << to);
                // memcpy between two buffers, at every alignment of each side.
                const std::vector<unsigned char> source = Pattern(kBuffer, 1);
                std::vector<unsigned char> ours = Pattern(kBuffer, 2), host = ours;
                EXPECT_EQ(crt::memcpy(ours.data() + to, source.data() + from, length), ours.data() + to);
                std::memcpy(host.data() + to, source.data() + from, length);
                EXPECT_EQ(ours, host) << "memcpy";

                // memmove within one buffer: forwards, backwards and in place.
                ours = Pattern(kBuffer, 3);
                host = ours;
                EXPECT_EQ(crt::memmove(ours.data() + 16 + to, ours.data() + 16 + from, length), ours.data() + 16 + to);
                std::memmove(host.data() + 16 + to, host.data() + 16 + from, length);
                EXPECT_EQ(ours, host) << "memmove";
            }
        }
    }
}

TEST(CFunctions, FillsAsTheHost) {
    const int values[] = {0, 0x41, 0x7F, 0x80, 0xFF, 0x1AB, -1, -128};
    for (int value : values)
        for (std::size_t length = 0; length <= kMaxLength; ++length)
            for (std::size_t at = 0; at < 8; ++at) {
                std::vector<unsigned char> ours = Pattern(kBuffer, 4), host = ours;
                EXPECT_EQ(crt::memset(ours.data() + at, value, length), ours.data() + at);
                std::memset(host.data() + at, value, length);
                EXPECT_EQ(ours, host) << "value " << value << " length " << length << " at " << at;
            }
}

// Two blocks equal up to one position, where the bytes differ as in the
// table; a length short of that position compares equal.
TEST(CFunctions, ComparesBlocksAsUnsignedBytes) {
    const struct {
        unsigned char a, b;
    } differences[] = {{0x00, 0x01}, {0x7F, 0x80}, {0x80, 0x81}, {0x01, 0xFF}, {0x00, 0x80}, {0xFE, 0xFF}};
    for (const auto& d : differences)
        for (std::size_t at = 0; at < kMaxLength; ++at)
            for (std::size_t length = 0; length <= kMaxLength; ++length) {
                std::vector<unsigned char> a = Pattern(kMaxLength, 5), b = a;
                a[at] = d.a;
                b[at] = d.b;
                SCOPED_TRACE(testing::Message() << std::hex << int(d.a) << " against " << int(d.b) << std::dec
                                                << " at " << at << " length " << length);
                EXPECT_EQ(crt::memcmp(a.data(), b.data(), length), Sign(std::memcmp(a.data(), b.data(), length)));
                EXPECT_EQ(crt::memcmp(b.data(), a.data(), length), Sign(std::memcmp(b.data(), a.data(), length)));
                EXPECT_EQ(crt::memcmp(a.data(), a.data(), length), 0);
            }
}

// memchr looks for the value as an unsigned char, and not beyond the length.
TEST(CFunctions, FindsBytesAsTheHost) {
    const std::vector<unsigned char> block = Pattern(kMaxLength, 6);
    const int values[] = {0x5B, 0x80, 0x180, -0x80, 0xFF, -1, 0, 0x100, block[7], block[kMaxLength - 1]};
    for (int value : values)
        for (std::size_t length = 0; length <= kMaxLength; ++length)
            EXPECT_EQ(crt::memchr(block.data(), value, length), std::memchr(block.data(), value, length))
                << "value " << value << " length " << length;
}

const char* const kStrings[] = {"",      "a",        "b",       "ab",   "abc",          "abd",
                                "\x80",  "\x7f",     "\xff",    "a\x80", "a\x7f\x01",    "\xff\xfe\x80",
                                "abcdefghijklmnopqrstuvwxyz0123456789ABCD", "abcdefghijklmnopqrstuvwxyz0123456789ABCE"};

TEST(CFunctions, MeasuresAndComparesStringsAsTheHost) {
    for (const char* a : kStrings) {
        const std::size_t length = std::strlen(a);
        EXPECT_EQ(crt::strlen(a), length) << a;
        for (std::size_t limit = 0; limit <= length + 2; ++limit)
            EXPECT_EQ(crt::strnlen(a, limit), limit < length ? limit : length);
        for (const char* b : kStrings) {
            SCOPED_TRACE(testing::Message() << '"' << a << "\" against \"" << b << '"');
            EXPECT_EQ(crt::strcmp(a, b), Sign(std::strcmp(a, b)));
            for (std::size_t count = 0; count <= kMaxLength + 2; ++count)
                EXPECT_EQ(crt::strncmp(a, b, count), Sign(std::strncmp(a, b, count))) << "count " << count;
        }
    }
}

TEST(CFunctions, FindsCharactersInStringsAsTheHost) {
    const int values[] = {'a', 'b', 'z', 'D', 0, 0x80, -0x80, 0x180, 0xFF, -1, 0x7F, 0x161};
    for (const char* text : kStrings)
        for (int value : values) {
            SCOPED_TRACE(testing::Message() << '"' << text << "\" value " << value);
            EXPECT_EQ(crt::strchr(text, value), std::strchr(text, value));
            EXPECT_EQ(crt::strrchr(text, value), std::strrchr(text, value));
        }
}

// strncpy copies at most count characters and pads the rest with zeros,
// writing nothing past count.
TEST(CFunctions, CopiesStringsAsTheHost) {
    for (const char* text : kStrings)
        for (std::size_t count = 0; count <= kMaxLength + 4; ++count) {
            std::vector<char> ours(kMaxLength + 16, '#'), host = ours;
            EXPECT_EQ(crt::strncpy(ours.data() + 3, text, count), ours.data() + 3);
            std::strncpy(host.data() + 3, text, count);
            EXPECT_EQ(ours, host) << '"' << text << "\" count " << count;
        }
}

// The C run-time's sequence: 41, 18467, ... after srand(1), which is also
// where it starts; srand starts it again.
TEST(CFunctions, RandGivesTheCRunTimeSequenceFromItsSeed) {
    const int afterOne[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358};
    crt::srand(1);
    for (int expected : afterOne) EXPECT_EQ(crt::rand(), expected);
    crt::srand(1);
    EXPECT_EQ(crt::rand(), 41);
    crt::srand(0);
    EXPECT_EQ(crt::rand(), 38);
    crt::srand(0xFFFFFFFFu);
    for (int i = 0; i < 1000; ++i) {
        const int r = crt::rand();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 32767);
    }
}

// A block allocator over the host's heap that counts its calls and can be
// told to fail.
struct HostBlocks {
    static int allocations, resizes, releases;
    static bool fail;
    static void* Allocate(std::size_t size, bool zeroed) {
        ++allocations;
        if (fail) return nullptr;
        return zeroed ? std::calloc(size, 1) : std::malloc(size);
    }
    static void* Resize(void* block, std::size_t size) {
        ++resizes;
        return fail ? nullptr : std::realloc(block, size);
    }
    static void Release(void* block) {
        ++releases;
        std::free(block);
    }
    static void Reset() { allocations = resizes = releases = 0, fail = false; }
};
int HostBlocks::allocations = 0, HostBlocks::resizes = 0, HostBlocks::releases = 0;
bool HostBlocks::fail = false;
const crt::BlockAllocator kHost = {HostBlocks::Allocate, HostBlocks::Resize, HostBlocks::Release};

TEST(CFunctions, HeapFollowsTheCRules) {
    HostBlocks::Reset();
    // malloc(0) gives a block, as the host's does here.
    void* empty = crt::Malloc(kHost, 0);
    void* hostEmpty = std::malloc(0);
    EXPECT_NE(empty, nullptr);
    EXPECT_EQ(empty != nullptr, hostEmpty != nullptr);
    std::free(hostEmpty);
    crt::Free(kHost, empty);

    // calloc: count * size beyond a size_t gives null without asking the allocator.
    const struct {
        std::size_t count, size;
        bool fits;
    } products[] = {{SIZE_MAX, 2, false}, {2, SIZE_MAX, false}, {SIZE_MAX / 2 + 1, 2, false},
                    {(SIZE_MAX >> (sizeof(std::size_t) * 4)) + 1, (SIZE_MAX >> (sizeof(std::size_t) * 4)) + 1, false},
                    {SIZE_MAX, 0, true}, {0, SIZE_MAX, true}, {0, 0, true}, {7, 9, true}};
    for (const auto& p : products) {
        SCOPED_TRACE(testing::Message() << p.count << " x " << p.size);
        HostBlocks::Reset();
        void* block = crt::Calloc(kHost, p.count, p.size);
        if (!p.fits) {
            EXPECT_EQ(block, nullptr);
            // As the C standard asks of the host's too (not called here:
            // the sanitizers stop the process on such a request).
            EXPECT_EQ(HostBlocks::allocations, 0);
            continue;
        }
        ASSERT_NE(block, nullptr);
        const std::size_t bytes = p.count * p.size;
        for (std::size_t i = 0; i < bytes; ++i) EXPECT_EQ(static_cast<unsigned char*>(block)[i], 0) << "zero-filled";
        crt::Free(kHost, block);
    }

    // realloc of null is malloc; growing keeps the bytes; to 0 frees and gives null.
    HostBlocks::Reset();
    auto* block = static_cast<unsigned char*>(crt::Realloc(kHost, nullptr, 5));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(HostBlocks::allocations, 1);
    std::memcpy(block, "\x80\x81\x82\x83\x84", 5);
    block = static_cast<unsigned char*>(crt::Realloc(kHost, block, 40));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::memcmp(block, "\x80\x81\x82\x83\x84", 5), 0);
    // A resize that fails gives null and leaves the block as it was.
    HostBlocks::fail = true;
    EXPECT_EQ(crt::Realloc(kHost, block, 4000), nullptr);
    EXPECT_EQ(HostBlocks::releases, 0);
    EXPECT_EQ(std::memcmp(block, "\x80\x81\x82\x83\x84", 5), 0);
    EXPECT_EQ(crt::Malloc(kHost, 8), nullptr);
    HostBlocks::fail = false;
    EXPECT_EQ(crt::Realloc(kHost, block, 0), nullptr);
    EXPECT_EQ(HostBlocks::releases, 1);
    // realloc(null, 0) is malloc(0): a block.
    void* fromNull = crt::Realloc(kHost, nullptr, 0);
    EXPECT_NE(fromNull, nullptr);
    crt::Free(kHost, fromNull);
    // free(null) asks nothing.
    const int releases = HostBlocks::releases;
    crt::Free(kHost, nullptr);
    EXPECT_EQ(HostBlocks::releases, releases);
}

}  // namespace
