// Why a serial port cannot be opened, as far as the system tells: the device
// is missing, it is not a terminal, the user lacks permission (and which group
// would grant it), or another program holds it (and which one, where a lock
// names it).
#pragma once

#include <QString>

enum class PortProblem { None, Missing, NotSerial, Denied, Busy, Other };

struct CPortCheck {
    PortProblem problem = PortProblem::None;
    int error = 0;      // errno of the step that failed
    QString group;      // Denied: the group that may use the device, when joining it helps
    int holderPid = 0;  // Busy: the process holding the port, when a lock names it
    QString holderName; // its command name
    bool Ok() const { return problem == PortProblem::None; }
};

// Opens the device as the port does (read and write, no controlling
// terminal, without waiting for carrier), tests that nobody holds it and
// closes it again. The line settings are left alone.
CPortCheck CheckPort(const QString &path);

// Only the access rights, without opening the device (opening a port resets
// some boards): None or Denied.
CPortCheck CheckPortAccess(const QString &path);

// The live process that holds the port through a UUCP lock
// file (LCK..ttyUSB0 in /run/lock, /var/lock, ...), the convention of minicom
// and other serial programs; 0 when none does. A stale lock is no holder.
int PortLockHolder(const QString &path);

// Classifies the errno of a failed open or lock of the device at path.
CPortCheck ExplainPortError(const QString &path, int error);

// The reason alone: "设备不存在", the permission help, the holder...; empty
// when nothing is known beyond the problem's kind.
QString PortProblemReason(const CPortCheck &check);

// Status message for a port whose baud list cannot be built: a port in use
// keeps the usual text (followed by its holder when known); the other
// problems name their reason.
QString PortProbeMessage(const QString &displayName, const CPortCheck &check);
