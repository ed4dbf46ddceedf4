#include "x11/ScreenEffect.h"

#include <algorithm>

#include "x11/CommandLineSettings.h"

namespace {

PixelRect Union(const PixelRect& a, const PixelRect& b) {
    if (a.Empty()) return b;
    if (b.Empty()) return a;
    return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

}  // namespace

void CScreenEffect::Setup(const SettingValues& settings, int width, int height, int depth, VisualKind kind,
                          std::uint32_t seed) {
    CCommandLineSettingsReader reader(settings);
    const int bits = kind == VisualKind::Unsupported ? std::min(depth, 4) : depth;
    // The old rows go first: the set-up's own buffers need the memory more.
    m_rows.reset();
    m_effect.Setup(ReadEffectSettings(reader), width, height, bits, seed);
    std::copy(m_effect.ImagePalette(), m_effect.ImagePalette() + kImagePaletteBytes, m_palette);
    if (!Runs()) m_palette[0] = m_palette[1] = m_palette[2] = 0;
    if (Runs() && width > 0 && height > 0) {
        m_rows.reset(static_cast<unsigned char*>(std::calloc(static_cast<std::size_t>(width) * height, 1)));
        if (m_rows) m_effect.KnowClearRows(m_rows.get(), width, nullptr);
    }
}

PixelRect CScreenEffect::Step() {
    m_effect.MoveLight();
    if (!Runs() || !m_rows) return PixelRect{0, 0, 0, 0};
    const PixelRect before = m_effect.LitArea();
    m_effect.RenderFrame(m_rows.get(), m_effect.Width(), nullptr);
    return Union(before, m_effect.LitArea());
}
