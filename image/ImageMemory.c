#include "image/ImageMemory.h"

#include <stdlib.h>

void* ImageAlloc(size_t bytes) { return malloc(bytes); }

void* ImageRealloc(void* block, size_t bytes) { return realloc(block, bytes); }

void ImageFree(void* block) { free(block); }
