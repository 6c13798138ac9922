// Lists the serial ports present: real ports through QSerialPortInfo and the
// virtual ports registered as symlinks in the virtual port folder.
#pragma once

#include <QString>
#include <QVector>

// Network: tcp://HOST:PORT, a serial line behind a network bridge.
enum class PortKind { Serial, Usb, Virtual, Network };

struct CPortEntry {
    QString displayName;  // "description (ttyUSB0)" or "虚拟终端 (name)"
    QString path;         // device path handed to CMyComPort::Open, or tcp://HOST:PORT
    PortKind kind = PortKind::Serial;
};

class CMyPortEnum {
public:
    // Collects the port list. Fails when no port is present.
    bool Start();
    // Next entry in list order; false when the list is exhausted.
    bool Next(QString *path, QString *displayName);
    bool Next(CPortEntry *entry);

    // The whole list at once (what Start collects).
    static QVector<CPortEntry> List();
    // Folder of the virtual ports: QEL_PORT_DIR, else $XDG_RUNTIME_DIR/qel-ports,
    // else /tmp/qel-ports-<uid>.
    static QString VirtualPortDir();
    // Whether a port gets the long baud list (USB adapters and virtual ports).
    static bool IsUsbLike(const QString &path);
    // The entry for a port named on its own (a path the enumeration does not
    // list, or a network port): display name and path are the name.
    static CPortEntry NamedEntry(const QString &name);
    // The serial number of the adapter at path; empty when it has none (a
    // built-in or virtual port). The same adapter plugged in again may get
    // another path, never another number.
    static QString SerialNumber(const QString &path);

    // The profile's name of a port (value Port) is its display name as the
    // Chinese interface shows it, whatever the interface language: a
    // virtual port's "Virtual terminal (name)" is kept as "虚拟终端 (name)".
    static QString ProfilePortName(const QString &displayName);
    // The display name in the interface language of a name from the profile.
    static QString PortNameFromProfile(const QString &profileName);

    // What a port named on the command line stands for: a listed port's
    // display name in either language becomes its path, a relative path an
    // absolute one; anything else (tcp://, a bare word) is kept.
    static QString ResolvePortName(const QString &name);
    // One spelling per port, whatever the user typed: the device's real path
    // (links, "//" and "." resolved) or tcp://host:port with the host in
    // lower case and the port as a plain number.
    static QString PortIdentity(const QString &name);

private:
    QVector<CPortEntry> m_entries;
    int m_next = 0;
    bool m_started = false;
};
