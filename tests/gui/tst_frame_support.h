// Helpers shared by the main-frame tests: a scripted transport that plays a
// connected terminal, pseudo-terminals as ports, and a profile in a temp dir.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>
#include <QVector>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include "link/host.h"
#include "link/transport.h"

// Open while `open` is set; records every byte written; reads nothing.
class CScriptedLink : public CTransport {
public:
    bool open = true;
    QByteArray written;
    QByteArray replies;  // handed out by Read, in order
    int baud = 115200;
    uint32_t lastError = 0;

    bool IsOpen() const override { return open; }
    void Close() override { open = false; }
    bool Write(const uint8_t *data, int size, int *wrote) override
    {
        written.append(reinterpret_cast<const char *>(data), size);
        if (wrote)
            *wrote = size;
        return open;
    }
    bool Read(uint8_t *data, int size, int *got) override
    {
        const int n = qMin(size, static_cast<int>(replies.size()));
        memcpy(data, replies.constData(), static_cast<size_t>(n));
        replies.remove(0, n);
        *got = n;
        return open;
    }
    bool WaitReadable(int) override { return !replies.isEmpty(); }
    bool Purge(int) override { return true; }
    bool Drain() override { return true; }
    int GetPortBaud() override { return baud; }
    bool SetPortBaud(int rate) override
    {
        baud = rate;
        return true;
    }
    uint32_t GetLastError() const override { return lastError; }
    void SetLastError(uint32_t error) override { lastError = error; }
};

// Records status messages instead of showing them.
class CStatusRecorder : public CStatusSink {
public:
    QVector<QPair<int, QString>> messages;
    void ShowStatusMessage(int kind, const QString &text) override { messages.append({kind, text}); }
    void ShowStatusProgress(const QString &, int) override {}
};

// A pseudo-terminal whose slave side serves as a serial port.
class CPty {
public:
    CPty()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master >= 0 && grantpt(m_master) == 0 && unlockpt(m_master) == 0)
            m_path = QString::fromLocal8Bit(ptsname(m_master));
    }
    ~CPty()
    {
        if (m_master >= 0)
            ::close(m_master);
    }
    CPty(const CPty &) = delete;
    CPty &operator=(const CPty &) = delete;
    const QString &Path() const { return m_path; }
    bool Ok() const { return !m_path.isEmpty(); }

private:
    int m_master = -1;
    QString m_path;
};

// Points the profile and the virtual port folder at temporary directories.
class CTestEnv {
public:
    CTestEnv()
    {
        qputenv("QEL_SYSTEM_PORTS", "0");
        qputenv("QEL_PORT_DIR", m_ports.path().toLocal8Bit());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_profile.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_profile.path());
    }
    QString PortDir() const { return m_ports.path(); }
    // Registers a virtual port (symlink named like the simulator's).
    bool AddVirtualPort(const QString &name, const QString &target)
    {
        return QFile::link(target, m_ports.filePath(name));
    }
    void ClearPorts()
    {
        QDir dir(m_ports.path());
        for (const QString &f : dir.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
            dir.remove(f);
    }

private:
    QTemporaryDir m_profile;
    QTemporaryDir m_ports;
};
