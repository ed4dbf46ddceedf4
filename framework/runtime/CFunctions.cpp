// The release's C library functions, written out plainly. This file is
// compiled freestanding in every build, so that GCC does not turn these loops
// back into calls of the functions themselves (in the release) or of the
// host's (natively, where the tests compare the two).
#include "framework/runtime/CFunctions.h"

#include <cstdint>

#include "framework/runtime/CrtRand.h"

namespace crt {

namespace {
// Words may alias whatever the block holds.
typedef std::uint32_t __attribute__((may_alias)) Word;
}  // namespace

void* memcpy(void* destination, const void* source, std::size_t count) {
    unsigned char* d = static_cast<unsigned char*>(destination);
    const unsigned char* s = static_cast<const unsigned char*>(source);
    // Whole words where both sides are aligned alike: picture rows are long.
    if (((reinterpret_cast<std::uintptr_t>(d) ^ reinterpret_cast<std::uintptr_t>(s)) & 3) == 0) {
        while (count > 0 && (reinterpret_cast<std::uintptr_t>(d) & 3) != 0) {
            *d++ = *s++;
            --count;
        }
        for (; count >= 4; count -= 4, d += 4, s += 4)
            *reinterpret_cast<Word*>(d) = *reinterpret_cast<const Word*>(s);
    }
    while (count-- > 0) *d++ = *s++;
    return destination;
}

void* memmove(void* destination, const void* source, std::size_t count) {
    unsigned char* d = static_cast<unsigned char*>(destination);
    const unsigned char* s = static_cast<const unsigned char*>(source);
    if (d == s || count == 0) return destination;
    if (d < s || d >= s + count) return memcpy(destination, source, count);
    while (count-- > 0) d[count] = s[count];
    return destination;
}

void* memset(void* destination, int value, std::size_t count) {
    unsigned char* d = static_cast<unsigned char*>(destination);
    const unsigned char byte = static_cast<unsigned char>(value);
    while (count > 0 && (reinterpret_cast<std::uintptr_t>(d) & 3) != 0) {
        *d++ = byte;
        --count;
    }
    const Word word = byte * 0x01010101u;
    for (; count >= 4; count -= 4, d += 4) *reinterpret_cast<Word*>(d) = word;
    while (count-- > 0) *d++ = byte;
    return destination;
}

int memcmp(const void* a, const void* b, std::size_t count) {
    const unsigned char* p = static_cast<const unsigned char*>(a);
    const unsigned char* q = static_cast<const unsigned char*>(b);
    for (std::size_t i = 0; i < count; ++i)
        if (p[i] != q[i]) return p[i] < q[i] ? -1 : 1;
    return 0;
}

void* memchr(const void* block, int value, std::size_t count) {
    const unsigned char* p = static_cast<const unsigned char*>(block);
    const unsigned char byte = static_cast<unsigned char>(value);
    for (std::size_t i = 0; i < count; ++i)
        if (p[i] == byte) return const_cast<unsigned char*>(p + i);
    return nullptr;
}

std::size_t strlen(const char* text) {
    const char* p = text;
    while (*p != '\0') ++p;
    return static_cast<std::size_t>(p - text);
}

std::size_t strnlen(const char* text, std::size_t limit) {
    std::size_t n = 0;
    while (n < limit && text[n] != '\0') ++n;
    return n;
}

int strcmp(const char* a, const char* b) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* q = reinterpret_cast<const unsigned char*>(b);
    while (*p != '\0' && *p == *q) ++p, ++q;
    return *p == *q ? 0 : (*p < *q ? -1 : 1);
}

int strncmp(const char* a, const char* b, std::size_t count) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* q = reinterpret_cast<const unsigned char*>(b);
    for (; count > 0; --count, ++p, ++q) {
        if (*p != *q) return *p < *q ? -1 : 1;
        if (*p == '\0') break;
    }
    return 0;
}

char* strchr(const char* text, int value) {
    const char c = static_cast<char>(value);
    for (;; ++text) {
        if (*text == c) return const_cast<char*>(text);
        if (*text == '\0') return nullptr;
    }
}

char* strrchr(const char* text, int value) {
    const char c = static_cast<char>(value);
    const char* found = nullptr;
    for (;; ++text) {
        if (*text == c) found = text;
        if (*text == '\0') return const_cast<char*>(found);
    }
}

// As the C library: copies at most count characters and pads with zeros.
char* strncpy(char* destination, const char* source, std::size_t count) {
    std::size_t i = 0;
    for (; i < count && source[i] != '\0'; ++i) destination[i] = source[i];
    for (; i < count; ++i) destination[i] = '\0';
    return destination;
}

// One program, one thread: the generator's state is the process's, as in the C run-time.
namespace {
std::uint32_t g_randState = 1;
}

void srand(unsigned int seed) { g_randState = seed; }
int rand() { return CrtRandNext(&g_randState); }

void* Malloc(const BlockAllocator& heap, std::size_t size) { return heap.allocate(size ? size : 1, false); }

void* Calloc(const BlockAllocator& heap, std::size_t count, std::size_t size) {
    if (size != 0 && count > SIZE_MAX / size) return nullptr;
    const std::size_t bytes = count * size;
    return heap.allocate(bytes ? bytes : 1, true);
}

void* Realloc(const BlockAllocator& heap, void* block, std::size_t size) {
    if (block == nullptr) return Malloc(heap, size);
    if (size == 0) {
        Free(heap, block);
        return nullptr;
    }
    return heap.resize(block, size);
}

void Free(const BlockAllocator& heap, void* block) {
    if (block != nullptr) heap.release(block);
}

}  // namespace crt
