#include "image/PictureFile.h"

#include "image/ImageMemory.h"

#include <cstdio>

int ReadFileStart(const char* fileName, unsigned char* bytes, int count) {
    if (fileName == nullptr || bytes == nullptr || count < 0) {
        return -1;
    }
    FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) {
        return -1;
    }
    const std::size_t read = std::fread(bytes, 1, static_cast<std::size_t>(count), file);
    std::fclose(file);
    return static_cast<int>(read);
}

unsigned char* ReadWholeFile(const char* fileName, std::size_t maxBytes, std::size_t* size) {
    if (fileName == nullptr || size == nullptr) {
        return nullptr;
    }
    FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) {
        return nullptr;
    }
    // ftell fails (-1) for a file that is too long for a long; such a file
    // is above any limit anyway.
    long length = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        length = std::ftell(file);
    }
    unsigned char* bytes = nullptr;
    if (length > 0 && static_cast<unsigned long>(length) <= maxBytes && std::fseek(file, 0, SEEK_SET) == 0) {
        const std::size_t n = static_cast<std::size_t>(length);
        bytes = static_cast<unsigned char*>(ImageAlloc(n));
        if (bytes != nullptr && std::fread(bytes, 1, n, file) != n) {
            ImageFree(bytes);  // shorter than it said: changed under us
            bytes = nullptr;
        }
        if (bytes != nullptr) {
            *size = n;
        }
    }
    std::fclose(file);
    return bytes;
}
