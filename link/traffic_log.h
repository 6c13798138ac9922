// Lines of the communication log as both front ends show them: the bytes in
// hexadecimal, the decoder's description, the time since the connection
// began, and one summary line per data block (whose bytes are not logged).
// Also the log's export as text or CSV.
#pragma once

#include <QString>
#include <QVector>
#include <cstdint>
#include <functional>

#include "link/protocol_decoder.h"

// Bytes as the log shows them: two upper-case hexadecimal digits each,
// separated by one space; at most maxBytes of them.
void AppendHexBytes(QString *out, int count, const uint8_t *bytes, int maxBytes = 256);

struct CLogEntry {
    qint64 ms = 0;      // since the connection began
    int direction = 0;  // TRAFFIC_SENT or TRAFFIC_RECEIVED
    bool bulk = false;  // a data-block summary instead of bytes
    QString text;       // the hexadecimal bytes, or the data-block summary
    QString description;
    int colorCount = 0;
    uint32_t colors[2] = {};  // 0xRRGGBB
};

// Turns traffic reports into log entries: keeps the decoder's context and
// the clock of the connection.
class CTrafficDescriber {
public:
    CTrafficDescriber();
    // Milliseconds from any fixed point; a steady clock unless a test sets one.
    void SetClock(std::function<qint64()> nowMs);
    // A connection began: times count from now, replies have no frame yet.
    void LinkOpened();
    // One report. maxBytes limits the hexadecimal text, not the description.
    CLogEntry Describe(int direction, int count, const uint8_t *bytes, int maxBytes = 256);
    // A data block of total bytes of which sent went out, ending now after
    // elapsedMs; the entry's time is its start.
    CLogEntry DescribeBulk(int total, int sent, qint64 elapsedMs, bool ok);
    // A line of the program's own (no bytes), timed now.
    CLogEntry DescribeNote(const QString &text);

private:
    qint64 Now() const;
    std::function<qint64()> m_clock;
    qint64 m_start = 0;
    CProtocolDecoder m_decoder;
};

// "12 ms".
QString FormatLogTime(qint64 ms);

enum : int { LOG_EXPORT_TEXT = 0, LOG_EXPORT_CSV = 1 };

// The entries, oldest first, as text (time, direction, bytes, description;
// UTF-8, one line each) or CSV (UTF-8 with a byte-order mark, a header row,
// RFC 4180 quoting, CR LF line ends).
QByteArray FormatLogExport(const QVector<CLogEntry> &oldestFirst, int format);
// Writes the export atomically: the file is replaced only when every byte
// was written. On failure *error gets a message for the user.
bool SaveLogExport(const QString &path, const QVector<CLogEntry> &oldestFirst, int format, QString *error);
