// The X11 program's effect without the window: the settings from the command
// line, the set-up for the window's size and visual with the default
// picture's seed from the clock, the 8-bit rows each frame is rendered into,
// and the palette the screen shows. CX11Saver draws what this computes; the
// parity test runs it from the command line the program parses.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "effect/Effect.h"
#include "x11/Options.h"
#include "x11/PixelFormat.h"

class CScreenEffect {
public:
    // The default picture's seed at monotonic time nowNs: the milliseconds,
    // cut to 32 bits.
    static std::uint32_t SeedAt(std::int64_t nowNs) { return static_cast<std::uint32_t>(nowNs / 1000000); }

    // Sets the effect up for a width x height window of depth bits whose
    // visual is kind (one the effect cannot show counts as too few colours);
    // on success the rows are width x height zeros (fresh from calloc: the
    // frames write only their lit windows, so most pages are never touched).
    void Setup(const SettingValues& settings, int width, int height, int depth, VisualKind kind,
               std::uint32_t seed);

    // One frame: the light moves on and, while the effect runs, the rows are
    // rendered. Returns the map rectangle to send (last frame's lit window and
    // this one's), empty when nothing was rendered.
    PixelRect Step();

    const CEffect& GetEffect() const { return m_effect; }
    CEffect& GetEffect() { return m_effect; }
    bool Runs() const { return m_effect.Failure() == kEffectRuns; }
    // The frame's intensities, bottom row first, CEffect::Width() bytes a row;
    // null after a failure or for an empty window.
    const unsigned char* Rows() const { return m_rows.get(); }
    // The 256 R, G, B triples the window shows: the effect's palette, with
    // entry 0 black around a failure's red band.
    const unsigned char* Palette() const { return m_palette; }

private:
    CEffect m_effect;
    struct Free {
        void operator()(unsigned char* p) const { std::free(p); }
    };
    std::unique_ptr<unsigned char, Free> m_rows;
    unsigned char m_palette[kImagePaletteBytes] = {};
};
