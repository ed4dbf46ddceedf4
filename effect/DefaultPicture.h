// The picture used when no GIF file is named: smoothed random noise with a
// warm ramp from black through red-brown and orange to cream.
#pragma once

#include <cstdint>

constexpr int kDefaultPaletteSize = 256;

// Fills palette (256 R, G, B triples) with the ramp. Its brightness never
// decreases with the index, so the brightness ordering leaves it untouched.
void FillDefaultPalette(unsigned char* palette);

// Byte k of the width x height buffer for k in [width + 4, width*height - width)
// becomes the C run-time's next rand() % 256 (CrtRandNext on *randomState),
// in increasing k; all other bytes become 0. Sizes that are not positive
// leave the buffer and the state alone.
void FillDefaultNoise(unsigned char* pixels, int width, int height, std::uint32_t* randomState);

// One in-place smoothing pass over the same index range: byte k becomes
// S / 12 - 1 (0 stays 0), S being the weighted sum of seven neighbours with
// the bytes before k already smoothed by this pass. Offsets run through row
// ends into the previous row. Never reads or writes outside the buffer.
void SmoothDefaultPicture(unsigned char* pixels, int width, int height);

// Two such passes, byte for byte, in one sweep over the buffer.
void SmoothDefaultPictureTwice(unsigned char* pixels, int width, int height);

// The whole default picture: palette, noise drawn from the generator seeded
// with randomSeed (as srand(randomSeed) would), two smoothing passes. pixels
// holds width x height bytes; palette 256 R, G, B triples. A null palette or
// null pixels skip that part. The same seed gives the same picture in every
// build, whatever C run-time it links.
void GenerateDefaultPicture(unsigned char* pixels, int width, int height, unsigned char* palette,
                            std::uint32_t randomSeed);
