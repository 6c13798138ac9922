#include "imaging/image_fit.h"

#include "imaging/image_source.h"
#include "imaging/jpeg_scaled.h"
#include "imaging/pixel_format.h"
#include "imaging/regular_file.h"
#include "res/strings.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <cstring>
#include <mutex>
#include <unistd.h>

namespace
{

// Whether the picture is drawn at 8 bits per channel and dithered to 16.
bool Dithers(int pixelCode, CDither dither)
{
    return dither != CDither::None && pixelCode == PIXEL_CODE_RGB565;
}

// The drawing itself; geometry is computed for a source of geometrySize,
// which differs from source.size() when the decoder already scaled it.
QImage RenderInto(const QImage &source, QSize geometrySize, int width, int height, int pixelCode,
                  uint32_t bkColor, bool keepAspect, CDither dither)
{
    if (Dithers(pixelCode, dither)) {
        const QImage full = RenderInto(source, geometrySize, width, height, PIXEL_CODE_RGB32, bkColor,
                                       keepAspect, CDither::None);
        return DitherToRgb565(full, dither);
    }
    if (source.isNull() || geometrySize.isEmpty())
        return QImage();
    if (width <= 0 || height <= 0 || width > MAX_CANVAS_SIDE || height > MAX_CANVAS_SIDE)
        return QImage();
    const QImage::Format format = ImageFormatOfCode(pixelCode);
    if (format == QImage::Format_Invalid)
        return QImage();

    QImage canvas(width, height, format);
    if (canvas.isNull())
        return QImage();
    canvas.fill(QColor::fromRgba(ColorRefToArgb(bkColor)));

    const CFitRect r = FitGeometry(geometrySize.width(), geometrySize.height(), width, height, keepAspect);
    if (r.width > 0 && r.height > 0) {
        QPainter painter(&canvas);
        if (!painter.isActive())
            return QImage();
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(QRect(r.x, r.y, r.width, r.height), source);
    }
    return canvas;
}

// Decoders whose scaled decoding does less work than a full decode.
bool ScalesWhileDecoding(const QByteArray &format)
{
    return format == "jpeg" || format == "jpg" || format == "svg" || format == "svgz";
}

bool IsSvg(const QByteArray &format)
{
    return format == "svg" || format == "svgz";
}

enum class CRaster { None, Jpeg, Png, Gif, Bmp };

// The raster format a file's first bytes show, for the decoders Qt picks by
// content; None for anything else, for what is not a regular file, and for
// names with an SVG suffix (Qt picks a decoder by the suffix first).
CRaster SniffRaster(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("svg") || suffix == QLatin1String("svgz"))
        return CRaster::None;
    int openError = 0;
    const int fd = OpenRegularFile(path, &openError);
    if (fd < 0)
        return CRaster::None;
    unsigned char head[8] = {};
    const ssize_t got = ::read(fd, head, sizeof head);
    ::close(fd);
    static const struct {
        const char *magic;
        size_t size;
        CRaster kind;
    } rasters[] = {
        {"\xFF\xD8\xFF", 3, CRaster::Jpeg},
        {"\x89PNG\r\n\x1A\n", 8, CRaster::Png},
        {"GIF87a", 6, CRaster::Gif},
        {"GIF89a", 6, CRaster::Gif},
        {"BM", 2, CRaster::Bmp},
    };
    for (const auto &r : rasters) {
        if (got >= ssize_t(r.size) && std::memcmp(head, r.magic, r.size) == 0)
            return r.kind;
    }
    return CRaster::None;
}

void SetError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

} // namespace

CFitRect FitGeometry(int srcWidth, int srcHeight, int width, int height, bool keepAspect)
{
    CFitRect r;
    if (!keepAspect) {
        r.width = width;
        r.height = height;
    } else if (srcWidth <= width && srcHeight <= height) {
        r.width = srcWidth;
        r.height = srcHeight;
    } else if (srcWidth > 0) {
        const double ratio = static_cast<double>(srcHeight) / srcWidth;
        int dw = width;
        int dh = static_cast<int>(ratio * dw);
        while (dh > height && dw > 0) {
            --dw;
            dh = static_cast<int>(ratio * dw);
        }
        r.width = dw;
        r.height = dh;
    }
    r.x = (width - r.width) / 2;
    r.y = (height - r.height) / 2;
    return r;
}

QImage RenderFitted(const QImage &source, int width, int height, int pixelCode, uint32_t bkColor,
                    bool keepAspect, CDither dither)
{
    return RenderInto(source, source.size(), width, height, pixelCode, bkColor, keepAspect, dither);
}

namespace
{

// What the decoder is asked for: the drawn size when it scales while
// decoding or a full decode would be too large; nothing when the source is
// decoded whole. tooLarge when the source must be refused.
struct CDecodePlan {
    QSize scaledTo;
    bool tooLarge = false;
};

CDecodePlan PlanDecode(QSize own, const QByteArray &format, bool canScale, int width, int height, bool keepAspect)
{
    // Decode at the drawn size when that is smaller: always for decoders that
    // scale while decoding (cheaper than a full decode), and for the others
    // once a full decode would take more than FULL_DECODE_BUDGET_MB, to bound
    // memory. Sources past DECODE_LIMIT_MB are refused even then: decoding
    // them row by row would still take a very long time. A 0 x 0 target
    // keeps the image as it is.
    CDecodePlan plan;
    if (!own.isValid() || own.isEmpty() || width <= 0 || height <= 0 || !canScale)
        return plan;
    const qint64 fullBytes = static_cast<qint64>(own.width()) * own.height() * 4;
    const CFitRect r = FitGeometry(own.width(), own.height(), width, height, keepAspect);
    const bool smaller = r.width > 0 && r.height > 0 && r.width <= own.width() && r.height <= own.height() &&
                         (r.width < own.width() || r.height < own.height());
    if (!smaller)
        return plan;
    // A JPEG decoder scaling while decoding still visits every block of the
    // source: a header claiming gigapixels is refused too. An SVG is drawn
    // at the target size whatever it claims.
    const bool native = ScalesWhileDecoding(format);
    const qint64 limitMb = !native ? DECODE_LIMIT_MB : IsSvg(format) ? -1 : SCALED_DECODE_LIMIT_MB;
    if (limitMb >= 0 && fullBytes > limitMb * 1024 * 1024)
        plan.tooLarge = true;
    else if (native || fullBytes > static_cast<qint64>(FULL_DECODE_BUDGET_MB) * 1024 * 1024)
        plan.scaledTo = QSize(r.width, r.height);
    return plan;
}

// A digest of the bytes of the regular file at path; false when it cannot
// be read.
bool DigestFile(const QString &path, qint64 *size, size_t *digest)
{
    int reason = 0;
    const int fd = OpenRegularFile(path, &reason, size);
    if (fd < 0)
        return false;
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    if (*size == 0) {
        *digest = 0;
        return true;
    }
    const uchar *bytes = file.map(0, *size);
    if (!bytes)
        return false;
    *digest = qHashBits(bytes, static_cast<size_t>(*size));
    file.unmap(const_cast<uchar *>(bytes));
    return true;
}

} // namespace

bool CDecodedPicture::Serves(const QString &file, int width, int height, bool keepAspect) const
{
    if (image.isNull() || file != path || fileSize < 0)
        return false;
    qint64 size = -1;
    size_t now = 0;
    if (!DigestFile(file, &size, &now) || size != fileSize || now != digest)
        return false;
    const CDecodePlan plan = PlanDecode(own, format, canScale, width, height, keepAspect);
    return !plan.tooLarge && plan.scaledTo == scaledTo;
}

bool DecodePicture(const QString &path, int width, int height, bool keepAspect, CDecodedPicture *out,
                   QString *error, bool forReuse)
{
    *out = CDecodedPicture();
    SetError(error, QString());
    if (path.isEmpty())
        return false;
    // The file's bytes before the read: a file changed during or after it
    // is decoded again when asked for next.
    qint64 fileSize = -1;
    size_t digest = 0;
    if (forReuse && !DigestFile(path, &fileSize, &digest))
        fileSize = -1;
    if (width == 0 || height == 0)
        width = height = 0;
    const auto decoded = [&](const QImage &image, QSize own, QSize scaledTo, const QByteArray &format,
                             bool canScale) {
        out->image = image;
        out->own = own;
        out->scaledTo = scaledTo;
        out->format = format;
        out->canScale = canScale;
        out->path = path;
        out->fileSize = fileSize;
        out->digest = digest;
        return true;
    };
    // A JPEG drawn smaller than it is: decoded straight to the drawn size.
    if (width > 0 && SniffRaster(path) == CRaster::Jpeg) {
        CJpegFile jpeg;
        if (jpeg.Open(path, nullptr) && jpeg.ProducesRgb()) {
            const QSize own = jpeg.Size();
            const CDecodePlan plan = PlanDecode(own, "jpeg", true, width, height, keepAspect);
            if (plan.tooLarge) {
                SetError(error, FormatStr(IDS_IMG_PICTURE_TOO_LARGE, own.width(), own.height()));
                return false;
            }
            if (!plan.scaledTo.isEmpty()) {
                bool lost = false;
                QString reason;
                const QImage image = jpeg.Decode(plan.scaledTo, &lost, &reason);
                if (image.isNull()) {
                    SetError(error, lost ? LoadStr(IDS_IMG_PICTURE_DATA_BROKEN) : reason);
                    return false;
                }
                return decoded(image, own, plan.scaledTo, "jpeg", true);
            }
        }
        // Anything else (own size or larger, CMYK, a header libjpeg refuses)
        // goes through Qt's decoder, which says why it fails.
    }
    CImageSource file(path);
    QString openError;
    if (!file.OpenRegular(&openError)) {
        SetError(error, openError);
        return false;
    }
    // The limit is a process-wide setting of Qt's: written once, so that
    // terminals decoding on several threads never write it at the same time.
    static std::once_flag limitSet;
    std::call_once(limitSet, [] { QImageReader::setAllocationLimit(DECODE_LIMIT_MB); });
    QImageReader reader(&file);
    // Asked once, before the decode: the reader forgets it after.
    const QByteArray format = reader.format();
    // Text in an SVG needs the font database, which only exists beside a
    // QGuiApplication; without one Qt would abort the program.
    if (IsSvg(format) && !qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        SetError(error, LoadStr(IDS_IMG_PICTURE_NEEDS_GUI));
        return false;
    }
    reader.setAutoTransform(false);

    // The file's own size, read from its header where the decoder can.
    const QSize own = reader.size();
    const bool canScale = reader.supportsOption(QImageIOHandler::ScaledSize);
    const CDecodePlan plan = PlanDecode(own, format, canScale, width, height, keepAspect);
    if (plan.tooLarge) {
        SetError(error, FormatStr(IDS_IMG_PICTURE_TOO_LARGE, own.width(), own.height()));
        return false;
    }
    if (!plan.scaledTo.isEmpty())
        reader.setScaledSize(plan.scaledTo);

    file.ResetWatch();
    QImage source;
    bool lost = false;
    {
        CDecoderWatch watch;
        source = reader.read();
        lost = watch.DataLost();
    }
    if (source.isNull()) {
        SetError(error, reader.errorString());
        return false;
    }
    if (lost || file.EndedEarly(format)) {
        SetError(error, LoadStr(IDS_IMG_PICTURE_DATA_BROKEN));
        return false;
    }
    // The geometry still comes from the file's own size when the decoder
    // scaled it.
    return decoded(source, plan.scaledTo.isEmpty() ? source.size() : own, plan.scaledTo, format, canScale);
}

QImage FitDecoded(const CDecodedPicture &decoded, int width, int height, int pixelCode, uint32_t bkColor,
                  bool keepAspect, CDither dither)
{
    const QImage &source = decoded.image;
    if (source.isNull())
        return QImage();
    if (width == 0 || height == 0) {
        width = decoded.own.width();
        height = decoded.own.height();
    }
    const int ownCode = PixelCodeOfImage(source);
    if (pixelCode == 0)
        pixelCode = ownCode;
    // An image of the right size and format comes back as decoded.
    if (decoded.scaledTo.isEmpty() && source.width() == width && source.height() == height &&
        ownCode == pixelCode && (!PixelCodeHasAlpha(ownCode) || bkColor == NO_BK_COLOR))
        return source;
    return RenderInto(source, decoded.own, width, height, pixelCode, bkColor, keepAspect, dither);
}

QImage LoadFittedImage(const QString &path, int width, int height, int pixelCode, uint32_t bkColor,
                       bool keepAspect, QString *error, CDither dither)
{
    CDecodedPicture decoded;
    if (!DecodePicture(path, width, height, keepAspect, &decoded, error))
        return QImage();
    return FitDecoded(decoded, width, height, pixelCode, bkColor, keepAspect, dither);
}

bool DecodingNeedsGui(const QString &path)
{
    return SniffRaster(path) == CRaster::None;
}

bool CheckPictureFile(const QString &path, QString *error)
{
    return !LoadFittedImage(path, CHECK_PICTURE_SIDE, CHECK_PICTURE_SIDE, PIXEL_CODE_RGB565, NO_BK_COLOR, true, error)
                .isNull();
}
