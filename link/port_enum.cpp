#include "link/port_enum.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <unistd.h>

#include "link/tcp_port.h"
#include "res/strings.h"

QString CMyPortEnum::VirtualPortDir()
{
    const QByteArray env = qgetenv("QEL_PORT_DIR");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        return QString::fromLocal8Bit(runtime) + QStringLiteral("/qel-ports");
    return QStringLiteral("/tmp/qel-ports-%1").arg(getuid());
}

static bool InVirtualDir(const QString &path)
{
    const QString dir = QDir(CMyPortEnum::VirtualPortDir()).absolutePath();
    return QFileInfo(path).absolutePath() == dir;
}

bool CMyPortEnum::IsUsbLike(const QString &path)
{
    if (InVirtualDir(path))
        return true;
    const QString name = QFileInfo(path).fileName();
    if (name.startsWith(QLatin1String("ttyUSB")) || name.startsWith(QLatin1String("ttyACM")))
        return true;
    if (qgetenv("QEL_SYSTEM_PORTS") == "0")
        return false;
    const QSerialPortInfo info(path);
    return !info.isNull() && info.hasVendorIdentifier();
}

CPortEntry CMyPortEnum::NamedEntry(const QString &name)
{
    CPortEntry e;
    e.displayName = name;
    e.path = name;
    if (CMyTcpPort::IsTcpName(name))
        e.kind = PortKind::Network;
    else
        e.kind = IsUsbLike(name) ? PortKind::Usb : PortKind::Serial;
    return e;
}

QString CMyPortEnum::SerialNumber(const QString &path)
{
    if (qgetenv("QEL_SYSTEM_PORTS") == "0" || InVirtualDir(path) || CMyTcpPort::IsTcpName(path))
        return QString();
    const QSerialPortInfo info(path);
    return info.isNull() ? QString() : info.serialNumber();
}

QVector<CPortEntry> CMyPortEnum::List()
{
    QVector<CPortEntry> out;
    if (qgetenv("QEL_SYSTEM_PORTS") != "0") {
        for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
            CPortEntry e;
            e.path = info.systemLocation();
            const QString desc = info.description().isEmpty() ? info.portName() : info.description();
            e.displayName = QStringLiteral("%1 (%2)").arg(desc, info.portName());
            e.kind = info.hasVendorIdentifier() || IsUsbLike(e.path) ? PortKind::Usb : PortKind::Serial;
            out.push_back(e);
        }
    }
    // Virtual terminals register themselves as symlinks in the port folder;
    // links whose terminal has gone are skipped.
    const QDir dir(VirtualPortDir());
    const QFileInfoList links = dir.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &fi : links) {
        if (!fi.isSymLink() || !QFileInfo::exists(fi.symLinkTarget()))
            continue;
        CPortEntry e;
        e.path = fi.absoluteFilePath();
        e.displayName = FormatStr(IDS_VIRTUAL_PORT_NAME, qUtf8Printable(fi.fileName()));
        e.kind = PortKind::Virtual;
        out.push_back(e);
    }
    return out;
}

bool CMyPortEnum::Start()
{
    m_entries = List();
    m_next = 0;
    m_started = true;
    return !m_entries.isEmpty();
}

bool CMyPortEnum::Next(CPortEntry *entry)
{
    if (!m_started || m_next >= m_entries.size())
        return false;
    *entry = m_entries[m_next++];
    return true;
}

bool CMyPortEnum::Next(QString *path, QString *displayName)
{
    CPortEntry e;
    if (!Next(&e))
        return false;
    *path = e.path;
    *displayName = e.displayName;
    return true;
}
