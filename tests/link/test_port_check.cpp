// Why a port cannot be opened: each kind of failure, the group that grants
// access, the process named by a lock, and the texts the user reads.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>

#include "common/pty_pair.h"
#include "link/port_check.h"

namespace {

QString U(const char *s)
{
    return QString::fromUtf8(s);
}

QString OwnComm()
{
    QFile comm(QStringLiteral("/proc/self/comm"));
    comm.open(QIODevice::ReadOnly);
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}

QString GroupOf(const QString &path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    const struct group *g = getgrgid(st.st_gid);
    return g ? QString::fromLocal8Bit(g->gr_name) : QString::number(st.st_gid);
}

} // namespace

TEST(PortCheckTest, EachFailureIsNamed)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString plain = dir.filePath(QStringLiteral("plain"));
    QFile(plain).open(QIODevice::WriteOnly);
    CPtyPair free;
    ASSERT_FALSE(free.slavePath.isEmpty());

    const struct {
        QString path;
        PortProblem problem;
        QString message;
    } cases[] = {
        {QStringLiteral("/nonexistent/ttyUSB9"), PortProblem::Missing,
         U("无法检测端口“P”的波特率：设备不存在")},
        {QString(), PortProblem::Missing, U("无法检测端口“P”的波特率：设备不存在")},
        {QStringLiteral("/dev/null"), PortProblem::NotSerial,
         U("无法检测端口“P”的波特率：该设备不是串行端口")},
        {plain, PortProblem::NotSerial, U("无法检测端口“P”的波特率：该设备不是串行端口")},
        {dir.path(), PortProblem::NotSerial, U("无法检测端口“P”的波特率：该设备不是串行端口")},
        {free.slavePath, PortProblem::None, QString()},
    };
    for (const auto &c : cases) {
        const CPortCheck check = CheckPort(c.path);
        EXPECT_EQ(check.problem, c.problem) << c.path.toStdString();
        if (!c.message.isEmpty()) {
            EXPECT_EQ(PortProbeMessage(QStringLiteral("P"), check), c.message) << c.path.toStdString();
        }
    }
}

TEST(PortCheckTest, APortInUseNamesItsHolder)
{
    CPtyPair pty;
    ASSERT_FALSE(pty.slavePath.isEmpty());
    const QString busy = U("无法检测端口“P”的波特率，该端口很可能已经被其它软件占用");
    const QString holder = U("：进程 %1（%2）正在使用该端口").arg(getpid()).arg(OwnComm());

    // The lock our own port takes names this process in /proc/locks.
    ASSERT_EQ(::flock(pty.slave, LOCK_EX | LOCK_NB), 0);
    CPortCheck check = CheckPort(pty.slavePath);
    EXPECT_EQ(check.problem, PortProblem::Busy);
    EXPECT_EQ(check.holderPid, getpid());
    EXPECT_EQ(PortProbeMessage(QStringLiteral("P"), check), busy + holder);
    ::flock(pty.slave, LOCK_UN);
    EXPECT_TRUE(CheckPort(pty.slavePath).Ok());

    // Refused by TIOCEXCL (EBUSY) with a UUCP lock file naming the holder.
    const QString lockFile = QStringLiteral("/tmp/LCK..") + QFileInfo(pty.slavePath).fileName();
    if (!QFileInfo::exists(lockFile)) {
        QFile lock(lockFile);
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
        lock.write(QByteArray::number(getpid()).rightJustified(10, ' ') + '\n');
        lock.close();
        check = ExplainPortError(pty.slavePath, EBUSY);
        QFile::remove(lockFile);
        EXPECT_EQ(check.holderPid, getpid());
        EXPECT_EQ(PortProbeMessage(QStringLiteral("P"), check), busy + holder);
    }

    // Nothing names a holder: the usual text alone.
    EXPECT_EQ(PortProbeMessage(QStringLiteral("P"), ExplainPortError(pty.slavePath, EBUSY)), busy);
}

TEST(PortCheckTest, PermissionHelpNamesTheGroup)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString dev = dir.filePath(QStringLiteral("ttyUSB0"));
    QFile(dev).open(QIODevice::WriteOnly);
    // A group other than root's: root may hand the file to one; a user's own
    // files carry the user's group.
    if (getuid() == 0) {
        ASSERT_EQ(::chown(QFile::encodeName(dev).constData(), 0, 20), 0);
    }

    // The failing open is injected: modes do not stop root.
    ASSERT_EQ(::chmod(QFile::encodeName(dev).constData(), 0660), 0);
    const QString group = GroupOf(dev);
    CPortCheck check = ExplainPortError(dev, EACCES);
    EXPECT_EQ(check.problem, PortProblem::Denied);
    EXPECT_EQ(check.group, group);
    EXPECT_EQ(
        PortProbeMessage(QStringLiteral("P"), check),
        U("无法检测端口“P”的波特率：当前用户没有读写该设备的权限。设备属于用户组“%1”，请执行 sudo usermod "
          "-aG %1 $USER 加入该组，然后重新登录")
            .arg(group));

    // Without read and write for the group, joining it would not help.
    ASSERT_EQ(::chmod(QFile::encodeName(dev).constData(), 0640), 0);
    check = ExplainPortError(dev, EACCES);
    EXPECT_TRUE(check.group.isEmpty());
    EXPECT_EQ(PortProbeMessage(QStringLiteral("P"), check),
              U("无法检测端口“P”的波特率：当前用户没有读写该设备的权限"));

    // A device the user may read and write is not marked.
    ASSERT_EQ(::chmod(QFile::encodeName(dev).constData(), 0600), 0);
    EXPECT_EQ(CheckPortAccess(dev).problem, PortProblem::None);
}
