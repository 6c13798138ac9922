// Where the command-line program writes: status messages (information and
// success on standard output, failures on standard error), the traffic log
// and the progress bar of long transfers on standard error.
#pragma once

#include <QString>
#include <atomic>
#include <csignal>
#include <functional>
#include <cstdio>
#include <mutex>

#include "link/bulk_send.h"
#include "link/host.h"
#include "link/traffic_log.h"

// Line-oriented writer shared by the sinks; safe to call from the bulk
// worker's progress callback.
class CConsole {
public:
    CConsole();
    void Out(const QString &line);
    void Err(const QString &line);
    // Data on standard output, whatever SetQuietStdout says.
    void Data(const QString &line);
    // Redraws the one-line progress display on standard error (terminals only).
    void Progress(const QString &line);
    void EndProgress();
    bool ErrIsTerminal() const { return m_errTty; }

    // With --json, standard output carries only the JSON object.
    void SetQuietStdout(bool quiet) { m_quietStdout = quiet; }
    bool QuietStdout() const { return m_quietStdout; }
    // One console per terminal of a run on several: every line starts with
    // the prefix, and no progress line is drawn (they would fight over it).
    void SetLinePrefix(const QString &prefix)
    {
        m_prefix = prefix;
        m_errTty = false;
    }

private:
    void ClearProgressLocked();
    void WriteLine(FILE *stream, const QString &line);
    std::mutex m_mutex;
    QString m_prefix;
    bool m_errTty;
    bool m_progressShown = false;
    bool m_quietStdout = false;
};

class CConsoleStatus : public CStatusSink {
public:
    explicit CConsoleStatus(CConsole &console) : m_console(console) {}
    void ShowStatusMessage(int kind, const QString &text) override;
    void ShowStatusProgress(const QString &text, int percent) override;
    // Sees every message before it is shown and returns what to show
    // instead (nothing: leave it out).
    void SetFilter(std::function<QString(int kind, const QString &text)> filter) { m_filter = std::move(filter); }
    // Kind of the last message shown (0 before any).
    int LastKind() const { return m_lastKind; }
    const QString &LastText() const { return m_lastText; }

private:
    CConsole &m_console;
    int m_lastKind = 0;
    QString m_lastText;
    std::function<QString(int, const QString &)> m_filter;
};

// Every traffic report as the communication log shows it, prefixed
// ">> " (sent) or "<< " (received). Described (the default), each line ends
// with the decoder's description and the time since the connection began,
// and each data block gets a summary line.
class CTrafficLog : public CTrafficSink {
public:
    explicit CTrafficLog(CConsole &console) : m_console(console) {}
    void SetDescribed(bool described) { m_described = described; }
    void OnTraffic(int direction, int count, const uint8_t *bytes) override;
    void OnLinkOpened() override { m_describer.LinkOpened(); }
    void OnBulk(int total, int sent, qint64 elapsedMs, bool ok) override;
    // Frames and blocks sent so far.
    int SentCount() const { return m_sent; }
    // "FD 02 00 00": at most the first 256 bytes, as the log keeps them.
    static QString FormatBytes(int count, const uint8_t *bytes);
    // ">> FD 02 00 00 DD CC BB AA  清除屏幕  [12 ms]" (or without the
    // description and time when not described).
    QString FormatLine(const CLogEntry &entry) const;

private:
    CConsole &m_console;
    CTrafficDescriber m_describer;
    bool m_described = true;
    std::atomic<int> m_sent{0};
};

// Runs a transfer with a one-line progress bar (bytes, percent, rate, time
// left) when standard error is a terminal. Ctrl+C cancels after the current
// piece.
class CProgressHost : public CBulkHost {
public:
    explicit CProgressHost(CConsole &console) : m_console(console) {}
    int RunBulk(CBulkWorker &worker, int target) override;
    static QString FormatProgress(int total, int sent, double seconds);
    // Transfers on several terminals at once: Ctrl+C is caught once around
    // the whole run (CInterruptScope) instead of around each transfer.
    void SetSharedInterrupt(bool shared) { m_sharedInterrupt = shared; }

private:
    CConsole &m_console;
    bool m_sharedInterrupt = false;
};

// Catches Ctrl+C while it lives (the flag that cancels transfers) and puts
// the previous handling back afterwards.
class CInterruptScope {
public:
    CInterruptScope();
    ~CInterruptScope();
    CInterruptScope(const CInterruptScope &) = delete;
    CInterruptScope &operator=(const CInterruptScope &) = delete;
    static bool Interrupted();

private:
    struct sigaction m_previous = {};
};
