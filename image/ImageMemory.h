// The allocator behind the picture decoders' working memory (the library's
// own buffers and ours), in one place so that it can be replaced. Plain C so
// the library's translation unit can use it.
//
// Every block starts zeroed, and a grown block's new tail too: a damaged file
// that leaves part of a decoder's buffer unwritten then gives the same
// picture on every load instead of whatever the heap held.
//
// While a budget is in use, every block is counted against it: a request
// larger than its largest block, or one that would take the blocks alive
// under it past its total, is refused (null), as a damaged file is.
#pragma once

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct ImageBudget {
    size_t largestBlock;  // no single block may be larger
    size_t total;         // nor all the blocks counted here together
    size_t inUse;         // what they hold now
    size_t peak;          // the most they held at once
    int refused;          // non-zero once a request was turned down
} ImageBudget;

// Counts the allocations that follow against budget (none for null) until
// the next call; returns the budget counted before. The decoders run on one
// thread at a time. A block is settled with the budget it was counted
// against, whichever is in use when it is freed.
ImageBudget* ImageUseBudget(ImageBudget* budget);

void* ImageAlloc(size_t bytes);
void* ImageRealloc(void* block, size_t bytes);
void ImageFree(void* block);

// For tests: fills every block with byte before it is zeroed, as a heap that
// hands out used memory would (-1, the default, for no filling). A decoder
// that reads memory nobody wrote then gives a different picture for each
// byte unless the zeroing takes it away.
void ImageScribble(int byte);

#ifdef __cplusplus
}
#endif
