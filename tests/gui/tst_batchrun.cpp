// Batch runs from the desktop program against virtual terminals: the same
// batch sends the same frames with the same waits as `qelcli run`; the
// Repeat and Message boxes answered through the desktop host; a failing step
// stops the run and the window comes back as it was.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QtTest>

#include "imaging/ui/frame_previews.h"
#include "imaging/ui/picture_view.h"
#include "res/resource.h"
#include "app/app_frame.h"
#include "tst_device_sim.h"

namespace
{

struct CEntry {
    QString command; // name and payload (a block: its digest)
    double t = 0;    // milliseconds since the terminal started
};

std::vector<CEntry> Log(const QString &path)
{
    std::vector<CEntry> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return out;
    while (!f.atEnd()) {
        const QJsonObject o = QJsonDocument::fromJson(f.readLine()).object();
        if (o.contains(QStringLiteral("code")))
            // Blocks are logged with their size and digest, frames with their payload.
            out.push_back({o.value("name").toString() + ' ' + o.value("payload").toString() +
                               o.value("sha1").toString(),
                           o.value("t").toDouble()});
    }
    return out;
}

QStringList Commands(const std::vector<CEntry> &log)
{
    QStringList names;
    for (const CEntry &e : log)
        names << e.command;
    return names;
}

// Waits until the terminal has logged n commands (it logs after answering).
std::vector<CEntry> LogOf(CSimFarm &farm, const QString &name, int n)
{
    std::vector<CEntry> log;
    for (int i = 0; i < 100 && int(log.size()) < n; ++i) {
        log = Log(farm.LogPath(name));
        if (int(log.size()) < n)
            QTest::qWait(50);
    }
    return log;
}

// Every gap between two steps is at least the mandated wait before the
// later one (60 ms), and 450 ms longer after a colour change; the whole run,
// from the first batch command to the last, at least total. The terminals
// run without a screen file, but a command is stamped once it has been
// carried out, so on a busy machine a stamp may come late: 15 ms of slack. A
// missing wait still shows. Text is slow to carry out (the first one loads
// the fonts), so the gap after it is left to the total.
const double kSlackMs = 15;

QString CheckWaits(const std::vector<CEntry> &log, double total)
{
    if (log.size() < 2 || log.back().t - log[1].t < total - kSlackMs)
        return QStringLiteral("run shorter than %1 ms").arg(total);
    for (size_t i = 2; i < log.size(); ++i) {
        const QString &prev = log[i - 1].command;
        const QString &cur = log[i].command;
        // Second frame of one step: the picture block after its header, the
        // save after the clear that deletes a slot.
        if (cur.startsWith("picture-data") || (cur.startsWith("save-screen") && prev.startsWith("clear-screen")) ||
            prev.startsWith("text"))
            continue;
        const double need = prev.startsWith("set-colors") ? 510 : 60;
        const double gap = log[i].t - log[i - 1].t;
        if (gap < need - kSlackMs)
            return QStringLiteral("%1 after %2: %3 ms").arg(cur, prev).arg(gap);
    }
    return QString();
}

QString Batch(const QString &commands)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Document Ver=\"1.1\" Model=\"QEL-A\" Res=\"15728960\">"
           "<Commands>" +
           commands + "</Commands></Document>";
}

} // namespace

class TestBatchRun : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase();
    void init();
    void cleanup();
    void desktopMatchesCli();
    void repeatMessageAndFailure();
    void previewComesBack();

  private:
    QString Write(const QString &name, const QString &text);
    // Answers the next message boxes in turn: true = OK; records their texts
    // and whether the workspace pane was hidden while each was up.
    void Answer(const QList<bool> &answers);

    std::unique_ptr<CSimFarm> m_farm;
    QTemporaryDir m_profile;
    QTemporaryDir m_dir;
    CAppFrame *m_frame = nullptr;
    QStringList m_boxes;
    QList<bool> m_paneDuringBox;
    QList<bool> m_answers;
};

void TestBatchRun::initTestCase()
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_profile.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_profile.path());
    m_farm = std::make_unique<CSimFarm>();
    QVERIFY(m_farm->Valid());
}

void TestBatchRun::init()
{
    m_boxes.clear();
    m_paneDuringBox.clear();
}

void TestBatchRun::cleanup()
{
    delete m_frame;
    m_frame = nullptr;
    m_farm->StopAll();
}

QString TestBatchRun::Write(const QString &name, const QString &text)
{
    const QString path = m_dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return QString();
    f.write(text.toUtf8());
    return path;
}

void TestBatchRun::Answer(const QList<bool> &answers)
{
    m_answers = answers;
    auto *poll = new QTimer(this);
    poll->setInterval(20);
    connect(poll, &QTimer::timeout, this, [this, poll] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        m_boxes << box->text() + '|' + box->button(QMessageBox::Ok)->text() + '|' +
                       (box->button(QMessageBox::Cancel) ? box->button(QMessageBox::Cancel)->text() : "");
        m_paneDuringBox << m_frame->IsControlBarVisible(IDW_PANE_WORKSPACE);
        const bool ok = m_answers.isEmpty() || m_answers.takeFirst();
        box->button(ok ? QMessageBox::Ok : QMessageBox::Cancel)->click();
        if (m_answers.isEmpty()) {
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start();
}

void TestBatchRun::desktopMatchesCli()
{
    QVERIFY(!m_farm->Start("d", {"--profile", "info", "--size", "320x240"}, false).isEmpty());
    m_frame = new CAppFrame;
    QVERIFY(m_frame->Create());
    m_frame->show();
    m_frame->ShowControlBar(IDW_PANE_WORKSPACE, true);
    QImage image(16, 8, QImage::Format_RGB32);
    image.fill(QColor(0x12, 0x34, 0x56));
    const QString picture = m_dir.filePath("pic.png");
    QVERIFY(image.save(picture));
    const QString path = Write(
        "same.kbz",
        Batch("<ClearScreen/><SetColor Fore=\"255\" Back=\"16711680\"/>"
              "<ShowText Font=\"1048592\" Position=\"0\" Text=\"QEL 终端\"/>"
              "<SendPicture KeepAspectRatio=\"1\" BkColor=\"65280\" Path=\"" +
              picture +
              "\"/><SavePicture ID=\"2\"/><ShowPicture ID=\"2\"/><Pause Elapse=\"100\"/>"
              "<Anchor Name=\"\"/><Repeat Anchor=\"\" Prompt=\"\"/><Message Text=\"继续？\"/>"
              "<ClearPicture ID=\"2\"/>"));
    // Not connected yet: the run connects through the device toolbar's
    // choice. Repeat declined, Message confirmed, as qelcli --yes answers.
    Answer({false, true});
    QVERIFY(m_frame->RunBatchFile(path));
    QCOMPARE(m_boxes, (QStringList{"[没有其它信息可显示]\n\n是否重复上面的操作？|确定|取消", "继续？|确定|取消"}));
    QCOMPARE(m_paneDuringBox, (QList<bool>{false, false}));
    QVERIFY(m_frame->IsControlBarVisible(IDW_PANE_WORKSPACE));
    QString top;
    QVERIFY(m_frame->RecentBatchFiles().GetEntry(0, &top));
    QCOMPARE(top, path);
    QVERIFY(!QApplication::overrideCursor());

    const QString cliPort = m_farm->Start("c", {"--profile", "info", "--size", "320x240"}, false);
    QVERIFY(!cliPort.isEmpty());
    QProcess cli;
    cli.start(qEnvironmentVariable("QELCLI"), {"-p", cliPort, "run", path, "--yes"});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 0);

    const std::vector<CEntry> desk = LogOf(*m_farm, "d", 9);
    const std::vector<CEntry> line = LogOf(*m_farm, "c", 9);
    // Identification, one frame per terminal step, the picture block; the
    // slot is deleted by clearing the screen and saving it there.
    QCOMPARE(Commands(desk).size(), 9);
    QCOMPARE(Commands(desk).value(8), QStringLiteral("save-screen 02"));
    QCOMPARE(Commands(desk), Commands(line));
    QVERIFY(Commands(desk).value(4).startsWith("send-store 00 02"));
    // Nine steps after the clear (SavePicture merged): 60 ms each, 450 ms
    // after the colours, the 100 ms pause.
    QCOMPARE(CheckWaits(desk, 9 * 60 + 450 + 100), QString());
    QCOMPARE(CheckWaits(line, 9 * 60 + 450 + 100), QString());
}

void TestBatchRun::repeatMessageAndFailure()
{
    QVERIFY(!m_farm->Start("r", {"--profile", "info", "--size", "320x240"}).isEmpty());
    m_frame = new CAppFrame;
    QVERIFY(m_frame->Create());
    m_frame->show();
    m_frame->OnCommand(32850);
    QVERIFY(m_frame->Terminal().IsConnected());
    m_frame->ShowControlBar(IDW_PANE_WORKSPACE, true);
    CMyView *view = m_frame->GetActiveView();
    const QString noise = Write("noise.wav", "not a wave file");

    // The sound module (and Qt Multimedia behind it) is loaded by the first
    // sound, not before: no other case here plays one.
    const auto mapped = [] {
        QFile maps(QStringLiteral("/proc/self/maps"));
        return maps.open(QIODevice::ReadOnly) ? QString::fromLatin1(maps.readAll()) : QString();
    };
    QVERIFY(!mapped().contains("libQt6Multimedia"));
    QVERIFY(!mapped().contains("qel_sound.so"));

    // OK on the first Repeat jumps back to the anchor (names match ignoring
    // case); Cancel on the second goes on; Cancel on the Message stops.
    const QString looped = Write(
        "loop.kbz", Batch("<Anchor Name=\"Top\"/><ClearScreen/><Sound Path=\"" + noise +
                          "\"/><Pause Elapse=\"0\"/><Repeat Anchor=\"top\" Prompt=\"再来？\"/>"
                          "<Message Text=\"停下？\"/><ClearAllPictures/>"));
    Answer({true, false, false});
    QVERIFY(!m_frame->RunBatchFile(looped));
    QCOMPARE(m_boxes, (QStringList{"再来？|确定|取消", "再来？|确定|取消", "停下？|确定|取消"}));
    QTest::qWait(200);
    QCOMPARE(Commands(Log(m_farm->LogPath("r"))).filter("clear-screen").size(), 2);
    QCOMPARE(Commands(Log(m_farm->LogPath("r"))).filter("delete-all").size(), 0);
    QVERIFY(mapped().contains("qel_sound.so"));
    QVERIFY(mapped().contains("libQt6Multimedia"));
    QVERIFY(!QApplication::overrideCursor());
    QString top;
    QVERIFY(m_frame->RecentBatchFiles().GetEntry(0, &top));
    QCOMPARE(top, looped);

    // A step that fails stops the run: nothing after it reaches the
    // terminal, and the pane and the view are back.
    const int before = int(Log(m_farm->LogPath("r")).size());
    const QString failing =
        Write("fail.kbz", Batch("<ClearScreen/><SendPicture KeepAspectRatio=\"1\" BkColor=\"0\" Path=\"" +
                                m_dir.filePath("missing.png") + "\"/><ClearScreen/>"));
    QVERIFY(!m_frame->RunBatchFile(failing));
    QTest::qWait(200);
    const QStringList after = Commands(Log(m_farm->LogPath("r"))).mid(before);
    QCOMPARE(after.size(), 1);
    QVERIFY(after.first().startsWith("clear-screen"));
    QVERIFY(m_frame->IsControlBarVisible(IDW_PANE_WORKSPACE));
    QCOMPARE(m_frame->GetActiveView(), view);
    QVERIFY(m_frame->RecentBatchFiles().GetEntry(0, &top));
    QCOMPARE(top, failing);
}

void TestBatchRun::previewComesBack()
{
    QVERIFY(!m_farm->Start("v", {"--profile", "info", "--size", "320x240"}).isEmpty());
    m_frame = new CAppFrame;
    QVERIFY(m_frame->Create());
    m_frame->show();
    m_frame->OnCommand(32850);
    QVERIFY(m_frame->Terminal().IsConnected());
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::green);
    const QString shown = m_dir.filePath("shown.png");
    const QString sent = m_dir.filePath("sent.png");
    QVERIFY(image.save(shown) && image.save(sent));
    CMyPictureView *view = PictureView(*m_frame, true);
    QVERIFY(view);
    QVERIFY(view->LoadPicture(shown, 320, 240));
    m_frame->ShowView(view);

    // The step sends another file through the preview; afterwards the
    // preview shows its own file again at the size it had.
    const QString path = Write("preview.kbz", Batch("<SendPicture KeepAspectRatio=\"0\" BkColor=\"0\" Path=\"" +
                                                        sent + "\"/><ShowPicture ID=\"1\"/>"));
    QVERIFY(m_frame->RunBatchFile(path));
    QCOMPARE(m_frame->GetActiveView(), static_cast<CMyView *>(view));
    QCOMPARE(view->Path(), shown);
    QCOMPARE(view->PictureWidth(), 320);
    QCOMPARE(view->PictureHeight(), 240);
    QTest::qWait(200);
    QVERIFY(Commands(Log(m_farm->LogPath("v"))).filter("picture").size() >= 1);
}

QTEST_MAIN(TestBatchRun)
#include "tst_batchrun.moc"
