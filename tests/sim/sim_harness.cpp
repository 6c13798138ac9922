#include "sim_harness.h"

#include <QDir>
#include <QFileInfo>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace simtest
{
namespace
{

long long NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

speed_t SpeedCode(int rate)
{
    switch (rate) {
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    case 230400:
        return B230400;
    case 460800:
        return B460800;
    case 921600:
        return B921600;
    default:
        return B0;
    }
}

} // namespace

QByteArray B(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

QByteArray MakeFrame(int code, const QByteArray &payload)
{
    QByteArray f = B({0xFD, code, (int(payload.size()) >> 8) & 0xFF, int(payload.size()) & 0xFF});
    f += payload;
    f += B({0xDD, 0xCC, 0xBB, 0xAA});
    return f;
}

SimProcess::SimProcess()
{
    QByteArray tmpl = QDir::tempPath().toLocal8Bit() + "/qelsim-test-XXXXXX";
    if (mkdtemp(tmpl.data()))
        dir_ = QString::fromLocal8Bit(tmpl);
}

SimProcess::~SimProcess()
{
    Stop();
    if (!dir_.isEmpty())
        QDir(dir_).removeRecursively();
}

bool SimProcess::Start(const QStringList &args, std::string *why)
{
    const char *exe = getenv("QELSIM");
    if (!exe || !*exe) {
        *why = "QELSIM is not set";
        return false;
    }
    int out[2];
    if (pipe(out) != 0) {
        *why = "pipe failed";
        return false;
    }
    std::vector<QByteArray> argBytes;
    argBytes.push_back(exe);
    argBytes.push_back("--headless");
    for (const QString &a : args)
        argBytes.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &a : argBytes)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const QByteArray portDir = (dir_ + "/ports").toLocal8Bit();
    const QByteArray runtimeDir = dir_.toLocal8Bit();

    pid_ = fork();
    if (pid_ == 0) {
        dup2(out[1], 1);
        ::close(out[0]);
        ::close(out[1]);
        setenv("QEL_PORT_DIR", portDir.constData(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("XDG_RUNTIME_DIR", runtimeDir.constData(), 1);
        execv(argv[0], argv.data());
        _exit(127);
    }
    ::close(out[1]);
    if (pid_ < 0) {
        ::close(out[0]);
        *why = "fork failed";
        return false;
    }
    // The first line is "PORT <path>".
    const long long end = NowMs() + 10000;
    while (!firstLine_.contains('\n') && NowMs() < end) {
        pollfd p{out[0], POLLIN, 0};
        if (poll(&p, 1, 100) <= 0)
            continue;
        char buf[512];
        const ssize_t n = read(out[0], buf, sizeof buf);
        if (n <= 0)
            break;
        firstLine_.append(buf, int(n));
    }
    ::close(out[0]);
    const QByteArray line = firstLine_.left(firstLine_.indexOf('\n'));
    if (!line.startsWith("PORT ")) {
        *why = "no PORT line, got: " + firstLine_.toStdString();
        Stop();
        return false;
    }
    port_ = QString::fromLocal8Bit(line.mid(5));
    return true;
}

bool SimProcess::Running()
{
    if (pid_ <= 0)
        return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return false;
    }
    return true;
}

void SimProcess::Signal(int sig)
{
    if (pid_ > 0)
        kill(pid_, sig);
}

int SimProcess::Stop()
{
    if (pid_ <= 0)
        return -1;
    kill(pid_, SIGTERM);
    int status = 0;
    for (int i = 0; i < 500; ++i) {
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        usleep(10000);
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return -1;
}

bool PtyClient::Open(const QString &path, int rate)
{
    Close();
    fd_ = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0)
        return false;
    return SetRate(rate);
}

bool PtyClient::SetRate(int rate)
{
    termios t{};
    if (tcgetattr(fd_, &t) != 0)
        return false;
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    cfsetispeed(&t, SpeedCode(rate));
    cfsetospeed(&t, SpeedCode(rate));
    return tcsetattr(fd_, TCSANOW, &t) == 0;
}

void PtyClient::Close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool PtyClient::Write(const QByteArray &bytes)
{
    int done = 0;
    const long long end = NowMs() + 10000;
    while (done < bytes.size() && NowMs() < end) {
        const ssize_t n = ::write(fd_, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += int(n);
        } else if (n < 0 && errno == EAGAIN) {
            pollfd p{fd_, POLLOUT, 0};
            poll(&p, 1, 50);
        } else {
            return false;
        }
    }
    return done == bytes.size();
}

QByteArray PtyClient::Read(int count, int deadlineMs)
{
    QByteArray out;
    const long long end = NowMs() + deadlineMs;
    while (out.size() < count) {
        const long long left = end - NowMs();
        if (left <= 0)
            break;
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, int(left)) <= 0)
            continue;
        char buf[4096];
        const ssize_t n = ::read(fd_, buf, size_t(std::min<int>(count - out.size(), sizeof buf)));
        if (n > 0)
            out.append(buf, int(n));
        else if (n < 0 && errno != EAGAIN)
            break;
        else if (n == 0 && (p.revents & POLLHUP))
            break;
    }
    return out;
}

QByteArray PtyClient::Drain(int quietMs)
{
    QByteArray out;
    for (;;) {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, quietMs) <= 0 || !(p.revents & POLLIN))
            break;
        char buf[4096];
        const ssize_t n = ::read(fd_, buf, sizeof buf);
        if (n <= 0)
            break;
        out.append(buf, int(n));
    }
    return out;
}

QByteArray PtyClient::Ask(const QByteArray &frame, int count, int deadlineMs)
{
    tcflush(fd_, TCIFLUSH);
    if (!Write(frame))
        return QByteArray();
    return Read(count, deadlineMs);
}

QByteArray PtyClient::Sync()
{
    if (!Write(B({0xFD, 0x00, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA})))
        return QByteArray();
    return Read(2);
}

} // namespace simtest
