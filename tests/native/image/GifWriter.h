// Crafting GIF files byte by byte for the decoder's tests: exact code streams
// with the widths the decoder expects, sub-blocks of any size, and the blocks
// around them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace giftest {

using Bytes = std::vector<std::uint8_t>;

inline Bytes& operator+=(Bytes& a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline Bytes operator+(Bytes a, const Bytes& b) {
    a += b;
    return a;
}

inline void PutWord(Bytes& out, int value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

// Exponent of a table of `entries` entries (a power of two, 2 to 256), as the
// packed bytes hold it: entries = 2^(exponent + 1).
inline int TableBits(int entries) {
    int bits = 0;
    while ((2 << bits) < entries) {
        ++bits;
    }
    return bits;
}

// Entry i is (seed + i, seed + 2i, seed + 3i), so tables read from different
// places are told apart by their seed.
inline Bytes ColorTable(int entries, int seed) {
    Bytes out;
    for (int i = 0; i < entries; ++i) {
        out.push_back(static_cast<std::uint8_t>(seed + i));
        out.push_back(static_cast<std::uint8_t>(seed + 2 * i));
        out.push_back(static_cast<std::uint8_t>(seed + 3 * i));
    }
    return out;
}

// Signature, version and logical screen descriptor, with a global table of
// tableEntries entries (0: none).
inline Bytes Header(int width, int height, int tableEntries = 0, int tableSeed = 10,
                    const char* version = "89a") {
    Bytes out = {'G', 'I', 'F'};
    for (int i = 0; i < 3; ++i) {
        out.push_back(static_cast<std::uint8_t>(version[i]));
    }
    PutWord(out, width);
    PutWord(out, height);
    out.push_back(tableEntries ? static_cast<std::uint8_t>(0x80 | 0x70 | TableBits(tableEntries)) : 0x70);
    out.push_back(0);  // background colour index
    out.push_back(0);  // pixel aspect ratio
    if (tableEntries) {
        out += ColorTable(tableEntries, tableSeed);
    }
    return out;
}

inline Bytes ImageDescriptor(int left, int top, int width, int height, bool interlaced = false,
                             int localEntries = 0, int localSeed = 100) {
    Bytes out = {0x2C};
    PutWord(out, left);
    PutWord(out, top);
    PutWord(out, width);
    PutWord(out, height);
    std::uint8_t packed = interlaced ? 0x40 : 0;
    if (localEntries) {
        packed = static_cast<std::uint8_t>(packed | 0x80 | TableBits(localEntries));
    }
    out.push_back(packed);
    if (localEntries) {
        out += ColorTable(localEntries, localSeed);
    }
    return out;
}

// Graphic control extension: the transparent flag set, colour `transparent`.
inline Bytes GraphicControl(int transparent) {
    return {0x21, 0xF9, 4, 0x01, 10, 0, static_cast<std::uint8_t>(transparent), 0};
}

// Splits data into sub-blocks of at most blockSize bytes, then the terminator.
inline Bytes SubBlocks(const Bytes& data, std::size_t blockSize = 255, bool terminator = true) {
    Bytes out;
    for (std::size_t at = 0; at < data.size(); at += blockSize) {
        const std::size_t n = data.size() - at < blockSize ? data.size() - at : blockSize;
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), data.begin() + static_cast<long>(at), data.begin() + static_cast<long>(at + n));
    }
    if (terminator) {
        out.push_back(0);
    }
    return out;
}

// Writes codes least significant bit first, each with the width the decoder
// will read it with, and keeps a model of the decoder's table so that the
// pixels a stream stands for are known.
class CodeStream {
public:
    explicit CodeStream(int minCodeSize) : minCodeSize_(minCodeSize), clear_(1 << minCodeSize) {
        Reset();
    }

    int clearCode() const { return clear_; }
    int endCode() const { return clear_ + 1; }
    int nextFree() const { return nextFree_; }
    int width() const { return width_; }
    bool full() const { return full_; }

    void Clear() {
        Put(clear_);
        Reset();
    }

    void End() { Put(clear_ + 1); }

    // A code that the decoder understands: a root, a defined entry or the
    // next free code; the pixels it stands for are appended to pixels().
    void Code(int code) {
        Put(code);  // read before the decoder adds the entry it implies
        std::vector<std::uint8_t> s;
        if (previous_ < 0) {
            s = strings_.at(static_cast<std::size_t>(code));
        } else if (code < nextFree_) {
            s = strings_.at(static_cast<std::size_t>(code));
            Add(strings_[static_cast<std::size_t>(previous_)], s[0]);
        } else {
            s = strings_.at(static_cast<std::size_t>(previous_));
            s.push_back(s[0]);
            Add(strings_[static_cast<std::size_t>(previous_)], s[0]);
        }
        pixels_.insert(pixels_.end(), s.begin(), s.end());
        previous_ = code;
    }

    void Literals(const std::vector<int>& pixels) {
        for (int p : pixels) {
            Code(p);
        }
    }

    // Any value at the current width, the model left alone.
    void Raw(int value) { Put(value); }

    const std::vector<std::uint8_t>& pixels() const { return pixels_; }

    Bytes Packed() const {
        Bytes out = bytes_;
        if (bitCount_ > 0) {
            out.push_back(static_cast<std::uint8_t>(bits_));
        }
        return out;
    }

    // Minimum code size byte, then the packed codes in sub-blocks.
    Bytes ImageData(std::size_t blockSize = 255) const {
        return Bytes{static_cast<std::uint8_t>(minCodeSize_)} + SubBlocks(Packed(), blockSize);
    }

private:
    void Reset() {
        strings_.assign(static_cast<std::size_t>(clear_ + 2), {});
        for (int i = 0; i < clear_; ++i) {
            strings_[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i)};
        }
        nextFree_ = clear_ + 2;
        width_ = minCodeSize_ + 1;
        full_ = false;
        previous_ = -1;
    }

    void Add(std::vector<std::uint8_t> s, std::uint8_t last) {
        if (full_) {
            return;
        }
        s.push_back(last);
        strings_.resize(static_cast<std::size_t>(nextFree_ + 1));
        strings_[static_cast<std::size_t>(nextFree_)] = std::move(s);
        if (++nextFree_ >= (1 << width_) && ++width_ > 12) {
            width_ = 12;
            full_ = true;
        }
    }

    void Put(int value) {
        if (value < 0 || (value >> width_) != 0) {
            std::fprintf(stderr, "CodeStream: %d does not fit %d bits\n", value, width_);
            std::abort();
        }
        bits_ |= static_cast<std::uint32_t>(value) << bitCount_;
        bitCount_ += width_;
        while (bitCount_ >= 8) {
            bytes_.push_back(static_cast<std::uint8_t>(bits_));
            bits_ >>= 8;
            bitCount_ -= 8;
        }
    }

    int minCodeSize_;
    int clear_;
    int nextFree_ = 0;
    int width_ = 0;
    bool full_ = false;
    int previous_ = -1;
    std::vector<std::vector<std::uint8_t>> strings_;
    std::vector<std::uint8_t> pixels_;
    Bytes bytes_;
    std::uint32_t bits_ = 0;
    int bitCount_ = 0;
};

// from, from + 1, ... (count values).
inline std::vector<int> Range(int from, int count) {
    std::vector<int> v;
    for (int i = 0; i < count; ++i) {
        v.push_back(from + i);
    }
    return v;
}

// The code stream of `pixels` as roots only, framed by a clear and an end code.
inline Bytes LiteralImageData(int minCodeSize, const std::vector<int>& pixels, std::size_t blockSize = 255) {
    CodeStream s(minCodeSize);
    s.Clear();
    s.Literals(pixels);
    s.End();
    return s.ImageData(blockSize);
}

inline void WriteFile(const std::string& path, const Bytes& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f) {
        if (!bytes.empty()) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
        }
        std::fclose(f);
    }
}

}  // namespace giftest
