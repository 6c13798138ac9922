#include "terminal_model.h"

#include <QFont>
#include <QPainter>
#include <unicode/ucnv.h>

#include "sim_text.h"

namespace qelsim
{
namespace
{

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

bool PayloadIs(const QByteArray &p, std::initializer_list<int> values)
{
    return p == Bytes(values);
}

int Be16(const QByteArray &p, int at)
{
    return (uint8_t(p[at]) << 8) | uint8_t(p[at + 1]);
}

FrameOutcome Named(const char *name, const QString &label)
{
    FrameOutcome o;
    o.name = QString::fromLatin1(name);
    o.label = label;
    return o;
}

} // namespace

QString DecodeGbk(const QByteArray &bytes)
{
    int n = bytes.indexOf('\0');
    if (n < 0)
        n = bytes.size();
    if (n == 0)
        return QString();
    UErrorCode status = U_ZERO_ERROR;
    UConverter *conv = ucnv_open("GBK", &status);
    if (U_FAILURE(status))
        return QString::fromLatin1(bytes.left(n));
    std::vector<UChar> out(size_t(n) * 2 + 2);
    const int32_t len = ucnv_toUChars(conv, out.data(), int32_t(out.size()), bytes.constData(), n, &status);
    ucnv_close(conv);
    if (U_FAILURE(status))
        return QString::fromLatin1(bytes.left(n));
    return QString(reinterpret_cast<const QChar *>(out.data()), len);
}

QByteArray EncodeGbk(const QString &text)
{
    UErrorCode status = U_ZERO_ERROR;
    UConverter *conv = ucnv_open("GBK", &status);
    if (U_FAILURE(status))
        return text.toLatin1();
    std::vector<char> out(size_t(text.size()) * 2 + 2);
    const int32_t len = ucnv_fromUChars(conv, out.data(), int32_t(out.size()),
                                        reinterpret_cast<const UChar *>(text.utf16()), text.size(), &status);
    ucnv_close(conv);
    if (U_FAILURE(status))
        return text.toLatin1();
    return QByteArray(out.data(), len);
}

QColor CTerminalModel::ColorFrom565(uint16_t v)
{
    const int r = (v >> 11) & 0x1F, g = (v >> 5) & 0x3F, b = v & 0x1F;
    return QColor((r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2));
}

CTerminalModel::CTerminalModel(const SimConfig &config)
    : config_(config),
      screen_(config.width, config.height, config.bpp == 24 ? QImage::Format_RGB888 : QImage::Format_RGB16),
      baud_(config.baud), pendingBaud_(config.baud), mode_(config.mode)
{
    FillScreen(bg_);
}

int CTerminalModel::SlotCount() const
{
    if (config_.profile == Profile::Handshake3)
        return mode_ == 0 ? 5 : 12;
    return config_.slotCount;
}

QImage CTerminalModel::SlotImage(int slot) const
{
    auto it = slots_.find(slot);
    return it == slots_.end() ? QImage() : it->second;
}

bool CTerminalModel::LoadSlot(int slot, const QImage &image)
{
    if (slot < 0 || slot >= config_.slotCount || image.size() != screen_.size())
        return false;
    slots_[slot] = image.convertToFormat(screen_.format());
    return true;
}

void CTerminalModel::Restart()
{
    baud_ = pendingBaud_;
    fg_ = 0xFFFF;
    bg_ = 0x0000;
    backlightOn_ = true;
    brightness_ = 255;
    touchActive_ = false;
    beforeTouch_ = QImage();
    pending_ = Pending();
    FillScreen(bg_);
    lastCommand_ = Tx(T_CMD_RESTART);
    note_.clear();
}

void CTerminalModel::FillScreen(uint16_t color)
{
    screen_.fill(ColorFrom565(color));
}

void CTerminalModel::StoreSlot(int slot)
{
    slots_[slot] = screen_.copy();
}

QByteArray CTerminalModel::DeviceInfoText() const
{
    const char *eol = config_.faults.crlf ? "\r\n" : "\n";
    QByteArray t;
    auto line = [&](const char *key, const QByteArray &value) {
        t += key;
        t += " = ";
        t += value;
        t += eol;
    };
    line("Version",
         QByteArray::number(config_.versionMajor) + '.' + QByteArray::number(config_.versionMinor));
    line("Resolution", QByteArray::number(config_.width) + 'x' + QByteArray::number(config_.height));
    line("MaxPictures", QByteArray::number(config_.slotCount));
    line("BitsPixel", QByteArray::number(config_.bpp));
    line("Baudrate", QByteArray::number(baud_));
    line("MaxBaud", QByteArray::number(config_.maxBaud));
    if (config_.delayMs >= 0)
        line("DelayTime", QByteArray::number(config_.delayMs));
    if (config_.hardFont >= 0)
        line("HardFont", QByteArray::number(config_.hardFont));
    return t;
}

FrameOutcome CTerminalModel::OnFrame(const Frame &f)
{
    pending_ = Pending(); // a new frame ends any block that never started
    const QByteArray &p = f.payload;
    FrameOutcome o;
    switch (f.code) {
    case 0x00:
        o = Handshake();
        break;
    case 0x01:
        o = SetBaud(p);
        break;
    case 0x02:
        o = Named("clear-screen", Tx(T_CMD_CLEAR));
        FillScreen(bg_);
        o.screenChanged = true;
        break;
    case 0x03:
        o = DeviceInfo();
        break;
    case 0x05:
        o = Named("set-colors", Tx(T_CMD_SET_COLORS));
        if (p.size() == 4) {
            fg_ = uint16_t(Be16(p, 0));
            bg_ = uint16_t(Be16(p, 2));
            o.label = Tx(T_CMD_SET_COLORS_TO)
                          .arg(fg_, 4, 16, QLatin1Char('0'))
                          .arg(bg_, 4, 16, QLatin1Char('0'))
                          .toUpper();
        }
        break;
    case 0x09:
        o = Named("backlight-off", Tx(T_CMD_BACKLIGHT_OFF));
        backlightOn_ = false;
        break;
    case 0x0A:
        o = Named("backlight-on", Tx(T_CMD_BACKLIGHT_ON));
        backlightOn_ = true;
        break;
    case 0x0B:
        o = Named("brightness", Tx(T_CMD_BRIGHTNESS));
        if (p.size() == 1) {
            brightness_ = uint8_t(p[0]);
            o.label = Tx(T_CMD_BRIGHTNESS_TO).arg(brightness_);
        }
        break;
    case 0x0C:
        o = SetMode(p);
        break;
    case 0x10:
    case 0x11:
    case 0x12:
    case 0x13:
    case 0x14:
    case 0x15:
        o = Text(f.code, p);
        break;
    case 0x16:
        if (config_.profile == Profile::Handshake3 && (PayloadIs(p, {0x12, 0x21}) || PayloadIs(p, {0x13})))
            o = FontDownload(f.code, p);
        else
            o = Text(f.code, p);
        break;
    case 0x1F:
        o = FontDownload(f.code, p);
        break;
    case 0x30:
        o = Named("show-picture", Tx(T_CMD_SHOW_PICTURE));
        if (p.size() == 1 && uint8_t(p[0]) < SlotCount()) {
            const int slot = uint8_t(p[0]);
            auto it = slots_.find(slot);
            if (it != slots_.end())
                screen_ = it->second.copy();
            else
                screen_.fill(Qt::black);
            o.label = Tx(T_CMD_SHOW_PICTURE_N).arg(slot);
            o.screenChanged = true;
        }
        break;
    case 0x31:
    case 0x35:
        o = PictureStart(f.code, p);
        break;
    case 0x32:
        o = Named("save-screen", Tx(T_CMD_SAVE_SCREEN));
        if (p.size() == 1 && uint8_t(p[0]) < SlotCount()) {
            const int slot = uint8_t(p[0]);
            StoreSlot(slot);
            o.slotChanged = slot;
            o.reply = p.left(1);
            o.replyKind = ReplyKind::Ack;
            o.label = Tx(T_CMD_SAVE_SCREEN_N).arg(slot);
        }
        break;
    case 0x50:
    case 0x52:
    case 0x53:
        o = Touch(f.code, p);
        break;
    default:
        o = Named("unknown", Tx(T_CMD_UNKNOWN).arg(f.code, 2, 16, QLatin1Char('0')).toUpper());
        break;
    }
    lastCommand_ = o.label;
    return o;
}

FrameOutcome CTerminalModel::Handshake()
{
    FrameOutcome o = Named("handshake", Tx(T_CMD_HANDSHAKE));
    const int code = BaudCodeForRate(baud_);
    if (config_.profile == Profile::Handshake3) {
        const int version = ((config_.versionMajor & 0x0F) << 4) | (config_.versionMinor & 0x0F);
        o.reply = Bytes({version, code, mode_ == 0 ? 0x00 : 0xFF});
    } else {
        o.reply = Bytes({0x0B, code});
    }
    o.replyKind = ReplyKind::Ident;
    return o;
}

FrameOutcome CTerminalModel::DeviceInfo()
{
    FrameOutcome o = Named("device-info", Tx(T_CMD_DEVICE_INFO));
    if (config_.profile != Profile::Info)
        return o;
    const QByteArray text = DeviceInfoText();
    const int length = text.size() + 3;
    QByteArray reply = Bytes({0xFA, (length >> 8) & 0xFF, length & 0xFF}) + text;
    if (config_.faults.shortInfo)
        reply.truncate(3 + text.size() / 2);
    o.reply = reply;
    o.replyKind = ReplyKind::Ident;
    return o;
}

FrameOutcome CTerminalModel::SetBaud(const QByteArray &p)
{
    FrameOutcome o = Named("set-baud", Tx(T_CMD_SET_BAUD));
    if (p.size() != 5 || !p.startsWith(Bytes({0x55, 0xAA, 0x5A, 0xA5})))
        return o;
    const int code = uint8_t(p[4]);
    const int rate = RateForBaudCode(code);
    if (rate <= 0 || rate > config_.maxBaud)
        return o;
    pendingBaud_ = rate;
    o.reply = p.mid(4, 1);
    o.replyKind = ReplyKind::Ack;
    o.label = Tx(T_CMD_SET_BAUD_TO).arg(rate);
    return o;
}

FrameOutcome CTerminalModel::SetMode(const QByteArray &p)
{
    FrameOutcome o = Named("set-mode", Tx(T_CMD_SET_MODE));
    if (config_.profile != Profile::Handshake3)
        return o;
    if (PayloadIs(p, {0x00, 0x05}))
        mode_ = 0;
    else if (PayloadIs(p, {0xFF, 0x12}))
        mode_ = 1;
    else
        return o;
    o.reply = p.left(1);
    o.replyKind = ReplyKind::Ack;
    o.label = Tx(T_CMD_SET_MODE_TO).arg(mode_);
    return o;
}

FrameOutcome CTerminalModel::Text(uint8_t code, const QByteArray &p)
{
    struct Cell {
        int w, h;
    };
    static const Cell kCells[] = {{6, 10}, {8, 16}, {16, 16}, {32, 32}, {24, 24}, {12, 24}, {16, 32}};
    const Cell cell = kCells[code - 0x10];
    FrameOutcome o = Named("text", Tx(T_CMD_TEXT).arg(cell.w).arg(cell.h));
    if (p.size() < 4)
        return o;
    const int x = uint8_t(p[0]) | (uint8_t(p[1]) << 8);
    const int y = uint8_t(p[2]) | (uint8_t(p[3]) << 8);
    QByteArray bytes = p.mid(4);
    const int end = bytes.indexOf('\0');
    if (end >= 0)
        bytes.truncate(end);
    DrawText(x, y, cell.w, cell.h, bytes);
    o.label = Tx(T_CMD_TEXT_AT).arg(cell.w).arg(cell.h).arg(x).arg(y).arg(DecodeGbk(bytes));
    o.screenChanged = true;
    return o;
}

void CTerminalModel::PaintCell(int x, int y, int w, int h, const QColor &color)
{
    const QRect cell = QRect(x, y, w, h).intersected(screen_.rect());
    for (int row = cell.top(); row <= cell.bottom(); ++row)
        for (int col = cell.left(); col <= cell.right(); ++col)
            screen_.setPixelColor(col, row, color);
}

void CTerminalModel::DrawStandInCell(int x, int y, int w, int h, const QString &ch)
{
    // The stand-in renders the character onto a transparent mask and sets the
    // foreground wherever the mask is more than half covered: a terminal's
    // glyphs are one-bit.
    if (ch.isEmpty())
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
    const QColor fg = ColorFrom565(fg_);
    for (int my = 0; my < h; ++my) {
        const auto *line = reinterpret_cast<const QRgb *>(mask.constScanLine(my));
        for (int mx = 0; mx < w; ++mx)
            if (qAlpha(line[mx]) >= 128 && screen_.rect().contains(x + mx, y + my))
                screen_.setPixelColor(x + mx, y + my, fg);
    }
}

void CTerminalModel::DrawText(int x, int y, int cellW, int cellH, const QByteArray &bytes)
{
    // The terminal has no fonts of its own: it draws with the library
    // downloaded for the size. One of at least 94 x 94 glyphs is GB2312 in
    // row-cell order, a smaller one holds single-byte codes from 0x20. Square
    // sizes name a full-width (two-byte) cell, narrow sizes a half-width one.
    const auto found = fonts_.find(QStringLiteral("%1x%2").arg(cellW).arg(cellH));
    const FontLibrary *library = found == fonts_.end() ? nullptr : &found->second;
    const int rowBytes = (cellW + 7) / 8;
    const long long glyphBytes = (long long)rowBytes * cellH;
    const long long glyphCount = library ? library->data.size() / glyphBytes : 0;
    const bool gb2312 = glyphCount >= 94 * 94;
    const bool square = cellW == cellH;
    const QColor fg = ColorFrom565(fg_);
    const QColor bg = ColorFrom565(bg_);
    int penX = x;
    for (int i = 0; i < bytes.size() && penX < screen_.width();) {
        const int lead = uint8_t(bytes[i]);
        const bool wide = lead >= 0x81 && lead <= 0xFE && i + 1 < bytes.size();
        const int w = wide ? (square ? cellW : cellW * 2) : (square ? cellW / 2 : cellW);
        long long glyph = -1;
        if (wide) {
            const int trail = uint8_t(bytes[i + 1]);
            if (gb2312 && lead >= 0xA1 && trail >= 0xA1 && trail <= 0xFE)
                glyph = (long long)(lead - 0xA1) * 94 + (trail - 0xA1);
        } else if (library && !gb2312 && lead >= 0x20) {
            glyph = lead - 0x20;
        }
        // The whole cell takes the background first, so a new value written
        // over an old one leaves nothing of it.
        PaintCell(penX, y, w, cellH, bg);
        if (glyph >= 0 && glyph < glyphCount) {
            const auto *bits = reinterpret_cast<const uint8_t *>(library->data.constData()) + glyph * glyphBytes;
            const int columns = std::min(w, cellW);
            for (int row = 0; row < cellH; ++row)
                for (int col = 0; col < columns; ++col)
                    if ((bits[row * rowBytes + col / 8] & (0x80 >> (col % 8))) &&
                        screen_.rect().contains(penX + col, y + row))
                        screen_.setPixelColor(penX + col, y + row, fg);
        } else {
            DrawStandInCell(penX, y, w, cellH, DecodeGbk(bytes.mid(i, wide ? 2 : 1)));
        }
        penX += w;
        i += wide ? 2 : 1;
    }
}

FrameOutcome CTerminalModel::FontDownload(uint8_t code, const QByteArray &p)
{
    FrameOutcome o = Named("font-download", Tx(T_CMD_FONT));
    QString size;
    if (code == 0x16) {
        if (PayloadIs(p, {0x12, 0x21}))
            size = QStringLiteral("16x16");
        else if (PayloadIs(p, {0x13}) && mode_ == 0)
            size = QStringLiteral("32x32");
    } else if (PayloadIs(p, {0x12, 0x16, 0x61}))
        size = QStringLiteral("16x16");
    else if (PayloadIs(p, {0x14, 0x24, 0x42}))
        size = QStringLiteral("24x24");
    else if (PayloadIs(p, {0x13, 0x32, 0x23}))
        size = QStringLiteral("32x32");
    else if (PayloadIs(p, {0x15, 0x12, 0x24}))
        size = QStringLiteral("12x24");
    else if (PayloadIs(p, {0x16, 0x16, 0x32}))
        size = QStringLiteral("16x32");
    if (size.isEmpty())
        return o;
    pending_.kind = BlockKind::Font;
    pending_.code = code;
    pending_.fontName = size;
    pending_.fontWidth = size.section(QLatin1Char('x'), 0, 0).toInt();
    pending_.fontHeight = size.section(QLatin1Char('x'), 1, 1).toInt();
    o.label = Tx(T_CMD_FONT_SIZE).arg(size);
    o.reply = Bytes({0xFC});
    o.replyKind = ReplyKind::Ack;
    o.block = BlockKind::Font;
    return o;
}

FrameOutcome CTerminalModel::PictureStart(uint8_t code, const QByteArray &p)
{
    const int bytesPerPixel = config_.bpp / 8;
    if (code == 0x35) {
        FrameOutcome o = Named("picture-to-screen", Tx(T_CMD_PICTURE_TO_SCREEN));
        pending_.width = config_.width;
        pending_.height = config_.height;
        pending_.slot = -1;
        pending_.kind = BlockKind::Picture;
        pending_.code = code;
        o.reply = Bytes({0xFC});
        o.replyKind = ReplyKind::Ack;
        o.block = BlockKind::Picture;
        o.blockSize = (long long)config_.width * config_.height * bytesPerPixel;
        return o;
    }
    FrameOutcome o = Named("send-store", Tx(T_CMD_SEND_STORE));
    if (p.size() != 6)
        return o;
    const int slot = Be16(p, 0), w = Be16(p, 2), h = Be16(p, 4);
    if (slot >= SlotCount() || w < 1 || h < 1 || w > config_.width || h > config_.height)
        return o;
    pending_.kind = BlockKind::Picture;
    pending_.code = code;
    pending_.slot = slot;
    pending_.width = w;
    pending_.height = h;
    o.label = Tx(T_CMD_SEND_STORE_N).arg(slot);
    o.reply = Bytes({0xFC});
    o.replyKind = ReplyKind::Ack;
    o.block = BlockKind::Picture;
    o.blockSize = (long long)w * h * bytesPerPixel;
    return o;
}

void CTerminalModel::DrawPicture(const QByteArray &data, int width, int height)
{
    const auto *src = reinterpret_cast<const uint8_t *>(data.constData());
    for (int row = 0; row < height; ++row) {
        uchar *line = screen_.scanLine(row);
        if (config_.bpp == 16) {
            auto *out = reinterpret_cast<uint16_t *>(line);
            for (int x = 0; x < width; ++x, src += 2)
                out[x] = uint16_t((src[0] << 8) | src[1]);
        } else {
            for (int x = 0; x < width; ++x, src += 3) {
                line[x * 3 + 0] = src[2];
                line[x * 3 + 1] = src[1];
                line[x * 3 + 2] = src[0];
            }
        }
    }
}

BlockOutcome CTerminalModel::OnBlock(const QByteArray &data)
{
    BlockOutcome o;
    const Pending done = pending_;
    pending_ = Pending();
    if (done.kind == BlockKind::Font) {
        o.name = QStringLiteral("font");
        note_ = Tx(T_FONT_DOWNLOADED).arg(done.fontName).arg(data.size());
        fonts_[done.fontName] = FontLibrary{done.fontWidth, done.fontHeight, data};
        lastCommand_ = Tx(T_FONT_RECEIVED).arg(done.fontName);
        o.reply = Bytes({0xFE});
        return o;
    }
    if (done.kind != BlockKind::Picture)
        return o;
    o.name = QStringLiteral("picture");
    const long long need = (long long)done.width * done.height * (config_.bpp / 8);
    if (data.size() < need)
        return o;
    DrawPicture(data, done.width, done.height);
    o.screenChanged = true;
    if (done.code == 0x31) {
        StoreSlot(done.slot);
        o.slotChanged = done.slot;
        o.reply = Bytes({done.slot & 0xFF});
        lastCommand_ = Tx(T_PICTURE_STORED).arg(done.slot);
    } else {
        o.reply = Bytes({0xFE});
        lastCommand_ = Tx(T_PICTURE_SHOWN);
    }
    return o;
}

FrameOutcome CTerminalModel::Touch(uint8_t code, const QByteArray &p)
{
    const QByteArray magic = Bytes({0x55, 0xAA, 0x5A, 0xA5});
    FrameOutcome o;
    if (code == 0x52) {
        o = Named("touch-stop", Tx(T_CMD_TOUCH_STOP));
        if (p != Bytes({0x00}))
            return o;
        if (touchActive_) {
            screen_ = beforeTouch_;
            beforeTouch_ = QImage();
            touchActive_ = false;
            o.screenChanged = true;
        }
        note_.clear();
        return o;
    }
    const bool calibrate = code == 0x50;
    o = calibrate ? Named("touch-calibrate", Tx(T_CMD_TOUCH_CALIBRATE))
                  : Named("touch-experience", Tx(T_CMD_TOUCH_EXPERIENCE));
    if (p != magic)
        return o;
    if (!touchActive_) {
        beforeTouch_ = screen_.copy();
        touchActive_ = true;
    } else {
        screen_ = beforeTouch_.copy();
    }
    if (calibrate) {
        QPainter painter(&screen_);
        painter.setPen(ColorFrom565(fg_));
        painter.drawLine(10, 20, 30, 20);
        painter.drawLine(20, 10, 20, 30);
    }
    // The terminal's own screen text: it does not follow the PC's language.
    DrawText(40, 12, 16, 16, EncodeGbk(calibrate ? QStringLiteral("触摸校准：请点击十字") : QStringLiteral("触摸体验")));
    note_ = o.label;
    o.screenChanged = true;
    return o;
}

} // namespace qelsim
