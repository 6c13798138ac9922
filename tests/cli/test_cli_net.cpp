// qelcli over a network port (tcp://) against the network side of qelsim:
// the frame protocol and a picture transfer unchanged, rates that stay the
// bridge's, and the failures a network brings.
#include <QImage>

#include "cli_fixture.h"

using namespace clitest;

namespace {

TEST_F(CliTest, NetworkPortCarriesTheProtocol)
{
    QString tcp;
    const QString slotDir = dir.filePath(QStringLiteral("slotDir"));
    ASSERT_FALSE(StartSim({QStringLiteral("--name"), QStringLiteral("net"), QStringLiteral("--slots-dir"), slotDir}, &tcp)
                     .isEmpty());
    ASSERT_TRUE(tcp.startsWith(QLatin1String("tcp://127.0.0.1:"))) << tcp.toStdString();

    Result r = Cli({QStringLiteral("-p"), tcp, QStringLiteral("info"), QStringLiteral("--json")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonObject o = Json(r);
    EXPECT_EQ(o.value(QStringLiteral("port")).toString(), tcp);
    EXPECT_EQ(o.value(QStringLiteral("width")).toInt(), 480);

    // -b is accepted and said to have no local effect; the transfer and its
    // acknowledgements pass the network unchanged.
    QImage image(48, 27, QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 0));
    const QString png = dir.filePath(QStringLiteral("red.png"));
    ASSERT_TRUE(image.save(png));
    r = Cli({QStringLiteral("-p"), tcp, QStringLiteral("-b"), QStringLiteral("9600"), QStringLiteral("picture"), png,
             QStringLiteral("--slot"), QStringLiteral("3")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(U("图象发送完毕")));
    EXPECT_TRUE((r.out + r.err).contains(U("-b 对网络端口“") + tcp + U("”没有作用，波特率由串口服务器决定")));
    const QImage stored(slotDir + QStringLiteral("/slot-3.png"));
    ASSERT_FALSE(stored.isNull());
    EXPECT_EQ(stored.size(), QSize(480, 272));
    EXPECT_EQ(stored.pixel(240, 136), qRgb(0xFF, 0, 0));  // F800 on the wire

    // A terminal baud change goes to the terminal; the message says the
    // bridge keeps its own rate.
    r = Cli({QStringLiteral("-p"), tcp, QStringLiteral("baud"), QStringLiteral("57600")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(U("设置终端波特率完毕（网络端口：本机不改变波特率，串口服务器的波特率请在它的设置中修改）")))
        << r.out.toStdString();
}

TEST_F(CliTest, NetworkPortFailures)
{
    // Refused: the address of a terminal that has ended.
    QString gone;
    ASSERT_FALSE(StartSim({QStringLiteral("--name"), QStringLiteral("gone")}, &gone).isEmpty());
    sims.back()->terminate();
    ASSERT_TRUE(sims.back()->waitForFinished(5000));
    Result r = Cli({QStringLiteral("-p"), gone, QStringLiteral("info")});
    EXPECT_EQ(r.code, 3);
    EXPECT_TRUE(r.err.contains(U("无法连接网络端口“") + gone + U("”：连接被拒绝"))) << r.err.toStdString();
    // The other ports are not searched for a network port's terminal.
    EXPECT_FALSE(r.err.contains(U("正在以")));

    // A malformed name is bad usage.
    r = Cli({QStringLiteral("-p"), QStringLiteral("tcp://127.0.0.1"), QStringLiteral("info")});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains(U("端口名无效，应为 tcp://主机:端口"))) << r.err.toStdString();

    // The bridge answers but the terminal behind it does not.
    QString silent;
    ASSERT_FALSE(StartSim({QStringLiteral("--name"), QStringLiteral("silent"), QStringLiteral("--fault"),
                           QStringLiteral("silent")},
                          &silent)
                     .isEmpty());
    r = Cli({QStringLiteral("-p"), silent, QStringLiteral("info")});
    EXPECT_EQ(r.code, 3);
    EXPECT_TRUE(r.err.contains(U("终端没有应答"))) << r.err.toStdString();

    // The peer closes the connection in the middle of a data block.
    QString cut;
    ASSERT_FALSE(StartSim({QStringLiteral("--name"), QStringLiteral("cut"), QStringLiteral("--fault"),
                           QStringLiteral("hangup-after=3000")},
                          &cut)
                     .isEmpty());
    QImage image(48, 27, QImage::Format_RGB32);
    image.fill(Qt::blue);
    const QString png = dir.filePath(QStringLiteral("blue.png"));
    ASSERT_TRUE(image.save(png));
    r = Cli({QStringLiteral("-p"), cut, QStringLiteral("picture"), png});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(U("图象发送失败"))) << r.err.toStdString();
}

} // namespace
