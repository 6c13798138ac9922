// The detection dialog: tries every port of the device toolbar's list at
// every rate of its baud list, one attempt per timer tick, until a terminal
// answers. The toolbar's selections follow the attempts.
#pragma once

#include <QDialog>

#include "link/detector.h"

class QLabel;
class QProgressBar;
class QTimer;

class CDlgOpenPort : public QDialog {
    Q_OBJECT
public:
    CDlgOpenPort(CMyTerminal &terminal, CDetectPorts &ports, QWidget *parent = nullptr);
    ~CDlgOpenPort() override;

    // Replaces the connection attempt (tests).
    void SetConnectFn(CDetector::ConnectFn fn) { m_detector.SetConnectFn(std::move(fn)); }

    // Accepted when a terminal was found, rejected when every port and rate
    // failed (or the user pressed Esc).
    const CDetector &Detector() const { return m_detector; }
    QString Text() const;
    bool TimerRunning() const;

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void OnTick();

    CDetector m_detector;
    QLabel *m_text;
    QProgressBar *m_bar;
    QTimer *m_timer;
    bool m_started = false;
    bool m_inTick = false;
};
