// Injected faults: each one as the PC side sees it on the line.
#include "sim_harness.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

using simtest::B;
using simtest::PtyClient;
using simtest::SimProcess;

namespace
{

const QByteArray kHandshake = B({0xFD, 0x00, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA});
const QByteArray kDeviceInfo = B({0xFD, 0x03, 0x00, 0x02, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA});
const QByteArray kToScreen = B({0xFD, 0x35, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA});
const QByteArray kSaveSlot1 = B({0xFD, 0x32, 0x00, 0x01, 0x01, 0xDD, 0xCC, 0xBB, 0xAA});

struct Launched {
    SimProcess sim;
    PtyClient line;
};

void Launch(Launched *l, QStringList args)
{
    std::string why;
    args << "--reply-delay"
         << "0"
         << "--size"
         << "4x2"
         << "--screen" << l->sim.File("screen.png");
    ASSERT_TRUE(l->sim.Start(args, &why)) << why;
    ASSERT_TRUE(l->line.Open(l->sim.Port(), 115200));
}

std::string Hex(const QByteArray &b)
{
    return b.toHex(' ').toStdString();
}

} // namespace

TEST(SimFaults, SilentNeverAnswers)
{
    Launched l;
    Launch(&l, {"--fault", "silent"});
    for (const QByteArray &f : {kHandshake, kDeviceInfo, kSaveSlot1, kToScreen}) {
        l.line.Write(f);
        EXPECT_TRUE(l.line.Drain(100).isEmpty()) << Hex(f);
    }
}

TEST(SimFaults, WrongAckChangesEveryAcknowledgement)
{
    Launched l;
    Launch(&l, {"--fault", "wrong-ack"});
    const QByteArray save = l.line.Ask(kSaveSlot1, 1);
    ASSERT_EQ(save.size(), 1);
    EXPECT_NE(Hex(save), "01");
    const QByteArray ready = l.line.Ask(kToScreen, 1);
    ASSERT_EQ(ready.size(), 1);
    EXPECT_NE(Hex(ready), "fc");
    // Not ready means no block is taken: the next frame is heard as a frame.
    EXPECT_EQ(Hex(l.line.Ask(kHandshake, 2)), "0b ff");
}

TEST(SimFaults, NoFinalAckTakesTheBlockSilently)
{
    Launched l;
    Launch(&l, {"--fault", "no-final-ack"});
    EXPECT_EQ(Hex(l.line.Ask(kToScreen, 1)), "fc");
    l.line.Write(QByteArray(16, char(0xFF)));
    // Nothing comes before the answer to the next handshake.
    EXPECT_EQ(Hex(l.line.Sync()), "0b ff");
    EXPECT_EQ(QImage(l.sim.File("screen.png")).pixel(3, 1), qRgb(255, 255, 255));
    // Other acknowledgements are unaffected.
    EXPECT_EQ(Hex(l.line.Ask(kSaveSlot1, 1)), "01");
}

TEST(SimFaults, ShortInfoCutsTheReply)
{
    Launched l;
    Launch(&l, {"--fault", "short-info"});
    l.line.Write(kDeviceInfo);
    const QByteArray reply = l.line.Drain(100);
    ASSERT_GE(reply.size(), 3);
    EXPECT_EQ(uint8_t(reply[0]), 0xFA);
    const int length = (uint8_t(reply[1]) << 8) | uint8_t(reply[2]);
    EXPECT_LT(reply.size(), length);
    EXPECT_TRUE(reply.mid(3).startsWith("Version = 1.0\n"));
}

TEST(SimFaults, CrlfLineEnds)
{
    Launched l;
    Launch(&l, {"--fault", "crlf"});
    const QByteArray header = l.line.Ask(kDeviceInfo, 3);
    ASSERT_EQ(header.size(), 3);
    const int length = (uint8_t(header[1]) << 8) | uint8_t(header[2]);
    const QByteArray text = l.line.Read(length - 3);
    EXPECT_EQ(text.toStdString(),
              "Version = 1.0\r\nResolution = 4x2\r\nMaxPictures = 50\r\nBitsPixel = 16\r\n"
              "Baudrate = 115200\r\nMaxBaud = 115200\r\nHardFont = 0\r\n");
}

TEST(SimFaults, HangupAfterCutsTheLineMidBlock)
{
    Launched l;
    Launch(&l, {"--fault", "hangup-after=10"});
    EXPECT_EQ(Hex(l.line.Ask(kToScreen, 1)), "fc");
    l.line.Write(QByteArray(16, char(0x11)));
    // The line goes dead: the PC side sees a hang-up and writes fail.
    pollfd p{l.line.Fd(), POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 3000), 1);
    EXPECT_TRUE(p.revents & (POLLHUP | POLLERR));
    EXPECT_FALSE(l.line.Write(kHandshake));
    for (int i = 0; i < 300 && l.sim.Running(); ++i)
        usleep(10000);
    EXPECT_FALSE(l.sim.Running());
    EXPECT_FALSE(QFileInfo(l.sim.Port()).isSymLink());
}

TEST(SimFaults, UnfinishedBlockIsDroppedWhenThePortCloses)
{
    Launched l;
    Launch(&l, {"--log", l.sim.File("log.jsonl")});
    EXPECT_EQ(Hex(l.line.Ask(kToScreen, 1)), "fc");
    l.line.Write(QByteArray(5, char(0x22)));
    l.line.Close();
    // Reopen only once the terminal has seen the close, so that the
    // handshake cannot be taken as the rest of the block.
    const auto dropped = [&] {
        QFile f(l.sim.File("log.jsonl"));
        return f.open(QIODevice::ReadOnly) && f.readAll().contains("\"block-dropped\"");
    };
    for (int i = 0; i < 300 && !dropped(); ++i)
        usleep(10000);
    ASSERT_TRUE(dropped());
    ASSERT_TRUE(l.line.Open(l.sim.Port(), 115200));
    EXPECT_EQ(Hex(l.line.Ask(kHandshake, 2)), "0b ff");
}
