#include "image/ImageMemory.h"

#include <stdlib.h>
#include <string.h>

// Each block is preceded by its size and the budget it counts against,
// padded to 16 bytes so that the block keeps malloc's alignment.
typedef struct BlockHeader {
    size_t bytes;
    ImageBudget* budget;
} BlockHeader;

enum { kHeaderBytes = 16 };
typedef char HeaderFits[sizeof(BlockHeader) <= kHeaderBytes ? 1 : -1];

static ImageBudget* g_budget;  // the budget in use: set only by ImageUseBudget
static int g_scribble = -1;     // tests only

static BlockHeader* HeaderOf(void* block) { return (BlockHeader*)((unsigned char*)block - kHeaderBytes); }

ImageBudget* ImageUseBudget(ImageBudget* budget) {
    ImageBudget* before = g_budget;
    g_budget = budget;
    return before;
}

void ImageScribble(int byte) { g_scribble = byte; }

// Whether grow more bytes fit the budget in use.
static int Admits(ImageBudget* budget, size_t bytes, size_t grow) {
    if (budget == 0) return 1;
    if (bytes > budget->largestBlock || grow > budget->total || budget->inUse > budget->total - grow) {
        budget->refused = 1;
        return 0;
    }
    return 1;
}

static void Count(ImageBudget* budget, size_t grow, size_t shrink) {
    if (budget == 0) return;
    budget->inUse = budget->inUse + grow - shrink;
    if (budget->inUse > budget->peak) budget->peak = budget->inUse;
}

static void Fresh(unsigned char* bytes, size_t count) {
    if (g_scribble >= 0) memset(bytes, g_scribble, count);
    memset(bytes, 0, count);
}

void* ImageAlloc(size_t bytes) {
    BlockHeader* header;
    if (bytes > (size_t)-1 - kHeaderBytes || !Admits(g_budget, bytes, bytes)) return 0;
    // calloc takes large blocks zeroed from the system without writing them.
    header = (BlockHeader*)(g_scribble < 0 ? calloc(1, kHeaderBytes + bytes) : malloc(kHeaderBytes + bytes));
    if (header == 0) return 0;
    header->bytes = bytes;
    header->budget = g_budget;
    Count(g_budget, bytes, 0);
    if (g_scribble >= 0) Fresh((unsigned char*)header + kHeaderBytes, bytes);
    return (unsigned char*)header + kHeaderBytes;
}

void* ImageRealloc(void* block, size_t bytes) {
    BlockHeader* header;
    BlockHeader* moved;
    size_t old;
    if (block == 0) return ImageAlloc(bytes);
    header = HeaderOf(block);
    old = header->bytes;
    if (bytes > (size_t)-1 - kHeaderBytes) return 0;
    if (bytes > old && !Admits(header->budget, bytes, bytes - old)) return 0;
    moved = (BlockHeader*)realloc(header, kHeaderBytes + bytes);
    if (moved == 0) return 0;
    if (bytes > old) {
        Count(moved->budget, bytes - old, 0);
        Fresh((unsigned char*)moved + kHeaderBytes + old, bytes - old);
    } else {
        Count(moved->budget, 0, old - bytes);
    }
    moved->bytes = bytes;
    return (unsigned char*)moved + kHeaderBytes;
}

void ImageFree(void* block) {
    BlockHeader* header;
    if (block == 0) return;
    header = HeaderOf(block);
    Count(header->budget, 0, header->bytes);
    free(header);
}
