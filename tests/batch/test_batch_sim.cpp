// A whole batch run against the virtual terminal: the core's own host carries
// the steps to qelsim over its pseudo-terminal, and the simulator's command
// log shows what arrived.
#include "batch/batch_core_host.h"
#include "batch/batch_runner.h"
#include "batch/recent_batch_files.h"
#include "batch_test_host.h"
#include "link/connection.h"
#include "link/terminal.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace BATCHCMD;

namespace
{

QString QelsimPath()
{
    const QString env = QString::fromLocal8Bit(qgetenv("QELSIM"));
    if (!env.isEmpty())
        return env;
    // Beside the test's own build folder.
    return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget().section(QLatin1Char('/'), 0, -3) +
           QStringLiteral("/sim/qelsim");
}

// A headless host: no windows, answers OK, records status texts.
class CSimHost : public CBatchCoreHost
{
  public:
    explicit CSimHost(CMyTerminal &t) : CBatchCoreHost(t) {}
    QStringList status;
    void ShowStatusMessage(int kind, const QString &text) override
    {
        status << QStringLiteral("%1 %2").arg(kind).arg(text);
    }
    void ShowStatusProgress(const QString &, int) override {}
    int MessageBox(const QString &, int, int) override { return BATCH_ANSWER_OK; }
    void Wait(int) override {}
    void PlaySound(const QString &) override {}
    void SetWaitCursor(bool) override {}
    void ShowIdleStatus(const QString &) override {}
    QString ChooseBatchFile(bool, const QString &) override { return QString(); }
    bool ConnectTerminal() override { return Terminal().IsConnected(); }
    bool IsFileListVisible() override { return false; }
    bool IsWorkspaceShown() override { return false; }
    void ShowWorkspace(bool) override {}
    CBatchViewInfo ActiveView() override { return CBatchViewInfo(); }
    void RedrawMainWindow() override {}
    void ReloadPictureView(QObject *, const QString &, int, int) override {}
    void ReloadFontView(QObject *, const QString &, int, int) override {}
    void ShowView(QObject *) override {}
};

} // namespace

TEST(BatchOnVirtualTerminal, RunsEveryStepInOrder)
{
    const QString sim = QelsimPath();
    if (!QFileInfo(sim).isExecutable())
        GTEST_SKIP() << "qelsim not built: " << sim.toStdString();

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString link = dir.filePath(QStringLiteral("port"));
    const QString log = dir.filePath(QStringLiteral("log.jsonl"));
    QProcess proc;
    proc.start(sim, {QStringLiteral("--headless"), QStringLiteral("--profile"), QStringLiteral("info"),
                     QStringLiteral("--size"), QStringLiteral("320x240"), QStringLiteral("--link"), link,
                     QStringLiteral("--log"), log});
    ASSERT_TRUE(proc.waitForStarted(10000));
    QByteArray first;
    while (!first.contains('\n') && proc.waitForReadyRead(10000))
        first += proc.readAllStandardOutput();
    ASSERT_TRUE(first.startsWith("PORT ")) << first.toStdString();

    CMyTerminal terminal;
    CSimHost host(terminal);
    terminal.SetStatusSink(&host);
    ASSERT_TRUE(Connect(terminal, 115200, link));
    ASSERT_EQ(terminal.Info().width, 320);
    ASSERT_EQ(terminal.Info().height, 240);

    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QString picture = dir.filePath(QStringLiteral("red.png"));
    ASSERT_TRUE(image.save(picture));

    const QString batch = WriteFile(
        dir, QStringLiteral("demo.kbz"),
        BatchDoc(QStringLiteral(
                     "<ClearScreen/><SetColor Fore=\"16777215\" Back=\"0\"/>"
                     "<ShowText Font=\"1048592\" Position=\"0\" Text=\"QEL\"/>"
                     "<SendPicture KeepAspectRatio=\"1\" BkColor=\"0\" Path=\"%1\"/><SavePicture ID=\"2\"/>"
                     "<ShowPicture ID=\"2\"/><Pause Elapse=\"0\"/>")
                     .arg(picture)));
    CMyRecentBatchFiles recent;
    EXPECT_EQ(RunBatchFile(host, recent, batch), ERunResult::Completed)
        << host.status.join('|').toStdString();
    Disconnect(terminal);

    // The simulator logs a command after answering it: read until the last
    // step has arrived (or give up after ten seconds).
    QStringList names;
    for (int attempt = 0; attempt < 100; ++attempt) {
        names.clear();
        QFile f(log);
        if (f.open(QIODevice::ReadOnly)) {
            while (!f.atEnd()) {
                const QJsonObject o = QJsonDocument::fromJson(f.readLine()).object();
                if (o.contains(QStringLiteral("code")))
                    names << o.value(QStringLiteral("name")).toString() + QLatin1Char(' ') +
                                 o.value(QStringLiteral("payload")).toString();
            }
        }
        if (names.filter(QStringLiteral("show-picture")).size() > 0)
            break;
        QThread::msleep(100);
    }
    proc.terminate();
    proc.waitForFinished(10000);

    // Identification, then one frame per step; the save is merged into the
    // picture transfer (send-and-store to slot 2), white on black is FFFF/0000.
    ASSERT_EQ(names.size(), 7) << names.join('|').toStdString();
    EXPECT_TRUE(names[0].startsWith(QStringLiteral("device-info")));
    EXPECT_EQ(names[1].trimmed(), QStringLiteral("clear-screen"));
    EXPECT_EQ(names[2], QStringLiteral("set-colors FF FF 00 00"));
    EXPECT_TRUE(names[3].startsWith(QStringLiteral("text ")));
    EXPECT_TRUE(names[3].endsWith(QStringLiteral("51 45 4C 00"))); // "QEL"
    EXPECT_TRUE(names[4].startsWith(QStringLiteral("send-store 00 02"))) << names[4].toStdString();
    EXPECT_TRUE(names[5].startsWith(QStringLiteral("picture-data")));
    EXPECT_EQ(names[6], QStringLiteral("show-picture 02"));
    EXPECT_EQ(host.status.filter(QStringLiteral("正在暂停")).size(), 1);
    QString p;
    EXPECT_TRUE(recent.GetEntry(0, &p));
}
