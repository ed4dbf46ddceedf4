// One frame per tick of the frame timer: the light moves, the relief is lit
// around it and the frame bitmap reaches the screen.
#include <algorithm>

#include "saver/SaverWnd.h"

void CSaverWnd::OnTimer(UINT_PTR) {
    CDC* dc = GetDC();
    m_effect.MoveLight();
    if (dc != nullptr && m_effect.Failure() != kEffectRuns) {
        DrawFailureMessage(dc);
    } else if (dc != nullptr && m_dib.m_pBits != nullptr) {
        // Without a bitmap (no palette could be built) nothing would ever
        // cover the text again: the screen stays black instead.
        if (!m_textDone) {
            BurnText(dc);
            m_copyWhole = true;  // the text is on the screen, outside any lit window
        }
        // Clear, bump and convert touch only the previous and the current lit window.
        const PixelRect previous = m_effect.LitArea();
        ::GdiFlush();
        m_effect.RenderFrame(m_dib.m_pBits, static_cast<int>(DibStride(m_dib.m_width, 8)),
                             m_bitsPerPixel == 8 ? m_colorIndex : nullptr);
        ::GdiFlush();
        CopyFrame(dc, previous, m_effect.LitArea());
    }
    if (dc != nullptr) ReleaseDC(dc);
    Default();
}

void CSaverWnd::CopyFrame(CDC* pDC, const PixelRect& previous, const PixelRect& current) {
    const RECT whole = {0, 0, m_screenWidth, m_screenHeight};
    if (m_copyWhole) {
        m_dib.Draw(&whole, &whole, pDC, nullptr, 1, &m_palette);
        m_copyWhole = false;
        return;
    }
    // Outside both windows the bitmap did not change, and the screen already shows it.
    PixelRect area = previous;
    if (area.Empty()) {
        area = current;
    } else if (!current.Empty()) {
        area.x0 = std::min(area.x0, current.x0);
        area.y0 = std::min(area.y0, current.y0);
        area.x1 = std::max(area.x1, current.x1);
        area.y1 = std::max(area.y1, current.y1);
    }
    if (area.Empty()) return;
    // Map rows count from the bottom, screen rows from the top.
    const RECT rect = {area.x0, m_screenHeight - area.y1, area.x1, m_screenHeight - area.y0};
    m_dib.Draw(&rect, &rect, pDC, nullptr, 1, &m_palette);
}

int CSaverWnd::BlitLightMap(CDC* pDC, int width, int height) {
    // A bitmap that does not match the maps (or was never made) is not written.
    if (m_dib.m_pBits != nullptr && m_effect.LightMap() != nullptr && width == m_dib.m_width &&
        height == m_dib.m_height && width == m_effect.Width() && height == m_effect.Height()) {
        ::GdiFlush();
        m_effect.ConvertWhole(m_dib.m_pBits, static_cast<int>(DibStride(m_dib.m_width, 8)),
                              m_bitsPerPixel == 8 ? m_colorIndex : nullptr);
        ::GdiFlush();
    }
    m_copyWhole = true;
    const RECT whole = {0, 0, width, height};
    return m_dib.Draw(&whole, &whole, pDC, nullptr, 1, &m_palette);
}
