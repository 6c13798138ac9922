#include "link/ui/dlg_bulk_send.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "res/resource.h"
#include "res/strings.h"

int EstimateSecondsLeft(int total, int sent, qint64 elapsedMs)
{
    if (total <= 0 || sent <= 0 || elapsedMs <= 0)
        return -1;
    if (sent >= total)
        return 0;
    const qint64 left = static_cast<qint64>(total - sent) * elapsedMs / sent;
    return static_cast<int>((left + 999) / 1000);
}

QString FormatTimeLeft(int seconds)
{
    if (seconds < 0)
        return LoadStr(IDS_BULK_ESTIMATING);
    if (seconds < 60)
        return FormatStr(IDS_BULK_LEFT_SECONDS, seconds);
    return FormatStr(IDS_BULK_LEFT_MINUTES, seconds / 60, seconds % 60);
}

CDlgBulkSend::CDlgBulkSend(CBulkWorker &worker, int target, QWidget *parent)
    : QDialog(parent), m_worker(worker), m_targetKind(target), m_ask(&CDlgBulkSend::AskCancel)
{
    setObjectName(QStringLiteral("dlg%1").arg(IDD_BULKSEND));
    setWindowTitle(LoadStr(IDS_BULK_CAPTION));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);

    m_text = new QLabel(LoadStr(IDS_BULK_START), this);
    m_text->setObjectName(QStringLiteral("text"));
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("progress%1").arg(IDC_BULKSEND_PROGRESS));
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_timeLeft = new QLabel(FormatTimeLeft(-1), this);
    m_timeLeft->setObjectName(QStringLiteral("timeLeft"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(m_bar);
    layout->addWidget(m_timeLeft);
    setMinimumWidth(380);

    m_timer = new QTimer(this);
    m_timer->setInterval(100);
    connect(m_timer, &QTimer::timeout, this, &CDlgBulkSend::OnTimer);
}

CDlgBulkSend::~CDlgBulkSend()
{
    if (m_target)
        m_target->EndSendProgress();
}

bool CDlgBulkSend::AskCancel(QWidget *parent)
{
    QMessageBox box(QMessageBox::Question, LoadStr(IDR_MAINFRAME), LoadStr(IDS_BULK_CONFIRM_CANCEL),
                    QMessageBox::Ok | QMessageBox::Cancel, parent);
    box.button(QMessageBox::Ok)->setText(LoadStr(IDS_DLG_OK));
    box.button(QMessageBox::Cancel)->setText(LoadStr(IDS_DLG_CANCEL));
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

int CDlgBulkSend::Run()
{
    // Progress crosses to this thread synchronously: the worker goes on only
    // when the dialog has shown the new state.
    const bool started = m_worker.Start([this](int total, int sent) {
        QMetaObject::invokeMethod(
            this, [this, total, sent] { OnProgress(total, sent); }, Qt::BlockingQueuedConnection);
    });
    if (!started)
        return 0;
    m_clock.start();
    m_timer->start();
    exec();
    // The dialog ends only after the worker; should the loop have been left
    // some other way (application quitting), keep serving its progress calls
    // until it has ended so that it never waits on a dialog that is gone.
    while (!m_worker.IsDone())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    m_timer->stop();
    m_worker.Wait();
    return m_worker.Result();
}

QString CDlgBulkSend::Text() const
{
    return m_text->text();
}

QString CDlgBulkSend::TimeLeftText() const
{
    return m_timeLeft->text();
}

void CDlgBulkSend::OnProgress(int total, int sent)
{
    const int whole = total < 1 ? 1 : total;
    m_percent = static_cast<int>(static_cast<qint64>(sent) * 100 / whole);
    m_text->setText(FormatStr(IDS_BULK_PROGRESS, total, sent, m_percent));
    m_bar->setValue(qBound(0, m_percent, 100));
    m_timeLeft->setText(FormatTimeLeft(EstimateSecondsLeft(total, sent, m_clock.elapsed())));
    if (m_target)
        m_target->ShowSendProgress(sent, total);
}

void CDlgBulkSend::OnTimer()
{
    // Not while the question is open: its answer still has to reach the worker.
    if (m_asking || !m_worker.IsDone())
        return;
    m_timer->stop();
    m_finished = true;
    accept();
}

void CDlgBulkSend::reject()
{
    if (m_finished) {
        QDialog::reject();
        return;
    }
    if (m_asking)
        return;
    m_asking = true;
    m_worker.Hold();
    const bool stop = m_ask ? m_ask(this) : false;
    if (stop)
        m_worker.Cancel();
    m_worker.Release();
    m_asking = false;
}

void CDlgBulkSend::done(int result)
{
    if (!m_finished)
        return;
    QDialog::done(result);
}

int CBulkSendHost::RunBulk(CBulkWorker &worker, int target)
{
    CDlgBulkSend dlg(worker, target, m_parent);
    if (m_targets)
        dlg.SetProgressTarget(m_targets(target));
    if (m_ask)
        dlg.SetAskFn(m_ask);
    return dlg.Run();
}
