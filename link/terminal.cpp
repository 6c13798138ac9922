// Frame protocol and identification of the terminal object.
#include "link/terminal.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "link/baud_table.h"
#include "link/pattern.h"
#include "link/wire_text.h"
#include "res/strings.h"

namespace {

// Short identification and long-reply header: 5 attempts 80 ms apart.
constexpr int kShortBudgetMs = 5 * 80;
// Long-reply body: 20 attempts 100 ms apart.
constexpr int kBodyBudgetMs = 20 * 100;

} // namespace

CMyTerminal::CMyTerminal() = default;

CMyTerminal::~CMyTerminal() = default;

CPortTransport &CMyTerminal::PortFor(const QString &name)
{
    if (CMyTcpPort::IsTcpName(name))
        return m_tcp;
    return m_port;
}

CPortTransport &CMyTerminal::LinePort()
{
    if (m_tcp.IsOpen())
        return m_tcp;
    return m_port;
}

const CPortTransport &CMyTerminal::LinePort() const
{
    if (m_tcp.IsOpen())
        return m_tcp;
    return m_port;
}

void CMyTerminal::ClosePort()
{
    m_port.Close();
    m_tcp.Close();
}

void CMyTerminal::Notify(int direction, int count, const uint8_t *bytes)
{
    if (trafficSwitch && m_traffic && count > 0)
        m_traffic->OnTraffic(direction, count, bytes);
}

void CMyTerminal::NotifyLinkOpened()
{
    if (trafficSwitch && m_traffic)
        m_traffic->OnLinkOpened();
}

bool CMyTerminal::SendFrame()
{
    const int n = std::min<int>(payloadLength, MAX_PAYLOAD);
    payloadLength = static_cast<uint16_t>(n);
    frame[0] = 0xFD;
    frame[1] = static_cast<uint8_t>(commandCode & 0xFF);
    frame[2] = static_cast<uint8_t>(n >> 8);
    frame[3] = static_cast<uint8_t>(n & 0xFF);
    frame[4 + n] = 0xDD;
    frame[5 + n] = 0xCC;
    frame[6 + n] = 0xBB;
    frame[7 + n] = 0xAA;
    // Reported before the write, so the log shows the frame even when it fails.
    Notify(TRAFFIC_SENT, n + 8, frame);
    CTransport &link = Link();
    link.Drain();
    link.Purge(QEL_PURGE_RXABORT | QEL_PURGE_RXCLEAR);
    int written = 0;
    if (link.Write(frame, n + 8, &written) && written == n + 8)
        return true;
    CheckLineLost();
    return false;
}

bool CMyTerminal::IsLineGoneError(uint32_t error)
{
    // Not ETIMEDOUT: a slow bridge's send time-out is no loss of the line.
    switch (error) {
    case EIO:      // hung-up tty, pulled USB adapter
    case ENXIO:
    case ENODEV:
    case EPIPE:    // network peer gone
    case ECONNRESET:
    case ECONNABORTED:
    case ENOTCONN:
    case EHOSTUNREACH:
    case ENETDOWN:
    case ENETUNREACH:
        return true;
    default:
        return false;
    }
}

void CMyTerminal::CheckLineLost()
{
    if (m_lineLost && IsLineGoneError(Link().GetLastError()))
        m_lineLost();
}

bool CMyTerminal::SendCommand(uint8_t code, const uint8_t *payload, int length)
{
    if (length < 0 || length > MAX_PAYLOAD)
        return false;
    commandCode = code;
    payloadLength = static_cast<uint16_t>(length);
    if (length > 0)
        std::memcpy(Payload(), payload, static_cast<size_t>(length));
    return SendFrame();
}

// Reads until want bytes are in, the budget is spent or a read fails. The
// budget is a deadline: bytes are taken the moment they arrive. done(buf, got)
// may end the wait early. Returns false on a read error.
static bool ReadWithin(CTransport &link, uint8_t *buf, int want, int budgetMs, int *got,
                       bool (*done)(const uint8_t *, int) = nullptr)
{
    QElapsedTimer clock;
    clock.start();
    *got = 0;
    for (;;) {
        int n = 0;
        if (!link.Read(buf + *got, want - *got, &n))
            return false;
        *got += n;
        if (*got >= want || (done && done(buf, *got)))
            return true;
        const qint64 left = budgetMs - clock.elapsed();
        if (left <= 0)
            return true;
        link.WaitReadable(static_cast<int>(left));
    }
}

bool CMyTerminal::WaitAndRead(uint8_t *buf, int want, int budgetMs, int *got, bool (*done)(const uint8_t *, int))
{
    if (ReadWithin(Link(), buf, want, budgetMs, got, done))
        return true;
    CheckLineLost();
    return false;
}

int CMyTerminal::ReadByte(uint8_t *out)
{
    if (readTries <= 0)
        return 0;
    const qint64 budget = static_cast<qint64>(readTries) * std::max(readInterval, 0);
    int got = 0;
    if (!WaitAndRead(out, 1, static_cast<int>(std::min<qint64>(budget, INT32_MAX)), &got))
        return 0;
    return got;
}

bool CMyTerminal::ExpectAck(uint8_t expected)
{
    uint8_t b = 0;
    const int got = ReadByte(&b);
    // A wrong byte is not accepted, so the log never shows it.
    m_replyRejected = got == 1 && b != expected;
    if (got != 1 || b != expected)
        return false;
    Notify(TRAFFIC_RECEIVED, 1, &b);
    return true;
}

int CMyTerminal::ReadShortReply(uint8_t reply[3])
{
    int got = 0;
    WaitAndRead(reply, 3, kShortBudgetMs, &got, [](const uint8_t *buf, int n) { return n >= 2 && buf[0] == 0x0B; });
    return got;
}

bool CMyTerminal::ReadLongReply(QByteArray *text)
{
    uint8_t header[3] = {};
    int got = 0;
    if (!WaitAndRead(header, 3, kShortBudgetMs, &got) || got != 3 || header[0] != 0xFA)
        return false;
    const int length = (header[1] << 8) | header[2];
    if (length < 4 || length > 2047)
        return false;
    QByteArray body(length - 3, '\0');
    if (!WaitAndRead(reinterpret_cast<uint8_t *>(body.data()), length - 3, kBodyBudgetMs, &got) ||
        got != length - 3)
        return false;
    *text = body;
    return true;
}

bool CMyTerminal::Identify()
{
    return QueryDeviceInfo() || Handshake();
}

static bool CaptureInt(const QString &pattern, const QString &text, QList<long long> *values)
{
    QStringList caps;
    if (!PatternSearch(pattern + QLatin1Char('\n'), text, &caps))
        return false;
    values->clear();
    for (const QString &c : caps)
        values->push_back(CaptureToInt(c, 31));
    return true;
}

static int ClampInt(long long v)
{
    return static_cast<int>(std::min<long long>(v, INT32_MAX));
}

bool CMyTerminal::ParseDeviceInfo(const QString &text)
{
    ResetInfo();
    QList<long long> v;
    if (!CaptureInt(QStringLiteral("Version\\b*=\\b*{\\z}.{\\z}\\b*"), text, &v))
        return false;
    m_info.versionMajor = ClampInt(v[0]);
    m_info.versionMinor = ClampInt(v[1]);
    m_info.versionText = FormatStr(IDS_VERSION_FORMAT, m_info.versionMajor, m_info.versionMinor).left(127);
    if (!CaptureInt(QStringLiteral("Resolution\\b*=\\b*{\\z}\\b*x|X\\b*{\\z}\\b*"), text, &v))
        return false;
    m_info.width = ClampInt(v[0]);
    m_info.height = ClampInt(v[1]);
    if (!CaptureInt(QStringLiteral("MaxPictures\\b*=\\b*{\\z}\\b*"), text, &v))
        return false;
    m_info.maxPictures = ClampInt(v[0]);
    if (!CaptureInt(QStringLiteral("BitsPixel\\b*=\\b*{\\z}\\b*"), text, &v))
        return false;
    if (v[0] == 16) {
        m_info.bitsPerPixel = 16;
        m_info.pixelFormat = PIXEL_FORMAT_RGB565;
    } else if (v[0] == 24) {
        m_info.bitsPerPixel = 24;
        m_info.pixelFormat = PIXEL_FORMAT_RGB24;
    } else {
        return false;
    }
    m_info.baud = Link().GetPortBaud();
    if (CaptureInt(QStringLiteral("Baudrate\\b*=\\b*{\\z}\\b*"), text, &v))
        m_info.baud = ClampInt(v[0]);
    m_info.maxBaud = 115200;
    if (CaptureInt(QStringLiteral("MaxBaud\\b*=\\b*{\\z}\\b*"), text, &v))
        m_info.maxBaud = ClampInt(v[0]);
    long long delay = 15000;
    if (CaptureInt(QStringLiteral("DelayTime\\b*=\\b*{\\z}\\b*"), text, &v))
        delay = std::clamp<long long>(v[0], 0, 120000);
    m_info.hardFont = 1;
    if (CaptureInt(QStringLiteral("HardFont\\b*=\\b*{\\z}\\b*"), text, &v))
        m_info.hardFont = v[0] != 0 ? 1 : 0;
    // A terminal always gets at least one full read interval: a delay below
    // the interval would otherwise make every acknowledged command fail.
    readTries = std::max<int>(1, static_cast<int>(delay / std::max(readInterval, 1)));
    m_info.legacy = 0;
    return true;
}

bool CMyTerminal::QueryDeviceInfo()
{
    ResetInfo();
    const uint8_t payload[2] = {0x00, 0x00};
    if (!SendCommand(0x03, payload, 2))
        return false;
    QByteArray raw;
    if (!ReadLongReply(&raw))
        return false;
    if (!ParseDeviceInfo(WireToText(raw))) {
        ResetInfo();
        return false;
    }
    const uint8_t summary[5] = {
        static_cast<uint8_t>(m_info.versionMajor & 0xFF), static_cast<uint8_t>((m_info.versionMajor >> 8) & 0xFF),
        static_cast<uint8_t>(m_info.versionMinor & 0xFF), static_cast<uint8_t>((m_info.versionMinor >> 8) & 0xFF),
        BaudRateToCode(m_info.baud)};
    Notify(TRAFFIC_RECEIVED, 5, summary);
    return true;
}

bool CMyTerminal::Handshake()
{
    ResetInfo();
    if (!SendCommand(0x00, nullptr, 0))
        return false;
    uint8_t reply[3] = {};
    int got = ReadShortReply(reply);
    // A reply that starts with 0x0B is complete after two bytes.
    if (got == 3 && reply[0] == 0x0B)
        got = 2;
    if (got > 0)
        Notify(TRAFFIC_RECEIVED, got, reply);
    if (got == 1)
        m_partialReply = QByteArray(reinterpret_cast<const char *>(reply), got);
    if (got == 3) {
        m_info.versionMajor = reply[0];
        m_info.baud = BaudCodeToRate(reply[1]);
        m_info.modeWord = static_cast<uint32_t>(reply[2]) * 256u + 1u;
        m_info.maxPictures = reply[2] == 0x00 ? 5 : 12;
        m_info.width = 320;
        m_info.height = 240;
        m_info.hardFont = 0;
        m_info.versionText = FormatStr(IDS_HANDSHAKE_MODE_VERSION, reply[0], reply[2] == 0x00 ? 0 : 1);
        return true;
    }
    if (got >= 2) {
        m_info.versionMajor = reply[0];
        m_info.baud = BaudCodeToRate(reply[1]);
        m_info.modeWord = 0;
        m_info.maxPictures = 58;
        m_info.width = 320;
        m_info.height = 240;
        m_info.hardFont = 0;
        m_info.versionText = FormatStr(IDS_HANDSHAKE_VERSION, reply[0]);
        return true;
    }
    return false;
}
