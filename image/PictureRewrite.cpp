#include "image/PictureRewrite.h"

#include "image/ImageMemory.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr std::size_t kBmpFileHeader = 14;
constexpr std::size_t kBmpCoreHeader = 12;
constexpr std::size_t kBmpInfoHeader = 40;
constexpr std::size_t kBmpMaskBytes = 12;
constexpr std::uint32_t kBmpBitFields = 3;
constexpr std::size_t kBmpV4Header = 108;
constexpr std::size_t kPngSignature = 8;
constexpr std::size_t kPngFullPalette = 3 * 256;

unsigned At(const unsigned char* b, std::size_t size, std::size_t i) { return i < size ? b[i] : 0; }

std::uint32_t Le16(const unsigned char* b, std::size_t size, std::size_t at) {
    return At(b, size, at) | At(b, size, at + 1) << 8;
}

std::uint32_t Le32(const unsigned char* b, std::size_t size, std::size_t at) {
    return Le16(b, size, at) | Le16(b, size, at + 2) << 16;
}

std::uint32_t Be32(const unsigned char* b, std::size_t size, std::size_t at) {
    return static_cast<std::uint32_t>(At(b, size, at)) << 24 | At(b, size, at + 1) << 16 | At(b, size, at + 2) << 8 |
           At(b, size, at + 3);
}

void PutLe32(unsigned char* out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<unsigned char>(v >> (8 * i));
}

void PutBe32(unsigned char* out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<unsigned char>(v >> (24 - 8 * i));
}

// Appends to a block sized beforehand; bytes past the file's end read as 0.
struct Writer {
    unsigned char* out;
    std::size_t used;
    void Copy(const unsigned char* b, std::size_t size, std::size_t from, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) out[used + i] = static_cast<unsigned char>(At(b, size, from + i));
        used += count;
    }
    void Zeros(std::size_t count) {
        std::memset(out + used, 0, count);
        used += count;
    }
};

// What a BMP file becomes: its file header, its info header (as it is, or
// made from an OS/2 1.x or a 56-byte one), its palette in 4-byte entries
// filled up to paletteEntries, and the pixels from the file's offset on.
struct BmpPlan {
    bool rewrite = false;
    std::size_t infoBytes = 0;  // the info header as the library gets it
    bool madeInfo = false;      // made from the file's: core to 40 bytes, 56 to 108 (V4)
    std::size_t headerEnd = 0;  // in the file: where the palette (or the pixels) may begin
    std::size_t paletteEntries = 0;  // written: all that the bit depth allows
    std::size_t entriesInFile = 0;   // taken from the file; the rest black
    std::size_t entryBytes = 4;
};

BmpPlan PlanBmp(const unsigned char* b, std::size_t size) {
    BmpPlan plan;
    const std::uint32_t offset = Le32(b, size, 10);
    const std::uint32_t headerSize = Le32(b, size, 14);
    std::uint32_t bits = 0;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
    if (headerSize == kBmpCoreHeader) {
        bits = Le16(b, size, 24);
        if (bits != 1 && bits != 4 && bits != 8 && bits != 24) {
            return plan;
        }
        plan.rewrite = true;
        plan.madeInfo = true;
        plan.infoBytes = kBmpInfoHeader;
        plan.entryBytes = 3;
    } else if (headerSize == 40 || headerSize == 56 || headerSize == 108 || headerSize == 124) {
        bits = Le16(b, size, 28);
        compression = Le32(b, size, 30);
        colorsUsed = Le32(b, size, 46);
        plan.infoBytes = headerSize;
        if (headerSize == 56) {
            // The library reads a 56-byte header's bit masks behind it and
            // never its alpha mask; a V4 header holds them where it looks.
            plan.rewrite = true;
            plan.madeInfo = true;
            plan.infoBytes = kBmpV4Header;
        }
    } else {
        return plan;
    }
    plan.headerEnd = kBmpFileHeader + headerSize;
    if (offset < plan.headerEnd) {
        return BmpPlan{};  // refused before
    }
    if (bits == 1 || bits == 4 || bits == 8) {
        if (compression != 0) {
            return BmpPlan{};  // not for the library
        }
        const std::size_t full = std::size_t(1) << bits;
        const std::size_t declared = colorsUsed != 0 && colorsUsed < full ? colorsUsed : full;
        const std::size_t room = (offset - plan.headerEnd) / plan.entryBytes;
        plan.paletteEntries = full;
        plan.entriesInFile = room < declared ? room : declared;
        plan.rewrite = plan.rewrite || plan.entriesInFile < full || offset != plan.headerEnd + 4 * full;
        return plan;
    }
    if (compression == kBmpBitFields && headerSize == 40) {
        plan.headerEnd += kBmpMaskBytes;  // the masks follow the header
        plan.infoBytes += kBmpMaskBytes;
    }
    plan.rewrite = plan.rewrite || offset > plan.headerEnd;
    return plan;
}

bool RewriteBmp(const unsigned char* b, std::size_t size, unsigned char** rewritten, std::size_t* rewrittenSize) {
    const BmpPlan plan = PlanBmp(b, size);
    if (!plan.rewrite) {
        return true;
    }
    const std::size_t offset = Le32(b, size, 10);
    const std::size_t pixelsFrom = offset < size ? offset : size;
    const std::size_t total = kBmpFileHeader + plan.infoBytes + 4 * plan.paletteEntries + (size - pixelsFrom);
    unsigned char* out = static_cast<unsigned char*>(ImageAlloc(total));
    if (out == nullptr) {
        return false;
    }
    Writer w{out, 0};
    w.Copy(b, size, 0, kBmpFileHeader);
    unsigned char* info = out + kBmpFileHeader;
    if (Le32(b, size, 14) == kBmpCoreHeader) {
        w.Zeros(kBmpInfoHeader);
        PutLe32(info + 4, Le16(b, size, 18));  // width
        PutLe32(info + 8, Le16(b, size, 20));  // height: OS/2 1.x stores rows bottom-up only
        for (std::size_t i = 0; i < 4; ++i) {
            info[12 + i] = static_cast<unsigned char>(At(b, size, 22 + i));  // planes and bit count as they are
        }
        PutLe32(info + 32, static_cast<std::uint32_t>(plan.paletteEntries));
    } else {
        const std::size_t kept = plan.madeInfo ? plan.headerEnd - kBmpFileHeader : plan.infoBytes;
        w.Copy(b, size, kBmpFileHeader, kept);
        w.Zeros(plan.infoBytes - kept);
    }
    if (plan.madeInfo) {
        PutLe32(info, static_cast<std::uint32_t>(plan.infoBytes));
    }
    const std::size_t paletteStart = plan.headerEnd;
    for (std::size_t e = 0; e < plan.paletteEntries; ++e) {
        if (e < plan.entriesInFile) {
            w.Copy(b, size, paletteStart + e * plan.entryBytes, 3);
            w.Zeros(1);
        } else {
            w.Zeros(4);
        }
    }
    PutLe32(out + 10, static_cast<std::uint32_t>(w.used));
    w.Copy(b, size, pixelsFrom, size - pixelsFrom);
    *rewritten = out;
    *rewrittenSize = total;
    return true;
}

// The CRC of a chunk's type and data, as a PNG file stores it.
std::uint32_t Crc32(const unsigned char* bytes, std::size_t count) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

constexpr std::uint32_t kPlte = 0x504C5445u;
constexpr std::uint32_t kIend = 0x49454E44u;

// A PLTE chunk that the library reads (at most 256 entries) but that has
// fewer entries than the picture's indices can reach.
bool ShortPalette(const unsigned char* b, std::size_t size, std::size_t at, unsigned depth) {
    const std::uint32_t length = Be32(b, size, at);
    const std::size_t reach = depth >= 8 ? 256 : std::size_t(1) << depth;
    return Be32(b, size, at + 4) == kPlte && length % 3 == 0 && length / 3 < reach &&
           length <= size - at - 8;
}

bool RewritePng(const unsigned char* b, std::size_t size, unsigned char** rewritten, std::size_t* rewrittenSize) {
    constexpr unsigned kIndexed = 3;
    if (size < kPngSignature + 8 + 13 || At(b, size, 25) != kIndexed) {
        return true;
    }
    const unsigned depth = At(b, size, 24);
    std::size_t grow = 0;
    for (std::size_t pos = kPngSignature; pos + 8 <= size;) {
        const std::uint32_t length = Be32(b, size, pos);
        if (Be32(b, size, pos + 4) == kIend || length > size - pos - 8) {
            break;
        }
        if (ShortPalette(b, size, pos, depth)) {
            grow += kPngFullPalette - length;
        }
        pos += 12 + static_cast<std::size_t>(length);
    }
    if (grow == 0) {
        return true;
    }
    // The last chunk's CRC may be missing: room for it.
    unsigned char* out = static_cast<unsigned char*>(ImageAlloc(size + grow + 4));
    if (out == nullptr) {
        return false;
    }
    Writer w{out, 0};
    std::size_t pos = kPngSignature;
    w.Copy(b, size, 0, pos);
    while (pos + 8 <= size) {
        const std::uint32_t length = Be32(b, size, pos);
        if (Be32(b, size, pos + 4) == kIend || length > size - pos - 8) {
            break;
        }
        if (ShortPalette(b, size, pos, depth)) {
            unsigned char* chunk = out + w.used;
            PutBe32(chunk, static_cast<std::uint32_t>(kPngFullPalette));
            w.used += 4;
            w.Copy(b, size, pos + 4, 4 + length);
            w.Zeros(kPngFullPalette - length);
            PutBe32(out + w.used, Crc32(chunk + 4, 4 + kPngFullPalette));
            w.used += 4;
        } else {
            w.Copy(b, size, pos, 12 + length);
        }
        pos += 12 + static_cast<std::size_t>(length);
    }
    if (pos < size) {
        w.Copy(b, size, pos, size - pos);
    }
    *rewritten = out;
    *rewrittenSize = w.used;
    return true;
}

}  // namespace

bool RewriteForDecoder(PictureFormat format, const unsigned char* bytes, std::size_t size,
                       unsigned char** rewritten, std::size_t* rewrittenSize) {
    *rewritten = nullptr;
    *rewrittenSize = 0;
    if (bytes == nullptr) {
        return true;
    }
    switch (format) {
    case PictureFormat::Bmp:
        return RewriteBmp(bytes, size, rewritten, rewrittenSize);
    case PictureFormat::Png:
        return RewritePng(bytes, size, rewritten, rewrittenSize);
    default:
        return true;
    }
}
