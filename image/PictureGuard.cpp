#include "image/PictureGuard.h"

#include <cstdint>

namespace {

constexpr unsigned kMarkerHuffmanTable = 0xC4;
constexpr unsigned kMarkerQuantTable = 0xDB;
constexpr unsigned kMarkerProgressiveFrame = 0xC2;
constexpr unsigned kMarkerStartOfScan = 0xDA;
constexpr unsigned kMarkerEndOfImage = 0xD9;
constexpr int kHuffmanSymbols = 256;

bool IsRestart(unsigned marker) { return marker >= 0xD0 && marker <= 0xD7; }

// A reader that yields 0 past the end of the bytes, as the decoder's does.
struct Bytes {
    const unsigned char* data;
    std::size_t size;
    unsigned At(std::size_t i) const { return i < size ? data[i] : 0; }
};

std::uint32_t Le32(const Bytes& b, std::size_t at) {
    return b.At(at) | b.At(at + 1) << 8 | b.At(at + 2) << 16 | static_cast<std::uint32_t>(b.At(at + 3)) << 24;
}

// Which Huffman tables the walk has seen defined: DC and AC, 0 to 3 each.
struct HuffmanTables {
    bool defined[2][4] = {};
};

// The tables of one DHT segment whose length field sits at start; each one
// that fits is noted as defined.
bool HuffmanTablesFit(const Bytes& b, std::size_t start, HuffmanTables* tables) {
    long left = static_cast<long>(b.At(start) << 8 | b.At(start + 1)) - 2;
    std::size_t pos = start + 2;
    while (left > 0 && pos < b.size) {
        const unsigned classAndId = b.At(pos);
        int codes = 0;
        for (int i = 1; i <= 16; ++i) {
            codes += static_cast<int>(b.At(pos + static_cast<std::size_t>(i)));
        }
        if (codes > kHuffmanSymbols) {
            return false;
        }
        if ((classAndId >> 4) <= 1 && (classAndId & 15) <= 3) {
            tables->defined[classAndId >> 4][classAndId & 15] = true;
        }
        pos += 17 + static_cast<std::size_t>(codes);
        left -= 17 + codes;
    }
    return true;
}

// The scan header whose length field sits at start uses only tables defined
// before it. The decoder reads an undefined table's uninitialised limits and
// indexes its symbols with whatever they give. A progressive scan of DC
// coefficients (spectral start 0) decodes with the DC tables only, one of AC
// coefficients with the AC tables only; a sequential scan uses both.
bool ScanTablesDefined(const Bytes& b, std::size_t start, bool progressive, const HuffmanTables& tables) {
    const unsigned components = b.At(start + 2);
    const std::size_t spectralStart = start + 3 + 2 * static_cast<std::size_t>(components);
    const bool dc = !progressive || b.At(spectralStart) == 0;
    const bool ac = !progressive || b.At(spectralStart) != 0;
    for (unsigned i = 0; i < components; ++i) {
        const unsigned selectors = b.At(start + 4 + 2 * static_cast<std::size_t>(i));
        if ((dc && (selectors >> 4 > 3 || !tables.defined[0][selectors >> 4])) ||
            (ac && ((selectors & 15) > 3 || !tables.defined[1][selectors & 15]))) {
            return false;
        }
    }
    return true;
}

// What the scans have filled so far of the frame's components. The decoder
// keeps its pixel (and, progressive, coefficient) buffers from the frame
// header on and never asks whether a scan wrote them; anything no scan
// defines would come out of memory nobody wrote.
struct Frame {
    static constexpr int kMaxComponents = 4;
    bool seen = false;
    bool progressive = false;
    int components = 0;
    unsigned id[kMaxComponents] = {};
    unsigned quantTable[kMaxComponents] = {};
    bool scanned[kMaxComponents] = {};      // sequential: in a scan; progressive: its DC first pass
    bool acFirst[kMaxComponents][64] = {};  // progressive: each AC coefficient's first pass
    bool quantDefined[4] = {};
};

void ReadQuantTables(const Bytes& b, std::size_t start, Frame* frame) {
    long left = static_cast<long>(b.At(start) << 8 | b.At(start + 1)) - 2;
    std::size_t pos = start + 2;
    while (left > 0 && pos < b.size) {
        const unsigned precisionAndId = b.At(pos);
        const long bytes = 1 + ((precisionAndId >> 4) != 0 ? 128 : 64);
        if ((precisionAndId & 15) <= 3) {
            frame->quantDefined[precisionAndId & 15] = true;
        }
        pos += static_cast<std::size_t>(bytes);
        left -= bytes;
    }
}

// The first frame header (the decoder reads no other): its components and
// their quantisation tables.
void ReadFrame(const Bytes& b, std::size_t start, bool progressive, Frame* frame) {
    if (frame->seen) {
        return;
    }
    frame->seen = true;
    frame->progressive = progressive;
    const unsigned count = b.At(start + 7);
    frame->components = count < Frame::kMaxComponents ? static_cast<int>(count) : Frame::kMaxComponents;
    for (int i = 0; i < frame->components; ++i) {
        frame->id[i] = b.At(start + 8 + 3 * static_cast<std::size_t>(i));
        frame->quantTable[i] = b.At(start + 10 + 3 * static_cast<std::size_t>(i));
    }
}

// A scan may only refine what an earlier scan began (a successive
// approximation high bit above zero), and only dequantise with tables
// defined before it. Marks what it fills.
bool ScanFillsDefinedData(const Bytes& b, std::size_t start, Frame* frame) {
    if (!frame->seen) {
        return true;  // the decoder refuses a scan before the frame
    }
    const unsigned count = b.At(start + 2);
    const std::size_t tail = start + 3 + 2 * static_cast<std::size_t>(count);
    const unsigned spectralStart = b.At(tail);
    const unsigned spectralEnd = b.At(tail + 1) < 63 ? b.At(tail + 1) : 63;
    const bool refines = (b.At(tail + 2) >> 4) != 0;
    for (unsigned i = 0; i < count; ++i) {
        const unsigned id = b.At(start + 3 + 2 * static_cast<std::size_t>(i));
        for (int c = 0; c < frame->components; ++c) {
            if (frame->id[c] != id) {
                continue;
            }
            if (frame->quantTable[c] > 3 || !frame->quantDefined[frame->quantTable[c]]) {
                return false;
            }
            if (!frame->progressive) {
                frame->scanned[c] = true;
            } else if (spectralStart == 0) {
                if (refines && !frame->scanned[c]) {
                    return false;
                }
                frame->scanned[c] = true;
            } else {
                for (unsigned k = spectralStart; k <= spectralEnd; ++k) {
                    if (refines && !frame->acFirst[c][k]) {
                        return false;
                    }
                    frame->acFirst[c][k] = true;
                }
            }
            break;
        }
    }
    return true;
}

// At the end of the image: every component of the frame was filled by a
// scan (progressive: has its DC coefficients). A file with no scan at all
// fails here too.
bool EveryComponentScanned(const Frame& frame) {
    if (!frame.seen) {
        return true;  // the decoder finds no frame and refuses
    }
    for (int c = 0; c < frame.components; ++c) {
        if (!frame.scanned[c]) {
            return false;
        }
    }
    return true;
}

// Where the entropy-coded data starting at pos ends: the 0xFF of the first
// marker that is neither a stuffed zero nor a restart (or the end).
std::size_t EndOfEntropyData(const Bytes& b, std::size_t pos) {
    while (pos < b.size) {
        if (b.data[pos] != 0xFF) {
            ++pos;
            continue;
        }
        std::size_t next = pos + 1;
        while (next < b.size && b.data[next] == 0xFF) {
            ++next;
        }
        if (next >= b.size) {
            return b.size;
        }
        if (b.data[next] != 0x00 && !IsRestart(b.data[next])) {
            return pos;
        }
        pos = next + 1;
    }
    return b.size;
}

// Every marker the decoder can reach, segments skipped by their lengths and
// scans by their data. Bytes between segments are passed over one at a time,
// as the decoder does while it looks for the frame header.
bool JpegIsSafe(const Bytes& b) {
    HuffmanTables tables;
    Frame frame;
    bool progressive = false;
    std::size_t pos = 2;  // after the start-of-image marker
    while (pos < b.size) {
        if (b.data[pos] != 0xFF) {
            ++pos;
            continue;
        }
        while (pos < b.size && b.data[pos] == 0xFF) {
            ++pos;
        }
        if (pos >= b.size) {
            break;
        }
        const unsigned marker = b.data[pos++];
        if (marker == kMarkerEndOfImage) {
            break;
        }
        if (marker == 0x00 || marker == 0x01 || marker == 0xD8 || IsRestart(marker)) {
            continue;  // no length follows
        }
        if (marker == kMarkerProgressiveFrame) {
            progressive = true;
        }
        if (marker == 0xC0 || marker == 0xC1 || marker == kMarkerProgressiveFrame) {
            ReadFrame(b, pos, progressive, &frame);
        }
        if (marker == kMarkerQuantTable) {
            ReadQuantTables(b, pos, &frame);
        }
        if (marker == kMarkerHuffmanTable && !HuffmanTablesFit(b, pos, &tables)) {
            return false;
        }
        if (marker == kMarkerStartOfScan &&
            (!ScanTablesDefined(b, pos, progressive, tables) || !ScanFillsDefinedData(b, pos, &frame))) {
            return false;
        }
        const std::size_t length = b.At(pos) << 8 | b.At(pos + 1);
        pos += length < 2 ? 2 : length;
        if (marker == kMarkerStartOfScan) {
            pos = EndOfEntropyData(b, pos);
        }
    }
    return EveryComponentScanned(frame);
}

std::uint32_t Be32(const Bytes& b, std::size_t at) {
    return static_cast<std::uint32_t>(b.At(at)) << 24 | b.At(at + 1) << 16 | b.At(at + 2) << 8 | b.At(at + 3);
}

// Chunks walked by their lengths, as the decoder reads them. It appends each
// IDAT chunk to a buffer that it doubles until the claimed length fits, and
// only then finds out that the data is not there (gigabytes asked for by a
// few bytes); and it offsets that buffer before it exists when an empty IDAT
// comes first (undefined behaviour, even if harmless).
bool PngIsSafe(const Bytes& b) {
    std::size_t pos = 8;  // after the signature
    bool seenData = false;
    while (pos + 8 <= b.size) {
        const std::uint32_t length = Be32(b, pos);
        const std::uint32_t type = Be32(b, pos + 4);
        if (type == 0x49454E44u) {  // IEND
            break;
        }
        if (length > b.size - pos - 8) {
            return false;  // runs past the end of the file
        }
        if (type == 0x49444154u) {  // IDAT
            if (length == 0 && !seenData) {
                return false;
            }
            seenData = true;
        }
        pos += 12 + static_cast<std::size_t>(length);
    }
    return true;
}

// The decoder takes the magnitude of a BMP's signed height with abs(), which
// is undefined for the most negative one. A core header (12 bytes) holds
// 16-bit sizes and cannot have it. And it takes a pixel offset that points
// into the headers as a palette of a negative number of entries: none read,
// every pixel of the colour nobody wrote.
bool BmpIsSafe(const Bytes& b) {
    const std::uint32_t headerSize = Le32(b, 14);
    const std::uint32_t offset = Le32(b, 10);
    if (headerSize < 0x1000 && offset < 14 + headerSize) {
        return false;
    }
    return headerSize == 12 || Le32(b, 22) != 0x80000000u;
}

}  // namespace

bool SafeForDecoder(PictureFormat format, const unsigned char* bytes, std::size_t size) {
    if (bytes == nullptr) {
        return false;
    }
    const Bytes b{bytes, size};
    switch (format) {
    case PictureFormat::Jpeg:
        return JpegIsSafe(b);
    case PictureFormat::Bmp:
        return BmpIsSafe(b);
    case PictureFormat::Png:
        return PngIsSafe(b);
    default:
        return false;  // not for this library
    }
}
