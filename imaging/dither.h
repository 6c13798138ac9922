// Dithering for 16-bit terminals: a picture fitted at 8 bits per channel is
// quantised to RGB 5-6-5 with an ordered (Bayer 4 x 4) or an error-diffusion
// (Floyd-Steinberg) pattern instead of plain truncation, so gradients do not
// band. 24-bit output is never dithered.
#pragma once

#include <QImage>
#include <QString>

enum class CDither : int {
    None = 0,      // plain conversion, as the terminal's pixels always were
    Ordered = 1,   // Bayer 4 x 4 thresholds
    Diffusion = 2, // Floyd-Steinberg error diffusion
};

// "none", "ordered", "diffusion" (and the numbers 0, 1, 2, as the profile
// stores them). False for anything else.
bool ParseDither(const QString &text, CDither *dither);
// A stored number back to the method; anything unknown is None.
CDither DitherFromInt(int value);

// Quantises image to Format_RGB16 with the method. Colours that RGB 5-6-5
// holds exactly come out unchanged by either method. Alpha is dropped as a
// plain conversion drops it. A null image gives a null image.
QImage DitherToRgb565(const QImage &image, CDither dither);
