// Turning an image file into a bitmap of the terminal's resolution and pixel
// format: fitting geometry, drawing over a background colour, and loading.
#pragma once

#include "imaging/dither.h"

#include <QImage>
#include <QString>
#include <cstdint>

// Where the source lands on the canvas.
struct CFitRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Drawn rectangle for a source of srcWidth x srcHeight on a width x height
// canvas. Without keepAspect the source fills the canvas. With it, a source
// that fits is drawn at its own size, any other is narrowed one pixel at a
// time until its height fits; the result is centred (truncating division).
CFitRect FitGeometry(int srcWidth, int srcHeight, int width, int height, bool keepAspect);

// Draws source scaled into a new width x height canvas of the format code,
// cleared to bkColor (0x00BBGGRR) and blended over it. A null image when the
// source is null or the canvas cannot be made. With a dither method and the
// 16-bit code the picture is drawn at 8 bits per channel and then dithered
// down; other codes ignore dither.
QImage RenderFitted(const QImage &source, int width, int height, int pixelCode, uint32_t bkColor,
                    bool keepAspect, CDither dither = CDither::None);

// Decodes path and fits it: width or height 0 takes the image's own size,
// pixelCode 0 its own format. An image of the right size and format without
// alpha (or with bkColor NO_BK_COLOR) comes back as decoded. A null image on
// any failure; *error (when asked) gets the decoder's reason if it had one.
// Only regular files are read. A picture whose data ends early or that the
// decoder reports as corrupt is refused rather than sent with filler, and an
// SVG is refused without a QGuiApplication (its text could not be drawn).
//
// Sources are decoded directly at the drawn size where the decoder can do
// that and it pays: always for JPEG (and SVG), for other formats once a full
// decode would pass FULL_DECODE_BUDGET_MB, so memory follows the target size.
// The geometry still comes from the file's own size. A source whose full
// decode would pass DECODE_LIMIT_MB is refused unless its decoder scales
// while decoding; a JPEG is refused past SCALED_DECODE_LIMIT_MB (a header
// claiming gigapixels), an SVG never (it is drawn at the target size).
// dither works as in RenderFitted.
QImage LoadFittedImage(const QString &path, int width, int height, int pixelCode, uint32_t bkColor,
                       bool keepAspect, QString *error = nullptr, CDither dither = CDither::None);

// A picture as its decoder gave it, before fitting: at the file's own size,
// or scaled by the decoder to the drawn size (scaledTo) where that pays, as
// LoadFittedImage describes. Fitting it again at a size for which the decoder
// would be asked the same, or with another background, pixel format or
// dither, needs no second decode.
struct CDecodedPicture {
    QImage image;
    QSize own;          // the file's own size: the geometry of the fit
    QSize scaledTo;     // what the decoder was asked for; empty: the whole image
    QByteArray format;  // the decoder's format name
    bool canScale = false;
    QString path;
    qint64 fileSize = -1; // -1: no digest taken
    size_t digest = 0;    // of the file's bytes, as decoded

    // Whether decoding path for a width x height canvas (0 x 0: own size)
    // would give this very image: the same file with the same bytes (read
    // again and compared by digest, which costs little beside a decode),
    // asked for the same scaled size.
    bool Serves(const QString &path, int width, int height, bool keepAspect) const;
};

// The decoding half of LoadFittedImage, under the same rules. False on any
// failure, *error (when asked) as there. With forReuse the digest of the
// file is taken too, which Serves needs.
bool DecodePicture(const QString &path, int width, int height, bool keepAspect, CDecodedPicture *out,
                   QString *error = nullptr, bool forReuse = false);
// The fitting half: draws a decoded picture into the canvas as
// LoadFittedImage does.
QImage FitDecoded(const CDecodedPicture &decoded, int width, int height, int pixelCode, uint32_t bkColor,
                  bool keepAspect, CDither dither = CDither::None);

// Whether path can be sent as a picture at all, found without a terminal:
// decodes it fitted into a small square under the rules of LoadFittedImage
// (the same decoder checks and size caps). *error as there.
bool CheckPictureFile(const QString &path, QString *error);

// Whether decoding path may need a QGuiApplication (its font database): false
// only for a regular file that begins like a JPEG, PNG, GIF or BMP and is
// not named as an SVG, which Qt's raster decoders read without one.
bool DecodingNeedsGui(const QString &path);

enum : int {
    CHECK_PICTURE_SIDE = 128,
    DECODE_LIMIT_MB = 256,
    SCALED_DECODE_LIMIT_MB = 1024, // full-size equivalent, for decoders that scale while decoding
    FULL_DECODE_BUDGET_MB = 64,
    MAX_CANVAS_SIDE = 32767,
};
