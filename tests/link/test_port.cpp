// The termios port on real pseudo-terminals, and the port list.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <thread>

#include "common/pty_pair.h"
#include "link/com_port.h"
#include "link/port_enum.h"
#include "link/terminal.h"

using Bytes = std::vector<uint8_t>;

TEST(ComPortTest, ErrorNumbers)
{
    CPtyPair pty;
    ASSERT_FALSE(pty.slavePath.isEmpty());
    CMyComPort port;
    EXPECT_FALSE(port.Open(QString()));
    EXPECT_EQ(port.GetLastError(), 87u);
    ASSERT_TRUE(port.Open(pty.slavePath));
    EXPECT_EQ(port.GetLastError(), 0u);
    const int fd = port.Handle();
    EXPECT_FALSE(port.Open(pty.slavePath));
    EXPECT_EQ(port.GetLastError(), 5u);
    EXPECT_EQ(port.Handle(), fd);  // the first connection stays
    port.Close();
    port.Close();
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.Open(QStringLiteral("/nonexistent/ttyS99")));
    EXPECT_EQ(port.GetLastError(), static_cast<uint32_t>(ENOENT));
    EXPECT_FALSE(port.Open(QStringLiteral("/dev/null")));  // not a serial device
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.SetLine(9600));  // closed
    EXPECT_NE(port.GetLastError(), 0u);
}

TEST(ComPortTest, SecondOpenerIsRefused)
{
    CPtyPair pty;
    CMyComPort a, b;
    ASSERT_TRUE(a.Open(pty.slavePath));
    EXPECT_FALSE(b.Open(pty.slavePath));
    EXPECT_NE(b.GetLastError(), 0u);
}

TEST(ComPortTest, LineSettingsAndImmediateReads)
{
    CPtyPair pty;
    CMyComPort port;
    ASSERT_TRUE(port.Open(pty.slavePath));
    for (int rate : {1200, 14400, 56000, 115200, 921600}) {
        ASSERT_TRUE(port.SetLine(rate)) << rate;
        EXPECT_EQ(port.GetPortBaud(), rate);
    }
    ASSERT_TRUE(port.SetReadTimeouts());
    ASSERT_TRUE(port.SetPortBaud(921600));  // already in effect
    EXPECT_EQ(port.GetLastError(), 0u);
    ASSERT_TRUE(port.SetPortBaud(9600));
    EXPECT_EQ(port.GetPortBaud(), 9600);
    uint8_t buf[4];
    int got = -1;
    ASSERT_TRUE(port.Read(buf, 4, &got));
    EXPECT_EQ(got, 0);
    ASSERT_TRUE(pty.Send({0x01, 0x02}));
    ASSERT_TRUE(port.WaitReadable(1000));
    ASSERT_TRUE(port.Read(buf, 4, &got));
    EXPECT_EQ(got, 2);
    ASSERT_TRUE(port.Purge(15));
    ASSERT_TRUE(port.ClearErrors());
}

TEST(ComPortTest, StaleInputPurgedOnRealPty)
{
    CPtyPair pty;
    CMyTerminal term;
    ASSERT_TRUE(term.Port().Open(pty.slavePath));
    ASSERT_TRUE(term.Port().SetLine(115200));
    term.Info().maxPictures = 10;
    term.readTries = 3;
    term.readInterval = 100;
    ASSERT_TRUE(pty.Send({0x07}));  // a late reply to an earlier command
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::thread peer([&] {
        const Bytes frame = pty.Receive(9);
        if (frame.size() == 9)
            pty.Send({frame[4]});
    });
    EXPECT_TRUE(term.CmdSaveScreen(3));
    peer.join();
}

TEST(ComPortTest, LateAcknowledgementWithinTheBudgetIsTaken)
{
    CPtyPair pty;
    CMyTerminal term;
    ASSERT_TRUE(term.Port().Open(pty.slavePath));
    ASSERT_TRUE(term.Port().SetLine(115200));
    term.Info().maxPictures = 10;
    term.readTries = 5;
    term.readInterval = 80;
    std::thread peer([&] {
        const Bytes frame = pty.Receive(9);
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        pty.Send({0x04});
    });
    EXPECT_TRUE(term.CmdSaveScreen(4));
    peer.join();
}

// The terminal on the slave side of pty, which only the port holds then.
static void OpenOnPty(CMyTerminal &term, CPtyPair &pty, int readTries, int readInterval)
{
    ASSERT_TRUE(term.Port().Open(pty.slavePath));
    ASSERT_TRUE(term.Port().SetLine(115200));
    pty.ReleaseSlave();
    term.Info().maxPictures = 10;
    term.readTries = readTries;
    term.readInterval = readInterval;
}

TEST(ComPortTest, VanishingPortFailsWithoutHanging)
{
    CPtyPair pty;
    CMyTerminal term;
    OpenOnPty(term, pty, 20, 100);
    pty.CloseMaster();  // the adapter is pulled
    EXPECT_FALSE(term.CmdSaveScreen(1));
    std::vector<uint8_t> data(4096, 0);
    EXPECT_FALSE(term.SendPictureData(data.data(), 4096, -1));
    EXPECT_NE(term.Port().GetLastError(), 0u);
    EXPECT_FALSE(term.Identify());
}

// The far end hangs up while a reply is awaited: the read reports the hang-up
// (POLLIN comes with POLLHUP then) and the command fails at once with the
// port's error instead of spinning until its 16 s deadline.
TEST(ComPortTest, HangUpWhileAwaitingTheReplyFailsAtOnce)
{
    CPtyPair pty;
    CMyTerminal term;
    OpenOnPty(term, pty, 80, 200);
    std::thread peer([&] {
        const Bytes frame = pty.Receive(9);
        pty.CloseMaster();
    });
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(term.CmdSaveScreen(2));
    const qint64 waited = clock.elapsed();
    peer.join();
    EXPECT_LT(waited, 8000);
    EXPECT_EQ(term.Port().GetLastError(), static_cast<uint32_t>(EIO));
    uint8_t b = 0;
    int got = -1;
    EXPECT_FALSE(term.Port().Read(&b, 1, &got));
}

TEST(PortEnumTest, VirtualPortsOnly)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    qputenv("QEL_PORT_DIR", dir.path().toLocal8Bit());
    qputenv("QEL_SYSTEM_PORTS", "0");
    CMyPortEnum empty;
    EXPECT_FALSE(empty.Start());
    QString path, name;
    EXPECT_FALSE(empty.Next(&path, &name));

    CPtyPair a, b;
    ASSERT_TRUE(QFile::link(b.slavePath, dir.filePath(QStringLiteral("qelsim-b"))));
    ASSERT_TRUE(QFile::link(a.slavePath, dir.filePath(QStringLiteral("qelsim-a"))));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/pts/999999"), dir.filePath(QStringLiteral("qelsim-gone"))));
    CMyPortEnum e;
    ASSERT_TRUE(e.Start());
    ASSERT_TRUE(e.Next(&path, &name));
    EXPECT_EQ(name, QString::fromUtf8("虚拟终端 (qelsim-a)"));
    EXPECT_EQ(path, dir.filePath(QStringLiteral("qelsim-a")));
    EXPECT_TRUE(CMyPortEnum::IsUsbLike(path));
    ASSERT_TRUE(e.Next(&path, &name));
    EXPECT_EQ(name, QString::fromUtf8("虚拟终端 (qelsim-b)"));
    EXPECT_FALSE(e.Next(&path, &name));
    EXPECT_FALSE(CMyPortEnum::IsUsbLike(QStringLiteral("/dev/ttyS0")));
    EXPECT_TRUE(CMyPortEnum::IsUsbLike(QStringLiteral("/dev/ttyUSB3")));
    // The link opens like a device.
    CMyComPort port;
    EXPECT_TRUE(port.Open(dir.filePath(QStringLiteral("qelsim-a"))));
    qunsetenv("QEL_PORT_DIR");
}
