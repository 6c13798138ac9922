// The port watcher follows the virtual port folder by the system's events:
// links made, renamed and removed, a terminal whose device goes while its
// link stays, the folder itself removed, changes made while it was stopped;
// and it reads nothing while nothing changes. Where the folder cannot be
// watched it falls back to reading the list on its timer.
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "common/pty_pair.h"
#include "link/port_watcher.h"

namespace {

// A watcher over the real enumeration that counts its readings.
struct CWatch {
    int reads = 0;
    CPortWatcher watcher;
    QSignalSpy spy{&watcher, &CPortWatcher::Changed};
    CWatch()
    {
        watcher.SetSource([this] {
            ++reads;
            return CMyPortEnum::List();
        });
    }
    // The next change reported: added and removed paths, each sorted.
    bool NextChange(QStringList *added, QStringList *removed)
    {
        if (spy.isEmpty() && !spy.wait(5000))
            return false;
        const QList<QVariant> change = spy.takeFirst();
        *added = change.at(0).toStringList();
        *removed = change.at(1).toStringList();
        added->sort();
        removed->sort();
        return true;
    }
};

bool Link(const QString &target, const QString &path)
{
    return QFile::link(target, path);
}

} // namespace

class TestPortWatch : public QObject {
    Q_OBJECT
private slots:
    void init();
    void followsLinksWithoutReading();
    void terminalGoneWhileItsLinkStays();
    void folderRemovedAndMadeAgain();
    void changesWhileStoppedReportedOnStart();
    void unwatchableFolderIsReadOnTimer();

private:
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_dir;
};

void TestPortWatch::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    // Not there yet: the watcher makes it.
    m_dir = m_root->filePath(QStringLiteral("ports"));
    qputenv("QEL_PORT_DIR", QFile::encodeName(m_dir));
}

void TestPortWatch::followsLinksWithoutReading()
{
    CPtyPair a, b;
    QVERIFY(a.slave >= 0 && b.slave >= 0);
    CWatch w;
    w.watcher.Start();
    QVERIFY(QFileInfo(m_dir).isDir());
    QVERIFY(!w.watcher.Polling());
    const int primed = w.reads;

    // Idle: the list is not read at all.
    QTest::qWait(600);
    QCOMPARE(w.reads, primed);

    // Each change, however made, is one report of exactly what changed.
    const QString pa = m_dir + QStringLiteral("/qelsim-a");
    const QString pb = m_dir + QStringLiteral("/qelsim-b");
    const QString pc = m_dir + QStringLiteral("/qelsim-c");
    struct Step {
        const char *what;
        std::function<bool()> act;
        QStringList added;
        QStringList removed;
    };
    const QVector<Step> steps = {
        {"one link made", [&] { return Link(a.slavePath, pa); }, {pa}, {}},
        {"two links at once", [&] { return Link(b.slavePath, pb) && Link(a.slavePath, pc); }, {pb, pc}, {}},
        {"renamed", [&] { return QFile::rename(pc, pc + QStringLiteral("2")); }, {pc + QStringLiteral("2")}, {pc}},
        {"removed", [&] { return QFile::remove(pa); }, {}, {pa}},
        {"not a link: not a port", [&] {
             QFile f(m_dir + QStringLiteral("/notes.txt"));
             return f.open(QIODevice::WriteOnly) && QFile::remove(pb);
         }, {}, {pb}},
    };
    for (const Step &step : steps) {
        QVERIFY2(step.act(), step.what);
        QStringList added, removed;
        QVERIFY2(w.NextChange(&added, &removed), step.what);
        QCOMPARE(added, step.added);
        QCOMPARE(removed, step.removed);
    }
    // Settled: nothing more is reported or read.
    const int settled = w.reads;
    QTest::qWait(600);
    QCOMPARE(w.spy.count(), 0);
    QCOMPARE(w.reads, settled);
    QVERIFY(!w.watcher.Polling());
}

void TestPortWatch::terminalGoneWhileItsLinkStays()
{
    auto pty = std::make_unique<CPtyPair>();
    CPtyPair other;
    QVERIFY(QDir().mkpath(m_dir));
    const QString path = m_dir + QStringLiteral("/qelsim-k");
    const QString kept = m_dir + QStringLiteral("/qelsim-o");
    QVERIFY(Link(pty->slavePath, path));
    QVERIFY(Link(other.slavePath, kept));
    CWatch w;
    w.watcher.Start();
    const auto virtualPorts = [&w] {
        QStringList out;
        for (const CPortEntry &e : w.watcher.Ports())
            if (e.kind == PortKind::Virtual)
                out << e.path;
        return out;
    };
    QCOMPARE(virtualPorts(), (QStringList{path, kept}));

    // A terminal killed outright leaves its link behind; its device goes.
    pty.reset();
    QStringList added, removed;
    QVERIFY(w.NextChange(&added, &removed));
    QCOMPARE(added, QStringList());
    QCOMPARE(removed, QStringList{path});
    QVERIFY(QFileInfo(path).isSymLink());
    QCOMPARE(virtualPorts(), QStringList{kept});
}

void TestPortWatch::folderRemovedAndMadeAgain()
{
    CPtyPair pty;
    CWatch w;
    w.watcher.Start();
    const QString path = m_dir + QStringLiteral("/qelsim-f");
    QVERIFY(Link(pty.slavePath, path));
    QStringList added, removed;
    QVERIFY(w.NextChange(&added, &removed));
    QCOMPARE(added, QStringList{path});

    // The folder goes with its link, and is watched again once made anew.
    QVERIFY(QDir(m_dir).removeRecursively());
    QVERIFY(w.NextChange(&added, &removed));
    QCOMPARE(removed, QStringList{path});
    QTRY_VERIFY(QFileInfo(m_dir).isDir());
    QVERIFY(Link(pty.slavePath, path));
    QVERIFY(w.NextChange(&added, &removed));
    QCOMPARE(added, QStringList{path});
    QVERIFY(!w.watcher.Polling());
}

void TestPortWatch::changesWhileStoppedReportedOnStart()
{
    CPtyPair pty;
    CWatch w;
    w.watcher.Start();
    w.watcher.Stop();
    const QString path = m_dir + QStringLiteral("/qelsim-s");
    QVERIFY(Link(pty.slavePath, path));
    QTest::qWait(300);
    QCOMPARE(w.spy.count(), 0);
    w.watcher.Start();
    QStringList added, removed;
    QVERIFY(w.NextChange(&added, &removed));
    QCOMPARE(added, QStringList{path});
    // Watched again from here on.
    QVERIFY(QFile::remove(path));
    QVERIFY(w.NextChange(&added, &removed));
    QCOMPARE(removed, QStringList{path});
}

void TestPortWatch::unwatchableFolderIsReadOnTimer()
{
    // The folder's place is taken by a file: it can be neither made nor
    // watched, and the list is read on the timer instead.
    QFile blocker(m_dir);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("QEL_PORT_DIR", QFile::encodeName(m_dir + QStringLiteral("/inside")));
    QVector<CPortEntry> present;
    CWatch w;
    w.watcher.SetSource([&] {
        ++w.reads;
        return present;
    });
    w.watcher.Start(50);
    QVERIFY(w.watcher.Polling());
    present.push_back({QStringLiteral("COM9"), QStringLiteral("/dev/ttyS9"), PortKind::Serial});
    QStringList added, removed;
    QVERIFY(w.NextChange(&added, &removed));
    QCOMPARE(added, QStringList{QStringLiteral("/dev/ttyS9")});
    QVERIFY(w.reads >= 2);
    w.watcher.Stop();
    QVERIFY(!w.watcher.Polling());
}

QTEST_GUILESS_MAIN(TestPortWatch)
#include "tst_portwatch.moc"
