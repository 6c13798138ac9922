#include "link/traffic_log.h"

#include <QElapsedTimer>

#include "link/host.h"
#include "res/output_file.h"
#include "res/string_ids.h"
#include "res/strings.h"

void AppendHexBytes(QString *out, int count, const uint8_t *bytes, int maxBytes)
{
    static const char kHex[] = "0123456789ABCDEF";
    const int n = std::min(count, maxBytes);
    if (!bytes || n <= 0)
        return;
    const qsizetype at = out->size();
    out->resize(at + 3 * n - 1);
    QChar *p = out->data() + at;
    for (int i = 0; i < n; ++i) {
        if (i)
            *p++ = QLatin1Char(' ');
        *p++ = QLatin1Char(kHex[bytes[i] >> 4]);
        *p++ = QLatin1Char(kHex[bytes[i] & 0x0F]);
    }
}

CTrafficDescriber::CTrafficDescriber()
{
    SetClock(nullptr);
}

void CTrafficDescriber::SetClock(std::function<qint64()> nowMs)
{
    if (!nowMs) {
        auto timer = std::make_shared<QElapsedTimer>();
        timer->start();
        nowMs = [timer] { return timer->elapsed(); };
    }
    m_clock = std::move(nowMs);
    m_start = Now();
}

qint64 CTrafficDescriber::Now() const
{
    return m_clock();
}

void CTrafficDescriber::LinkOpened()
{
    m_start = Now();
    m_decoder.Reset();
}

CLogEntry CTrafficDescriber::Describe(int direction, int count, const uint8_t *bytes, int maxBytes)
{
    CLogEntry e;
    e.ms = Now() - m_start;
    e.direction = direction;
    AppendHexBytes(&e.text, count, bytes, maxBytes);
    const CDescription d = direction == TRAFFIC_SENT ? m_decoder.DescribeSent(bytes, count)
                                                     : m_decoder.DescribeReceived(bytes, count);
    e.description = d.text;
    e.colorCount = d.colorCount;
    e.colors[0] = d.colors[0];
    e.colors[1] = d.colors[1];
    return e;
}

CLogEntry CTrafficDescriber::DescribeBulk(int total, int sent, qint64 elapsedMs, bool ok)
{
    CLogEntry e;
    e.ms = Now() - m_start - elapsedMs;
    e.direction = TRAFFIC_SENT;
    e.bulk = true;
    const QString seconds = QString::number(elapsedMs / 1000.0, 'f', 1);
    e.text = ok ? LoadStr(IDS_LOG_BULK).arg(total).arg(seconds)
                : LoadStr(IDS_LOG_BULK_CUT).arg(total).arg(sent).arg(seconds);
    return e;
}

CLogEntry CTrafficDescriber::DescribeNote(const QString &text)
{
    CLogEntry e;
    e.ms = Now() - m_start;
    e.direction = TRAFFIC_SENT;
    e.bulk = true;
    e.text = text;
    return e;
}

QString FormatLogTime(qint64 ms)
{
    static const QString format = LoadStr(IDS_LOG_MS);
    return format.arg(ms);
}

namespace {

QString CsvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')) &&
        !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

QByteArray FormatLogExport(const QVector<CLogEntry> &oldestFirst, int format)
{
    QString out;
    if (format == LOG_EXPORT_CSV) {
        out = QChar(0xFEFF) + LoadStr(IDS_LOG_CSV_HEADER) + QStringLiteral("\r\n");
        const QString sent = LoadStr(IDS_LOG_SENT), received = LoadStr(IDS_LOG_RECEIVED);
        for (const CLogEntry &e : oldestFirst) {
            // A data-block summary goes to the description: the data column
            // holds only bytes.
            out += QString::number(e.ms) + QLatin1Char(',') + (e.direction == TRAFFIC_SENT ? sent : received) +
                   QLatin1Char(',') + (e.bulk ? QString() : e.text) + QLatin1Char(',') +
                   CsvField(e.bulk ? e.text : e.description) + QStringLiteral("\r\n");
        }
    } else {
        for (const CLogEntry &e : oldestFirst) {
            out += FormatLogTime(e.ms).rightJustified(10) + QStringLiteral("  ") +
                   (e.direction == TRAFFIC_SENT ? QStringLiteral(">>") : QStringLiteral("<<")) +
                   QStringLiteral("  ") + e.text;
            if (!e.description.isEmpty())
                out += QStringLiteral("  ") + e.description;
            out += QLatin1Char('\n');
        }
    }
    return out.toUtf8();
}

bool SaveLogExport(const QString &path, const QVector<CLogEntry> &oldestFirst, int format, QString *error)
{
    const QByteArray data = FormatLogExport(oldestFirst, format);
    QString reason;
    if (WriteOutputFile(path, data, 0, &reason) == COutputResult::Written)
        return true;
    if (error)
        *error = LoadStr(IDS_LOG_SAVE_FAILED).arg(path, reason);
    return false;
}
