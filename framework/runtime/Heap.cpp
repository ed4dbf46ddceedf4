// The C heap of the release on the process heap (its rules are
// CFunctions.cpp's), and the C++ allocation operators over it.
#include <windows.h>

#include <cstddef>
#include <new>

#include "framework/runtime/CFunctions.h"
#include "framework/runtime/Exit.h"

namespace {

void* AllocateBlock(std::size_t size, bool zeroed) {
    return HeapAlloc(GetProcessHeap(), zeroed ? HEAP_ZERO_MEMORY : 0, size);
}
void* ResizeBlock(void* block, std::size_t size) { return HeapReAlloc(GetProcessHeap(), 0, block, size); }
void ReleaseBlock(void* block) { HeapFree(GetProcessHeap(), 0, block); }

const crt::BlockAllocator kProcessHeap = {AllocateBlock, ResizeBlock, ReleaseBlock};

}  // namespace

extern "C" {

void* malloc(std::size_t size) { return crt::Malloc(kProcessHeap, size); }
void free(void* block) { crt::Free(kProcessHeap, block); }
void* calloc(std::size_t count, std::size_t size) { return crt::Calloc(kProcessHeap, count, size); }
void* realloc(void* block, std::size_t size) { return crt::Realloc(kProcessHeap, block, size); }

}  // extern "C"

// Without exceptions an allocation that fails cannot be reported to the
// caller, who may not check; the process ends with a code of its own.
namespace {
constexpr int kOutOfMemoryExit = 3;

void* AllocateOrExit(std::size_t size) {
    void* block = malloc(size);
    if (block == nullptr) ExitRelease(kOutOfMemoryExit);
    return block;
}
}  // namespace

void* operator new(std::size_t size) { return AllocateOrExit(size); }
void* operator new[](std::size_t size) { return AllocateOrExit(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return malloc(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return malloc(size); }
void operator delete(void* block) noexcept { free(block); }
void operator delete[](void* block) noexcept { free(block); }
void operator delete(void* block, std::size_t) noexcept { free(block); }
void operator delete[](void* block, std::size_t) noexcept { free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { free(block); }
