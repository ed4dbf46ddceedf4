#include "image/PictureFile.h"

#include "image/ByteSource.h"
#include "image/ImageMemory.h"

namespace {

constexpr std::size_t kFirstBlockBytes = 64 * 1024;

}  // namespace

int ReadFileStart(const char* fileName, unsigned char* bytes, int count) {
    if (fileName == nullptr || bytes == nullptr || count < 0) {
        return -1;
    }
    FileSource file(fileName);
    if (!file.IsOpen()) {
        return -1;
    }
    std::size_t got = 0;
    const std::size_t want = static_cast<std::size_t>(count);
    while (got < want) {
        const std::size_t n = file.Read(bytes + got, want - got);
        if (n == 0) {
            break;
        }
        got += n;
    }
    return static_cast<int>(got);
}

unsigned char* ReadWholeFile(const char* fileName, std::size_t maxBytes, std::size_t* size) {
    if (fileName == nullptr || size == nullptr) {
        return nullptr;
    }
    FileSource file(fileName);
    if (!file.IsOpen()) {
        return nullptr;
    }
    unsigned char* bytes = nullptr;
    std::size_t capacity = 0;
    std::size_t used = 0;
    for (;;) {
        if (used == capacity) {
            // One byte beyond the limit tells a file of exactly maxBytes from a longer one.
            if (capacity > maxBytes) {
                ImageFree(bytes);
                return nullptr;
            }
            std::size_t grown = capacity == 0 ? kFirstBlockBytes : 2 * capacity;
            if (grown > maxBytes + 1) {
                grown = maxBytes + 1;
            }
            unsigned char* larger = static_cast<unsigned char*>(ImageRealloc(bytes, grown));
            if (larger == nullptr) {
                ImageFree(bytes);
                return nullptr;
            }
            bytes = larger;
            capacity = grown;
        }
        const std::size_t n = file.Read(bytes + used, capacity - used);
        if (n == 0) {
            break;
        }
        used += n;
    }
    if (used == 0 || used > maxBytes) {
        ImageFree(bytes);
        return nullptr;
    }
    *size = used;
    return bytes;
}
