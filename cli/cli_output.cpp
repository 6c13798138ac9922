#include "cli_output.h"

#include <QElapsedTimer>
#include <chrono>
#include <memory>
#include <thread>
#include <unistd.h>

#include "res/string_ids.h"
#include "res/strings.h"

namespace {

// Set by the Ctrl+C handler, read by the threads that wait for transfers.
std::atomic<int> g_interrupted{0};
static_assert(std::atomic<int>::is_always_lock_free, "usable from a signal handler");

// The first Ctrl+C cancels the transfers under way; a second one ends the
// program as Ctrl+C normally does.
extern "C" void OnInterrupt(int)
{
    if (g_interrupted.exchange(1)) {
        std::signal(SIGINT, SIG_DFL);
        std::raise(SIGINT);
    }
}

} // namespace

CInterruptScope::CInterruptScope()
{
    g_interrupted = 0;
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &m_previous);
}

CInterruptScope::~CInterruptScope()
{
    sigaction(SIGINT, &m_previous, nullptr);
}

bool CInterruptScope::Interrupted()
{
    return g_interrupted != 0;
}

void CConsole::WriteLine(FILE *stream, const QString &line)
{
    // One write per line, so that lines of consoles on other threads never
    // run into each other.
    const QByteArray bytes = (m_prefix + line).toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

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
    const QString shown = m_filter ? m_filter(kind, text) : text;
    if (shown.isEmpty())
        return;
    m_lastKind = kind;
    m_lastText = shown;
    if (kind == STATUS_FAILURE)
        m_console.Err(shown);
    else
        m_console.Out(shown);
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
    if (direction == TRAFFIC_SENT)
        ++m_sent;
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
    ++m_sent;
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
    std::unique_ptr<CInterruptScope> scope;
    if (!m_sharedInterrupt)
        scope = std::make_unique<CInterruptScope>();
    if (!worker.Start(progress))
        return 0;
    bool cancelled = false;
    while (!worker.IsDone()) {
        if (CInterruptScope::Interrupted() && !cancelled) {
            worker.Cancel();
            cancelled = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    worker.Wait();
    console.EndProgress();
    return worker.Result();
}
