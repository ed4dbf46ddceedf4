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

// A BMP with a BITMAPINFOHEADER. rows are given top-down as palette indices
// (1 to 8 bits) or B, G, R(, A) bytes; height < 0 stores them top-down.
struct Bmp {
    int width = 0;
    int height = 0;  // negative: top-down
    int bits = 24;
    Bytes palette;   // B, G, R, 0 quads
    std::vector<Bytes> rows;  // top-down, packed samples of one row each
    std::uint32_t headerSize = 40;
    std::uint32_t compression = 0;

    Bytes Encode() const {
        Bytes pixels;
        const int count = static_cast<int>(rows.size());
        for (int i = 0; i < count; ++i) {
            Bytes row = rows[static_cast<std::size_t>(height < 0 ? i : count - 1 - i)];
            while (row.size() % 4) row.push_back(0);
            pixels += row;
        }
        const std::uint32_t offset = 14 + 40 + static_cast<std::uint32_t>(palette.size());
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
        return out + palette + pixels;
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
