// The modal progress dialog of a bulk transfer, and the bulk host that runs
// one such dialog for every block the terminal sends.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <functional>

#include "link/bulk_send.h"
#include "link/progress_target.h"

class QLabel;
class QProgressBar;
class QTimer;

// Seconds left at the rate so far; -1 while it cannot be estimated.
int EstimateSecondsLeft(int total, int sent, qint64 elapsedMs);
// "预计剩余时间：..." for the estimate, or the estimating text for -1.
QString FormatTimeLeft(int seconds);

class CDlgBulkSend : public QDialog {
    Q_OBJECT
public:
    // Asks whether to stop the transfer; true to stop.
    using AskFn = std::function<bool(QWidget *parent)>;

    CDlgBulkSend(CBulkWorker &worker, int target, QWidget *parent = nullptr);
    ~CDlgBulkSend() override;

    void SetProgressTarget(CProgressTarget *target) { m_target = target; }
    void SetAskFn(AskFn ask) { m_ask = std::move(ask); }

    // Starts the worker and shows the dialog until the worker has ended;
    // returns the worker's result. 0 without showing anything when the
    // worker cannot be started.
    int Run();

    // The question box: OK and Cancel, question icon.
    static bool AskCancel(QWidget *parent);

    // Last progress shown (for the host and tests).
    int Percent() const { return m_percent; }
    int Target() const { return m_targetKind; }
    QString Text() const;
    QString TimeLeftText() const;

public slots:
    // Esc and the close box: hold the worker, ask, then cancel or go on.
    void reject() override;
    // The dialog ends only once the worker has ended.
    void done(int result) override;

private:
    void OnProgress(int total, int sent);
    void OnTimer();

    CBulkWorker &m_worker;
    int m_targetKind;
    CProgressTarget *m_target = nullptr;
    AskFn m_ask;
    QLabel *m_text;
    QProgressBar *m_bar;
    QLabel *m_timeLeft;
    QTimer *m_timer;
    QElapsedTimer m_clock;
    int m_percent = 0;
    bool m_asking = false;
    bool m_finished = false;
};

// Bulk host of the desktop program: a new CDlgBulkSend for every block.
class CBulkSendHost : public CBulkHost {
public:
    explicit CBulkSendHost(QWidget *parent = nullptr) : m_parent(parent) {}

    void SetParent(QWidget *parent) { m_parent = parent; }
    void SetProgressTargets(ProgressTargetFn fn) { m_targets = std::move(fn); }
    void SetAskFn(CDlgBulkSend::AskFn ask) { m_ask = std::move(ask); }

    int RunBulk(CBulkWorker &worker, int target) override;

private:
    QWidget *m_parent;
    ProgressTargetFn m_targets;
    CDlgBulkSend::AskFn m_ask;
};
