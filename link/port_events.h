// Tells when the port list may have changed, without reading it: the kernel
// reports links made and removed in the virtual port folder and a virtual
// terminal's device going away (inotify), and serial devices plugged and
// pulled (the udev monitor of the tty subsystem). Both descriptors wait in
// the event loop, so nothing runs while nothing changes.
#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

class QSocketNotifier;
struct udev;
struct udev_monitor;

class CPortEvents : public QObject {
    Q_OBJECT
public:
    explicit CPortEvents(QObject *parent = nullptr);
    ~CPortEvents() override;

    // Watches the folder for links made, removed or renamed, creating it
    // when it is missing. False when it cannot be watched.
    bool WatchFolder(const QString &dir);
    bool FolderWatched() const { return m_folderWd >= 0; }
    // Watches exactly these device files for their removal (the devices the
    // virtual links lead to: a terminal that ends without removing its link
    // takes its device with it). Needs the folder watch. False when one of
    // them was already gone.
    bool WatchTargets(const QStringList &targets);
    // Watches the tty subsystem for devices added and removed. False when
    // the system offers no such monitor (or the build has none).
    bool WatchDevices();
    bool DevicesWatched() const { return m_monitor != nullptr; }
    // Ends every watch.
    void Close();

signals:
    // Something in the folder or among the devices came or went.
    void Changed();

private:
    void ReadInotify();
    void ReadUdev();
    void DropTarget(int wd);

    int m_inotify = -1;
    int m_folderWd = -1;
    QHash<QString, int> m_targets;  // device path -> watch
    QSocketNotifier *m_inotifyNote = nullptr;
    struct udev *m_udev = nullptr;
    struct udev_monitor *m_monitor = nullptr;
    QSocketNotifier *m_udevNote = nullptr;
};
