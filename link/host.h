// Interfaces through which the core reports to its host (desktop program,
// CLI, tests). The core never opens a window itself.
#pragma once

#include <QString>
#include <cstdint>

// Direction of a traffic report.
enum : int { TRAFFIC_SENT = 0, TRAFFIC_RECEIVED = 1 };

// Receives every frame sent and every reply byte accepted, synchronously.
// The bytes are valid only during the call.
class CTrafficSink {
public:
    virtual ~CTrafficSink() = default;
    virtual void OnTraffic(int direction, int count, const uint8_t *bytes) = 0;
    // The port was opened for a connection attempt: the log's times count
    // from here.
    virtual void OnLinkOpened() {}
    // A data block went out between two acknowledgements (its bytes are not
    // reported): total bytes, those actually sent, how long it took.
    virtual void OnBulk(int /*total*/, int /*sent*/, qint64 /*elapsedMs*/, bool /*ok*/) {}
};

// Status message kinds.
enum : int { STATUS_INFO = 1, STATUS_SUCCESS = 2, STATUS_FAILURE = 3 };

// Status bar messages and progress, and the window refresh that some
// long-running commands ask for between steps.
class CStatusSink {
public:
    virtual ~CStatusSink() = default;
    virtual void ShowStatusMessage(int kind, const QString &text) = 0;
    // percent -1 or 100 ends the bar and leaves the text.
    virtual void ShowStatusProgress(const QString &text, int percent) = 0;
    // Idle update and repaint of the main window; nothing for headless hosts.
    virtual void RefreshUi() {}
};
