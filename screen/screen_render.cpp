#include "screen/screen_render.h"

#include "imaging/font_library.h"
#include "link/host.h"
#include "link/protocol_decoder.h"
#include "link/terminal.h"
#include "link/wire_text.h"
#include "res/ids_screen.h"
#include "res/strings.h"

#include <QCoreApplication>
#include <QFont>
#include <QGuiApplication>
#include <QPainter>

namespace
{

constexpr int kGbSide = 94;

// A 16-bit colour as the screen shows it (bits replicated to 8 per channel).
QRgb ScreenRgb(uint16_t value)
{
    return 0xFF000000u | Rgb565ToRgb(value);
}

int SizeKey(const CTextSize &size)
{
    return size.width * 1000 + size.height;
}

// Keeps the last failure a library reported.
struct CLastMessage : CStatusSink {
    QString text;
    void ShowStatusMessage(int kind, const QString &message) override
    {
        if (kind == STATUS_FAILURE)
            text = message;
    }
    void ShowStatusProgress(const QString &, int) override {}
};

void FillCell(QImage *image, int x0, int y0, int w, int h, QRgb color)
{
    const int x1 = std::min(image->width(), x0 + w);
    const int y1 = std::min(image->height(), y0 + h);
    for (int y = std::max(0, y0); y < y1; ++y)
        for (int x = std::max(0, x0); x < x1; ++x)
            image->setPixel(x, y, color);
}

// The stand-in: the character from a monospaced outline font, one bit per
// pixel (ink where more than half covered), centred in its cell.
void DrawStandIn(QImage *image, int x0, int y0, int w, int h, const QString &ch, QRgb fore)
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()) || ch.isEmpty())
        return;
    QImage mask(w, h, QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    {
        QPainter painter(&mask);
        QFont font(QStringLiteral("DejaVu Sans Mono"));
        font.setStyleHint(QFont::Monospace);
        font.setPixelSize(std::max(4, h - h / 8));
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRect(0, 0, w, h), Qt::AlignCenter, ch);
    }
    for (int my = 0; my < h; ++my) {
        const QRgb *line = reinterpret_cast<const QRgb *>(mask.constScanLine(my));
        for (int mx = 0; mx < w; ++mx) {
            const int sx = x0 + mx, sy = y0 + my;
            if (qAlpha(line[mx]) >= 128 && sx >= 0 && sy >= 0 && sx < image->width() && sy < image->height())
                image->setPixel(sx, sy, fore);
        }
    }
}

} // namespace

CScreenFonts::CScreenFonts() = default;
CScreenFonts::~CScreenFonts() = default;

bool CScreenFonts::Load(const CScreenDoc &doc, QString *error)
{
    m_libraries.clear();
    for (const CScreenFont &f : doc.fonts) {
        const QString path = doc.ResolvePath(f.file);
        auto library = std::make_unique<CFontLibrary>();
        CLastMessage why;
        if (!library->Open(path, f.size.width, f.size.height, &why)) {
            if (error)
                *error = FormatStr(IDS_SCR_FONT_ERROR, qUtf8Printable(TextSizeName(f.size)), qUtf8Printable(path),
                                   qUtf8Printable(why.text));
            return false;
        }
        if (library->GlyphCount() < 1) {
            if (error)
                *error = FormatStr(IDS_SCR_FONT_TOO_SHORT, qUtf8Printable(path), qUtf8Printable(TextSizeName(f.size)));
            return false;
        }
        m_libraries[SizeKey(f.size)] = std::move(library);
    }
    return true;
}

const CFontLibrary *CScreenFonts::For(const CTextSize &size) const
{
    const auto it = m_libraries.find(SizeKey(size));
    return it == m_libraries.end() ? nullptr : it->second.get();
}

bool IsGb2312Library(int glyphCount)
{
    return glyphCount >= kGbSide * kGbSide;
}

bool DrawTerminalText(QImage *image, int x, int y, const CTextSize &size, const QByteArray &wire, uint16_t fore,
                      uint16_t back, const CFontLibrary *library)
{
    const bool square = size.width == size.height;
    const int halfW = square ? size.width / 2 : size.width;
    const int fullW = square ? size.width : size.width * 2;
    const int h = size.height;
    const QRgb fg = ScreenRgb(fore);
    const QRgb bg = ScreenRgb(back);
    const int glyphs = library ? library->GlyphCount() : 0;
    const bool gb = IsGb2312Library(glyphs);
    bool complete = true;
    int cx = x;
    for (int i = 0; i < wire.size() && cx < image->width();) {
        const uint8_t b = static_cast<uint8_t>(wire[i]);
        const bool twoBytes = b >= 0x81 && b <= 0xFE && i + 1 < wire.size();
        const int w = twoBytes ? fullW : halfW;
        int glyph = -1;
        if (twoBytes) {
            const uint8_t lo = static_cast<uint8_t>(wire[i + 1]);
            if (gb && b >= 0xA1 && lo >= 0xA1 && lo <= 0xFE)
                glyph = (b - 0xA1) * kGbSide + (lo - 0xA1);
        } else if (library && !gb && b >= 0x20) {
            glyph = b - 0x20;
        }
        if (glyph >= glyphs)
            glyph = -1;
        FillCell(image, cx, y, w, h, bg);
        if (glyph >= 0) {
            const int gw = std::min(w, library->GlyphWidth());
            for (int gy = 0; gy < h; ++gy)
                for (int gx = 0; gx < gw; ++gx) {
                    const int sx = cx + gx, sy = y + gy;
                    if (sx >= 0 && sy >= 0 && sx < image->width() && sy < image->height() &&
                        library->Ink(glyph, gx, gy))
                        image->setPixel(sx, sy, fg);
                }
        } else {
            complete = false;
            DrawStandIn(image, cx, y, w, h, WireToText(wire.mid(i, twoBytes ? 2 : 1)), fg);
        }
        cx += w;
        i += twoBytes ? 2 : 1;
    }
    return complete;
}

void RenderScreenPlan(const CScreenPlan &plan, const CScreenFonts &fonts, CScreenRendering *out)
{
    out->approximate.clear();
    out->notes.clear();
    QImage image(plan.width, plan.height, plan.bpp == 24 ? QImage::Format_BGR888 : QImage::Format_RGB16);
    image.fill(Qt::black);
    const std::vector<CScreenWire> wire = ScreenPlanWire(plan);
    uint16_t fore = 0xFFFF, back = 0x0000;
    for (size_t i = 0; i < plan.steps.size() && i < wire.size(); ++i) {
        const CScreenStep &step = plan.steps[i];
        switch (step.kind) {
        case CScreenStep::SendPicture:
            image = plan.picture.convertToFormat(image.format());
            break;
        case CScreenStep::ShowPicture:
            break; // the picture just stored
        case CScreenStep::SetColors:
            fore = CMyTerminal::ToRgb565(step.fore);
            back = CMyTerminal::ToRgb565(step.back);
            break;
        case CScreenStep::ClearScreen:
            image.fill(QColor::fromRgb(ScreenRgb(back)));
            break;
        case CScreenStep::ShowText: {
            // The text as the frame carries it: after the position, up to
            // the terminating zero.
            const QByteArray &frame = wire[i].frame;
            QByteArray text = frame.mid(8, frame.size() - 12);
            const int zero = text.indexOf('\0');
            if (zero >= 0)
                text.truncate(zero);
            const CFontLibrary *library = fonts.For(step.size);
            if (!DrawTerminalText(&image, step.x, step.y, step.size, text, fore, back, library)) {
                out->approximate.push_back(step.item);
                const QString sizeName = TextSizeName(step.size);
                const QString reason = library ? FormatStr(IDS_SCR_MISSING_GLYPHS, qUtf8Printable(sizeName))
                                               : FormatStr(IDS_SCR_NO_LIBRARY, qUtf8Printable(sizeName));
                out->notes << FormatStr(IDS_SCR_APPROXIMATE, step.item + 1, qUtf8Printable(step.text),
                                        qUtf8Printable(reason));
            }
            break;
        }
        }
    }
    out->image = image;
}

bool RenderScreen(const CScreenDoc &doc, int screenIndex, CScreenRendering *out, QString *error)
{
    CScreenPlan plan;
    if (!BuildScreenPlan(doc, screenIndex, &plan, error))
        return false;
    CScreenFonts fonts;
    if (!fonts.Load(doc, error))
        return false;
    RenderScreenPlan(plan, fonts, out);
    return true;
}
