// The saver window's set-up at creation: display, settings, picture, height
// map, light path, palette and frame bitmap, or the failure message.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "image/Picture.h"
#include "effect/DefaultPicture.h"
#include "effect/PictureSetup.h"
#include "effect/PixelCount.h"
#include "saver/SaverWnd.h"
#include "effect/TextLines.h"
#include "settings/Settings.h"

namespace {

int ReadInt(SettingId id) {
    const SettingInfo& s = Setting(id);
    return static_cast<int>(AfxGetApp()->GetProfileInt(kConfigSection, s.key, s.saver.number));
}

CString ReadString(SettingId id) {
    const SettingInfo& s = Setting(id);
    return AfxGetApp()->GetProfileString(kConfigSection, s.key, s.saver.text);
}

// Entries 1 to 255 become pure red; entry 0 keeps its colour.
void PaintPaletteRed(BYTE* palette) {
    for (int i = 1; i < 256; ++i) {
        palette[3 * i] = 255;
        palette[3 * i + 1] = 0;
        palette[3 * i + 2] = 0;
    }
}

// An empty name, or one that begins with a blank, asks for the generated picture.
bool NamesPicture(const CString& fileName) { return !fileName.IsEmpty() && fileName.GetAt(0) != ' '; }

}  // namespace

int CSaverWnd::OnCreate(LPCREATESTRUCTA createStruct) {
    if (CWnd::OnCreate(createStruct) == -1) return -1;

    while (ShowCursor(FALSE) >= 0) {
    }

    CDC* dc = GetDC();
    if (dc == nullptr) {
        // No device context to measure the display or build the palette with:
        // a failed set-up, whose message the first frame that gets one shows.
        m_screenWidth = GetSystemMetrics(SM_CXSCREEN);
        m_screenHeight = GetSystemMetrics(SM_CYSCREEN);
        m_frameRate = EffectiveFrameRate(ReadInt(kFrameRate));
        FailForMemory();
        m_startTime = static_cast<int32_t>(std::time(nullptr));
        return 0;
    }
    m_screenWidth = dc->GetDeviceCaps(HORZRES);
    m_screenHeight = dc->GetDeviceCaps(VERTRES);
    m_bitsPerPixel = dc->GetDeviceCaps(BITSPIXEL);

    m_gifFileName = ReadString(kFilenameGif);
    m_bumpFromIndex = ReadInt(kBumpFromIndex);
    int pictureWidth = 0, pictureHeight = 0;
    LoadPicture(&pictureWidth, &pictureHeight);

    m_frameRate = ReadInt(kFrameRate);
    m_bumpMultiplier = ReadInt(kBumpMultiplier);
    m_xFallOff = ReadInt(kBumpXFallOff);
    m_yFallOff = ReadInt(kBumpYFallOff);
    m_xDistance = ReadInt(kBumpXDistance);
    m_yDistance = ReadInt(kBumpYDistance);
    const uint32_t speed = static_cast<uint32_t>(ReadInt(kBumpSpeed));
    m_text = ReadString(kTextLines);
    m_textDone = m_text.IsEmpty();
    ReadPathSettings();
    m_angleStep = AngleStep(speed, ReadInt(kCwDirection));
    m_fontFace = ReadString(kFontFace);
    m_fontHeight = ReadInt(kFontHeight);

    CheckFailures();

    // The pixel count of a picture that was loaded always fits an int.
    std::size_t picturePixels = 0;
    if (m_heightMap == nullptr || !PixelCount(pictureWidth, pictureHeight, &picturePixels)) picturePixels = 0;
    SortPaletteByBrightness(m_heightMap, static_cast<int>(picturePixels), m_imagePalette);

    std::size_t screenPixels = 0;
    PixelCount(m_screenWidth, m_screenHeight, &screenPixels);
    m_lightMap = static_cast<BYTE*>(std::malloc(std::max<std::size_t>({picturePixels, screenPixels, 1})));
    if (m_lightMap == nullptr) FailForMemory();
    if (m_failure == 0)
        ScalePictureToScreen(m_heightMap, m_lightMap, pictureWidth, pictureHeight, m_screenWidth, m_screenHeight);
    if (m_lightMap != nullptr) ClearLightMap(m_lightMap, m_screenWidth, m_screenHeight);

    m_frameRate = EffectiveFrameRate(m_frameRate);
    BuildPaletteAndBitmap(dc);

    ReleaseDC(dc);
    m_startTime = static_cast<int32_t>(std::time(nullptr));
    return 0;
}

void CSaverWnd::LoadPicture(int* pictureWidth, int* pictureHeight) {
    // Colours that neither the file nor the generator defines stay black.
    std::memset(m_imagePalette, 0, sizeof m_imagePalette);
    if (NamesPicture(m_gifFileName)) {
        m_heightMap = LoadPictureFile(m_gifFileName, pictureWidth, pictureHeight, m_screenWidth, m_screenHeight,
                                      m_imagePalette);
        return;
    }
    m_bumpFromIndex = 0;
    *pictureWidth = m_screenWidth;
    *pictureHeight = m_screenHeight;
    std::size_t count = 0;
    if (!PixelCount(m_screenWidth, m_screenHeight, &count)) return;
    m_heightMap = static_cast<BYTE*>(std::malloc(count));
    if (m_heightMap != nullptr) GenerateDefaultPicture(m_heightMap, m_screenWidth, m_screenHeight, m_imagePalette);
}

void CSaverWnd::ReadPathSettings() {
    // A word the saver does not know leaves the path about the screen's centre.
    m_centerX = m_screenWidth / 2;
    m_centerY = m_screenHeight / 2;
    m_positionText = ReadString(kXPosition);
    CentreFromPosition(m_positionText, Axis::Horizontal, m_screenWidth, &m_centerX);
    m_positionText = ReadString(kYPosition);
    CentreFromPosition(m_positionText, Axis::Vertical, m_screenHeight, &m_centerY);
}

void CSaverWnd::CheckFailures() {
    if (m_heightMap == nullptr) {
        if (!NamesPicture(m_gifFileName)) {
            FailForMemory();  // the generated picture found no memory
        } else {
            char message[sizeof m_message];
            FormatNotFoundMessage(m_gifFileName, message, sizeof message);
            Fail(1, message);
        }
    }
    if (m_bitsPerPixel < 8) Fail(2, " Sorry, you need at least 256 colors ");
}

void CSaverWnd::FailForMemory() {
    // Without its buffers the effect cannot run; say so instead of drawing.
    if (m_failure == 0) Fail(1, " Sorry, not enough memory ");
}

void CSaverWnd::Fail(BYTE outcome, const char* message) {
    m_failure = outcome;
    m_textDone = FALSE;
    PaintPaletteRed(m_imagePalette);
    std::strncpy(m_message, message, sizeof m_message - 1);
    m_message[sizeof m_message - 1] = '\0';
    m_centerX = m_screenWidth / 2;
    m_centerY = m_screenHeight / 2;
}

void CSaverWnd::BuildPaletteAndBitmap(CDC* pDC) {
    COLORREF colors[256];
    for (int i = 0; i < 256; ++i)
        colors[i] = RGB(m_imagePalette[3 * i], m_imagePalette[3 * i + 1], m_imagePalette[3 * i + 2]);
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
