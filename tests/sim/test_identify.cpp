// Identification in each profile, working modes, line rate and restart.
#include "sim_harness.h"

#include <QFileInfo>
#include <QImage>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <unistd.h>

using simtest::B;
using simtest::PtyClient;
using simtest::SimProcess;

namespace
{

const QByteArray kHandshake = B({0xFD, 0x00, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA});
const QByteArray kDeviceInfo = B({0xFD, 0x03, 0x00, 0x02, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA});
const QByteArray kMode1 = B({0xFD, 0x0C, 0x00, 0x02, 0xFF, 0x12, 0xDD, 0xCC, 0xBB, 0xAA});
const QByteArray kMode0 = B({0xFD, 0x0C, 0x00, 0x02, 0x00, 0x05, 0xDD, 0xCC, 0xBB, 0xAA});

QByteArray SaveScreenFrame(int slot)
{
    return B({0xFD, 0x32, 0x00, 0x01, slot, 0xDD, 0xCC, 0xBB, 0xAA});
}

// Reads a device-info reply: header FA, length, then the rest.
QByteArray ReadInfoText(PtyClient &line, int *length)
{
    const QByteArray header = line.Ask(kDeviceInfo, 3);
    if (header.size() != 3 || uint8_t(header[0]) != 0xFA)
        return QByteArray("<bad header " + header.toHex() + ">");
    *length = (uint8_t(header[1]) << 8) | uint8_t(header[2]);
    return line.Read(*length - 3);
}

struct Launched {
    SimProcess sim;
    PtyClient line;
};

void Launch(Launched *l, const QStringList &args, int rate = 115200)
{
    std::string why;
    ASSERT_TRUE(l->sim.Start(QStringList{"--reply-delay", "0"} + args, &why)) << why;
    ASSERT_TRUE(l->line.Open(l->sim.Port(), rate)) << l->sim.Port().toStdString();
}

} // namespace

TEST(SimIdentify, InfoProfileReportsEveryConfiguredKey)
{
    Launched l;
    Launch(&l, {"--size", "320x240", "--bpp", "24", "--slots", "7", "--max-baud", "921600", "--firmware",
                "2.10", "--delay", "300", "--hard-font", "1"});
    int length = 0;
    const QByteArray text = ReadInfoText(l.line, &length);
    EXPECT_EQ(text.toStdString(), "Version = 2.10\nResolution = 320x240\nMaxPictures = 7\nBitsPixel = 24\n"
                                  "Baudrate = 115200\nMaxBaud = 921600\nDelayTime = 300\nHardFont = 1\n");
    EXPECT_EQ(length, text.size() + 3);
    // The info profile answers the handshake with the two-byte form.
    EXPECT_EQ(l.line.Ask(kHandshake, 2).toHex(' ').toStdString(), "0b ff");
    EXPECT_TRUE(l.line.Drain(100).isEmpty());
}

TEST(SimIdentify, InfoProfileDefaultsReportDownloadableFontsWithoutDelay)
{
    Launched l;
    Launch(&l, {});
    int length = 0;
    const QByteArray text = ReadInfoText(l.line, &length);
    EXPECT_EQ(text.toStdString(), "Version = 1.0\nResolution = 480x272\nMaxPictures = 50\nBitsPixel = 16\n"
                                  "Baudrate = 115200\nMaxBaud = 115200\nHardFont = 0\n");
    EXPECT_EQ(length, 3 + text.size());
    EXPECT_EQ(length, 0x76);
}

TEST(SimIdentify, Handshake3ProfileSwitchesModesAndSlotCounts)
{
    Launched l;
    Launch(&l, {"--profile", "handshake3"});
    // No device-info reply at all.
    l.line.Write(kDeviceInfo);
    EXPECT_TRUE(l.line.Drain(100).isEmpty());
    EXPECT_EQ(l.line.Ask(kHandshake, 3).toHex(' ').toStdString(), "12 ff 00");
    // Mode 0 has 5 slots: 4 is the last one.
    EXPECT_EQ(l.line.Ask(SaveScreenFrame(4), 1), B({0x04}));
    l.line.Write(SaveScreenFrame(5));
    EXPECT_TRUE(l.line.Drain(100).isEmpty());

    EXPECT_EQ(l.line.Ask(kMode1, 1), B({0xFF}));
    EXPECT_EQ(l.line.Ask(kHandshake, 3).toHex(' ').toStdString(), "12 ff ff");
    EXPECT_EQ(l.line.Ask(SaveScreenFrame(11), 1), B({0x0B}));
    l.line.Write(SaveScreenFrame(12));
    EXPECT_TRUE(l.line.Drain(100).isEmpty());

    EXPECT_EQ(l.line.Ask(kMode0, 1), B({0x00}));
    EXPECT_EQ(l.line.Ask(kHandshake, 3).toHex(' ').toStdString(), "12 ff 00");
    // An unknown mode payload is not answered.
    l.line.Write(B({0xFD, 0x0C, 0x00, 0x02, 0x01, 0x05, 0xDD, 0xCC, 0xBB, 0xAA}));
    EXPECT_TRUE(l.line.Drain(100).isEmpty());
}

TEST(SimIdentify, Handshake3StartsInTheChosenModeAtItsFixedSize)
{
    Launched l;
    std::string why;
    ASSERT_TRUE(l.sim.Start({"--reply-delay", "0", "--profile", "handshake3", "--mode", "1", "--screen",
                             l.sim.File("screen.png")},
                            &why))
        << why;
    ASSERT_TRUE(l.line.Open(l.sim.Port(), 115200));
    EXPECT_EQ(l.line.Ask(kHandshake, 3).toHex(' ').toStdString(), "12 ff ff");
    EXPECT_EQ(QImage(l.sim.File("screen.png")).size(), QSize(320, 240));
}

TEST(SimIdentify, Handshake2ProfileHas58SlotsAndNoModes)
{
    Launched l;
    SimProcess &sim = l.sim;
    std::string why;
    ASSERT_TRUE(sim.Start(
        {"--reply-delay", "0", "--profile", "handshake2", "--screen", sim.File("screen.png")}, &why))
        << why;
    ASSERT_TRUE(l.line.Open(sim.Port(), 115200));
    EXPECT_EQ(l.line.Ask(kHandshake, 2).toHex(' ').toStdString(), "0b ff");
    EXPECT_TRUE(l.line.Drain(100).isEmpty());
    l.line.Write(kDeviceInfo);
    EXPECT_TRUE(l.line.Drain(100).isEmpty());
    l.line.Write(kMode1);
    EXPECT_TRUE(l.line.Drain(100).isEmpty());
    EXPECT_EQ(l.line.Ask(SaveScreenFrame(57), 1), B({0x39}));
    l.line.Write(SaveScreenFrame(58));
    EXPECT_TRUE(l.line.Drain(100).isEmpty());
    EXPECT_EQ(QImage(sim.File("screen.png")).size(), QSize(320, 240));
}

TEST(SimIdentify, HandshakeProfilesRefuseSizeOptions)
{
    SimProcess sim;
    std::string why;
    EXPECT_FALSE(sim.Start({"--profile", "handshake2", "--size", "480x272"}, &why));
    SimProcess other;
    EXPECT_FALSE(other.Start({"--profile", "nonsense"}, &why));
    SimProcess third;
    EXPECT_FALSE(third.Start({"--baud", "12345"}, &why));
}

TEST(SimIdentify, WrongLineRateIsNoiseAndStaysSilent)
{
    Launched l;
    Launch(&l, {}, 9600);
    l.line.Write(kHandshake);
    l.line.Write(kDeviceInfo);
    EXPECT_TRUE(l.line.Drain(100).isEmpty());
    ASSERT_TRUE(l.line.SetRate(115200));
    EXPECT_EQ(l.line.Ask(kHandshake, 2).toHex(' ').toStdString(), "0b ff");

    // A terminal at 9600 does not hear a PC at 115200.
    Launched slow;
    Launch(&slow, {"--baud", "9600"}, 115200);
    slow.line.Write(kHandshake);
    EXPECT_TRUE(slow.line.Drain(100).isEmpty());
    ASSERT_TRUE(slow.line.SetRate(9600));
    EXPECT_EQ(slow.line.Ask(kHandshake, 2).toHex(' ').toStdString(), "0b 03");
}

TEST(SimIdentify, NewBaudRateTakesEffectOnRestart)
{
    Launched l;
    Launch(&l, {"--max-baud", "460800"});
    // Set baud 230400 (code 8B): echoed, but the terminal keeps 115200 for now.
    EXPECT_EQ(
        l.line.Ask(B({0xFD, 0x01, 0x00, 0x05, 0x55, 0xAA, 0x5A, 0xA5, 0x8B, 0xDD, 0xCC, 0xBB, 0xAA}), 1),
        B({0x8B}));
    EXPECT_EQ(l.line.Ask(kHandshake, 2).toHex(' ').toStdString(), "0b ff");
    // A rate above MaxBaud, an unknown code and a wrong key get no answer.
    for (const QByteArray &bad :
         {B({0xFD, 0x01, 0x00, 0x05, 0x55, 0xAA, 0x5A, 0xA5, 0x8F, 0xDD, 0xCC, 0xBB, 0xAA}),
          B({0xFD, 0x01, 0x00, 0x05, 0x55, 0xAA, 0x5A, 0xA5, 0x42, 0xDD, 0xCC, 0xBB, 0xAA}),
          B({0xFD, 0x01, 0x00, 0x05, 0x55, 0xAA, 0x5A, 0x00, 0x8B, 0xDD, 0xCC, 0xBB, 0xAA})}) {
        l.line.Write(bad);
        EXPECT_TRUE(l.line.Drain(100).isEmpty()) << bad.toHex(' ').toStdString();
    }

    l.sim.Signal(SIGHUP); // power cycle
    ASSERT_TRUE(l.line.SetRate(230400));
    QByteArray reply;
    for (int i = 0; i < 20 && reply.isEmpty(); ++i)
        reply = l.line.Ask(kHandshake, 2, 200);
    EXPECT_EQ(reply.toHex(' ').toStdString(), "0b 8b");
    ASSERT_TRUE(l.line.SetRate(115200));
    l.line.Write(kHandshake);
    EXPECT_TRUE(l.line.Drain(100).isEmpty());
}

TEST(SimIdentify, PortCanBeOpenedAndClosedRepeatedly)
{
    Launched l;
    Launch(&l, {});
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(l.line.Open(l.sim.Port(), 115200)) << "open " << i;
        // The desktop program takes exclusive use while it holds the port.
        ioctl(l.line.Fd(), TIOCEXCL);
        EXPECT_EQ(l.line.Ask(kHandshake, 2).toHex(' ').toStdString(), "0b ff") << "round " << i;
        l.line.Close();
    }
}

TEST(SimIdentify, LinkIsRemovedOnSigintAndSigterm)
{
    for (int sig : {SIGINT, SIGTERM}) {
        SimProcess sim;
        std::string why;
        ASSERT_TRUE(sim.Start({"--name", "bench7"}, &why)) << why;
        EXPECT_TRUE(sim.Port().endsWith("/ports/qelsim-bench7")) << sim.Port().toStdString();
        EXPECT_TRUE(QFileInfo(sim.Port()).isSymLink());
        sim.Signal(sig);
        for (int i = 0; i < 300 && sim.Running(); ++i)
            usleep(10000);
        EXPECT_FALSE(sim.Running());
        EXPECT_FALSE(QFileInfo(sim.Port()).isSymLink()) << "signal " << sig;
    }
}

TEST(SimIdentify, LinkPathOptionPlacesTheLink)
{
    SimProcess sim;
    std::string why;
    const QString link = sim.File("my-terminal");
    ASSERT_TRUE(sim.Start({"--link", link}, &why)) << why;
    EXPECT_EQ(sim.Port(), link);
    PtyClient line;
    ASSERT_TRUE(line.Open(link, 115200));
    EXPECT_EQ(line.Ask(kHandshake, 2).toHex(' ').toStdString(), "0b ff");
    line.Close();
    EXPECT_EQ(sim.Stop(), 0);
    EXPECT_FALSE(QFileInfo(link).isSymLink());
}
