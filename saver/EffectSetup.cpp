// The saver window's set-up at creation: the display measured, the settings
// read from the registry, the effect set up over them, then the screen
// palette and the frame bitmap.
#include <ctime>

#include "saver/RegistrySettings.h"
#include "saver/SaverWnd.h"

int CSaverWnd::OnCreate(LPCREATESTRUCTA createStruct) {
    if (CWnd::OnCreate(createStruct) == -1) return -1;

    while (ShowCursor(FALSE) >= 0) {
    }

    CRegistrySettings store;
    const EffectSettings settings = ReadEffectSettings(store);
    CDC* dc = GetDC();
    if (dc == nullptr) {
        // No device context to measure the display or build the palette with:
        // a failed set-up, whose message the first frame that gets one shows.
        m_screenWidth = GetSystemMetrics(SM_CXSCREEN);
        m_screenHeight = GetSystemMetrics(SM_CYSCREEN);
        m_effect.SetupWithoutDisplay(settings, m_screenWidth, m_screenHeight);
        m_textDone = FALSE;
        m_startTime = static_cast<int32_t>(std::time(nullptr));
        return 0;
    }
    m_screenWidth = dc->GetDeviceCaps(HORZRES);
    m_screenHeight = dc->GetDeviceCaps(VERTRES);
    m_bitsPerPixel = dc->GetDeviceCaps(BITSPIXEL);

    m_effect.Setup(settings, m_screenWidth, m_screenHeight, m_bitsPerPixel, m_randomSeed);
    // A failed set-up measures its message on the first frame instead.
    m_textDone = m_effect.Failure() == kEffectRuns && !m_effect.NeedsText();
    BuildPaletteAndBitmap(dc);

    ReleaseDC(dc);
    m_startTime = static_cast<int32_t>(std::time(nullptr));
    return 0;
}

void CSaverWnd::BuildPaletteAndBitmap(CDC* pDC) {
    const BYTE* image = m_effect.ImagePalette();
    COLORREF colors[256];
    for (int i = 0; i < 256; ++i) colors[i] = RGB(image[3 * i], image[3 * i + 1], image[3 * i + 2]);
    {
        // The one-pixel bitmap only carries the colour table, static colours at its ends.
        CDibSurface carrier;
        if (carrier.CreateIdentityDib(1, 1, colors) == kDibOk) carrier.CreatePalette(&m_palette);
    }
    const bool indexed = m_bitsPerPixel == 8;
    for (int i = 0; i < 256; ++i) {
        const UINT nearest = indexed ? m_palette.GetNearestPaletteIndex(colors[i]) : CLR_INVALID;
        m_colorIndex[i] = static_cast<BYTE>(nearest == CLR_INVALID ? i : nearest);
    }
    // Without a palette the bitmap could show only wrong colours: it is not
    // made, and the screen stays black.
    if (m_palette.m_hObject == nullptr) return;
    m_dib.CreateSection(m_screenWidth, m_screenHeight, 8, pDC, &m_palette, indexed);
    m_dib.SetFillColor(RGB(0, 0, 0), &m_palette);
    m_dib.FillRect(nullptr);
}
