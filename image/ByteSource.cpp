#include "image/ByteSource.h"

#include <cstring>

std::size_t MemorySource::Read(unsigned char* buffer, std::size_t size) {
    const std::size_t left = m_size - m_position;
    const std::size_t count = size < left ? size : left;
    if (count > 0) std::memcpy(buffer, m_data + m_position, count);
    m_position += count;
    return count;
}
