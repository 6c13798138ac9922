#include "imaging/font_generator.h"

#include "imaging/font_library.h"
#include "link/host.h"
#include "res/output_file.h"
#include "res/strings.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <unicode/ucnv.h>

namespace
{

constexpr int kGbSide = 94;
constexpr int kGbPositions = kGbSide * kGbSide;
constexpr int kAsciiFirst = 0x20;
constexpr int kAsciiCount = 0x7F - kAsciiFirst;
// Font files are read whole; anything larger is not a font.
constexpr qint64 kMaxFontFileBytes = 256LL * 1024 * 1024;
// Size the font is first opened at, to measure it.
constexpr double kMeasureSize = 100.0;

// GB2312 positions to Unicode, from ICU's EUC-CN table. Only the rows the
// standard assigns are taken (1-9 symbols, 16-87 hanzi): the converter's
// vendor row 94 and its private-use mappings stay empty.
const std::array<char16_t, kGbPositions> &Gb2312Table()
{
    static const std::array<char16_t, kGbPositions> table = [] {
        std::array<char16_t, kGbPositions> t{};
        UErrorCode status = U_ZERO_ERROR;
        UConverter *conv = ucnv_open("GB2312", &status);
        if (U_FAILURE(status) || !conv)
            return t;
        ucnv_setToUCallBack(conv, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
        for (int n = 0; n < kGbPositions; ++n) {
            const int row = n / kGbSide + 1;
            if (row > 87 || (row >= 10 && row <= 15))
                continue;
            const char bytes[2] = {static_cast<char>(0xA0 + row), static_cast<char>(0xA1 + n % kGbSide)};
            UChar u[2] = {0, 0};
            status = U_ZERO_ERROR;
            const int32_t length = ucnv_toUChars(conv, u, 2, bytes, 2, &status);
            if (U_FAILURE(status) || length != 1 || u[0] < 0x80 || u[0] == 0xFFFD ||
                (u[0] >= 0xE000 && u[0] <= 0xF8FF))
                continue;
            t[n] = u[0];
        }
        ucnv_close(conv);
        return t;
    }();
    return table;
}

bool HasFamily(const QString &family)
{
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

// Places ink [low, high] (glyph units) on a cell side of extent, starting
// from origin at scale 1: ink that fits is moved inside where it sticks out,
// ink that does not fit is scaled down to fill the side.
void FitAxis(double low, double high, double extent, double *origin, double *scale)
{
    *scale = 1.0;
    if (high - low > extent) {
        *scale = extent / (high - low);
        *origin = -low * *scale;
    } else if (*origin + low < 0) {
        *origin = -low;
    } else if (*origin + high > extent) {
        *origin = extent - high;
    }
}

// The outline grown by width (half on each side), the way a pen of that
// width would thicken it, but by moving its points: every point (control
// points too) goes outwards along the bisector of its two edges' normals.
// Filling the result costs what filling the plain outline costs, where
// stroking every outline with a round pen costs several times more.
QPainterPath Embolden(const QPainterPath &path, double width)
{
    struct Contour {
        std::vector<QPointF> points;
        std::vector<QPainterPath::ElementType> types;
    };
    std::vector<Contour> contours;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo() || contours.empty())
            contours.emplace_back();
        contours.back().points.emplace_back(e.x, e.y);
        contours.back().types.push_back(e.type);
    }
    // Which side is outside: the side of the largest contour's first edge
    // that the filled outline does not cover.
    const Contour *largest = nullptr;
    double largestArea = -1;
    for (Contour &c : contours) {
        double area = 0;
        for (size_t i = 0; i < c.points.size(); ++i) {
            const QPointF &a = c.points[i];
            const QPointF &b = c.points[(i + 1) % c.points.size()];
            area += a.x() * b.y() - b.x() * a.y();
        }
        if (c.points.size() >= 3 && std::abs(area) > largestArea) {
            largestArea = std::abs(area);
            largest = &c;
        }
    }
    if (!largest)
        return path;
    double side = 1.0;
    {
        const QPointF a = largest->points[0];
        const QPointF b = largest->points[1];
        const QPointF d = b - a;
        const double len = std::hypot(d.x(), d.y());
        if (len > 0) {
            const QPointF probe = (a + b) / 2 + QPointF(d.y(), -d.x()) * (0.01 / len);
            if (path.contains(probe))
                side = -1.0;
        }
    }
    const double half = width / 2;
    QPainterPath out;
    out.setFillRule(path.fillRule());
    for (const Contour &c : contours) {
        const size_t n = c.points.size();
        // A closing point equal to the start moves with it (a zero-length
        // edge has no normal).
        const bool closed = n > 1 && c.points.back() == c.points.front();
        const size_t m = closed ? n - 1 : n;
        std::vector<QPointF> moved(c.points);
        for (size_t i = 0; m >= 3 && i < m; ++i) {
            const QPointF &p = c.points[i];
            QPointF in = p - c.points[(i + m - 1) % m];
            QPointF next = c.points[(i + 1) % m] - p;
            const double lin = std::hypot(in.x(), in.y());
            const double lout = std::hypot(next.x(), next.y());
            if (lin <= 0 || lout <= 0)
                continue;
            in /= lin;
            next /= lout;
            const double d = 1 + in.x() * next.x() + in.y() * next.y();
            // A turn back of more than about 160 degrees is left where it is.
            if (d < 0.0625)
                continue;
            // The normals' sum divided by 1 + cos(turn): a shift of half
            // across both edges; never further than the shorter edge.
            QPointF shift = QPointF(in.y() + next.y(), -(in.x() + next.x())) * side;
            double scale = half / d;
            const double reach = std::hypot(shift.x(), shift.y()) * scale;
            const double limit = std::min(lin, lout);
            if (reach > limit && reach > 0)
                scale *= limit / reach;
            moved[i] = p + shift * scale;
        }
        if (closed)
            moved[n - 1] = moved[0];
        for (size_t i = 0; i < n; ++i) {
            switch (c.types[i]) {
            case QPainterPath::MoveToElement:
                out.moveTo(moved[i]);
                break;
            case QPainterPath::LineToElement:
                out.lineTo(moved[i]);
                break;
            case QPainterPath::CurveToElement:
                if (i + 2 < n)
                    out.cubicTo(moved[i], moved[i + 1], moved[i + 2]);
                i += 2;
                break;
            case QPainterPath::CurveToDataElement:
                break;
            }
        }
        out.closeSubpath();
    }
    return out;
}

} // namespace

bool IsGeneratorGlyphSize(int width, int height)
{
    return (width == height && (width == 16 || width == 24 || width == 32)) ||
           (width == 12 && height == 24) || (width == 16 && height == 32);
}

CGlyphCharset DefaultCharset(int width, int height)
{
    return width == height ? CGlyphCharset::Gb2312 : CGlyphCharset::Ascii;
}

int CharsetGlyphCount(CGlyphCharset charset)
{
    return charset == CGlyphCharset::Gb2312 ? kGbPositions : kAsciiCount;
}

char32_t CharsetCharacter(CGlyphCharset charset, int n)
{
    if (n < 0 || n >= CharsetGlyphCount(charset))
        return 0;
    if (charset == CGlyphCharset::Ascii)
        return static_cast<char32_t>(kAsciiFirst + n);
    return Gb2312Table()[static_cast<size_t>(n)];
}

QString FontLibraryFileName(const CFontGenParams &params)
{
    QString name = params.fontFile.isEmpty() ? params.family : QFileInfo(params.fontFile).completeBaseName();
    QString clean;
    for (const QChar c : name) {
        if (c.isDigit())
            continue;
        clean += (c.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(c)) ? QChar(u' ') : c;
    }
    clean = clean.simplified();
    if (clean.isEmpty())
        clean = QStringLiteral("font");
    return QStringLiteral("%1_%2x%3.fnt").arg(clean).arg(params.width).arg(params.height);
}

bool WriteFontLibrary(const QString &path, const QByteArray &data, QString *error)
{
    return WriteOutputFile(path, data, 0, error) == COutputResult::Written;
}

void ReportGeneratedLibrary(CStatusSink *status, const QString &path, const CFontGenParams &params, int missing)
{
    if (!status)
        return;
    status->ShowStatusMessage(STATUS_SUCCESS, FormatStr(IDS_IMG_FONTGEN_DONE, qUtf8Printable(path),
                                                        CharsetGlyphCount(params.charset), missing));
    int width = 0, height = 0;
    if (!ParseFontSizeFromName(path, &width, &height) || width != params.width || height != params.height)
        status->ShowStatusMessage(STATUS_INFO, FormatStr(IDS_IMG_FONTGEN_NAME_NO_SIZE, qUtf8Printable(path),
                                                         params.width, params.height));
}

struct CFontGenerator::Impl {
    CFontGenParams params;
    QRawFont font;
    bool open = false;
    double ascent = 0;
    double descent = 0;
    double embolden = 0; // pen width that thickens the outline, 0 for none
    QImage canvas;
};

CFontGenerator::CFontGenerator() : d(std::make_unique<Impl>()) {}
CFontGenerator::~CFontGenerator() = default;

bool CFontGenerator::IsOpen() const
{
    return d->open;
}

const CFontGenParams &CFontGenerator::Params() const
{
    return d->params;
}

int CFontGenerator::GlyphBytes() const
{
    return ::GlyphBytes(d->params.width, d->params.height);
}

double CFontGenerator::PixelSize() const
{
    return d->open ? d->font.pixelSize() : 0.0;
}

bool CFontGenerator::Open(const CFontGenParams &params, QString *error)
{
    d->open = false;
    d->font = QRawFont();
    const auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return fail(LoadStr(IDS_IMG_FONTGEN_NEEDS_GUI));
    if (!IsGeneratorGlyphSize(params.width, params.height))
        return fail(FormatStr(IDS_IMG_FONTGEN_BAD_SIZE, params.width, params.height));
    if (params.threshold < 1 || params.threshold > 255)
        return fail(FormatStr(IDS_IMG_FONTGEN_BAD_THRESHOLD, params.threshold));
    if (std::abs(params.offset) >= params.height)
        return fail(FormatStr(IDS_IMG_FONTGEN_BAD_OFFSET, params.offset, params.height - 1, params.height - 1));

    // Outlines without hinting: the glyphs scale exactly and come out the
    // same wherever the font file is the same.
    QRawFont font;
    if (!params.fontFile.isEmpty()) {
        const QFileInfo info(params.fontFile);
        if (info.isFile() && info.isReadable() && info.size() <= kMaxFontFileBytes)
            font = QRawFont(params.fontFile, kMeasureSize, QFont::PreferNoHinting);
        if (!font.isValid())
            return fail(FormatStr(IDS_IMG_FONTGEN_BAD_FONT_FILE, qUtf8Printable(params.fontFile)));
    } else if (!params.family.trimmed().isEmpty()) {
        if (HasFamily(params.family)) {
            QFont request(params.family);
            request.setPixelSize(static_cast<int>(kMeasureSize));
            request.setBold(params.bold);
            request.setHintingPreference(QFont::PreferNoHinting);
            request.setStyleStrategy(QFont::NoFontMerging);
            font = QRawFont::fromFont(request);
        }
        if (!font.isValid())
            return fail(FormatStr(IDS_IMG_FONTGEN_NO_FAMILY, qUtf8Printable(params.family)));
    } else {
        return fail(LoadStr(IDS_IMG_FONTGEN_NO_FONT));
    }

    // Ascent and descent fitted to the glyph height.
    const double extent = (font.ascent() + font.descent()) / font.pixelSize();
    const double pixelSize = extent > 0 ? params.height / extent : params.height;
    font.setPixelSize(pixelSize);

    d->params = params;
    d->font = font;
    d->ascent = font.ascent();
    d->descent = font.descent();
    // A face that is not bold itself is thickened by an outline pen.
    d->embolden = params.bold && font.weight() < QFont::DemiBold ? pixelSize / 16.0 : 0.0;
    d->canvas = QImage(params.width, params.height, QImage::Format_ARGB32_Premultiplied);
    d->open = !d->canvas.isNull();
    return d->open;
}

bool CFontGenerator::RenderCharacter(char32_t ch, uint8_t *out)
{
    const int rowBytes = (d->params.width + 7) / 8;
    std::memset(out, 0, static_cast<size_t>(GlyphBytes()));
    if (!d->open || ch == 0)
        return false;
    const QList<quint32> glyphs = d->font.glyphIndexesForString(QString::fromUcs4(&ch, 1));
    if (glyphs.size() != 1 || glyphs.first() == 0)
        return false;
    const quint32 glyph = glyphs.first();
    const QPainterPath path = d->font.pathForGlyph(glyph);
    if (path.isEmpty())
        return true; // a blank character such as the space
    const QList<QPointF> advances = d->font.advancesForGlyphIndexes(QList<quint32>{glyph});
    const double advance = advances.isEmpty() ? 0.0 : advances.first().x();

    const double width = d->params.width;
    const double height = d->params.height;
    const double half = d->embolden / 2;
    const QRectF ink = path.boundingRect().adjusted(-half, -half, half, half);
    // The advance centred across the cell, the ascent-descent band centred
    // down it (it fills it but for rounding), moved by the offset; then
    // whatever would be cut is brought inside.
    double originX = (width - advance) / 2;
    double originY = (height - d->ascent - d->descent) / 2 + d->ascent + d->params.offset;
    double scaleX = 1.0;
    double scaleY = 1.0;
    FitAxis(ink.left(), ink.right(), width, &originX, &scaleX);
    FitAxis(ink.top(), ink.bottom(), height, &originY, &scaleY);

    d->canvas.fill(Qt::transparent);
    {
        QPainter painter(&d->canvas);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setTransform(QTransform(scaleX, 0, 0, scaleY, originX, originY));
        painter.setBrush(Qt::black);
        painter.setPen(Qt::NoPen);
        painter.drawPath(d->embolden > 0 ? Embolden(path, d->embolden) : path);
    }
    for (int y = 0; y < d->params.height; ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(d->canvas.constScanLine(y));
        uint8_t *row = out + static_cast<size_t>(y) * rowBytes;
        for (int x = 0; x < d->params.width; ++x)
            if (qAlpha(line[x]) >= d->params.threshold)
                row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
    return true;
}

bool CFontGenerator::Generate(QByteArray *out, int *missing, const std::function<bool(int, int)> &progress)
{
    out->clear();
    if (missing)
        *missing = 0;
    if (!d->open)
        return false;
    const int total = CharsetGlyphCount(d->params.charset);
    const int glyphBytes = GlyphBytes();
    QByteArray data(static_cast<qsizetype>(total) * glyphBytes, '\0');
    uint8_t *bytes = reinterpret_cast<uint8_t *>(data.data());
    int lacking = 0;
    for (int n = 0; n < total; ++n) {
        if (progress && n % 256 == 0 && !progress(n, total))
            return false;
        const char32_t ch = CharsetCharacter(d->params.charset, n);
        if (ch != 0 && !RenderCharacter(ch, bytes + static_cast<size_t>(n) * glyphBytes))
            ++lacking;
    }
    if (progress)
        progress(total, total);
    *out = data;
    if (missing)
        *missing = lacking;
    return true;
}
