// stb_image's single implementation, configured for the saver: PNG, JPEG and
// BMP only, from memory only (no file or locale code), no floating-point
// formats, no thread-local storage, no messages, the allocator of
// ImageMemory.h, and SIMD only where the target has SSE2.
#include "image/StbDecode.h"

#include "image/ImageMemory.h"

#include <limits.h>

#define STBI_NO_STDIO
#define STBI_NO_HDR
#define STBI_NO_LINEAR
#define STBI_NO_THREAD_LOCALS
#define STBI_NO_FAILURE_STRINGS
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
// Its assertions check its own invariants, not the input: nothing to stop for.
#define STBI_ASSERT(x) ((void)0)
#define STBI_MALLOC(bytes) ImageAlloc(bytes)
#define STBI_REALLOC(block, bytes) ImageRealloc(block, bytes)
#define STBI_FREE(block) ImageFree(block)
// The side a GIF can have: anything longer is refused while the header is read.
#define STBI_MAX_DIMENSIONS 65535
#if !defined(__SSE2__)
#define STBI_NO_SIMD
#endif
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

int StbPictureSize(const unsigned char* bytes, int size, int* width, int* height) {
    int channels = 0;
    if (bytes == 0 || size <= 0 || !stbi_info_from_memory(bytes, size, width, height, &channels)) return 0;
    /* A top-down BMP reports its height as stored: negative. */
    if (*height < 0) {
        if (*height == INT_MIN) return 0;
        *height = -*height;
    }
    return 1;
}

unsigned char* StbDecodeRgba(const unsigned char* bytes, int size, int* width, int* height) {
    int channels = 0;
    if (bytes == 0 || size <= 0) return 0;
    return stbi_load_from_memory(bytes, size, width, height, &channels, 4);
}
