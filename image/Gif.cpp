#include "image/Gif.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "image/ByteSource.h"

// The per-code functions belong inside the decode loop.
#if defined(__GNUC__)
#define GIF_HOT inline __attribute__((always_inline))
#else
#define GIF_HOT inline
#endif

namespace {

constexpr int kEnd = -1;  // what a read at the end of the data gives
constexpr int kTableSize = 4096;
// The decoder's own read buffer: one call of the source per this many bytes.
constexpr std::size_t kReadBufferSize = 16384;
constexpr int kMaxCodeWidth = 12;
constexpr int kExtensionIntroducer = 0x21;
constexpr int kImageSeparator = 0x2C;
constexpr int kTrailer = 0x3B;
constexpr int kGraphicControlLabel = 0xF9;

// The code table, entry by entry in three parallel arrays: a chain walk
// touches only prefixes and suffixes, 12 KB that stay in the first-level
// cache beside the file buffer and the rows being written.
struct CodeTable {
    std::int16_t prefix[kTableSize];  // -1 for a root
    std::uint8_t suffix[kTableSize];  // last pixel of the string
    std::int16_t length[kTableSize];  // pixels in the string
};

// The read-ahead bit reader over an image's data sub-blocks.
struct BitReader {
    std::uint32_t bitBuffer;  // the byte holding the next unread bit in bits 0-7, and up to two more
    int bitOffset;            // bits of that byte already used, 0 to 7
    int subBlockLeft;         // bytes of the sub-block in hand not yet read
    bool dataEnded;           // the terminator (or the end of the file) has been read
};

struct GifState {
    // First, so that the chain walk addresses entries with no offset.
    CodeTable table;
    unsigned char string[kTableSize];

    ByteSource* source;
    const unsigned char* readPos;  // the next unread byte of readBuffer
    const unsigned char* readEnd;  // the end of the bytes in readBuffer
    bool sourceEnded;              // the source gave nothing more
    bool endOfFile;                // once set, nothing more is read

    int screenWidth;
    int screenHeight;
    int colorExponent;

    int left;
    int top;
    int width;
    int height;

    unsigned char* buffer;
    int x;
    int y;
    int rowStep;
    int pass;  // 0 for a sequential image, 1 to 4 for the interlace passes
    bool imageFull;
    int rowEnd;              // left + width: where the cursor wraps
    int visibleEnd;          // how far the current row may be written
    int quickEnd;            // a string ending before this needs no row logic
    unsigned char* rowBase;  // byte 0 of the current row in the buffer

    int stringLength;
    int minCodeSize;
    int clearCode;
    int nextFreeCode;
    int codeWidth;
    std::uint32_t codeMask;  // 2^code width - 1
    int codeLimit;           // 2^code width: the width grows when the next free code reaches it
    bool tableFull;

    BitReader reader;
    unsigned char readBuffer[kReadBufferSize];
};

GifState g_gif;

int RefillAndRead() {
    if (g_gif.sourceEnded) {
        return kEnd;
    }
    const std::size_t got = g_gif.source->Read(g_gif.readBuffer, kReadBufferSize);
    if (got == 0 || got > kReadBufferSize) {
        g_gif.sourceEnded = true;
        return kEnd;
    }
    g_gif.readPos = g_gif.readBuffer;
    g_gif.readEnd = g_gif.readBuffer + got;
    return *g_gif.readPos++;
}

// The next byte of the source, or kEnd.
GIF_HOT int SourceByte() {
    return g_gif.readPos < g_gif.readEnd ? *g_gif.readPos++ : RefillAndRead();
}

inline int ReadByte() {
    if (g_gif.endOfFile) {
        return kEnd;
    }
    const int c = SourceByte();
    if (c == kEnd) {
        g_gif.endOfFile = true;
    }
    return c;
}

int ReadWordLE() {
    const int low = ReadByte();
    const int high = ReadByte();
    if (g_gif.endOfFile) {
        return -1;
    }
    return low | (high << 8);
}

void SkipBytes(long count) {
    while (count > 0 && !g_gif.endOfFile) {
        const std::size_t buffered = static_cast<std::size_t>(g_gif.readEnd - g_gif.readPos);
        if (buffered == 0) {
            if (ReadByte() != kEnd) {
                --count;
            }
            continue;
        }
        const std::size_t step = static_cast<std::size_t>(count) < buffered ? static_cast<std::size_t>(count) : buffered;
        g_gif.readPos += step;
        count -= static_cast<long>(step);
    }
}

void SkipSubBlocks() {
    for (int length = ReadByte(); length > 0; length = ReadByte()) {
        SkipBytes(length);
    }
}

// A table is handed to the palette only once it has been read in full, so a
// file cut short inside a table leaves the caller's colours as they were.
void ReadColorTable(int exponent, unsigned char* palette) {
    const int count = 3 << exponent;
    if (palette == nullptr) {
        SkipBytes(count);
        return;
    }
    unsigned char table[3 << 8];
    for (int i = 0; i < count; ++i) {
        const int c = ReadByte();
        if (c == kEnd) {
            return;
        }
        table[i] = static_cast<unsigned char>(c);
    }
    std::memcpy(palette, table, static_cast<std::size_t>(count));
}

// Image data bytes come in sub-blocks; a zero length (or the end of the file)
// is the terminator, after which fetches yield 0 and read nothing, so the
// bytes behind the image data are left to the block scan.
GIF_HOT std::uint32_t FetchDataByte(BitReader& r) {
    if (r.subBlockLeft == 0) {
        if (r.dataEnded) {
            return 0;
        }
        const int length = SourceByte();
        if (length <= 0) {
            g_gif.endOfFile = length == kEnd;
            r.dataEnded = true;
            return 0;
        }
        r.subBlockLeft = length;
    }
    const int c = SourceByte();
    if (c == kEnd) {
        g_gif.endOfFile = true;
        r.dataEnded = true;
        r.subBlockLeft = 0;
        return 0;
    }
    --r.subBlockLeft;
    return static_cast<std::uint32_t>(c);
}

void SetCodeWidth(int width) {
    g_gif.codeWidth = width;
    g_gif.codeMask = (1u << width) - 1;
    g_gif.codeLimit = 1 << width;
}

void ResetCodeTable() {
    g_gif.nextFreeCode = g_gif.clearCode + 2;
    SetCodeWidth(g_gif.minCodeSize + 1);
    g_gif.tableFull = false;
}

// Codes are packed least significant bit first. The bit buffer always holds
// the byte with the next unread bit, fetched ahead of need. Returns -1 when
// the code would need bits that the image data does not have.
GIF_HOT int ReadCode(BitReader& r) {
    const int total = r.bitOffset + g_gif.codeWidth;
    if (total > 8) {
        r.bitBuffer |= FetchDataByte(r) << 8;
        if (total > 16) {
            r.bitBuffer |= FetchDataByte(r) << 16;
        }
    }
    // Every byte fetched for a code holds some of its bits, and so does the
    // byte fetched ahead: once a fetch has come up empty, this code would be
    // made up partly from the zeros that stand in for missing data.
    if (r.dataEnded) {
        return -1;
    }
    const int code = static_cast<int>((r.bitBuffer >> r.bitOffset) & g_gif.codeMask);
    // Drop the whole bytes used up: none, one or two. When the code ends on a
    // byte boundary the buffer is refilled below anyway.
    r.bitBuffer >>= total & ~7;
    r.bitOffset = total & 7;
    if (r.bitOffset == 0) {
        r.bitBuffer = FetchDataByte(r);
    }
    return code;
}

// Every entry's length is known, so the chain is written from the string's
// end backwards straight into place. The decode loop only hands in codes that
// were defined since the last clear, so lengths and chains always agree.
//
// Most strings are short and of random length, and a loop whose trip count
// the processor cannot guess costs more than the walk itself: strings of up
// to four pixels take four fixed steps, gathering the suffixes in a register
// last pixel first; what the steps gather beyond the root is shifted out. The
// root's prefix -1 is masked so that no read leaves the table.
GIF_HOT void ExpandCode(int code) {
    const int length = g_gif.table.length[code];
    g_gif.stringLength = length;
    if (length <= 4) {
        std::uint32_t pixels = 0;
        int c = code;
        for (int step = 0; step < 4; ++step) {
            pixels = (pixels << 8) | g_gif.table.suffix[c];
            c = g_gif.table.prefix[c] & (kTableSize - 1);
        }
        pixels >>= 8 * (4 - length);
        g_gif.string[0] = static_cast<unsigned char>(pixels);
        g_gif.string[1] = static_cast<unsigned char>(pixels >> 8);
        g_gif.string[2] = static_cast<unsigned char>(pixels >> 16);
        g_gif.string[3] = static_cast<unsigned char>(pixels >> 24);
        return;
    }
    unsigned char* p = g_gif.string + length;
    do {
        *--p = g_gif.table.suffix[code];
        code = g_gif.table.prefix[code];
    } while (p != g_gif.string);
}

GIF_HOT void AddEntry(int previous) {
    if (g_gif.tableFull) {
        return;
    }
    const int entry = g_gif.nextFreeCode;
    g_gif.table.prefix[entry] = static_cast<std::int16_t>(previous);
    g_gif.table.suffix[entry] = g_gif.string[0];
    g_gif.table.length[entry] = static_cast<std::int16_t>(g_gif.table.length[previous] + 1);
    // ">=" rather than "==": with a minimum code size of 1 the first free
    // code already equals 2^code width before any entry is added.
    if (++g_gif.nextFreeCode >= g_gif.codeLimit) {
        if (g_gif.codeWidth == kMaxCodeWidth) {
            g_gif.tableFull = true;
        } else {
            SetCodeWidth(g_gif.codeWidth + 1);
        }
    }
}

// Pixels outside the logical screen are dropped, so an image never spills
// into a neighbouring row or past the buffer.
void StartRow() {
    if (g_gif.y < g_gif.screenHeight && g_gif.left < g_gif.screenWidth) {
        g_gif.rowBase = g_gif.buffer + static_cast<std::size_t>(g_gif.y) * static_cast<std::size_t>(g_gif.screenWidth);
        g_gif.visibleEnd = g_gif.rowEnd < g_gif.screenWidth ? g_gif.rowEnd : g_gif.screenWidth;
        g_gif.quickEnd = g_gif.visibleEnd < g_gif.rowEnd ? g_gif.visibleEnd + 1 : g_gif.rowEnd;
    } else {
        g_gif.rowBase = nullptr;
        g_gif.visibleEnd = g_gif.left;
        g_gif.quickEnd = g_gif.left;
    }
}

// Interlaced images arrive as rows 0, 8, 16, ... then 4, 12, ... then 2, 6,
// ... then 1, 3, ...; a pass with no row inside the image is passed over.
// Once the last row is done the image is full.
void NextRow() {
    static const int kPassStart[5] = {0, 0, 4, 2, 1};
    static const int kPassStep[5] = {1, 8, 8, 4, 2};
    g_gif.x = g_gif.left;
    g_gif.y += g_gif.rowStep;
    const int bottom = g_gif.top + g_gif.height;
    while (g_gif.y >= bottom) {
        if (g_gif.pass == 0 || g_gif.pass == 4) {
            g_gif.imageFull = true;
            return;
        }
        ++g_gif.pass;
        g_gif.y = g_gif.top + kPassStart[g_gif.pass];
        g_gif.rowStep = kPassStep[g_gif.pass];
    }
    StartRow();
}

// Copies count bytes. Up to four are copied as four single bytes at
// positions 0, count - 1, count / 2 and (count - 1) / 2, which cover exactly
// 0 to count - 1 without a branch on the count; a library call or a loop
// would cost more than the copy for the short strings that make up most
// pictures.
GIF_HOT void CopyPixels(unsigned char* to, const unsigned char* from, int count) {
    if (count <= 4) {
        const int last = count - 1;
        const int a = count >> 1;
        const int b = last >> 1;
        const unsigned char p0 = from[0];
        const unsigned char p1 = from[last];
        const unsigned char p2 = from[a];
        const unsigned char p3 = from[b];
        to[0] = p0;
        to[last] = p1;
        to[a] = p2;
        to[b] = p3;
        return;
    }
    std::memcpy(to, from, static_cast<std::size_t>(count));
}

GIF_HOT void PutPixels() {
    const unsigned char* source = g_gif.string;
    int count = g_gif.stringLength;
    // Usually the string ends inside the visible part of the current row.
    if (g_gif.x + count < g_gif.quickEnd) {
        CopyPixels(g_gif.rowBase + g_gif.x, source, count);
        g_gif.x += count;
        return;
    }
    while (count > 0 && !g_gif.imageFull) {
        int run = g_gif.rowEnd - g_gif.x;
        if (run > count) {
            run = count;
        }
        int visible = g_gif.visibleEnd - g_gif.x;
        if (visible > 0) {
            if (visible > run) {
                visible = run;
            }
            CopyPixels(g_gif.rowBase + g_gif.x, source, visible);
        }
        source += run;
        count -= run;
        g_gif.x += run;
        if (g_gif.x == g_gif.rowEnd) {
            NextRow();
        }
    }
}

// Decodes until the end-of-information code, the image is full, the data runs
// out, or a code arrives that the table cannot hold.
void DecodeCodes(BitReader& r) {
    const int endCode = g_gif.clearCode + 1;
    for (;;) {
        // The first code, and the first after every clear, adds no entry.
        int code = ReadCode(r);
        if (code < 0 || code == endCode) {
            return;
        }
        if (code == g_gif.clearCode) {
            ResetCodeTable();
            continue;
        }
        if (code > g_gif.clearCode) {
            return;  // nothing defines it yet
        }
        ExpandCode(code);
        PutPixels();
        int previous = code;
        while (!g_gif.imageFull) {
            code = ReadCode(r);
            // Roots and defined entries alike; a negative code (no data left)
            // fails the unsigned comparison.
            if (static_cast<unsigned>(code) < static_cast<unsigned>(g_gif.nextFreeCode) &&
                static_cast<unsigned>(code - g_gif.clearCode) > 1u) {
                ExpandCode(code);
                AddEntry(previous);
            } else if (code == g_gif.nextFreeCode) {
                // The string buffer still holds the previous string: the new
                // one is that string followed by its own first pixel.
                g_gif.string[g_gif.stringLength] = g_gif.string[0];
                ++g_gif.stringLength;
                AddEntry(previous);
            } else if (code == g_gif.clearCode) {
                ResetCodeTable();
                break;
            } else {
                return;  // the end code, no data left, or a code above the next free one
            }
            PutPixels();
            previous = code;
        }
        if (g_gif.imageFull) {
            return;
        }
    }
}

// The bit reader is worked on in a local copy: in module state its fields
// would pass through memory at every code, the longest chain of dependent
// steps in the whole loop, since the pixel stores may alias anything.
void DecodeCodeStream() {
    BitReader r = g_gif.reader;
    DecodeCodes(r);
    g_gif.reader = r;
}

// Whatever the decoding left of the image's sub-blocks is skipped whole, so
// that data bytes are never taken for blocks.
void SkipRestOfImageData() {
    if (g_gif.reader.dataEnded) {
        return;  // the terminator has been read
    }
    SkipBytes(g_gif.reader.subBlockLeft);
    SkipSubBlocks();
}

void ReadImage(unsigned char* palette) {
    g_gif.left = ReadWordLE();
    g_gif.top = ReadWordLE();
    g_gif.width = ReadWordLE();
    g_gif.height = ReadWordLE();
    const int packed = ReadByte();
    if (g_gif.endOfFile) {
        return;
    }
    const bool interlaced = (packed & 0x40) != 0;
    if (packed & 0x80) {
        g_gif.colorExponent = (packed & 7) + 1;
        ReadColorTable(g_gif.colorExponent, palette);
    }
    g_gif.minCodeSize = ReadByte();
    if (g_gif.endOfFile) {
        return;
    }
    // Code sizes outside 1 to 11 cannot work with a 4096-entry table, and an
    // empty rectangle has nowhere to put pixels: such an image is skipped.
    if (g_gif.minCodeSize < 1 || g_gif.minCodeSize > kMaxCodeWidth - 1 || g_gif.width == 0 || g_gif.height == 0) {
        SkipSubBlocks();
        return;
    }

    g_gif.clearCode = 1 << g_gif.minCodeSize;
    for (int i = 0; i < g_gif.clearCode; ++i) {
        g_gif.table.prefix[i] = -1;
        g_gif.table.suffix[i] = static_cast<std::uint8_t>(i);
        g_gif.table.length[i] = 1;
    }
    BitReader& r = g_gif.reader;
    r.bitOffset = 0;
    const int length = ReadByte();
    r.subBlockLeft = length > 0 ? length : 0;
    r.dataEnded = length <= 0;
    r.bitBuffer = FetchDataByte(r);
    g_gif.stringLength = 0;

    g_gif.x = g_gif.left;
    g_gif.y = g_gif.top;
    g_gif.rowEnd = g_gif.left + g_gif.width;
    g_gif.pass = interlaced ? 1 : 0;
    g_gif.rowStep = interlaced ? 8 : 1;
    g_gif.imageFull = false;
    StartRow();
    ResetCodeTable();

    DecodeCodeStream();
    SkipRestOfImageData();
}

void ReadExtension() {
    const int label = ReadByte();
    if (label == kGraphicControlLabel) {
        SkipBytes(5);
    }
    SkipSubBlocks();
}

}  // namespace

unsigned char* LoadGif(const char* fileName, int* width, int* height, int reserveWidth,
                       int reserveHeight, unsigned char* palette) {
    FileSource file(fileName);
    if (!file.IsOpen()) {
        return nullptr;
    }
    return LoadGif(file, width, height, reserveWidth, reserveHeight, palette);
}

unsigned char* LoadGif(ByteSource& source, int* width, int* height, int reserveWidth,
                       int reserveHeight, unsigned char* palette) {
    g_gif.source = &source;
    g_gif.readPos = g_gif.readEnd = g_gif.readBuffer;
    g_gif.sourceEnded = false;
    g_gif.endOfFile = false;

    const int g1 = ReadByte();
    const int g2 = ReadByte();
    const int g3 = ReadByte();
    if (g1 != 'G' || g2 != 'I' || g3 != 'F') {
        g_gif.source = nullptr;
        return nullptr;
    }
    SkipBytes(3);  // the version: any is accepted
    g_gif.screenWidth = ReadWordLE();
    g_gif.screenHeight = ReadWordLE();
    if (g_gif.endOfFile) {
        g_gif.source = nullptr;
        return nullptr;
    }
    *width = g_gif.screenWidth;
    *height = g_gif.screenHeight;

    // 64-bit products: neither 65535 x 65535 nor the reserve may wrap.
    const std::uint64_t screenBytes =
        static_cast<std::uint64_t>(g_gif.screenWidth) * static_cast<std::uint64_t>(g_gif.screenHeight);
    const std::uint64_t reserveBytes =
        reserveWidth > 0 && reserveHeight > 0
            ? static_cast<std::uint64_t>(reserveWidth) * static_cast<std::uint64_t>(reserveHeight)
            : 0;
    const std::uint64_t bytes = screenBytes > reserveBytes ? screenBytes : reserveBytes;
    if (bytes > kGifMaxBufferBytes) {
        g_gif.source = nullptr;
        return nullptr;
    }
    // Cleared, so that what no image covers has one defined value.
    g_gif.buffer = static_cast<unsigned char*>(std::calloc(bytes > 0 ? static_cast<std::size_t>(bytes) : 1, 1));
    if (g_gif.buffer == nullptr) {
        g_gif.source = nullptr;
        return nullptr;
    }

    const int packed = ReadByte();
    g_gif.colorExponent = packed != kEnd && (packed & 0x80) ? (packed & 7) + 1 : 0;
    SkipBytes(2);  // background colour index and pixel aspect ratio
    if (g_gif.colorExponent != 0) {
        ReadColorTable(g_gif.colorExponent, palette);
    }

    // The end of the file anywhere counts as the trailer.
    while (!g_gif.endOfFile) {
        const int c = ReadByte();
        if (c == kEnd || c == kTrailer) {
            break;
        }
        if (c == kExtensionIntroducer) {
            ReadExtension();
        } else if (c == kImageSeparator) {
            ReadImage(palette);
        }
    }

    g_gif.source = nullptr;
    unsigned char* result = g_gif.buffer;
    g_gif.buffer = nullptr;
    return result;
}
