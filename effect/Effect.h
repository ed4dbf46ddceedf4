// The effect itself, without a window: the set-up from the settings and the
// display's size (picture or default picture, brightness ordering, heights,
// stretch, light path, or a failure with its message and red palette), the
// cut of the text into the relief, and the frame step (light, lit-window bump
// pass into the caller's 8-bit rows, the rectangles that changed).
//
// A front-end supplies the settings (EffectSettings), the display's size and
// depth, a seed for the default picture, the text's rasterisation (it draws
// the lines of SplitTextLines where TextBlockTop and TextLineLeft put them, in
// a font of FontPixelHeight, and hands back what is black), the surface the
// 8-bit rows go to, and the clock that asks for frames.
#pragma once

#include <cstdint>

#include "effect/BumpPass.h"
#include "effect/EffectSettings.h"

// The set-up's outcome: the effect runs, or one line of text is shown instead.
enum EffectOutcome : unsigned char {
    kEffectRuns = 0,
    kEffectNoPicture = 1,     // the picture file could not be loaded, or memory ran out
    kEffectTooFewColors = 2,  // the display shows fewer than 256 colours
};

constexpr int kImagePaletteBytes = 768;  // 256 R, G, B triples
constexpr int kMessageCapacity = 256;    // the message and its terminator

class CEffect {
public:
    CEffect() = default;
    ~CEffect();
    CEffect(const CEffect&) = delete;
    CEffect& operator=(const CEffect&) = delete;

    // The whole set-up for a width x height display of bitsPerPixel bits.
    // randomSeed starts the C run-time's generator sequence (CrtRand.h) that
    // the default picture's noise is drawn from, so one seed gives the same
    // picture in every build. A second call (a new size) starts over.
    void Setup(const EffectSettings& settings, int width, int height, int bitsPerPixel, std::uint32_t randomSeed);

    // A set-up that could not even look at the display: no maps, outcome 1
    // with " Sorry, not enough memory ", the message centred on width x height.
    void SetupWithoutDisplay(const EffectSettings& settings, int width, int height);

    // Frees both maps; the outcome and the palette stay.
    void Release();

    // --- The set-up's results (read-only) ---
    const EffectSettings& Settings() const { return m_settings; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int BitsPerPixel() const { return m_bitsPerPixel; }
    EffectOutcome Failure() const { return m_failure; }
    // The line shown instead of the effect; empty while it runs.
    const char* Message() const { return m_message; }
    // Width x height heights (brightness ranks), row 0 at the bottom; null
    // when no picture was set up.
    const unsigned char* HeightMap() const { return m_heightMap; }
    // Width x height intensities 0..255 (at least), same row order; cleared at set-up.
    const unsigned char* LightMap() const { return m_lightMap; }
    // The picture's 256 colours in brightness order (entries 1..255 red after a failure).
    const unsigned char* ImagePalette() const { return m_imagePalette; }
    // True when the first frame must burn the text into the relief: the
    // effect runs and the text is not empty.
    bool NeedsText() const { return m_failure == kEffectRuns && !m_settings.text.IsEmpty(); }
    // Frames per second, at least 1.
    int FrameRate() const { return m_frameRate; }
    // The threshold in use: the setting's, or 0 for the default picture.
    int BumpFromIndex() const { return m_bumpFromIndex; }
    BumpSettings Bump() const;
    // Centre of the light's path in map coordinates; after a failure the
    // message's centre x and top y (window rows from the top).
    int CenterX() const { return m_centerX; }
    int CenterY() const { return m_centerY; }
    double AngleStep() const { return m_angleStep; }
    double RadiusScale() const { return m_radiusScale; }
    double Angle() const { return m_angle; }
    // The light of the last frame (0, 0 before the first).
    LightPosition Light() const { return m_light; }

    // --- The text, once, before the first lit frame ---
    // The read-back of the drawn text, rows [firstRow, firstRow + rowCount)
    // of the screen top-down as 0x00RRGGBB: heights under pure black become 0.
    void CutTextUnderBlack(const unsigned int* pixels, std::size_t rowStride, int firstRow, int rowCount);
    // The same from a mask, one byte a pixel: non-zero marks a black pixel.
    void CutTextUnderMask(const unsigned char* blackMask, std::size_t rowStride, int firstRow, int rowCount);

    // --- The frame step ---
    // The light's position for this frame; the angle moves on by one step.
    LightPosition MoveLight();
    // Lights the relief around the current light and writes the 8-bit rows
    // (bottom-up, stride bytes apart, width pixels each) through colorIndex
    // (intensity -> pixel value; null: the intensity itself). Only the
    // previous and the current lit window are touched, unless the buffer,
    // stride or table changed or InvalidateFrame was called. Does nothing
    // after a failed set-up.
    void RenderFrame(unsigned char* bits, int stride, const unsigned char* colorIndex);
    // Promises that the rows for RenderFrame hold colorIndex[0] (0 with a
    // null table) in every byte, as a freshly zeroed buffer does, so the
    // first frame writes only its lit window into them.
    void KnowClearRows(unsigned char* bits, int stride, const unsigned char* colorIndex);
    // The same frame the plain way: the whole light map cleared, every pixel
    // tested, the whole map converted (the reference the lit-window form
    // matches byte for byte; benchmarks compare the two).
    void RenderFramePlain(unsigned char* bits, int stride, const unsigned char* colorIndex);
    // Where the light map may be non-zero after the last frame: the rows to
    // send are the union of this before and after RenderFrame.
    const PixelRect& LitArea() const { return m_frame.LitArea(); }
    // The whole light map into the rows (a repaint); the next frame starts over.
    void ConvertWhole(unsigned char* bits, int stride, const unsigned char* colorIndex);
    // Something else wrote the rows: the next frame converts everything.
    void InvalidateFrame() { m_frame.Invalidate(); }

private:
    // What every set-up starts from: no maps, the settings and size taken,
    // the light at the start of its path, the step and the frame rate.
    void Start(const EffectSettings& settings, int width, int height, int bitsPerPixel);
    void LoadPicture(std::uint32_t randomSeed, int* pictureWidth, int* pictureHeight);
    void PlacePath();
    void CheckFailures();
    void FailForMemory();
    void Fail(EffectOutcome outcome, const char* message);

    EffectSettings m_settings{};
    int m_width = 0;
    int m_height = 0;
    int m_bitsPerPixel = 0;
    unsigned char* m_heightMap = nullptr;  // malloc'ed
    unsigned char* m_lightMap = nullptr;   // malloc'ed
    unsigned char m_imagePalette[kImagePaletteBytes] = {};
    EffectOutcome m_failure = kEffectRuns;
    char m_message[kMessageCapacity] = {};
    int m_frameRate = 1;
    int m_bumpFromIndex = 0;
    int m_centerX = 0;
    int m_centerY = 0;
    double m_angleStep = 0.0;
    double m_radiusScale = 1.0;
    double m_angle = 0.0;
    LightPosition m_light{0, 0};
    BumpFrame m_frame;
};
