#include "link/protocol_decoder.h"

#include <QByteArray>
#include <QStringList>
#include <algorithm>
#include <array>

#include "link/baud_table.h"
#include "link/wire_text.h"
#include "res/string_ids.h"
#include "res/strings.h"

namespace {

// The decoder's texts, loaded once per language: the string table is
// searched linearly, which is too slow for every logged frame.
using DecTexts = std::array<QString, IDS_DEC_LAST - IDS_DEC_HANDSHAKE + 1>;

DecTexts LoadDecTexts(StrLang lang)
{
    DecTexts t;
    for (size_t i = 0; i < t.size(); ++i)
        t[i] = LoadStrIn(lang, IDS_DEC_HANDSHAKE + static_cast<int>(i));
    return t;
}

const QString &Tr(int id)
{
    static const DecTexts chinese = LoadDecTexts(StrLang::Chinese);
    static const DecTexts english = LoadDecTexts(StrLang::English);
    static const QString none;
    const DecTexts &texts = CurrentStrLang() == StrLang::English ? english : chinese;
    return id >= IDS_DEC_HANDSHAKE && id <= IDS_DEC_LAST ? texts[static_cast<size_t>(id - IDS_DEC_HANDSHAKE)] : none;
}

enum class EField : uint8_t { None, Slot8, SlotLow8, Slot16, Position, Size, Color, Baud, Mode, Param, Level, Text };
enum class EReply : uint8_t { None, Echo, ReadyDone, ReadyEcho, Handshake, DeviceInfo };

struct CFieldRule {
    EField kind;
    uint8_t offset;  // in the payload
    int label;
};

constexpr uint8_t kMagic[] = {0x55, 0xAA, 0x5A, 0xA5};
constexpr uint8_t kZero[] = {0x00, 0x00};
constexpr uint8_t kFontOld16[] = {0x12, 0x21};
constexpr uint8_t kFontOld32[] = {0x13};
constexpr uint8_t kFont16x16[] = {0x12, 0x16, 0x61};
constexpr uint8_t kFont24x24[] = {0x14, 0x24, 0x42};
constexpr uint8_t kFont32x32[] = {0x13, 0x32, 0x23};
constexpr uint8_t kFont12x24[] = {0x15, 0x12, 0x24};
constexpr uint8_t kFont16x32[] = {0x16, 0x16, 0x32};

constexpr uint8_t kReady = 0xFC;
constexpr uint8_t kDone = 0xFE;

// Upper-case hexadecimal digits of value, at least width of them.
QString HexDigits(unsigned value, int width)
{
    static const char kDigits[] = "0123456789ABCDEF";
    QString s;
    for (int shift = 4 * (width - 1); shift >= 0; shift -= 4)
        s += QLatin1Char(kDigits[(value >> shift) & 0xF]);
    return s;
}

QString Hex2(unsigned value)
{
    return QStringLiteral("0x") + HexDigits(value, 2);
}

QString SizeText(int w, int h)
{
    return QString::number(w) + QChar(0x00D7) + QString::number(h);
}

QString Labelled(int label, const QString &value)
{
    return Tr(label) + QLatin1Char(' ') + value;
}

QString BaudText(uint8_t code)
{
    const int rate = BaudCodeToRate(code);
    return Labelled(IDS_DEC_BAUD, rate > 0 ? QString::number(rate) : Tr(IDS_DEC_UNKNOWN_VALUE) + QLatin1Char(' ') + Hex2(code));
}

QString ModeText(uint8_t mode)
{
    if (mode == 0x00 || mode == 0xFF)
        return Labelled(IDS_DEC_MODE, mode == 0x00 ? QStringLiteral("0") : QStringLiteral("1"));
    return Labelled(IDS_DEC_MODE, Tr(IDS_DEC_UNKNOWN_VALUE) + QLatin1Char(' ') + Hex2(mode));
}

// Text on the wire up to its terminating zero, control characters shown as
// their pictures so that a log line stays one line; long texts are cut.
QString WireTextField(const uint8_t *p, int n)
{
    int end = 0;
    while (end < n && p[end] != 0)
        ++end;
    QString text = WireToText(QByteArray::fromRawData(reinterpret_cast<const char *>(p), end));
    constexpr int kShown = 48;
    const bool cut = text.size() > kShown;
    if (cut)
        text.truncate(kShown);
    for (QChar &c : text) {
        if (c.unicode() < 0x20)
            c = QChar(0x2400 + c.unicode());
        else if (c.unicode() == 0x7F)
            c = QChar(0x2421);
    }
    QString out = QChar(0x201C) + text + (cut ? QString(QChar(0x2026)) : QString()) + QChar(0x201D);
    if (end == n)
        out += Tr(IDS_DEC_PARENS).arg(Tr(IDS_DEC_NO_TERMINATOR));
    return out;
}

uint16_t Be16(const uint8_t *p)
{
    return static_cast<uint16_t>(p[0] << 8 | p[1]);
}

uint16_t Le16(const uint8_t *p)
{
    return static_cast<uint16_t>(p[1] << 8 | p[0]);
}

// One formatter per field kind. p points at the field, n bytes remain.
QString FormatField(EField kind, int label, const uint8_t *p, int n, CDescription *d)
{
    switch (kind) {
    case EField::Slot8:
    case EField::SlotLow8:
        return Labelled(label, QString::number(p[0]));
    case EField::Slot16:
        return Labelled(label, QString::number(Be16(p)));
    case EField::Position:
        return Labelled(label, QStringLiteral("(%1, %2)").arg(Le16(p)).arg(Le16(p + 2)));
    case EField::Size:
        return Labelled(label, SizeText(Be16(p), Be16(p + 2)));
    case EField::Color: {
        const uint16_t v = Be16(p);
        const uint32_t rgb = Rgb565ToRgb(v);
        if (d->colorCount < 2)
            d->colors[d->colorCount++] = rgb;
        return Labelled(label, QLatin1Char('#') + HexDigits(rgb, 6) + QStringLiteral(" (") + HexDigits(v, 4) +
                                   QLatin1Char(')'));
    }
    case EField::Baud:
        return BaudText(p[0]);
    case EField::Mode:
        return ModeText(p[0]);
    case EField::Param:
        return Labelled(label, Hex2(p[0]));
    case EField::Level:
        return Labelled(label, QString::number(p[0]));
    case EField::Text:
        return WireTextField(p, n);
    case EField::None:
        break;
    }
    return QString();
}

} // namespace

struct CProtocolDecoder::Row {
    uint8_t code;
    int name;
    uint8_t fontW, fontH;  // glyph size of text and font rows
    uint16_t minPayload, maxPayload;
    const uint8_t *match;  // the payload begins with these bytes
    uint8_t matchLength;
    EReply reply;
    uint8_t echoOffset;  // payload byte echoed by the terminal
    EField echoKind;
    CFieldRule fields[2];
};

namespace {

using Row = CProtocolDecoder::Row;

constexpr CFieldRule kNoFields[2] = {{EField::None, 0, 0}, {EField::None, 0, 0}};

constexpr Row TextRow(uint8_t code, uint8_t w, uint8_t h)
{
    return {code, IDS_DEC_SHOW_TEXT, w, h, 4, 1992, nullptr, 0, EReply::None, 0, EField::None,
            {{EField::Position, 0, IDS_DEC_POSITION}, {EField::Text, 4, 0}}};
}

constexpr Row FontRow(uint8_t w, uint8_t h, const uint8_t *payload)
{
    return {0x1F, IDS_DEC_FONT, w, h, 3, 3, payload, 3, EReply::ReadyDone, 0, EField::None, {kNoFields[0], kNoFields[1]}};
}

const Row kRows[] = {
    {0x00, IDS_DEC_HANDSHAKE, 0, 0, 0, 0, nullptr, 0, EReply::Handshake, 0, EField::None, {kNoFields[0], kNoFields[1]}},
    {0x01, IDS_DEC_SET_BAUD, 0, 0, 5, 5, kMagic, 4, EReply::Echo, 4, EField::Baud,
     {{EField::Baud, 4, IDS_DEC_BAUD}, kNoFields[1]}},
    {0x02, IDS_DEC_CLEAR, 0, 0, 0, 0, nullptr, 0, EReply::None, 0, EField::None, {kNoFields[0], kNoFields[1]}},
    {0x03, IDS_DEC_QUERY_INFO, 0, 0, 2, 2, kZero, 2, EReply::DeviceInfo, 0, EField::None,
     {kNoFields[0], kNoFields[1]}},
    {0x05, IDS_DEC_SET_COLORS, 0, 0, 4, 4, nullptr, 0, EReply::None, 0, EField::None,
     {{EField::Color, 0, IDS_DEC_FOREGROUND}, {EField::Color, 2, IDS_DEC_BACKGROUND}}},
    {0x09, IDS_DEC_BACKLIGHT_OFF, 0, 0, 0, 0, nullptr, 0, EReply::None, 0, EField::None,
     {kNoFields[0], kNoFields[1]}},
    {0x0A, IDS_DEC_BACKLIGHT_ON, 0, 0, 0, 0, nullptr, 0, EReply::None, 0, EField::None,
     {kNoFields[0], kNoFields[1]}},
    {0x0B, IDS_DEC_BRIGHTNESS, 0, 0, 1, 1, nullptr, 0, EReply::None, 0, EField::None,
     {{EField::Level, 0, IDS_DEC_LEVEL}, kNoFields[1]}},
    {0x0C, IDS_DEC_SET_MODE, 0, 0, 2, 2, nullptr, 0, EReply::Echo, 0, EField::Mode,
     {{EField::Mode, 0, IDS_DEC_MODE}, {EField::Param, 1, IDS_DEC_PARAM}}},
    TextRow(0x10, 6, 10),
    TextRow(0x11, 8, 16),
    TextRow(0x12, 16, 16),
    TextRow(0x13, 32, 32),
    TextRow(0x14, 24, 24),
    TextRow(0x15, 12, 24),
    TextRow(0x16, 16, 32),
    // 0x16 also downloads a font on terminals of the older protocol: the
    // payload tells the two apart (a text always carries its position).
    {0x16, IDS_DEC_FONT_OLD, 16, 16, 2, 2, kFontOld16, 2, EReply::ReadyDone, 0, EField::None,
     {kNoFields[0], kNoFields[1]}},
    {0x16, IDS_DEC_FONT_OLD, 32, 32, 1, 1, kFontOld32, 1, EReply::ReadyDone, 0, EField::None,
     {kNoFields[0], kNoFields[1]}},
    FontRow(16, 16, kFont16x16),
    FontRow(24, 24, kFont24x24),
    FontRow(32, 32, kFont32x32),
    FontRow(12, 24, kFont12x24),
    FontRow(16, 32, kFont16x32),
    {0x30, IDS_DEC_SHOW_PICTURE, 0, 0, 1, 1, nullptr, 0, EReply::None, 0, EField::None,
     {{EField::Slot8, 0, IDS_DEC_SLOT}, kNoFields[1]}},
    {0x31, IDS_DEC_SEND_SAVE_PICTURE, 0, 0, 6, 6, nullptr, 0, EReply::ReadyEcho, 1, EField::SlotLow8,
     {{EField::Slot16, 0, IDS_DEC_SLOT}, {EField::Size, 2, IDS_DEC_SIZE}}},
    {0x32, IDS_DEC_SAVE_SCREEN, 0, 0, 1, 1, nullptr, 0, EReply::Echo, 0, EField::Slot8,
     {{EField::Slot8, 0, IDS_DEC_SLOT}, kNoFields[1]}},
    {0x35, IDS_DEC_SEND_PICTURE, 0, 0, 0, 0, nullptr, 0, EReply::ReadyDone, 0, EField::None,
     {kNoFields[0], kNoFields[1]}},
    {0x50, IDS_DEC_TOUCH_CALIBRATE, 0, 0, 4, 4, kMagic, 4, EReply::None, 0, EField::None,
     {kNoFields[0], kNoFields[1]}},
    {0x52, IDS_DEC_TOUCH_STOP, 0, 0, 1, 1, kZero, 1, EReply::None, 0, EField::None, {kNoFields[0], kNoFields[1]}},
    {0x53, IDS_DEC_TOUCH_EXPERIENCE, 0, 0, 4, 4, kMagic, 4, EReply::None, 0, EField::None,
     {kNoFields[0], kNoFields[1]}},
};

constexpr int kRowCount = static_cast<int>(sizeof(kRows) / sizeof(kRows[0]));

bool Fits(const Row &row, const uint8_t *payload, int n)
{
    if (n < row.minPayload || n > row.maxPayload)
        return false;
    for (int i = 0; i < row.matchLength; ++i)
        if (payload[i] != row.match[i])
            return false;
    return true;
}

QString Parenthesised(const QString &inner)
{
    return Tr(IDS_DEC_PARENS).arg(inner);
}

QString ByteCount(int n)
{
    return n == 1 ? Tr(IDS_DEC_ONE_BYTE) : QString::number(n) + QLatin1Char(' ') + Tr(IDS_DEC_BYTES);
}

CDescription Malformed(const QString &reason)
{
    CDescription d;
    d.text = Tr(IDS_DEC_MALFORMED) + Tr(IDS_DEC_COLON) + reason;
    d.malformed = true;
    return d;
}

CDescription Unexpected(const uint8_t *bytes, int count, int expected)
{
    CDescription d;
    d.malformed = true;
    d.text = Tr(IDS_DEC_UNEXPECTED) + QLatin1Char(' ') + (count == 1 ? Hex2(bytes[0]) : ByteCount(count));
    if (expected >= 0)
        d.text += Tr(IDS_DEC_COMMA) + Tr(IDS_DEC_EXPECTED) + QLatin1Char(' ') + Hex2(static_cast<unsigned>(expected));
    else
        d.text += Parenthesised(Tr(IDS_DEC_NO_COMMAND));
    return d;
}

CDescription Plain(int id)
{
    CDescription d;
    d.text = Tr(id);
    return d;
}

CDescription HandshakeReply(const uint8_t *b, int count)
{
    CDescription d;
    if (count != 2 && count != 3) {
        d.malformed = true;
        d.text = Tr(IDS_DEC_INCOMPLETE_OF).arg(Tr(IDS_DEC_HANDSHAKE_REPLY)) + Tr(IDS_DEC_COLON) + ByteCount(count);
        return d;
    }
    d.text = Tr(IDS_DEC_HANDSHAKE_REPLY) + Tr(IDS_DEC_COLON) + Labelled(IDS_DEC_VERSION, Hex2(b[0])) +
             Tr(IDS_DEC_COMMA) + BaudText(b[1]) + Tr(IDS_DEC_COMMA);
    // Any nonzero mode byte means mode 1 here, as the terminal object reads it.
    d.text += count == 3 ? Labelled(IDS_DEC_MODE, b[2] == 0x00 ? QStringLiteral("0") : QStringLiteral("1"))
                         : Tr(IDS_DEC_NO_MODES);
    return d;
}

// The 5-byte record the terminal object logs after a device-info query
// (major and minor version, low byte first, and the baud code), or the long
// reply itself (0xFA, length, text of key = value lines).
CDescription DeviceInfoReply(const uint8_t *b, int count)
{
    CDescription d;
    if (count == 5) {
        d.text = Tr(IDS_DEC_INFO_SUMMARY) + Tr(IDS_DEC_COLON) +
                 Labelled(IDS_DEC_VERSION, QStringLiteral("%1.%2").arg(b[0] | b[1] << 8).arg(b[2] | b[3] << 8)) +
                 Tr(IDS_DEC_COMMA) + BaudText(b[4]);
        return d;
    }
    if (count >= 4 && b[0] == 0xFA && (b[1] << 8 | b[2]) == count) {
        const QString text = WireToText(QByteArray(reinterpret_cast<const char *>(b + 3), count - 3));
        QStringList pairs;
        for (const QString &line : text.split(QLatin1Char('\n'))) {
            const int eq = line.indexOf(QLatin1Char('='));
            if (eq > 0)
                pairs << line.left(eq).trimmed() + QLatin1Char('=') + line.mid(eq + 1).trimmed();
        }
        d.text = Tr(IDS_DEC_INFO_TEXT) + Tr(IDS_DEC_COLON) +
                 (pairs.isEmpty() ? ByteCount(count - 3) : pairs.join(Tr(IDS_DEC_COMMA)));
        return d;
    }
    d.malformed = true;
    d.text = Tr(IDS_DEC_INCOMPLETE_OF).arg(Tr(IDS_DEC_INFO_TEXT)) + Tr(IDS_DEC_COLON) + ByteCount(count);
    return d;
}

} // namespace

uint32_t Rgb565ToRgb(uint16_t value)
{
    const uint32_t r5 = value >> 11, g6 = (value >> 5) & 0x3F, b5 = value & 0x1F;
    const uint32_t r = r5 << 3 | r5 >> 2, g = g6 << 2 | g6 >> 4, b = b5 << 3 | b5 >> 2;
    return r << 16 | g << 8 | b;
}

CProtocolDecoder::CProtocolDecoder() = default;

void CProtocolDecoder::Reset()
{
    m_row = nullptr;
    m_replies = 0;
}

int CProtocolDecoder::CommandRowCount()
{
    return kRowCount;
}

int CProtocolDecoder::CommandRowCode(int row)
{
    return row >= 0 && row < kRowCount ? kRows[row].code : -1;
}

CDescription CProtocolDecoder::DescribeSent(const uint8_t *bytes, int count)
{
    m_row = nullptr;
    m_replies = 0;
    if (!bytes || count <= 0)
        return CDescription();
    if (count < 8)
        return Malformed(Tr(IDS_DEC_INCOMPLETE) + Parenthesised(ByteCount(count)));
    if (bytes[0] != 0xFD)
        return Malformed(Tr(IDS_DEC_BAD_START));
    const int length = Be16(bytes + 2);
    const int n = count - 8;
    if (length != n)
        return Malformed(Tr(IDS_DEC_BAD_LENGTH) +
                         Parenthesised(QString::number(length) + QStringLiteral(" / ") + ByteCount(n)));
    const uint8_t *trailer = bytes + 4 + n;
    if (trailer[0] != 0xDD || trailer[1] != 0xCC || trailer[2] != 0xBB || trailer[3] != 0xAA)
        return Malformed(Tr(IDS_DEC_BAD_TRAILER));

    const uint8_t code = bytes[1];
    const uint8_t *payload = bytes + 4;
    const Row *row = nullptr;
    bool known = false;
    for (const Row &r : kRows) {
        if (r.code != code)
            continue;
        known = true;
        if (Fits(r, payload, n)) {
            row = &r;
            break;
        }
    }
    if (!row) {
        if (known)
            return Malformed(Tr(IDS_DEC_BAD_PAYLOAD) +
                             Parenthesised(Hex2(code) + Tr(IDS_DEC_COMMA) + Labelled(IDS_DEC_PAYLOAD, ByteCount(n))));
        CDescription d;
        d.malformed = true;
        d.text = Tr(IDS_DEC_UNKNOWN_COMMAND) + QLatin1Char(' ') + Hex2(code) + Tr(IDS_DEC_COMMA) +
                 Labelled(IDS_DEC_PAYLOAD, ByteCount(n));
        return d;
    }

    CDescription d;
    d.text = Tr(row->name);
    if (row->fontW)
        d.text += QLatin1Char(' ') + SizeText(row->fontW, row->fontH);
    bool first = true;
    for (const CFieldRule &f : row->fields) {
        if (f.kind == EField::None)
            continue;
        d.text += Tr(first ? IDS_DEC_COLON : IDS_DEC_COMMA);
        d.text += FormatField(f.kind, f.label, payload + f.offset, n - f.offset, &d);
        first = false;
    }
    m_row = row;
    const int keep = std::min<int>(n, static_cast<int>(sizeof m_payload));
    std::copy(payload, payload + keep, m_payload);
    return d;
}

CDescription CProtocolDecoder::DescribeReceived(const uint8_t *bytes, int count)
{
    if (!bytes || count <= 0)
        return CDescription();
    const int stage = m_replies++;
    if (!m_row)
        return Unexpected(bytes, count, -1);
    const Row &row = *m_row;
    const bool single = count == 1;
    switch (row.reply) {
    case EReply::Handshake:
        if (stage == 0)
            return HandshakeReply(bytes, count);
        break;
    case EReply::DeviceInfo:
        if (stage == 0)
            return DeviceInfoReply(bytes, count);
        break;
    case EReply::ReadyDone:
    case EReply::ReadyEcho:
        if (stage == 0)
            return single && bytes[0] == kReady ? Plain(IDS_DEC_READY) : Unexpected(bytes, count, kReady);
        if (stage == 1 && row.reply == EReply::ReadyDone)
            return single && bytes[0] == kDone ? Plain(IDS_DEC_RECEIVED) : Unexpected(bytes, count, kDone);
        if (stage != 1)
            break;
        [[fallthrough]];
    case EReply::Echo: {
        if (stage > 1 || (row.reply == EReply::Echo && stage != 0))
            break;
        const uint8_t expected = m_payload[row.echoOffset];
        if (!single || bytes[0] != expected)
            return Unexpected(bytes, count, expected);
        CDescription d;
        d.text = Tr(IDS_DEC_ECHO) + QLatin1Char(' ') +
                 FormatField(row.echoKind, row.echoKind == EField::SlotLow8 ? int(IDS_DEC_SLOT_LOW) : int(IDS_DEC_SLOT),
                             bytes, 1, &d);
        return d;
    }
    case EReply::None:
        break;
    }
    return Unexpected(bytes, count, -1);
}
