// LoadGif on arbitrary bytes. It takes a file name, so each input is written
// to a file of this process first. A buffer that comes back must be readable
// to its last byte; the sanitizers watch every access on the way.
#include "image/Gif.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

const std::string& InputPath() {
    static const std::string path = [] {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir && *dir ? dir : "/tmp") + "/orvane_gif_fuzz_" + std::to_string(getpid()) + ".gif";
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Screens above 4 M pixels cost a huge allocation per run and teach the
    // fuzzer nothing new; the size limit itself is covered by the unit tests.
    if (size >= 10 && static_cast<std::size_t>(data[6] | data[7] << 8) * static_cast<std::size_t>(data[8] | data[9] << 8) >
                          (std::size_t(1) << 22)) {
        return -1;
    }
    static const std::string& path = InputPath();
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return 0;
    }
    if (size > 0) {
        std::fwrite(data, 1, size, f);
    }
    std::fclose(f);

    // Odd sizes decode without a palette, so both ways of passing over the
    // colour tables are exercised.
    unsigned char palette[768] = {};
    int width = -1;
    int height = -1;
    unsigned char* buffer = LoadGif(path.c_str(), &width, &height, 16, 16, (size & 1) ? nullptr : palette);
    if (buffer != nullptr) {
        if (width < 0 || width > 65535 || height < 0 || height > 65535) {
            std::abort();
        }
        const std::size_t screen = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
        const std::size_t bytes = screen > 256 ? screen : 256;
        if (bytes > kGifMaxBufferBytes) {
            std::abort();
        }
        // The whole buffer for small pictures; its two ends for large ones.
        unsigned sum = buffer[0] + buffer[bytes - 1];
        if (bytes <= (std::size_t(1) << 20)) {
            for (std::size_t i = 0; i < bytes; ++i) {
                sum += buffer[i];
            }
        }
        volatile unsigned sink = sum;
        (void)sink;
        std::free(buffer);
    }
    return 0;
}
