// qelcli run on several terminals at once: two virtual terminals on
// pseudo-terminals and one on its network side carry out the same batch with
// identical command logs; the summary, the exit code and one JUnit suite per
// terminal; ports without a terminal.
#include <QDomDocument>
#include <QImage>
#include <QJsonArray>

#include "cli_fixture.h"

using namespace clitest;

namespace {

// The simulator's log without its time stamps: what the terminal received
// and answered, in order. A device-info query repeated because a loaded
// machine answered late is counted once.
QStringList Received(const QString &path)
{
    bool queried = false;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList out;
    for (const QByteArray &line : f.readAll().split('\n')) {
        QJsonObject o = QJsonDocument::fromJson(line).object();
        if (o.isEmpty() || o.contains(QStringLiteral("event")))
            continue;
        o.remove(QStringLiteral("t"));
        if (o.value(QStringLiteral("code")).toString() == QStringLiteral("0x03")) {
            if (queried)
                continue;
            queried = true;
        }
        out << QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
    }
    return out;
}

const char kBatch[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<Document Ver=\"1.1\" Model=\"QEL-A\" Res=\"15728960\"><Commands>"
    "<ClearScreen/><SetColor Fore=\"255\" Back=\"16777215\"/>"
    "<ShowText Font=\"1048592\" Position=\"0\" Text=\"OK\"/>"
    "<SendPicture Path=\"%1\" KeepAspectRatio=\"1\" BkColor=\"0\"/><SavePicture ID=\"4\"/>"
    "<ShowPicture ID=\"4\"/><Message Text=\"继续\"/></Commands></Document>";

TEST_F(CliTest, OneBatchOnThreeTerminalsAtOnce)
{
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(qRgb(0, 128, 255));
    const QString png = dir.filePath(QStringLiteral("p.png"));
    ASSERT_TRUE(image.save(png));
    // 320 x 240: Res = 240 * 65536 + 320.
    const QString kbz = WriteFile(QStringLiteral("tray.kbz"), QString::fromUtf8(kBatch).arg(png).toUtf8());

    QStringList ports;
    QStringList logs;
    QString tcp;
    for (const char *name : {"a", "b", "c"}) {
        const QString log = dir.filePath(QStringLiteral("%1.jsonl").arg(QLatin1String(name)));
        const QString pty = StartSim({QStringLiteral("--name"), QLatin1String(name), QStringLiteral("--size"),
                                      QStringLiteral("320x240"), QStringLiteral("--log"), log},
                                     name[0] == 'c' ? &tcp : nullptr);
        ASSERT_FALSE(pty.isEmpty());
        ports << (name[0] == 'c' ? tcp : pty);
        logs << log;
    }
    const QString junit = dir.filePath(QStringLiteral("tray.xml"));
    Result r = Cli({QStringLiteral("run"), kbz, QStringLiteral("-p"), ports[0], QStringLiteral("-p"), ports[1],
                    QStringLiteral("-p"), ports[2], QStringLiteral("--junit"), junit});
    ASSERT_EQ(r.code, 0) << r.out.toStdString() << r.err.toStdString();

    // Every terminal received the same frames and blocks and gave the same answers.
    const QStringList first = Received(logs[0]);
    EXPECT_EQ(first.size(), 7);  // info query, clear, colours, text, picture + its block, show
    EXPECT_EQ(Received(logs[1]), first);
    EXPECT_EQ(Received(logs[2]), first);

    // Each terminal's lines carry its port; one line per terminal when it is
    // done, then the table and the count.
    for (const QString &port : ports) {
        EXPECT_TRUE(r.out.contains(QStringLiteral("[%1] 发送文字完毕").arg(port))) << r.out.toStdString();
        EXPECT_TRUE(r.out.contains(port + U("：成功（"))) << r.out.toStdString();
    }
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 5);
    EXPECT_EQ(lines.last(), U("共 3 台终端：3 台成功，0 台失败"));
    const QStringList header = lines[lines.size() - 5].split(QLatin1Char(' '), Qt::SkipEmptyParts);
    EXPECT_EQ(header, (QStringList{U("端口"), U("分辨率"), U("结果"), U("秒")}));
    for (int i = 0; i < 3; ++i) {
        const QStringList row = lines[lines.size() - 4 + i].split(QLatin1Char(' '), Qt::SkipEmptyParts);
        ASSERT_EQ(row.size(), 4) << lines[lines.size() - 4 + i].toStdString();
        EXPECT_TRUE(ports.contains(row[0]));
        EXPECT_EQ(row[1], QStringLiteral("320x240"));
        EXPECT_EQ(row[2], U("成功"));
    }

    // One suite per terminal, named after its port, the commands as cases.
    QFile f(junit);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QDomDocument doc;
    ASSERT_TRUE(doc.setContent(&f));
    const QDomNodeList suites = doc.documentElement().elementsByTagName(QStringLiteral("testsuite"));
    ASSERT_EQ(suites.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const QDomElement s = suites.at(i).toElement();
        EXPECT_EQ(s.attribute(QStringLiteral("name")), ports[i]);
        EXPECT_EQ(s.attribute(QStringLiteral("tests")), QStringLiteral("6"));
        EXPECT_EQ(s.attribute(QStringLiteral("failures")), QStringLiteral("0"));
        const QDomNodeList cases = s.elementsByTagName(QStringLiteral("testcase"));
        ASSERT_EQ(cases.size(), 6);
        EXPECT_EQ(cases.at(3).toElement().attribute(QStringLiteral("name")), QStringLiteral("4 SendPicture"));
        // Named by their place in the file: the save merged into the send
        // (5) has no case of its own.
        EXPECT_EQ(cases.at(5).toElement().attribute(QStringLiteral("name")), QStringLiteral("7 Message"));
    }
}

TEST_F(CliTest, SeveralPortsWithAndWithoutTerminals)
{
    const QString kbz = WriteFile(QStringLiteral("clear.kbz"),
                                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                  "<Document Ver=\"1.1\" Model=\"QEL-A\" Res=\"17826272\"><Commands>"
                                  "<ClearScreen/></Commands></Document>");
    const QString a = StartSim({QStringLiteral("--name"), QStringLiteral("a")});
    const QString b = StartSim({QStringLiteral("--name"), QStringLiteral("b")});
    ASSERT_FALSE(a.isEmpty());
    ASSERT_FALSE(b.isEmpty());

    // A named port without a terminal fails the run; the others still run.
    const QString none = QStringLiteral("tcp://127.0.0.1:1");
    Result r = Cli({QStringLiteral("run"), kbz, QStringLiteral("-p"), a, QStringLiteral("-p"), none,
                    QStringLiteral("--json")});
    EXPECT_EQ(r.code, 3) << r.err.toStdString();
    const QJsonArray list = Json(r).value(QStringLiteral("terminals")).toArray();
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list[0].toObject().value(QStringLiteral("port")).toString(), a);
    EXPECT_EQ(list[0].toObject().value(QStringLiteral("exit_code")).toInt(), 0);
    EXPECT_EQ(list[0].toObject().value(QStringLiteral("width")).toInt(), 480);
    EXPECT_EQ(list[1].toObject().value(QStringLiteral("exit_code")).toInt(), 3);
    EXPECT_TRUE(r.err.contains(U("共 2 台终端：1 台成功，1 台失败"))) << r.err.toStdString();

    // --all runs on every port that has a terminal.
    r = Cli({QStringLiteral("run"), kbz, QStringLiteral("--all")});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(U("共 2 台终端：2 台成功，0 台失败"))) << r.out.toStdString();

    // Usage: a port twice, --all with -p, several ports for another command.
    EXPECT_EQ(Cli({QStringLiteral("run"), kbz, QStringLiteral("-p"), a, QStringLiteral("-p"), a}).code, 2);
    EXPECT_EQ(Cli({QStringLiteral("run"), kbz, QStringLiteral("--all"), QStringLiteral("-p"), a}).code, 2);
    EXPECT_EQ(Cli({QStringLiteral("clear"), QStringLiteral("-p"), a, QStringLiteral("-p"), b}).code, 2);
}

} // namespace
