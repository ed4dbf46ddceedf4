#include "effect/Effect.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "effect/DefaultPicture.h"
#include "effect/PictureSetup.h"
#include "effect/PixelCount.h"
#include "effect/TextLines.h"
#include "image/Picture.h"

namespace {

// Entries 1 to 255 become pure red; entry 0 keeps its colour.
void PaintPaletteRed(unsigned char* palette) {
    for (int i = 1; i < 256; ++i) {
        palette[3 * i] = 255;
        palette[3 * i + 1] = 0;
        palette[3 * i + 2] = 0;
    }
}

// An empty name, or one that begins with a blank, asks for the generated picture.
bool NamesPicture(const CString& fileName) { return !fileName.IsEmpty() && fileName.GetAt(0) != ' '; }

}  // namespace

CEffect::~CEffect() { Release(); }

void CEffect::Release() {
    std::free(m_lightMap);
    std::free(m_heightMap);
    m_lightMap = nullptr;
    m_heightMap = nullptr;
    m_frame.Invalidate();
}

BumpSettings CEffect::Bump() const {
    return BumpSettings{m_settings.xFallOff, m_settings.yFallOff, m_settings.bumpMultiplier, m_bumpFromIndex};
}

void CEffect::Start(const EffectSettings& settings, int width, int height, int bitsPerPixel) {
    Release();
    m_settings = settings;
    m_width = width;
    m_height = height;
    m_bitsPerPixel = bitsPerPixel;
    m_failure = kEffectRuns;
    m_message[0] = '\0';
    m_angle = 0.0;
    m_radiusScale = 1.0;
    m_light = LightPosition{0, 0};
    m_frame = BumpFrame();

    m_bumpFromIndex = settings.bumpFromIndex;
    m_angleStep = ::AngleStep(settings.speed, settings.cwDirection);
    m_frameRate = EffectiveFrameRate(settings.frameRate);
}

void CEffect::Setup(const EffectSettings& settings, int width, int height, int bitsPerPixel,
                    std::uint32_t randomSeed) {
    Start(settings, width, height, bitsPerPixel);
    int pictureWidth = 0, pictureHeight = 0;
    LoadPicture(randomSeed, &pictureWidth, &pictureHeight);
    PlacePath();
    CheckFailures();

    // The pixel count of a picture that was loaded always fits an int.
    std::size_t picturePixels = 0;
    if (m_heightMap == nullptr || !PixelCount(pictureWidth, pictureHeight, &picturePixels)) picturePixels = 0;
    SortPaletteByBrightness(m_heightMap, static_cast<int>(picturePixels), m_imagePalette);

    // The light map is the stretch's scratch space first, unless the picture
    // has the screen's size (always so for the default picture): then it is
    // only flipped, in place, and the light map comes zeroed from calloc.
    std::size_t screenPixels = 0;
    PixelCount(m_width, m_height, &screenPixels);
    const bool flipOnly = pictureWidth == m_width && pictureHeight == m_height;
    const std::size_t lightBytes = std::max<std::size_t>({picturePixels, screenPixels, 1});
    m_lightMap = static_cast<unsigned char*>(flipOnly ? std::calloc(lightBytes, 1) : std::malloc(lightBytes));
    if (m_lightMap == nullptr) FailForMemory();
    if (m_failure == kEffectRuns)
        ScalePictureToScreen(m_heightMap, m_lightMap, pictureWidth, pictureHeight, m_width, m_height);
    if (m_lightMap != nullptr) {
        if (!flipOnly) ClearLightMap(m_lightMap, m_width, m_height);
        m_frame.KnowClearLightMap(m_lightMap, m_width, m_height);
    }
}

void CEffect::SetupWithoutDisplay(const EffectSettings& settings, int width, int height) {
    Start(settings, width, height, 0);
    std::memset(m_imagePalette, 0, sizeof m_imagePalette);
    FailForMemory();
}

void CEffect::LoadPicture(std::uint32_t randomSeed, int* pictureWidth, int* pictureHeight) {
    // Colours that neither the file nor the generator defines stay black.
    std::memset(m_imagePalette, 0, sizeof m_imagePalette);
    if (NamesPicture(m_settings.pictureFile)) {
        m_heightMap = LoadPictureFile(m_settings.pictureFile, pictureWidth, pictureHeight, m_width, m_height,
                                      m_imagePalette);
        return;
    }
    m_bumpFromIndex = 0;
    *pictureWidth = m_width;
    *pictureHeight = m_height;
    std::size_t count = 0;
    if (!PixelCount(m_width, m_height, &count)) return;
    m_heightMap = static_cast<unsigned char*>(std::malloc(count));
    if (m_heightMap != nullptr) GenerateDefaultPicture(m_heightMap, m_width, m_height, m_imagePalette, randomSeed);
}

void CEffect::PlacePath() {
    // A word the saver does not know leaves the path about the screen's centre.
    m_centerX = m_width / 2;
    m_centerY = m_height / 2;
    CentreFromPosition(m_settings.xPosition, Axis::Horizontal, m_width, &m_centerX);
    CentreFromPosition(m_settings.yPosition, Axis::Vertical, m_height, &m_centerY);
}

void CEffect::CheckFailures() {
    if (m_heightMap == nullptr) {
        if (!NamesPicture(m_settings.pictureFile)) {
            FailForMemory();  // the generated picture found no memory
        } else {
            char message[kMessageCapacity];
            FormatNotFoundMessage(m_settings.pictureFile, message, sizeof message);
            Fail(kEffectNoPicture, message);
        }
    }
    if (m_bitsPerPixel < 8) Fail(kEffectTooFewColors, " Sorry, you need at least 256 colors ");
}

void CEffect::FailForMemory() {
    // Without its buffers the effect cannot run; say so instead of drawing.
    if (m_failure == kEffectRuns) Fail(kEffectNoPicture, " Sorry, not enough memory ");
}

void CEffect::Fail(EffectOutcome outcome, const char* message) {
    m_failure = outcome;
    PaintPaletteRed(m_imagePalette);
    std::strncpy(m_message, message, sizeof m_message - 1);
    m_message[sizeof m_message - 1] = '\0';
    m_centerX = m_width / 2;
    m_centerY = m_height / 2;
}

void CEffect::CutTextUnderBlack(const unsigned int* pixels, std::size_t rowStride, int firstRow, int rowCount) {
    if (m_heightMap == nullptr || m_failure != kEffectRuns) return;
    CutHeightsUnderBlack(pixels, rowStride, firstRow, rowCount, m_width, m_height, m_heightMap);
}

void CEffect::CutTextUnderMask(const unsigned char* blackMask, std::size_t rowStride, int firstRow, int rowCount) {
    if (m_heightMap == nullptr || m_failure != kEffectRuns) return;
    CutHeightsUnderMask(blackMask, rowStride, firstRow, rowCount, m_width, m_height, m_heightMap);
}

LightPosition CEffect::MoveLight() {
    m_light = ::MoveLight(m_angle, m_angleStep, m_radiusScale, m_centerX, m_centerY, m_settings.xDistance,
                          m_settings.yDistance);
    return m_light;
}

void CEffect::RenderFrame(unsigned char* bits, int stride, const unsigned char* colorIndex) {
    if (m_failure != kEffectRuns || m_heightMap == nullptr || m_lightMap == nullptr) return;
    m_frame.Render(m_heightMap, m_lightMap, m_width, m_height, m_light.x, m_light.y, Bump(), bits, stride,
                   colorIndex);
}

void CEffect::KnowClearRows(unsigned char* bits, int stride, const unsigned char* colorIndex) {
    if (m_lightMap != nullptr) m_frame.KnowClearBits(bits, stride, colorIndex);
}

void CEffect::RenderFramePlain(unsigned char* bits, int stride, const unsigned char* colorIndex) {
    if (m_failure != kEffectRuns || m_heightMap == nullptr || m_lightMap == nullptr) return;
    RenderFrameReference(m_heightMap, m_lightMap, m_width, m_height, m_light.x, m_light.y, Bump(), bits, stride,
                         colorIndex);
    m_frame.Invalidate();
}

void CEffect::ConvertWhole(unsigned char* bits, int stride, const unsigned char* colorIndex) {
    if (m_lightMap == nullptr) return;
    ConvertLightMap(m_lightMap, m_width, m_height, bits, stride, colorIndex);
    m_frame.Invalidate();
}
