// One frame per tick of the frame timer: the light moves, the relief is lit
// around it and the frame bitmap reaches the screen.
#include "saver/SaverWnd.h"

BumpSettings CSaverWnd::CurrentBumpSettings() const {
    return BumpSettings{m_xFallOff, m_yFallOff, m_bumpMultiplier, m_bumpFromIndex};
}

void CSaverWnd::OnTimer(UINT_PTR) {
    CDC* dc = GetDC();
    const LightPosition light =
        MoveLight(m_angle, m_angleStep, m_radiusScale, m_centerX, m_centerY, m_xDistance, m_yDistance);
    m_lightX = light.x;
    m_lightY = light.y;
    if (dc != nullptr && m_failure != 0) {
        DrawFailureMessage(dc);
    } else if (dc != nullptr && m_dib.m_pBits != nullptr) {
        // Without a bitmap (no palette could be built) nothing would ever
        // cover the text again: the screen stays black instead.
        if (!m_textDone) BurnText(dc);
        // Clear, bump and convert touch only the previous and the current lit window.
        ::GdiFlush();
        m_frame.Render(m_heightMap, m_lightMap, m_screenWidth, m_screenHeight, m_lightX, m_lightY,
                       CurrentBumpSettings(), m_dib.m_pBits, static_cast<int>(DibStride(m_dib.m_width, 8)),
                       m_bitsPerPixel == 8 ? m_colorIndex : nullptr);
        ::GdiFlush();
        const RECT whole = {0, 0, m_screenWidth, m_screenHeight};
        m_dib.Draw(&whole, &whole, dc, nullptr, 1, &m_palette);
    }
    if (dc != nullptr) ReleaseDC(dc);
    Default();
}

int CSaverWnd::BlitLightMap(CDC* pDC, int width, int height) {
    // A bitmap that does not match the maps (or was never made) is not written.
    if (m_dib.m_pBits != nullptr && m_lightMap != nullptr && width == m_dib.m_width && height == m_dib.m_height) {
        ::GdiFlush();
        ConvertLightMap(m_lightMap, width, height, m_dib.m_pBits, static_cast<int>(DibStride(m_dib.m_width, 8)),
                        m_bitsPerPixel == 8 ? m_colorIndex : nullptr);
        m_frame.Invalidate();
        ::GdiFlush();
    }
    const RECT whole = {0, 0, width, height};
    return m_dib.Draw(&whole, &whole, pDC, nullptr, 1, &m_palette);
}
