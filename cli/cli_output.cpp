#include "cli_output.h"

#include <QElapsedTimer>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>
#include <unistd.h>

#include "res/string_ids.h"
#include "res/strings.h"

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void OnInterrupt(int)
{
    g_interrupted = 1;
}

void WriteLine(FILE *stream, const QString &line)
{
    const QByteArray bytes = line.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

} // namespace

CConsole::CConsole() : m_errTty(::isatty(STDERR_FILENO) == 1) {}

void CConsole::ClearProgressLocked()
{
    if (m_progressShown) {
        std::fputs("\r\033[K", stderr);
        m_progressShown = false;
    }
}

void CConsole::Out(const QString &line)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ClearProgressLocked();
    WriteLine(m_quietStdout ? stderr : stdout, line);
}

void CConsole::Data(const QString &line)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ClearProgressLocked();
    WriteLine(stdout, line);
}

void CConsole::Err(const QString &line)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ClearProgressLocked();
    WriteLine(stderr, line);
}

void CConsole::Progress(const QString &line)
{
    if (!m_errTty)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    const QByteArray bytes = line.toUtf8();
    std::fputs("\r\033[K", stderr);
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fflush(stderr);
    m_progressShown = true;
}

void CConsole::EndProgress()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_progressShown) {
        std::fputc('\n', stderr);
        std::fflush(stderr);
        m_progressShown = false;
    }
}

void CConsoleStatus::ShowStatusMessage(int kind, const QString &text)
{
    m_lastKind = kind;
    m_lastText = text;
    if (kind == STATUS_FAILURE)
        m_console.Err(text);
    else
        m_console.Out(text);
}

void CConsoleStatus::ShowStatusProgress(const QString &text, int percent)
{
    if (percent < 0 || percent >= 100) {
        m_console.EndProgress();
        return;
    }
    m_console.Progress(QStringLiteral("%1 %2%").arg(text).arg(percent));
}

QString CTrafficLog::FormatBytes(int count, const uint8_t *bytes)
{
    QString text;
    AppendHexBytes(&text, count, bytes);
    return text;
}

QString CTrafficLog::FormatLine(const CLogEntry &entry) const
{
    QString line = (entry.direction == TRAFFIC_SENT ? QStringLiteral(">> ") : QStringLiteral("<< ")) + entry.text;
    if (!m_described)
        return line;
    if (!entry.description.isEmpty())
        line += QStringLiteral("  ") + entry.description;
    return line + QStringLiteral("  [") + FormatLogTime(entry.ms) + QLatin1Char(']');
}

void CTrafficLog::OnTraffic(int direction, int count, const uint8_t *bytes)
{
    if (!bytes || count <= 0)
        return;
    if (!m_described) {
        CLogEntry plain;
        plain.direction = direction;
        plain.text = FormatBytes(count, bytes);
        m_console.Err(FormatLine(plain));
        return;
    }
    m_console.Err(FormatLine(m_describer.Describe(direction, count, bytes)));
}

void CTrafficLog::OnBulk(int total, int sent, qint64 elapsedMs, bool ok)
{
    // The plain form stays as it was: bytes only.
    if (m_described)
        m_console.Err(FormatLine(m_describer.DescribeBulk(total, sent, elapsedMs, ok)));
}

QString CProgressHost::FormatProgress(int total, int sent, double seconds)
{
    const int width = 30;
    const int percent = total > 0 ? static_cast<int>(static_cast<qint64>(sent) * 100 / total) : 100;
    const int filled = qBound(0, percent * width / 100, width);
    const double rate = seconds > 0.0 ? sent / seconds : 0.0;
    QString left = QStringLiteral("--:--");
    if (rate > 0.0 && sent <= total) {
        const int secs = static_cast<int>((total - sent) / rate + 0.5);
        left = QStringLiteral("%1:%2").arg(secs / 60, 2, 10, QLatin1Char('0')).arg(secs % 60, 2, 10, QLatin1Char('0'));
    }
    return FormatStr(IDS_CLI_PROGRESS, qUtf8Printable(QString(filled, QLatin1Char('#')) +
                                                      QString(width - filled, QLatin1Char('.'))),
                     sent, total, percent, rate / 1024.0, qUtf8Printable(left));
}

int CProgressHost::RunBulk(CBulkWorker &worker, int /*target*/)
{
    QElapsedTimer clock;
    clock.start();
    CConsole &console = m_console;
    auto progress = [&console, &clock](int total, int sent) {
        console.Progress(FormatProgress(total, sent, clock.elapsed() / 1000.0));
    };
    g_interrupted = 0;
    struct sigaction action = {};
    struct sigaction previous = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previous);
    if (!worker.Start(progress)) {
        sigaction(SIGINT, &previous, nullptr);
        return 0;
    }
    bool cancelled = false;
    while (!worker.IsDone()) {
        if (g_interrupted && !cancelled) {
            worker.Cancel();
            cancelled = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    worker.Wait();
    sigaction(SIGINT, &previous, nullptr);
    console.EndProgress();
    return worker.Result();
}
