// The C heap of the release on the process heap, and the C++ allocation
// operators over it.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <new>

#include "framework/runtime/Exit.h"

namespace {
HANDLE ProcessHeap() { return GetProcessHeap(); }
}  // namespace

extern "C" {

void* malloc(std::size_t size) { return HeapAlloc(ProcessHeap(), 0, size ? size : 1); }

void free(void* block) {
    if (block != nullptr) HeapFree(ProcessHeap(), 0, block);
}

void* calloc(std::size_t count, std::size_t size) {
    if (size != 0 && count > SIZE_MAX / size) return nullptr;
    const std::size_t bytes = count * size;
    return HeapAlloc(ProcessHeap(), HEAP_ZERO_MEMORY, bytes ? bytes : 1);
}

// As the platform's C run-time: a null block is a malloc, size 0 frees it.
void* realloc(void* block, std::size_t size) {
    if (block == nullptr) return malloc(size);
    if (size == 0) {
        free(block);
        return nullptr;
    }
    return HeapReAlloc(ProcessHeap(), 0, block, size);
}

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
