// The pseudo-terminal that stands in for the terminal's serial line, and its
// registration as a symlink in the virtual port folder.
#pragma once

#include <QString>

namespace qelsim
{

// The folder of virtual ports: QEL_PORT_DIR, else $XDG_RUNTIME_DIR/qel-ports,
// else /tmp/qel-ports-<uid>.
QString VirtualPortDir();

class CPtyPort
{
  public:
    CPtyPort() = default;
    ~CPtyPort();
    CPtyPort(const CPtyPort &) = delete;
    CPtyPort &operator=(const CPtyPort &) = delete;

    // Opens the pty (slave raw at |rate|) and creates the link: at |linkPath|
    // when given, else qelsim-<name> in the virtual port folder.
    bool Open(const QString &name, const QString &linkPath, int rate, QString *error);
    // Removes the link and closes everything ("the cable is pulled").
    void Close();
    // Removes only the link; safe to call more than once.
    void RemoveLink();

    int MasterFd() const { return master_; }
    // Becomes readable when the program opens or closes the slave.
    int WatchFd() const { return watch_; }
    // Reads the open/close notifications; returns true when the program
    // closed the slave. Clears exclusive use so the port can be opened again,
    // and drops input the program left unread.
    bool HandleWatchEvents();
    QString LinkPath() const { return link_; }
    QString SlavePath() const { return slavePath_; }

  private:
    int master_ = -1;
    int slave_ = -1; // kept open so the master never sees a hang-up between opens
    int watch_ = -1;
    QString link_;
    QString slavePath_;
};

} // namespace qelsim
