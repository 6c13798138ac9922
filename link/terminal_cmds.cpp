// The terminal command set.
#include <QByteArray>
#include <QElapsedTimer>
#include <algorithm>
#include <cstring>

#include "link/baud_table.h"
#include "link/terminal.h"
#include "link/wire_text.h"
#include "res/strings.h"

bool CMyTerminal::CmdClearScreen()
{
    return SendCommand(0x02, nullptr, 0);
}

bool CMyTerminal::CmdBacklightOff()
{
    return SendCommand(0x09, nullptr, 0);
}

bool CMyTerminal::CmdBacklightOn()
{
    return SendCommand(0x0A, nullptr, 0);
}

bool CMyTerminal::CmdSetBrightness(int level)
{
    const uint8_t payload[1] = {static_cast<uint8_t>(level & 0xFF)};
    return SendCommand(0x0B, payload, 1);
}

uint16_t CMyTerminal::ToRgb565(uint32_t colorBgr)
{
    const uint32_t r = colorBgr & 0xFF;
    const uint32_t g = (colorBgr >> 8) & 0xFF;
    const uint32_t b = (colorBgr >> 16) & 0xFF;
    return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

bool CMyTerminal::CmdSetColors(uint32_t foreground, uint32_t background)
{
    const uint16_t fg = ToRgb565(foreground);
    const uint16_t bg = ToRgb565(background);
    const uint8_t payload[4] = {static_cast<uint8_t>(fg >> 8), static_cast<uint8_t>(fg & 0xFF),
                                static_cast<uint8_t>(bg >> 8), static_cast<uint8_t>(bg & 0xFF)};
    return SendCommand(0x05, payload, 4);
}

int CMyTerminal::TextFontCode(int fontWidth, int fontHeight)
{
    static const struct {
        int w, h, code;
    } kFonts[] = {{6, 10, 0x10}, {8, 16, 0x11}, {16, 16, 0x12}, {32, 32, 0x13},
                  {24, 24, 0x14}, {12, 24, 0x15}, {16, 32, 0x16}};
    for (const auto &f : kFonts)
        if (f.w == fontWidth && f.h == fontHeight)
            return f.code;
    return 0;
}

bool CMyTerminal::CmdShowText(int x, int y, int fontWidth, int fontHeight, const QString &text)
{
    const int code = TextFontCode(fontWidth, fontHeight);
    if (!code || text.isNull())
        return false;
    // Longer text cannot be mapped; it is refused instead of sending a frame
    // that carries only the position.
    if (text.size() > MAX_TEXT_CHARS)
        return false;
    const QString half = ToHalfWidth(text);
    bool ok = false;
    QByteArray bytes = TextToWire(half, &ok);
    if (!ok)
        return false;
    // The payload holds the position, the text and its terminator. Text that
    // does not fit is cut between characters, never inside one.
    const int maxText = MAX_PAYLOAD - 4 - 1;
    if (bytes.size() > maxText) {
        QByteArray cut;
        for (int i = 0; i < half.size();) {
            const int len = (half[i].isHighSurrogate() && i + 1 < half.size()) ? 2 : 1;
            const QByteArray ch = TextToWire(half.mid(i, len));
            if (cut.size() + ch.size() > maxText)
                break;
            cut += ch;
            i += len;
        }
        bytes = cut;
    }
    uint8_t *p = Payload();
    p[0] = static_cast<uint8_t>(x & 0xFF);
    p[1] = static_cast<uint8_t>((x >> 8) & 0xFF);
    p[2] = static_cast<uint8_t>(y & 0xFF);
    p[3] = static_cast<uint8_t>((y >> 8) & 0xFF);
    std::copy(bytes.cbegin(), bytes.cend(), p + 4);
    p[4 + bytes.size()] = 0;
    commandCode = static_cast<uint16_t>(code);
    payloadLength = static_cast<uint16_t>(4 + bytes.size() + 1);
    return SendFrame();
}

bool CMyTerminal::CmdSetMode(int mode)
{
    if (!IsModeCapable())
        return false;
    uint8_t payload[2];
    if (mode == 0) {
        if (m_info.ModeByte() == 0x00)
            return true;
        payload[0] = 0x00;
        payload[1] = 0x05;
    } else if (mode == 1) {
        if (m_info.ModeByte() == 0xFF)
            return true;
        payload[0] = 0xFF;
        payload[1] = 0x12;
    } else {
        return false;
    }
    if (!SendCommand(0x0C, payload, 2) || !ExpectAck(payload[0]))
        return false;
    return Identify();
}

bool CMyTerminal::CmdSetTerminalBaud(int rate)
{
    if (rate <= 0 || rate > m_info.maxBaud || !IsTableBaud(rate))
        return false;
    if (rate == m_info.baud)
        return true;
    const uint8_t code = BaudRateToCode(rate);
    const uint8_t payload[5] = {0x55, 0xAA, 0x5A, 0xA5, code};
    return SendCommand(0x01, payload, 5) && ExpectAck(code);
}

bool CMyTerminal::CheckWireSlot(int slot)
{
    if (slot <= MAX_WIRE_SLOT)
        return true;
    if (m_status)
        m_status->ShowStatusMessage(STATUS_FAILURE, FormatStr(IDS_SLOT_BEYOND_BYTE, slot));
    return false;
}

bool CMyTerminal::CmdSaveScreen(int slot)
{
    if (slot < 0 || slot > m_info.maxPictures - 1 || !CheckWireSlot(slot))
        return false;
    const uint8_t payload[1] = {static_cast<uint8_t>(slot & 0xFF)};
    return SendCommand(0x32, payload, 1) && ExpectAck(payload[0]);
}

bool CMyTerminal::CmdShowPicture(int slot)
{
    if (slot < 0 || slot > m_info.maxPictures - 1 || !CheckWireSlot(slot))
        return false;
    const uint8_t payload[1] = {static_cast<uint8_t>(slot & 0xFF)};
    return SendCommand(0x30, payload, 1);
}

void CMyTerminal::SwapPixelBytes(uint8_t *data, int size)
{
    // Word-wise so that the compiler can vectorise it; a trailing odd byte stays.
    for (int i = 0; i + 1 < size; i += 2) {
        uint16_t v;
        std::memcpy(&v, data + i, 2);
        v = static_cast<uint16_t>((v >> 8) | (v << 8));
        std::memcpy(data + i, &v, 2);
    }
}

int CMyTerminal::BulkSend(const uint8_t *data, int total, int target)
{
    CBulkWorker worker(Link(), data, total);
    CBulkHostPlain plain;
    CBulkHost *host = m_bulkHost ? m_bulkHost : &plain;
    QElapsedTimer clock;
    clock.start();
    const int result = host->RunBulk(worker, target);
    // The block's bytes are not logged: the log gets one summary of it.
    if (trafficSwitch && m_traffic)
        m_traffic->OnBulk(total, worker.Sent(), clock.elapsed(), result != 0);
    // The worker's writes report no loss themselves: it is checked here, on
    // the thread that runs the commands.
    if (result == 0)
        CheckLineLost();
    return result;
}

bool CMyTerminal::SendPictureData(uint8_t *data, int size, int slot)
{
    if (!data || size <= 0)
        return false;
    const bool showOnly = slot < 0 || slot > m_info.maxPictures - 1;
    const bool legacySave = !showOnly && IsConnected() && m_info.legacy;
    // The terminal echoes only the slot's low byte: a larger slot could not
    // be confirmed.
    if (!showOnly && !CheckWireSlot(slot))
        return false;
    if (showOnly || legacySave) {
        if (!SendCommand(0x35, nullptr, 0))
            return false;
    } else {
        const uint8_t payload[6] = {static_cast<uint8_t>((slot >> 8) & 0xFF), static_cast<uint8_t>(slot & 0xFF),
                                    static_cast<uint8_t>((m_info.width >> 8) & 0xFF),
                                    static_cast<uint8_t>(m_info.width & 0xFF),
                                    static_cast<uint8_t>((m_info.height >> 8) & 0xFF),
                                    static_cast<uint8_t>(m_info.height & 0xFF)};
        if (!SendCommand(0x31, payload, 6))
            return false;
    }
    if (!ExpectAck(0xFC))
        return false;
    // 16-bit pixels travel high byte first.
    if (m_info.bitsPerPixel == 16)
        SwapPixelBytes(data, size);
    if (!BulkSend(data, size, BULK_TARGET_PICTURE))
        return false;
    if (showOnly || legacySave) {
        if (!ExpectAck(0xFE))
            return false;
        return legacySave ? CmdSaveScreen(slot) : true;
    }
    return ExpectAck(static_cast<uint8_t>(slot & 0xFF));
}

bool CMyTerminal::SendFontData(const CFontData &font)
{
    if (!font.data || font.size <= 0 || font.size > INT32_MAX)
        return false;
    const int w = font.width;
    const int h = font.height;
    if (IsModeCapable()) {
        // Older download protocol of the mode-capable terminals.
        if (w == 16 && h == 16) {
            const uint8_t payload[2] = {0x12, 0x21};
            if (!SendCommand(0x16, payload, 2))
                return false;
        } else if (w == 32 && h == 32) {
            if (IsMode1()) {
                const bool switched = CmdSetMode(0);
                if (m_status)
                    m_status->RefreshUi();
                if (!switched || IsMode1())
                    return false;
            }
            const uint8_t payload[1] = {0x13};
            if (!SendCommand(0x16, payload, 1))
                return false;
        } else {
            return false;
        }
    } else {
        static const struct {
            int w, h;
            uint8_t p[3];
        } kFonts[] = {{16, 16, {0x12, 0x16, 0x61}},
                      {24, 24, {0x14, 0x24, 0x42}},
                      {32, 32, {0x13, 0x32, 0x23}},
                      {12, 24, {0x15, 0x12, 0x24}},
                      {16, 32, {0x16, 0x16, 0x32}}};
        const uint8_t *payload = nullptr;
        for (const auto &f : kFonts)
            if (f.w == w && f.h == h)
                payload = f.p;
        if (!payload || !SendCommand(0x1F, payload, 3))
            return false;
    }
    return ExpectAck(0xFC) && BulkSend(font.data, static_cast<int>(font.size), BULK_TARGET_FONT) && ExpectAck(0xFE);
}

bool CMyTerminal::CmdTouch(int kind)
{
    const uint8_t unlock[4] = {0x55, 0xAA, 0x5A, 0xA5};
    const uint8_t stop[1] = {0x00};
    switch (kind) {
    case TOUCH_CALIBRATE:
        return SendCommand(0x50, unlock, 4);
    case TOUCH_EXPERIENCE:
        return SendCommand(0x53, unlock, 4);
    case TOUCH_STOP:
        return SendCommand(0x52, stop, 1);
    default:
        return false;
    }
}

bool CMyTerminal::DeletePicture(int slot)
{
    return CheckWireSlot(slot) && CmdClearScreen() && CmdSaveScreen(slot);
}

bool CMyTerminal::DeleteAllPictures()
{
    if (!CmdClearScreen())
        return false;
    const QString text = LoadStr(IDS_CLEARING_PICTURES);
    // Slots beyond one byte cannot be named; those below are cleared and
    // the rest reported, never passed over in silence.
    const int count = std::min(m_info.maxPictures, MAX_WIRE_SLOT + 1);
    for (int i = 0; i < count; ++i) {
        if (m_status) {
            m_status->RefreshUi();
            m_status->ShowStatusProgress(text, i * 100 / count);
        }
        if (!CmdSaveScreen(i)) {
            // End the bar; the caller reports the failure.
            if (m_status)
                m_status->ShowStatusProgress(text, -1);
            return false;
        }
    }
    if (m_status)
        m_status->ShowStatusProgress(text, 100);
    if (m_info.maxPictures > count) {
        if (m_status)
            m_status->ShowStatusMessage(STATUS_FAILURE, FormatStr(IDS_SLOTS_BEYOND_BYTE, m_info.maxPictures - 1));
        return false;
    }
    return true;
}
