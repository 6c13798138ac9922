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

// Whether the path alone shows a USB-like port: a virtual one, or a USB
// serial or modem-class device.
static bool UsbLikeByName(const QString &path)
{
    if (InVirtualDir(path))
        return true;
    const QString name = QFileInfo(path).fileName();
    return name.startsWith(QLatin1String("ttyUSB")) || name.startsWith(QLatin1String("ttyACM"));
}

bool CMyPortEnum::IsUsbLike(const QString &path)
{
    if (UsbLikeByName(path))
        return true;
    if (qgetenv("QEL_SYSTEM_PORTS") == "0")
        return false;
    // Asking for one port's description enumerates them all.
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
            // The vendor is known from this very enumeration: asking
            // IsUsbLike would enumerate every port again for each port.
            e.kind = info.hasVendorIdentifier() || UsbLikeByName(e.path) ? PortKind::Usb : PortKind::Serial;
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

namespace {

// text rendered with the one-%s format from, rendered with the format to
// instead; text unchanged when it does not have from's shape.
QString Reformat(const QString &text, const QString &from, const QString &to)
{
    const int at = from.indexOf(QLatin1String("%s"));
    const int toAt = to.indexOf(QLatin1String("%s"));
    if (at < 0 || toAt < 0 || from == to)
        return text;
    const QString head = from.left(at);
    const QString tail = from.mid(at + 2);
    if (text.size() < head.size() + tail.size() || !text.startsWith(head) || !text.endsWith(tail))
        return text;
    const QString name = text.mid(head.size(), text.size() - head.size() - tail.size());
    return to.left(toAt) + name + to.mid(toAt + 2);
}

} // namespace

QString CMyPortEnum::ProfilePortName(const QString &displayName)
{
    return Reformat(displayName, LoadStr(IDS_VIRTUAL_PORT_NAME), LoadStrIn(StrLang::Chinese, IDS_VIRTUAL_PORT_NAME));
}

QString CMyPortEnum::PortNameFromProfile(const QString &profileName)
{
    return Reformat(profileName, LoadStrIn(StrLang::Chinese, IDS_VIRTUAL_PORT_NAME), LoadStr(IDS_VIRTUAL_PORT_NAME));
}

QString CMyPortEnum::ResolvePortName(const QString &name)
{
    if (name.isEmpty() || CMyTcpPort::IsTcpName(name))
        return name;
    const QString chinese = LoadStrIn(StrLang::Chinese, IDS_VIRTUAL_PORT_NAME);
    const QString english = LoadStrIn(StrLang::English, IDS_VIRTUAL_PORT_NAME);
    for (const CPortEntry &e : List()) {
        const QString zh = Reformat(e.displayName, LoadStr(IDS_VIRTUAL_PORT_NAME), chinese);
        const QString en = Reformat(e.displayName, LoadStr(IDS_VIRTUAL_PORT_NAME), english);
        for (const QString &shown : {e.displayName, zh, en})
            if (shown.compare(name, Qt::CaseInsensitive) == 0)
                return e.path;
    }
    if (name.contains(QLatin1Char('/')) || QFileInfo::exists(name))
        return QDir::cleanPath(QFileInfo(name).absoluteFilePath());
    return name;
}

QString CMyPortEnum::PortIdentity(const QString &name)
{
    QString host;
    int port = 0;
    if (CMyTcpPort::ParseName(name, &host, &port)) {
        host = host.toLower();
        if (host.contains(QLatin1Char(':')))
            host = QLatin1Char('[') + host + QLatin1Char(']');
        return QStringLiteral("tcp://%1:%2").arg(host).arg(port);
    }
    const QString path = ResolvePortName(name);
    const QString real = QFileInfo(path).canonicalFilePath();
    return real.isEmpty() ? path : real;
}
