// The file source of the native builds (tests, benchmarks, fuzzing).
#include "image/ByteSource.h"

#include <cstdio>

FileSource::FileSource(const char* fileName) {
    if (fileName != nullptr) m_handle = std::fopen(fileName, "rb");
}

FileSource::~FileSource() {
    if (m_handle != nullptr) std::fclose(static_cast<FILE*>(m_handle));
}

std::size_t FileSource::Read(unsigned char* buffer, std::size_t size) {
    return m_handle != nullptr ? std::fread(buffer, 1, size, static_cast<FILE*>(m_handle)) : 0;
}
