// The allocator behind the picture decoders' working memory (the library's
// own buffers and ours), in one place so that it can be replaced. Plain C so
// the library's translation unit can use it.
#pragma once

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

void* ImageAlloc(size_t bytes);
void* ImageRealloc(void* block, size_t bytes);
void ImageFree(void* block);

#ifdef __cplusplus
}
#endif
