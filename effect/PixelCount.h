// Size of a width x height byte buffer, for the kernels that take plain
// buffers with int sizes from the display or the settings.
#pragma once

#include <cstddef>
#include <cstdint>

// True and the byte count in *count when both sizes are positive and the
// product is addressable; false otherwise, and the caller then does nothing.
inline bool PixelCount(int width, int height, std::size_t* count) {
    if (width <= 0 || height <= 0) {
        return false;
    }
    const std::uint64_t n = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    if (n > static_cast<std::uint64_t>(PTRDIFF_MAX)) {
        return false;
    }
    *count = static_cast<std::size_t>(n);
    return true;
}
