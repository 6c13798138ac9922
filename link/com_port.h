// The serial port on POSIX termios.
#pragma once

#include <QString>
#include <atomic>

#include "link/transport.h"

// Which device a port is: its node (file system and inode) and device number.
struct CDeviceId {
    quint64 dev = 0;
    quint64 ino = 0;
    quint64 rdev = 0;
    bool operator==(const CDeviceId &o) const { return dev == o.dev && ino == o.ino && rdev == o.rdev; }
};

class CMyComPort : public CPortTransport {
public:
    CMyComPort();
    ~CMyComPort() override;
    CMyComPort(const CMyComPort &) = delete;
    CMyComPort &operator=(const CMyComPort &) = delete;

    // Opens the device exclusively. 5 when already open, 87 for an empty path.
    bool Open(const QString &path) override;
    void Close() override;
    bool IsOpen() const override { return m_fd >= 0; }

    // 8N1, no flow control, DTR and RTS inactive, at the given rate.
    bool SetLine(int baud) override;
    // Reads return at once with what is buffered.
    bool SetReadTimeouts() override;
    bool Purge(int flags) override;
    bool ClearErrors() override;
    int GetPortBaud() override;
    bool SetPortBaud(int baud) override;

    // A write waits for room in the output queue, and a drain for the queue
    // to empty, while the line keeps taking bytes: a line that takes none
    // for this long fails with ETIMEDOUT (the network port's write timeout).
    enum : int { WRITE_STALL_MS = 15000 };
    bool Write(const uint8_t *data, int size, int *written) override;
    bool Read(uint8_t *data, int size, int *got) override;
    bool WaitReadable(int timeoutMs) override;
    bool Drain() override;

    uint32_t GetLastError() const override { return m_lastError; }
    void SetLastError(uint32_t error) override { m_lastError = error; }

    const QString &GetPortName() const override { return m_portName; }
    int Handle() const { return m_fd; }
    // Whether the open line has gone although no command has failed yet:
    // the descriptor reports a hang-up or an error, or the port's path no
    // longer leads to the device that was opened. False while closed.
    bool LineGone() const;
    // The device opened; false while closed.
    bool OpenDeviceId(CDeviceId *id) const;
    // The device a path leads to now (links followed); false when none.
    static bool DeviceIdOf(const QString &path, CDeviceId *id);

private:
    bool WaitWritable();
    bool Fail();  // stores errno and returns false
    bool Ok();    // stores 0 and returns true

    int m_fd = -1;
    // Written by the user-interface thread and by the bulk worker.
    std::atomic<uint32_t> m_lastError{0};
    QString m_portName;
};
