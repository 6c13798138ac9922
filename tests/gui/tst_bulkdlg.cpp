// The bulk transfer dialog: progress from the worker, closing when the worker
// has ended, cancel with its question, the progress target.
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "common/scripted_transport.h"
#include "link/terminal.h"
#include "link/ui/dlg_bulk_send.h"

namespace {

// Records what a preview would be shown, and what the dialog showed at that
// moment. Optionally presses Esc on the dialog after a given piece.
struct CRecordingTarget : CProgressTarget {
    struct Step {
        int sent;
        int total;
        int barValue;
        QString text;
        bool dialogVisible;
    };
    std::vector<Step> steps;
    int ends = 0;
    int escAfterSent = -1;

    void ShowSendProgress(int sent, int total) override
    {
        auto *dlg = qobject_cast<CDlgBulkSend *>(QApplication::activeModalWidget());
        Step step{sent, total, -1, QString(), false};
        if (dlg) {
            step.barValue = dlg->findChild<QProgressBar *>(QStringLiteral("progress8021"))->value();
            step.text = dlg->Text();
            step.dialogVisible = dlg->isVisible();
        }
        steps.push_back(step);
        if (dlg && sent == escAfterSent) {
            // As if the user pressed Esc: handled after this piece's report.
            QCoreApplication::postEvent(dlg, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        }
    }
    void EndSendProgress() override { ++ends; }
};

std::vector<uint8_t> Block(int total)
{
    std::vector<uint8_t> data(static_cast<size_t>(total));
    for (int i = 0; i < total; ++i)
        data[static_cast<size_t>(i)] = static_cast<uint8_t>(i * 7);
    return data;
}

} // namespace

class TestBulkDialog : public QObject {
    Q_OBJECT
private slots:
    void timeLeft();
    void fullBlockShowsEveryPieceAndHundredPercent();
    void smallBlocksGoOutByteByByte();
    void confirmedCancelStopsAfterAtMostOneMorePiece();
    void declinedCancelLetsTheTransferFinish();
    void questionBoxAsksWithOkAndCancel();
    void writeFailureEndsTheDialog();
    void targetKindReachesTheHost();
};

void TestBulkDialog::timeLeft()
{
    // 250 of 1000 bytes in 1 s: 750 bytes need 3 s more.
    QCOMPARE(EstimateSecondsLeft(1000, 250, 1000), 3);
    // Rounded up: 1 byte left at 1 byte per 100 ms is still "1 s".
    QCOMPARE(EstimateSecondsLeft(1000, 999, 99900), 1);
    QCOMPARE(EstimateSecondsLeft(1000, 1000, 5000), 0);
    // Nothing sent yet, or no time passed: no estimate.
    QCOMPARE(EstimateSecondsLeft(1000, 0, 5000), -1);
    QCOMPARE(EstimateSecondsLeft(1000, 10, 0), -1);
    QCOMPARE(EstimateSecondsLeft(0, 0, 10), -1);
    // Large blocks do not overflow: 20 MB, 1 % in 60 s leaves 99 minutes.
    QCOMPARE(EstimateSecondsLeft(20000000, 200000, 60000), 5940);

    QCOMPARE(FormatTimeLeft(-1), QStringLiteral("正在估算剩余时间..."));
    QCOMPARE(FormatTimeLeft(0), QStringLiteral("预计剩余时间：0 秒"));
    QCOMPARE(FormatTimeLeft(59), QStringLiteral("预计剩余时间：59 秒"));
    QCOMPARE(FormatTimeLeft(125), QStringLiteral("预计剩余时间：2 分 05 秒"));
}

void TestBulkDialog::fullBlockShowsEveryPieceAndHundredPercent()
{
    CScriptedTransport link;
    CMyTerminal terminal;
    terminal.SetTransport(&link);
    CRecordingTarget target;
    CBulkSendHost host;
    host.SetProgressTargets([&](int kind) { return kind == BULK_TARGET_PICTURE ? &target : nullptr; });
    terminal.SetBulkHost(&host);

    const std::vector<uint8_t> data = Block(153600);
    QCOMPARE(terminal.BulkSend(data.data(), 153600, BULK_TARGET_PICTURE), 1);

    QCOMPARE(static_cast<int>(link.writes.size()), 100);
    for (const auto &w : link.writes)
        QCOMPARE(static_cast<int>(w.size()), 1536);
    QVERIFY(link.Joined() == data);

    QCOMPARE(static_cast<int>(target.steps.size()), 100);
    QCOMPARE(target.steps[0].sent, 1536);
    QCOMPARE(target.steps[0].barValue, 1);
    QCOMPARE(target.steps[0].text, QStringLiteral("共153600字节，已发送1536（1%），请稍候..."));
    const auto &last = target.steps.back();
    QCOMPARE(last.sent, 153600);
    QCOMPARE(last.total, 153600);
    QVERIFY(last.dialogVisible);
    QCOMPARE(last.barValue, 100);
    QCOMPARE(last.text, QStringLiteral("共153600字节，已发送153600（100%），请稍候..."));
    // The preview is reset once, when the dialog goes.
    QCOMPARE(target.ends, 1);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
}

void TestBulkDialog::smallBlocksGoOutByteByByte()
{
    for (int total : {150, 50}) {
        CScriptedTransport link;
        const std::vector<uint8_t> data = Block(total);
        CBulkWorker worker(link, data.data(), total);
        CDlgBulkSend dlg(worker, BULK_TARGET_FONT);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("正在发送"));
        QCOMPARE(dlg.Text(), QStringLiteral("正在发送数据，请稍候"));
        QCOMPARE(dlg.Run(), 1);
        QCOMPARE(static_cast<int>(link.writes.size()), total);
        for (const auto &w : link.writes)
            QCOMPARE(static_cast<int>(w.size()), 1);
        QCOMPARE(dlg.Percent(), 100);
        QCOMPARE(dlg.Text(), QStringLiteral("共%1字节，已发送%1（100%），请稍候...").arg(total));
        QVERIFY(!dlg.isVisible());
    }
}

void TestBulkDialog::confirmedCancelStopsAfterAtMostOneMorePiece()
{
    CScriptedTransport link;
    const std::vector<uint8_t> data = Block(10000);
    CBulkWorker worker(link, data.data(), 10000);
    CRecordingTarget target;
    target.escAfterSent = 10 * 100;  // after the tenth piece
    CDlgBulkSend dlg(worker, BULK_TARGET_PICTURE);
    dlg.SetProgressTarget(&target);
    int asked = 0;
    QWidget *askedOver = nullptr;
    dlg.SetAskFn([&](QWidget *parent) {
        ++asked;
        askedOver = parent;
        return true;
    });
    QCOMPARE(dlg.Run(), 0);
    QCOMPARE(asked, 1);
    QCOMPARE(askedOver, static_cast<QWidget *>(&dlg));
    const int writes = static_cast<int>(link.writes.size());
    QVERIFY2(writes >= 10 && writes <= 11, qPrintable(QString::number(writes)));
    QCOMPARE(worker.Result(), 0);
    QVERIFY(worker.IsDone());
}

void TestBulkDialog::declinedCancelLetsTheTransferFinish()
{
    CScriptedTransport link;
    const std::vector<uint8_t> data = Block(10000);
    CBulkWorker worker(link, data.data(), 10000);
    CRecordingTarget target;
    target.escAfterSent = 10 * 100;
    CDlgBulkSend dlg(worker, BULK_TARGET_PICTURE);
    dlg.SetProgressTarget(&target);
    int asked = 0;
    dlg.SetAskFn([&](QWidget *) {
        ++asked;
        return false;
    });
    QCOMPARE(dlg.Run(), 1);
    QCOMPARE(asked, 1);
    QCOMPARE(static_cast<int>(link.writes.size()), 100);
    QVERIFY(link.Joined() == data);
    QCOMPARE(target.steps.back().barValue, 100);
}

void TestBulkDialog::questionBoxAsksWithOkAndCancel()
{
    // The real question box: found while open, checked and answered.
    for (bool confirm : {false, true}) {
        CScriptedTransport link;
        const std::vector<uint8_t> data = Block(5000);
        CBulkWorker worker(link, data.data(), 5000);
        CRecordingTarget target;
        target.escAfterSent = 5 * 50;
        CDlgBulkSend dlg(worker, BULK_TARGET_PICTURE);
        dlg.SetProgressTarget(&target);
        QString text;
        int icon = -1;
        int buttons = 0;
        QStringList buttonTexts;
        QTimer poll;
        poll.setInterval(10);
        connect(&poll, &QTimer::timeout, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            poll.stop();
            text = box->text();
            icon = box->icon();
            buttons = static_cast<int>(box->standardButtons());
            buttonTexts << box->button(QMessageBox::Ok)->text() << box->button(QMessageBox::Cancel)->text();
            box->button(confirm ? QMessageBox::Ok : QMessageBox::Cancel)->click();
        });
        poll.start();
        const int result = dlg.Run();
        poll.stop();
        QCOMPARE(text, QStringLiteral("请确认是否终止数据发送！\n如果终止了数据发送建议您重新启动终端"));
        QCOMPARE(icon, static_cast<int>(QMessageBox::Question));
        QCOMPARE(buttons, static_cast<int>(QMessageBox::Ok | QMessageBox::Cancel));
        QCOMPARE(buttonTexts, (QStringList{QStringLiteral("确定"), QStringLiteral("取消")}));
        // Either answer lets the worker go on: it finishes or stops.
        QVERIFY(worker.IsDone());
        if (confirm) {
            QCOMPARE(result, 0);
            QVERIFY(link.writes.size() < 100);
        } else {
            QCOMPARE(result, 1);
            QCOMPARE(static_cast<int>(link.writes.size()), 100);
        }
    }
}

void TestBulkDialog::writeFailureEndsTheDialog()
{
    CScriptedTransport link;
    link.failWriteAt = 4;
    const std::vector<uint8_t> data = Block(1000);
    CBulkWorker worker(link, data.data(), 1000);
    CDlgBulkSend dlg(worker, BULK_TARGET_PICTURE);
    QCOMPARE(dlg.Run(), 0);
    QCOMPARE(static_cast<int>(link.writes.size()), 5);
    // Four pieces went out and were shown.
    QCOMPARE(dlg.Percent(), 4);
    QVERIFY(!dlg.isVisible());
}

void TestBulkDialog::targetKindReachesTheHost()
{
    CScriptedTransport link;
    CMyTerminal terminal;
    terminal.SetTransport(&link);
    CRecordingTarget font;
    QList<int> asked;
    CBulkSendHost host;
    host.SetProgressTargets([&](int kind) {
        asked.append(kind);
        return kind == BULK_TARGET_FONT ? &font : nullptr;
    });
    terminal.SetBulkHost(&host);
    const std::vector<uint8_t> data = Block(300);
    QCOMPARE(terminal.BulkSend(data.data(), 300, BULK_TARGET_FONT), 1);
    QCOMPARE(terminal.BulkSend(data.data(), 300, BULK_TARGET_PICTURE), 1);
    QCOMPARE(asked, (QList<int>{BULK_TARGET_FONT, BULK_TARGET_PICTURE}));
    // Only the font transfer reached the font target.
    QCOMPARE(static_cast<int>(font.steps.size()), 100);
    QCOMPARE(font.ends, 1);
}

QTEST_MAIN(TestBulkDialog)
#include "tst_bulkdlg.moc"
