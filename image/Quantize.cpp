#include "image/Quantize.h"

#include "image/ImageMemory.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

std::uint32_t ColorAt(const unsigned char* rgbx, std::size_t i) {
    const unsigned char* p = rgbx + 4 * i;
    return static_cast<std::uint32_t>(p[0]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[2];
}

void StoreColor(unsigned char* palette, int index, std::uint32_t color) {
    palette[3 * index] = static_cast<unsigned char>(color >> 16);
    palette[3 * index + 1] = static_cast<unsigned char>(color >> 8);
    palette[3 * index + 2] = static_cast<unsigned char>(color);
}

// --- Up to 256 colours: an exact table --------------------------------------

constexpr int kSlotBits = 10;  // four times as many slots as colours: short probes
constexpr int kSlots = 1 << kSlotBits;

struct ExactTable {
    std::uint32_t key[kSlots];  // colour + 1; 0 for a free slot
    unsigned char index[kSlots];
    std::uint32_t colors[kMaxPaletteColors];  // by index, copied out only when they are all
};

// False as soon as a 257th colour turns up.
bool MapExactly(const unsigned char* rgbx, std::size_t n, unsigned char* indices, unsigned char* palette,
                ExactTable* table, int* count) {
    std::memset(table->key, 0, sizeof table->key);
    int used = 0;
    std::uint32_t lastColor = 0xFFFFFFFFu;  // photos and drawings repeat a colour along a row
    unsigned char lastIndex = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t color = ColorAt(rgbx, i);
        if (color != lastColor) {
            std::uint32_t slot = (color * 2654435761u) >> (32 - kSlotBits);
            while (table->key[slot] != 0 && table->key[slot] != color + 1) {
                slot = (slot + 1) & (kSlots - 1);
            }
            if (table->key[slot] == 0) {
                if (used == kMaxPaletteColors) {
                    return false;
                }
                table->key[slot] = color + 1;
                table->index[slot] = static_cast<unsigned char>(used);
                table->colors[used++] = color;
            }
            lastColor = color;
            lastIndex = table->index[slot];
        }
        indices[i] = lastIndex;
    }
    for (int k = 0; k < used; ++k) {
        StoreColor(palette, k, table->colors[k]);
    }
    *count = used;
    return true;
}

// --- More: median cut over the distinct colours ----------------------------

// The colours are counted at full precision while there are few enough of
// them; when the table fills, every channel loses its lowest bit, the colours
// counted so far are merged accordingly and counting goes on. A photo's
// hundreds of thousands of shades thus fit the table after one pass, while a
// picture with a few hundred keeps every one of them apart.
constexpr int kCellBits = 17;
constexpr std::uint32_t kCells = 1u << kCellBits;
constexpr std::uint32_t kMaxColors = kCells / 2;
constexpr int kMaxDroppedBits = 5;
static_assert((1u << 3 * (8 - kMaxDroppedBits)) <= kMaxColors, "the coarsest precision always fits the table");

struct ColorCell {
    std::uint32_t key;     // the colour with its low bits dropped, + 1; 0 for a free cell
    std::uint32_t count;
    std::uint32_t low[3];  // sums of the dropped bits, for the mean (at most 31 x 2^25)
};

struct ColorList {
    ColorCell cells[kCells];
    ColorCell merged[kMaxColors];    // the colours while the precision drops
    std::uint32_t used[kMaxColors];  // the occupied cells, in the order the boxes sort them
    unsigned char box[kCells];       // the palette entry of each occupied cell
    std::uint32_t colorCount;
    int dropped;
};

std::uint32_t Reduced(std::uint32_t color, int dropped) {
    const std::uint32_t mask = (0xFFu >> dropped) * 0x010101u;
    return color >> dropped & mask;
}

std::uint32_t CellOf(const ColorList& list, std::uint32_t key) {
    std::uint32_t cell = (key * 2654435761u) >> (32 - kCellBits);
    while (list.cells[cell].key != 0 && list.cells[cell].key != key + 1) {
        cell = (cell + 1) & (kCells - 1);
    }
    return cell;
}

// The colour of key in cell (from CellOf), taken when the cell is free. The
// caller makes sure that a free cell is only taken below kMaxColors.
ColorCell* Claim(ColorList* list, std::uint32_t cell, std::uint32_t key) {
    ColorCell* c = &list->cells[cell];
    if (c->key == 0) {
        c->key = key + 1;
        list->used[list->colorCount++] = cell;
    }
    return c;
}

// One bit fewer per channel: the dropped bit of each colour moves into its sums.
void DropOneBit(ColorList* list) {
    const std::uint32_t count = list->colorCount;
    for (std::uint32_t k = 0; k < count; ++k) {
        list->merged[k] = list->cells[list->used[k]];
    }
    std::memset(list->cells, 0, sizeof list->cells);
    list->colorCount = 0;
    const int dropped = list->dropped++;
    for (std::uint32_t k = 0; k < count; ++k) {
        const ColorCell& old = list->merged[k];
        const std::uint32_t key = old.key - 1;
        const std::uint32_t reduced = Reduced(key, 1);  // fewer colours than before: always room
        ColorCell* c = Claim(list, CellOf(*list, reduced), reduced);
        c->count += old.count;
        for (int a = 0; a < 3; ++a) {
            const std::uint32_t bit = key >> (16 - 8 * a) & 1;
            c->low[a] += old.low[a] + (bit << dropped) * old.count;
        }
    }
}

void CountColors(const unsigned char* rgbx, std::size_t n, ColorList* list) {
    std::memset(list->cells, 0, sizeof list->cells);
    list->colorCount = 0;
    list->dropped = 0;
    std::uint32_t lastColor = 0xFFFFFFFFu;
    ColorCell* last = nullptr;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t color = ColorAt(rgbx, i);
        if (color != lastColor || last == nullptr) {
            std::uint32_t key = Reduced(color, list->dropped);
            std::uint32_t cell = CellOf(*list, key);
            while (list->cells[cell].key == 0 && list->colorCount == kMaxColors) {
                DropOneBit(list);
                key = Reduced(color, list->dropped);
                cell = CellOf(*list, key);
            }
            last = Claim(list, cell, key);
            lastColor = color;
        }
        const std::uint32_t lowMask = (1u << list->dropped) - 1;
        ++last->count;
        last->low[0] += color >> 16 & lowMask;
        last->low[1] += color >> 8 & lowMask;
        last->low[2] += color & lowMask;
    }
}

int Channel(const ColorCell& c, int axis) { return static_cast<int>((c.key - 1) >> (16 - 8 * axis) & 0xFF); }

struct Box {
    std::uint32_t begin;  // a range of ColorList::used
    std::uint32_t end;
    std::uint64_t count;
    int axis;    // the longest side
    int extent;  // its length, in reduced units
};

void Measure(const ColorList& list, Box* box) {
    int lo[3] = {255, 255, 255};
    int hi[3] = {0, 0, 0};
    box->count = 0;
    for (std::uint32_t k = box->begin; k < box->end; ++k) {
        const ColorCell& c = list.cells[list.used[k]];
        box->count += c.count;
        for (int a = 0; a < 3; ++a) {
            const int v = Channel(c, a);
            lo[a] = v < lo[a] ? v : lo[a];
            hi[a] = v > hi[a] ? v : hi[a];
        }
    }
    box->axis = 0;
    for (int a = 1; a < 3; ++a) {
        if (hi[a] - lo[a] > hi[box->axis] - lo[box->axis]) {
            box->axis = a;
        }
    }
    box->extent = hi[box->axis] - lo[box->axis];
}

// Splits box along its longest side where half its pixels lie below; the
// upper part goes to *upper. Both keep at least one colour.
void Split(ColorList* list, Box* box, Box* upper) {
    const int axis = box->axis;
    const ColorCell* cells = list->cells;
    std::uint64_t slice[256] = {};
    int lo = 255;
    int hi = 0;
    for (std::uint32_t k = box->begin; k < box->end; ++k) {
        const ColorCell& c = cells[list->used[k]];
        const int v = Channel(c, axis);
        slice[v] += c.count;
        lo = v < lo ? v : lo;
        hi = v > hi ? v : hi;
    }
    int cut = lo;  // the last value that stays below
    std::uint64_t below = slice[cut];
    while (cut + 1 < hi && 2 * below < box->count) {
        below += slice[++cut];
    }
    std::uint32_t* middle = std::partition(list->used + box->begin, list->used + box->end,
                                           [cells, axis, cut](std::uint32_t cell) { return Channel(cells[cell], axis) <= cut; });
    *upper = *box;
    box->end = static_cast<std::uint32_t>(middle - list->used);
    upper->begin = box->end;
    Measure(*list, box);
    Measure(*list, upper);
}

int MedianCut(const unsigned char* rgbx, std::size_t n, unsigned char* indices, unsigned char* palette,
              ColorList* list) {
    CountColors(rgbx, n, list);
    const int dropped = list->dropped;
    Box boxes[kMaxPaletteColors];
    int count = 1;
    boxes[0] = Box{0, list->colorCount, 0, 0, 0};
    Measure(*list, &boxes[0]);
    while (count < kMaxPaletteColors) {
        int best = -1;
        std::uint64_t bestWeight = 0;
        for (int b = 0; b < count; ++b) {
            const std::uint64_t weight = boxes[b].count * static_cast<std::uint64_t>(boxes[b].extent);
            if (weight > bestWeight) {
                best = b;
                bestWeight = weight;
            }
        }
        if (best < 0) {
            break;  // every box holds one colour
        }
        Split(list, &boxes[best], &boxes[count]);
        ++count;
    }

    for (int b = 0; b < count; ++b) {
        std::uint64_t sum[3] = {0, 0, 0};
        for (std::uint32_t k = boxes[b].begin; k < boxes[b].end; ++k) {
            const ColorCell& c = list->cells[list->used[k]];
            list->box[list->used[k]] = static_cast<unsigned char>(b);
            for (int a = 0; a < 3; ++a) {
                sum[a] += (static_cast<std::uint64_t>(Channel(c, a)) << dropped) * c.count + c.low[a];
            }
        }
        for (int a = 0; a < 3; ++a) {
            palette[3 * b + a] = static_cast<unsigned char>((sum[a] + boxes[b].count / 2) / boxes[b].count);
        }
    }
    std::uint32_t lastColor = 0xFFFFFFFFu;
    unsigned char lastIndex = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t color = ColorAt(rgbx, i);
        if (color != lastColor) {
            lastColor = color;
            lastIndex = list->box[CellOf(*list, Reduced(color, dropped))];
        }
        indices[i] = lastIndex;
    }
    return count;
}

}  // namespace

int QuantizeColors(const unsigned char* rgbx, std::size_t pixelCount, unsigned char* indices,
                   unsigned char* palette) {
    if (rgbx == nullptr || indices == nullptr || palette == nullptr || pixelCount == 0) {
        return 0;
    }
    ExactTable* table = static_cast<ExactTable*>(ImageAlloc(sizeof(ExactTable)));
    if (table == nullptr) {
        return 0;
    }
    int count = 0;
    const bool exact = MapExactly(rgbx, pixelCount, indices, palette, table, &count);
    ImageFree(table);
    if (exact) {
        return count;
    }
    ColorList* list = static_cast<ColorList*>(ImageAlloc(sizeof(ColorList)));
    if (list == nullptr) {
        return 0;
    }
    count = MedianCut(rgbx, pixelCount, indices, palette, list);
    ImageFree(list);
    return count;
}
