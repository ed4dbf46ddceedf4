// Crafting PNG and BMP files byte by byte for the picture tests: every PNG
// colour type and bit depth (deflate's stored blocks, so no compressor is
// needed) and BMP files of 1 to 32 bits in either row order, with every
// header field at hand for the hostile cases.
#pragma once

#include "GifWriter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace picturetest {

using giftest::Bytes;
using giftest::operator+;
using giftest::operator+=;

inline void PutBE32(Bytes& out, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(v >> s));
}

inline void PutLE16(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

inline void PutLE32(Bytes& out, std::uint32_t v) {
    PutLE16(out, v & 0xFFFF);
    PutLE16(out, v >> 16);
}

inline void PutLE32At(Bytes& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline std::uint32_t Crc32(const Bytes& bytes, std::size_t from) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = from; i < bytes.size(); ++i) {
        crc ^= bytes[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

// One chunk; length and CRC are computed unless given.
inline Bytes Chunk(const char* type, const Bytes& data, const std::uint32_t* length = nullptr) {
    Bytes out;
    PutBE32(out, length ? *length : static_cast<std::uint32_t>(data.size()));
    Bytes body(type, type + 4);
    body += data;
    out += body;
    PutBE32(out, Crc32(body, 0));
    return out;
}

// A zlib stream of stored blocks.
inline Bytes Zlib(const Bytes& raw) {
    Bytes out = {0x78, 0x01};
    std::size_t pos = 0;
    do {
        const std::size_t n = raw.size() - pos < 65535 ? raw.size() - pos : 65535;
        out.push_back(pos + n == raw.size() ? 1 : 0);
        PutLE16(out, static_cast<std::uint32_t>(n));
        PutLE16(out, static_cast<std::uint32_t>(~n & 0xFFFF));
        out.insert(out.end(), raw.begin() + static_cast<long>(pos), raw.begin() + static_cast<long>(pos + n));
        pos += n;
    } while (pos < raw.size());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    PutBE32(out, b << 16 | a);
    return out;
}

enum PngColor { kGrey = 0, kRgb = 2, kIndexed = 3, kGreyAlpha = 4, kRgba = 6 };

inline int Channels(int colorType) {
    switch (colorType) {
    case kRgb: return 3;
    case kGreyAlpha: return 2;
    case kRgba: return 4;
    default: return 1;
    }
}

inline Bytes PngSignature() { return {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}; }

inline Bytes Ihdr(std::uint32_t width, std::uint32_t height, int depth, int colorType, int interlace = 0) {
    Bytes d;
    PutBE32(d, width);
    PutBE32(d, height);
    d.push_back(static_cast<std::uint8_t>(depth));
    d.push_back(static_cast<std::uint8_t>(colorType));
    d.push_back(0);
    d.push_back(0);
    d.push_back(static_cast<std::uint8_t>(interlace));
    return Chunk("IHDR", d);
}

// Filter type 0 rows of samples (channels per pixel, MSB-first packing below
// 8 bits, big-endian at 16).
inline Bytes PngRows(int width, int height, int depth, int colorType, const std::vector<int>& samples) {
    const int channels = Channels(colorType);
    Bytes raw;
    std::size_t s = 0;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        int bits = 0, acc = 0;
        for (int x = 0; x < width * channels; ++x) {
            const int v = samples.at(s++);
            if (depth == 16) {
                raw.push_back(static_cast<std::uint8_t>(v >> 8));
                raw.push_back(static_cast<std::uint8_t>(v));
            } else if (depth == 8) {
                raw.push_back(static_cast<std::uint8_t>(v));
            } else {
                acc = acc << depth | v;
                bits += depth;
                if (bits == 8) {
                    raw.push_back(static_cast<std::uint8_t>(acc));
                    bits = acc = 0;
                }
            }
        }
        if (bits > 0) raw.push_back(static_cast<std::uint8_t>(acc << (8 - bits)));
    }
    return raw;
}

// A whole non-interlaced PNG; plte and trns are written when not empty.
inline Bytes Png(int width, int height, int depth, int colorType, const std::vector<int>& samples,
                 const Bytes& plte = {}, const Bytes& trns = {}) {
    Bytes out = PngSignature() + Ihdr(width, height, depth, colorType);
    if (!plte.empty()) out += Chunk("PLTE", plte);
    if (!trns.empty()) out += Chunk("tRNS", trns);
    out += Chunk("IDAT", Zlib(PngRows(width, height, depth, colorType, samples)));
    out += Chunk("IEND", {});
    return out;
}

// A zlib stream of one fixed-Huffman block: the bytes of start, then
// repeats x 258 copies of its last byte.
inline Bytes InflatingZlib(const Bytes& start, std::uint32_t repeats) {
    Bytes out = {0x78, 0x01};
    std::uint32_t acc = 0;
    int bits = 0;
    auto put = [&](std::uint32_t v, int n) {  // n bits of v, least significant first
        acc |= v << bits;
        bits += n;
        while (bits >= 8) {
            out.push_back(static_cast<std::uint8_t>(acc));
            acc >>= 8;
            bits -= 8;
        }
    };
    auto code = [&](std::uint32_t c, int n) {  // a Huffman code, most significant bit first
        for (int i = n - 1; i >= 0; --i) put(c >> i & 1, 1);
    };
    put(1, 1);  // the last block
    put(1, 2);  // fixed codes
    for (std::uint8_t c : start) code(0x30 + c, 8);  // literals 0 to 143
    for (std::uint32_t i = 0; i < repeats; ++i) {
        code(0xC5, 8);  // length 258 (symbol 285)
        code(0, 5);     // distance 1
    }
    code(0, 7);  // end of block (symbol 256)
    if (bits > 0) put(0, 8 - bits);
    // The Adler-32 of the whole output.
    std::uint64_t a = 1, b = 0;
    const std::uint8_t last = start.back();
    for (std::uint8_t c : start) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    // n more bytes of value v: a grows by n v, b by n a + v n (n + 1) / 2.
    const std::uint64_t n = std::uint64_t(repeats) * 258;
    b = (b + n % 65521 * a + (n * (n + 1) / 2) % 65521 * last) % 65521;
    a = (a + n % 65521 * last) % 65521;
    PutBE32(out, static_cast<std::uint32_t>(b << 16 | a));
    return out;
}

// A BMP with a BITMAPINFOHEADER (or a larger one, its masks filled in, or an
// OS/2 1.x core header). rows are given top-down as palette indices (1 to 8
// bits) or B, G, R(, A) bytes; height < 0 stores them top-down.
struct Bmp {
    int width = 0;
    int height = 0;  // negative: top-down
    int bits = 24;
    Bytes palette;   // B, G, R, 0 quads (B, G, R triples for a core header)
    std::vector<Bytes> rows;  // top-down, packed samples of one row each
    std::uint32_t headerSize = 40;  // 12: OS/2 1.x
    std::uint32_t compression = 0;
    std::uint32_t masks[4] = {};  // R, G, B, A: written for headers over 40 bytes
    std::uint32_t gap = 0;        // bytes between the palette and the pixels

    Bytes Encode() const {
        if (headerSize == 12) return EncodeCore();
        Bytes pixels = Pixels();
        const std::uint32_t written = headerSize == 56 || headerSize == 108 || headerSize == 124 ? headerSize : 40;
        const std::uint32_t offset = 14 + written + static_cast<std::uint32_t>(palette.size()) + gap;
        Bytes out = {'B', 'M'};
        PutLE32(out, offset + static_cast<std::uint32_t>(pixels.size()));
        PutLE32(out, 0);
        PutLE32(out, offset);
        PutLE32(out, headerSize);
        PutLE32(out, static_cast<std::uint32_t>(width));
        PutLE32(out, static_cast<std::uint32_t>(height));
        PutLE16(out, 1);
        PutLE16(out, static_cast<std::uint32_t>(bits));
        PutLE32(out, compression);
        PutLE32(out, static_cast<std::uint32_t>(pixels.size()));
        PutLE32(out, 2835);
        PutLE32(out, 2835);
        PutLE32(out, static_cast<std::uint32_t>(palette.size() / 4));
        PutLE32(out, 0);
        // The fields past the first 40 bytes of a V3, V4 or V5 header; any
        // other size is only a number in the header.
        if (headerSize == 56 || headerSize == 108 || headerSize == 124) {
            for (std::uint32_t m : masks) {
                if (out.size() < 14 + headerSize) PutLE32(out, m);
            }
            out.resize(14 + headerSize, 0);
        }
        return out + palette + Bytes(gap, 0x77) + pixels;
    }

    Bytes EncodeCore() const {
        Bytes pixels = Pixels();
        const std::uint32_t offset = 14 + 12 + static_cast<std::uint32_t>(palette.size()) + gap;
        Bytes out = {'B', 'M'};
        PutLE32(out, offset + static_cast<std::uint32_t>(pixels.size()));
        PutLE32(out, 0);
        PutLE32(out, offset);
        PutLE32(out, 12);
        PutLE16(out, static_cast<std::uint32_t>(width));
        PutLE16(out, static_cast<std::uint32_t>(height));
        PutLE16(out, 1);
        PutLE16(out, static_cast<std::uint32_t>(bits));
        return out + palette + Bytes(gap, 0x77) + pixels;
    }

    Bytes Pixels() const {
        Bytes pixels;
        const int count = static_cast<int>(rows.size());
        for (int i = 0; i < count; ++i) {
            Bytes row = rows[static_cast<std::size_t>(height < 0 ? i : count - 1 - i)];
            while (row.size() % 4) row.push_back(0);
            pixels += row;
        }
        return pixels;
    }
};

// Packs palette indices MSB first at 1, 2, 4 or 8 bits.
inline Bytes PackIndices(const std::vector<int>& indices, int bits) {
    Bytes out;
    int acc = 0, used = 0;
    for (int v : indices) {
        acc = acc << bits | v;
        used += bits;
        if (used == 8) {
            out.push_back(static_cast<std::uint8_t>(acc));
            acc = used = 0;
        }
    }
    if (used) out.push_back(static_cast<std::uint8_t>(acc << (8 - used)));
    return out;
}

}  // namespace picturetest
