// The C library functions of the release, as window-free code in namespace
// crt: the block and string functions, the heap's rules over any block
// allocator, and the C run-time's pseudo-random sequence. CLibrary.cpp and
// Heap.cpp give the release the C names over these, so the code tested
// natively against the host's C library is the code the release runs.
#pragma once

#include <cstddef>

namespace crt {

void* memcpy(void* destination, const void* source, std::size_t count);
void* memmove(void* destination, const void* source, std::size_t count);
void* memset(void* destination, int value, std::size_t count);
// The comparisons give -1, 0 or 1, bytes compared as unsigned char.
int memcmp(const void* a, const void* b, std::size_t count);
void* memchr(const void* block, int value, std::size_t count);
std::size_t strlen(const char* text);
std::size_t strnlen(const char* text, std::size_t limit);
int strcmp(const char* a, const char* b);
int strncmp(const char* a, const char* b, std::size_t count);
char* strchr(const char* text, int value);
char* strrchr(const char* text, int value);
char* strncpy(char* destination, const char* source, std::size_t count);

// The system's block allocator under the C heap: allocate gives a block of
// at least 1 byte (zero-filled when asked) or null; resize keeps the block
// and gives null when it cannot grow; release takes any block they gave.
struct BlockAllocator {
    void* (*allocate)(std::size_t size, bool zeroed);
    void* (*resize)(void* block, std::size_t size);
    void (*release)(void* block);
};

// The C heap's rules, as the platform's C run-time keeps them: malloc(0)
// gives a block; calloc gives null when count * size does not fit in a
// size_t; realloc of null is malloc, realloc to 0 frees and gives null, and a
// failed realloc leaves the block as it was; free(null) does nothing.
void* Malloc(const BlockAllocator& heap, std::size_t size);
void* Calloc(const BlockAllocator& heap, std::size_t count, std::size_t size);
void* Realloc(const BlockAllocator& heap, void* block, std::size_t size);
void Free(const BlockAllocator& heap, void* block);

// The process's generator (one thread): srand sets its state, rand gives the
// C run-time's next number, 0 to 32767 (CrtRand.h).
void srand(unsigned int seed);
int rand();

}  // namespace crt
