// Runs qelsim as a child process and talks to it through its pseudo-terminal,
// like a program on the PC side would (raw 8N1 at a chosen rate).
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <string>
#include <sys/types.h>
#include <vector>

namespace simtest
{

// Bytes from a list of values, for stating wire bytes literally.
QByteArray B(std::initializer_list<int> values);

class SimProcess
{
  public:
    SimProcess();
    ~SimProcess();
    // Starts qelsim --headless with |args| in a fresh port folder and waits
    // for its "PORT <path>" line. Returns false (with a reason) on failure.
    bool Start(const QStringList &args, std::string *why);
    // SIGTERM and wait; returns the exit status (or -1).
    int Stop();
    bool Running();
    void Signal(int sig);
    QString Port() const { return port_; }
    QString Dir() const { return dir_; }
    QString File(const QString &name) const { return dir_ + "/" + name; }
    QString Stdout() const { return QString::fromUtf8(firstLine_); }

  private:
    pid_t pid_ = -1;
    QString dir_;
    QString port_;
    QByteArray firstLine_;
};

class PtyClient
{
  public:
    ~PtyClient() { Close(); }
    bool Open(const QString &path, int rate);
    bool SetRate(int rate);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    bool Write(const QByteArray &bytes);
    // Reads exactly |count| bytes or until |deadlineMs| passes.
    QByteArray Read(int count, int deadlineMs = 3000);
    // Reads whatever arrives until the line has been quiet for |quietMs|.
    QByteArray Drain(int quietMs = 300);
    // Sends a frame and reads |count| reply bytes.
    QByteArray Ask(const QByteArray &frame, int count, int deadlineMs = 3000);
    // Sends a handshake without purging first and reads two bytes: every
    // earlier frame has been carried out once the answer is in, and any stray
    // reply to them shows up in front of it.
    QByteArray Sync();
    int Fd() const { return fd_; }

  private:
    int fd_ = -1;
};

// FD, code, length high/low, payload, DD CC BB AA.
QByteArray MakeFrame(int code, const QByteArray &payload);

} // namespace simtest
