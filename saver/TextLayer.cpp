// The text burnt into the relief on the first frame, and the message a
// failed set-up shows instead of the effect.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "saver/SaverWnd.h"
#include "effect/TextLines.h"

namespace {

SIZE Extent(CDC* pDC, const char* text, int length) {
    SIZE size = {0, 0};
    ::GetTextExtentPointA(pDC->m_hDC, text, length, &size);
    return size;
}

// Rows read back per copy: the read-back needs a band of the screen in
// memory, not the whole of it.
constexpr int kReadBackRows = 128;

}  // namespace

void CSaverWnd::BurnText(CDC* pDC) {
    const EffectSettings& settings = m_effect.Settings();
    const TextLines lines = SplitTextLines(settings.text);
    for (std::size_t i = 0; i < kMaxTextLines; ++i) m_textLines[i] = lines[i];

    // A taller font than the core allows would hold up the first frame (under
    // Wine a 64 000-pixel "Orvane" takes half a minute) for a sliver of a letter.
    const long long tenths = FontPointTenths(settings.fontHeight, pDC->GetDeviceCaps(LOGPIXELSY));
    CFont font;
    font.CreatePointFont(static_cast<int>(tenths), settings.fontFace, pDC);
    pDC->SelectPalette(&m_palette, FALSE);
    const HGDIOBJ oldFont = pDC->SelectObject(&font);
    pDC->SetBkColor(RGB(0, 0, 0));
    pDC->SetTextColor(RGB(255, 255, 255));

    long long blockHeight = 0;
    for (const CString& line : m_textLines)
        if (!line.IsEmpty()) blockHeight += Extent(pDC, line, line.GetLength()).cy;
    // Positions are kept wide: a font of any stored size cannot overflow them.
    long long y = TextBlockTop(m_screenHeight, blockHeight);
    for (const CString& line : m_textLines) {
        const char* text = line;
        const int length = line.GetLength();
        // Character by character, each advancing by its own width: no kerning.
        // Cells off the screen are left out, and those drawn stay within the
        // 16-bit positions the 95/98 family draws with.
        const SIZE lineSize = Extent(pDC, text, length);
        long long x = TextLineLeft(m_screenWidth, lineSize.cx);
        for (int k = 0; k < length; ++k) {
            const long long width = Extent(pDC, text + k, 1).cx;
            int drawX = 0, drawY = 0;
            if (PlaceTextCell(x, y, width, lineSize.cy, m_screenWidth, m_screenHeight, &drawX, &drawY))
                pDC->TextOut(drawX, drawY, text + k, 1);
            x += width;
        }
        y += lineSize.cy;
    }

    // Read the screen back in bands through a memory bitmap: one copy per
    // band instead of one GetPixel per pixel. Pixels that cannot be copied
    // keep the band's initial white and so their height.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = m_screenWidth;
    info.bmiHeader.biHeight = -kReadBackRows;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP band = m_screenWidth > 0 ? ::CreateDIBSection(pDC->m_hDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0)
                                     : nullptr;
    CDC memDC;
    if (band != nullptr && bits != nullptr && m_effect.HeightMap() != nullptr && memDC.CreateCompatibleDC(pDC)) {
        const HGDIOBJ oldBitmap = memDC.SelectObject(band);
        const std::size_t bandBytes = static_cast<std::size_t>(m_screenWidth) * 4 * kReadBackRows;
        for (int top = 0; top < m_screenHeight; top += kReadBackRows) {
            const int rows = std::min(kReadBackRows, m_screenHeight - top);
            ::GdiFlush();
            std::memset(bits, 0xFF, bandBytes);
            memDC.BitBlt(0, 0, m_screenWidth, rows, pDC, 0, top, SRCCOPY);
            ::GdiFlush();
            m_effect.CutTextUnderBlack(static_cast<const unsigned int*>(bits), static_cast<std::size_t>(m_screenWidth),
                                       top, rows);
        }
        memDC.SelectObject(oldBitmap);
    }
    if (band != nullptr) ::DeleteObject(band);

    pDC->SelectObject(oldFont);
    m_textDone = TRUE;
}

void CSaverWnd::DrawFailureMessage(CDC* pDC) {
    const char* message = m_effect.Message();
    const int length = static_cast<int>(std::strlen(message));
    if (!m_textDone) {
        m_messageWidth = Extent(pDC, message, length).cx;
        m_textDone = TRUE;
    }
    pDC->SetBkColor(RGB(255, 0, 0));
    pDC->SetTextColor(RGB(0, 0, 0));
    pDC->TextOut(m_effect.CenterX() - m_messageWidth / 2, m_effect.CenterY(), message, length);
}
