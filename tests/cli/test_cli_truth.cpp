// qelcli never says "done" for what it did not do and never destroys what it
// was not asked to touch: outputs that are no regular files, unattended runs
// that must end, ports named twice, slots beyond one byte, devices that never
// answer.
#include "cli_fixture.h"
#include "common/file_kind.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QThread>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace clitest;

namespace
{

QString FontFile()
{
    QDirIterator it(QStringLiteral("/usr/share/fonts"), {QStringLiteral("wqy-microhei.ttc")}, QDir::Files,
                    QDirIterator::Subdirectories);
    return it.hasNext() ? it.next() : QString();
}

const char kHead[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<Document Ver=\"1.1\" Model=\"QEL-A\" Res=\"17826272\"><Commands>";

TEST_F(CliTest, OutputsThatAreNoRegularFilesAreWrittenIntoOrRefused)
{
    const QString font = FontFile();
    if (font.isEmpty())
        GTEST_SKIP() << "fonts-wqy-microhei is not installed (scripts/deps.sh installs it)";
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QString png = dir.filePath(QStringLiteral("red.png"));
    ASSERT_TRUE(image.save(png));
    const QString fifo = dir.filePath(QStringLiteral("out.fnt"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString sock = dir.filePath(QStringLiteral("sock"));
    const int sfd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, QFile::encodeName(sock).constData(), sizeof(addr.sun_path) - 1);
    ASSERT_EQ(::bind(sfd, reinterpret_cast<sockaddr *>(&addr), sizeof(addr)), 0);
    const QString kbz =
        WriteFile(QStringLiteral("one.kbz"), QByteArray(kHead) + "<ClearScreen/></Commands></Document>");

    const QStringList gen{QStringLiteral("font-gen"), QStringLiteral("--font-file"), font,
                          QStringLiteral("--size"),   QStringLiteral("12x24"),       QStringLiteral("-o")};
    const QStringList conv{QStringLiteral("convert"), png, QStringLiteral("--size"), QStringLiteral("4x4"),
                           QStringLiteral("-o")};
    const struct {
        QStringList args;
        QString target;
        int code;
        int bytes;    // read from the FIFO; -1: no reader
        QString text; // said on standard error
    } cases[] = {
        {gen + QStringList{fifo}, fifo, 0, 95 * 48, QString()},
        {conv + QStringList{fifo}, fifo, 0, 4 * 4 * 2, QString()},
        {gen + QStringList{sock}, sock, 2, -1, U("不是普通文件")},
        {conv + QStringList{sock}, sock, 2, -1, U("不是普通文件")},
        {{QStringLiteral("run"), kbz, QStringLiteral("--junit"), sock}, sock, 2, -1, U("不是普通文件")},
    };
    for (const auto &c : cases) {
        const mode_t before = FileKind(c.target);
        // The reader is there first (the pipe holds the few kilobytes), so
        // the writer's open does not wait and nothing can hang.
        const int rfd =
            c.bytes >= 0 ? ::open(QFile::encodeName(c.target).constData(), O_RDONLY | O_NONBLOCK) : -1;
        const Result r = Cli(c.args, 60000);
        QByteArray got;
        char buf[4096];
        for (ssize_t n; rfd >= 0 && (n = ::read(rfd, buf, sizeof buf)) > 0;)
            got.append(buf, int(n));
        if (rfd >= 0)
            ::close(rfd);
        const std::string what = c.args.join(u' ').toStdString();
        EXPECT_EQ(r.code, c.code) << what << r.err.toStdString();
        EXPECT_EQ(FileKind(c.target), before) << what;
        if (c.bytes >= 0) {
            EXPECT_EQ(got.size(), c.bytes) << what;
        }
        EXPECT_TRUE(r.err.contains(c.text)) << what << r.err.toStdString();
    }
    ::close(sfd);
}

// Without an operator the kind of a question decides its answer, never its
// text: a repeat that shares its prompt with a message is not taken, so the
// run ends, with --yes, with standard input that is no terminal and on
// several terminals at once.
TEST_F(CliTest, UnattendedRunsEndWhateverThePromptsSay)
{
    const QString a = StartSim({QStringLiteral("--name"), QStringLiteral("loopa")});
    const QString b = StartSim({QStringLiteral("--name"), QStringLiteral("loopb")});
    ASSERT_FALSE(a.isEmpty());
    ASSERT_FALSE(b.isEmpty());
    const QString kbz =
        WriteFile(QStringLiteral("loop.kbz"),
                  QByteArray(kHead) + "<Anchor Name=\"a\"/><Repeat Anchor=\"a\" Prompt=\"OK?\"/>"
                                      "<Message Text=\"OK?\"/><ClearScreen/></Commands></Document>");
    const struct {
        QStringList args;
        int terminals;
    } cases[] = {
        {{QStringLiteral("-p"), a, QStringLiteral("run"), kbz, QStringLiteral("--yes")}, 1},
        {{QStringLiteral("-p"), a, QStringLiteral("run"), kbz}, 1},
        {{QStringLiteral("-p"), a, QStringLiteral("-p"), b, QStringLiteral("run"), kbz}, 2},
    };
    for (const auto &c : cases) {
        const Result r = Cli(c.args, 60000);
        const std::string what = c.args.join(u' ').toStdString();
        ASSERT_EQ(r.code, 0) << what << r.err.toStdString();
        EXPECT_EQ(r.out.count(U("（自动回答：取消）")), c.terminals) << what << r.out.toStdString();
        EXPECT_EQ(r.out.count(U("（自动回答：确定）")), c.terminals) << what;
        EXPECT_EQ(r.out.count(U("清除终端屏幕完毕")), c.terminals) << what;
    }
}

// Every spelling of one port is that port: given twice, the run is refused
// before anything starts.
TEST_F(CliTest, OnePortUnderTwoSpellingsIsRefused)
{
    const QString port = StartSim({QStringLiteral("--name"), QStringLiteral("twice")});
    ASSERT_FALSE(port.isEmpty());
    const QString kbz =
        WriteFile(QStringLiteral("one.kbz"), QByteArray(kHead) + "<ClearScreen/></Commands></Document>");
    const QString link = dir.filePath(QStringLiteral("mylink"));
    ASSERT_TRUE(QFile::link(port, link));
    const QString slash = portDir + QStringLiteral("//") + QFileInfo(port).fileName();
    const QString target = QFileInfo(port).symLinkTarget();
    const QString relative = QDir::current().relativeFilePath(port);
    const struct {
        QString first;
        QString second;
    } cases[] = {
        {port, port},
        {port, slash},
        {port, target},
        {port, link},
        {port, relative},
        {port, U("虚拟终端 (qelsim-twice)")},
        {U("Virtual terminal (qelsim-twice)"), port},
        {QStringLiteral("tcp://LocalHost:7"), QStringLiteral("tcp://localhost:7")},
    };
    for (const auto &c : cases) {
        const Result r = Cli({QStringLiteral("-p"), c.first, QStringLiteral("-p"), c.second,
                              QStringLiteral("run"), kbz, QStringLiteral("--yes")});
        EXPECT_EQ(r.code, 2) << c.second.toStdString() << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(U("端口重复：") + c.second)) << r.err.toStdString();
        EXPECT_FALSE(r.out.contains(U("清除终端屏幕完毕"))) << c.second.toStdString();
    }
}

// A slot travels in one byte for show and save (and comes back as the low
// byte after a send-and-save): above 255 nothing is sent, whichever way the
// command comes, and the user is told why.
TEST_F(CliTest, SlotsAboveOneByteAreRefusedBeforeSending)
{
    const QString log = dir.filePath(QStringLiteral("sim.jsonl"));
    const QString port = StartSim({QStringLiteral("--name"), QStringLiteral("big"), QStringLiteral("--slots"),
                                   QStringLiteral("500"), QStringLiteral("--log"), log});
    ASSERT_FALSE(port.isEmpty());
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::blue);
    const QString png = dir.filePath(QStringLiteral("blue.png"));
    ASSERT_TRUE(image.save(png));
    const QString kbz = WriteFile(QStringLiteral("slot.kbz"),
                                  QByteArray(kHead) + "<SavePicture ID=\"300\"/></Commands></Document>");
    const QString p = QStringLiteral("-p");
    const QStringList cases[] = {
        {p, port, QStringLiteral("save"), QStringLiteral("300")},
        {p, port, QStringLiteral("show"), QStringLiteral("256")},
        {p, port, QStringLiteral("delete"), QStringLiteral("300")},
        {p, port, QStringLiteral("picture"), png, QStringLiteral("--slot"), QStringLiteral("300")},
        {p, port, QStringLiteral("run"), kbz, QStringLiteral("--yes")},
    };
    for (const QStringList &args : cases) {
        QFile::remove(log);
        const Result r = Cli(args);
        const std::string what = args.join(u' ').toStdString();
        EXPECT_EQ(r.code, 1) << what << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(U("超出 0 到 255 的范围，命令没有发送"))) << what << r.err.toStdString();
        // Only the connection's own frames reached the terminal.
        QFile f(log);
        const QByteArray seen = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        for (const char *code : {"\"0x02\"", "\"0x30\"", "\"0x31\"", "\"0x32\"", "\"0x35\""})
            EXPECT_FALSE(seen.contains(code)) << what << " sent " << code;
    }
    // Slot 255 is the last that can be named.
    EXPECT_EQ(Cli({p, port, QStringLiteral("save"), QStringLiteral("255")}).code, 0);
}

// A device that is a terminal but never answers (the pseudo-terminal
// multiplexer) cannot hold the program: every read and write has its deadline.
TEST_F(CliTest, ADeviceThatNeverAnswersCannotHangTheProgram)
{
    const Result r = Cli({QStringLiteral("-p"), QStringLiteral("/dev/ptmx"), QStringLiteral("info")}, 90000);
    EXPECT_EQ(r.code, 3) << r.err.toStdString();
}

} // namespace
