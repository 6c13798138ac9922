#include "link/ui/dlg_open_port.h"

#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include "res/resource.h"
#include "res/strings.h"

CDlgOpenPort::CDlgOpenPort(CMyTerminal &terminal, CDetectPorts &ports, QWidget *parent)
    : QDialog(parent), m_detector(terminal, ports)
{
    setObjectName(QStringLiteral("dlg%1").arg(IDD_OPENPORT));
    setWindowTitle(LoadStr(IDS_DETECT_CAPTION));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // Topmost, so that it stays in front while the attempts block the thread.
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setModal(true);

    m_text = new QLabel(LoadStr(IDS_DETECT_START), this);
    m_text->setObjectName(QStringLiteral("text"));
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("progress%1").arg(IDC_OPENPORT_PROGRESS));
    // A range of 0 ... 0 is Qt's indeterminate ("busy") bar.
    m_bar->setRange(0, 0);
    m_bar->setTextVisible(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(m_bar);
    setMinimumWidth(360);

    m_detector.SetAttemptFn([this](const CPortSelection &, const QString &text) {
        m_text->setText(text);
        // The attempt blocks the thread; show the text before it starts.
        m_text->repaint();
    });

    m_timer = new QTimer(this);
    m_timer->setInterval(10);
    connect(m_timer, &QTimer::timeout, this, &CDlgOpenPort::OnTick);
}

CDlgOpenPort::~CDlgOpenPort()
{
    m_timer->stop();
}

QString CDlgOpenPort::Text() const
{
    return m_text->text();
}

bool CDlgOpenPort::TimerRunning() const
{
    return m_timer->isActive();
}

void CDlgOpenPort::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_started)
        return;
    m_started = true;
    // Centred over the main window, or on the screen without one.
    const QRect area = parentWidget() ? parentWidget()->window()->frameGeometry()
                                      : (screen() ? screen()->availableGeometry() : QRect());
    if (area.isValid()) {
        QRect r = frameGeometry();
        r.moveCenter(area.center());
        move(r.topLeft());
    }
    // Refreshes the toolbar's port list and the baud list of its selection.
    m_detector.Start();
    m_timer->start();
}

void CDlgOpenPort::OnTick()
{
    // An attempt blocks; should anything process events meanwhile, the timer
    // must not start a second one.
    if (!m_timer->isActive() || m_inTick)
        return;
    m_inTick = true;
    const CDetector::State state = m_detector.Tick();
    m_inTick = false;
    switch (state) {
    case CDetector::Found:
        accept();
        break;
    case CDetector::Exhausted:
        reject();
        break;
    case CDetector::Running:
        break;
    }
}

void CDlgOpenPort::done(int result)
{
    m_timer->stop();
    QDialog::done(result);
}
