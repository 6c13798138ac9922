// The recent batch file list.
#include "batch/recent_batch_files.h"
#include "res/profile.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

QString P(int i)
{
    return QStringLiteral("/data/batches/b%1.kbz").arg(i);
}

QStringList Entries(const CMyRecentBatchFiles &r)
{
    QStringList out;
    for (int i = 0; i < r.GetSize(); ++i) {
        QString p;
        r.GetEntry(i, &p);
        out << p;
    }
    return out;
}

// Fills places 0-9 with P(9) ... P(0): P(0) most recent.
void FillTen(CMyRecentBatchFiles &r)
{
    for (int i = 9; i >= 0; --i)
        ASSERT_TRUE(r.Add(P(i)));
}

} // namespace

TEST(RecentBatchFiles, AddMovesAnExistingPathToTheTop)
{
    CMyRecentBatchFiles r;
    EXPECT_EQ(r.GetSize(), 10);
    FillTen(r);
    EXPECT_EQ(Entries(r), (QStringList{P(0), P(1), P(2), P(3), P(4), P(5), P(6), P(7), P(8), P(9)}));
    ASSERT_TRUE(r.Add(P(3)));
    EXPECT_EQ(Entries(r), (QStringList{P(3), P(0), P(1), P(2), P(4), P(5), P(6), P(7), P(8), P(9)}));
    ASSERT_TRUE(r.Add(P(3))); // already at the top: unchanged
    EXPECT_EQ(Entries(r)[0], P(3));
    EXPECT_EQ(Entries(r)[1], P(0));
}

TEST(RecentBatchFiles, EleventhPathDropsTheOldest)
{
    CMyRecentBatchFiles r;
    FillTen(r);
    ASSERT_TRUE(r.Add(P(10)));
    EXPECT_EQ(Entries(r), (QStringList{P(10), P(0), P(1), P(2), P(3), P(4), P(5), P(6), P(7), P(8)}));
    // Re-adding the entry at place 9 moves it up like any other.
    ASSERT_TRUE(r.Add(P(8)));
    EXPECT_EQ(Entries(r)[0], P(8));
    EXPECT_EQ(Entries(r)[9], P(7));
}

TEST(RecentBatchFiles, PathsAreStoredFullAndComparedAsThePlatformDoes)
{
    CMyRecentBatchFiles r;
    ASSERT_TRUE(r.Add(QStringLiteral("/data/./x/../Run.kbz")));
    QString p;
    ASSERT_TRUE(r.GetEntry(0, &p));
    EXPECT_EQ(p, QStringLiteral("/data/Run.kbz"));
    ASSERT_TRUE(r.Add(QStringLiteral("/data/run.kbz")));
#ifdef Q_OS_WIN
    EXPECT_FALSE(r.GetEntry(1, &p));
#else
    // POSIX file names differ by case: two entries.
    ASSERT_TRUE(r.GetEntry(1, &p));
    EXPECT_EQ(p, QStringLiteral("/data/Run.kbz"));
    EXPECT_FALSE(CMyRecentBatchFiles::SamePath(QStringLiteral("/a/B"), QStringLiteral("/a/b")));
#endif
    EXPECT_TRUE(CMyRecentBatchFiles::SamePath(QStringLiteral("/a/b"), QStringLiteral("/a/b")));

    // Unusable paths leave the list as it was.
    const QStringList before = Entries(r);
    EXPECT_FALSE(r.Add(QString()));
    EXPECT_FALSE(r.Add(QStringLiteral("/") + QString(260, QLatin1Char('x'))));
    EXPECT_EQ(Entries(r), before);
}

TEST(RecentBatchFiles, RemoveClosesTheGap)
{
    CMyRecentBatchFiles r;
    int changes = 0;
    r.SetChangedCallback([&] { ++changes; });
    r.Add(P(2));
    r.Add(P(1));
    r.Add(P(0));
    EXPECT_EQ(changes, 3);
    r.Remove(0);
    EXPECT_EQ(changes, 4);
    QString p;
    ASSERT_TRUE(r.GetEntry(0, &p));
    EXPECT_EQ(p, P(1));
    ASSERT_TRUE(r.GetEntry(1, &p));
    EXPECT_EQ(p, P(2));
    EXPECT_FALSE(r.GetEntry(2, &p));
    r.Remove(-1);
    r.Remove(10);
    EXPECT_EQ(changes, 4);
    EXPECT_FALSE(r.GetEntry(-1, &p));
    EXPECT_FALSE(r.GetEntry(10, &p));
}

TEST(RecentBatchFiles, ProfileWithGapsAndRewrite)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ini = dir.filePath(QStringLiteral("profile.ini"));
    {
        QSettings s(ini, QSettings::IniFormat);
        s.setValue(QStringLiteral("Recent Batch Files/file1"), QStringLiteral("/a/one.kbz"));
        s.setValue(QStringLiteral("Recent Batch Files/file3"), QStringLiteral("/a/three.kbz"));
        s.setValue(QStringLiteral("Recent Batch Files/stale"), QStringLiteral("x"));
        s.setValue(QStringLiteral("Settings/Baud"), 9600);
    }
    CMyRecentBatchFiles r;
    {
        QSettings s(ini, QSettings::IniFormat);
        r.ReadList(s);
    }
    QString p;
    ASSERT_TRUE(r.GetEntry(0, &p));
    EXPECT_EQ(p, QStringLiteral("/a/one.kbz"));
    EXPECT_FALSE(r.GetEntry(1, &p));
    ASSERT_TRUE(r.GetEntry(2, &p));
    EXPECT_EQ(p, QStringLiteral("/a/three.kbz"));

    r.Add(QStringLiteral("/a/new.kbz"));
    {
        QSettings s(ini, QSettings::IniFormat);
        r.WriteList(s);
    }
    QSettings s(ini, QSettings::IniFormat);
    s.beginGroup(QStringLiteral("Recent Batch Files"));
    EXPECT_EQ(s.childKeys(),
              (QStringList{QStringLiteral("file1"), QStringLiteral("file2"), QStringLiteral("file4")}));
    EXPECT_EQ(s.value(QStringLiteral("file1")).toString(), QStringLiteral("/a/new.kbz"));
    EXPECT_EQ(s.value(QStringLiteral("file2")).toString(), QStringLiteral("/a/one.kbz"));
    EXPECT_EQ(s.value(QStringLiteral("file4")).toString(), QStringLiteral("/a/three.kbz"));
    s.endGroup();
    EXPECT_EQ(s.value(QStringLiteral("Settings/Baud")).toInt(), 9600); // other sections untouched
}

TEST(RecentBatchFiles, ProgramProfileRoundTrip)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    {
        CMyRecentBatchFiles r;
        r.Add(QStringLiteral("/x/a.kbz"));
        r.Add(QStringLiteral("/x/b.kbz"));
        r.WriteList();
    }
    CMyRecentBatchFiles back;
    back.ReadList();
    QString p;
    ASSERT_TRUE(back.GetEntry(0, &p));
    EXPECT_EQ(p, QStringLiteral("/x/b.kbz"));
    ASSERT_TRUE(back.GetEntry(1, &p));
    EXPECT_EQ(p, QStringLiteral("/x/a.kbz"));
    auto profile = OpenProfile();
    EXPECT_TRUE(profile->fileName().startsWith(dir.path())) << profile->fileName().toStdString();
    EXPECT_EQ(profile->value(QStringLiteral("Recent Batch Files/file1")).toString(),
              QStringLiteral("/x/b.kbz"));
}

TEST(RecentBatchFiles, AbbreviatedDisplayNames)
{
    // Backslash paths: drive and first folder kept.
    EXPECT_EQ(CMyRecentBatchFiles::AbbreviatePath(
                  QStringLiteral("C:\\Projects\\Terminal\\Batches\\Demo\\start.kbz"), 30, true, true),
              QStringLiteral("C:\\Projects\\...\\Demo\\start.kbz"));
    EXPECT_EQ(CMyRecentBatchFiles::AbbreviatePath(QStringLiteral("\\\\server\\share\\deep\\deeper\\run.kbz"),
                                                  30, true, true),
              QStringLiteral("\\\\server\\share\\...\\run.kbz"));
    // POSIX: root and first folder.
    EXPECT_EQ(CMyRecentBatchFiles::AbbreviatePath(QStringLiteral("/home/ann/work/terminal/batches/start.kbz"),
                                                  30, true, false),
              QStringLiteral("/home/.../batches/start.kbz"));
    // Short enough: unchanged.
    EXPECT_EQ(CMyRecentBatchFiles::AbbreviatePath(QStringLiteral("/home/ann/start.kbz"), 30, true, false),
              QStringLiteral("/home/ann/start.kbz"));
    // A file name longer than the limit: the name alone, or nothing.
    const QString longName = QString(31, QLatin1Char('n')) + QStringLiteral(".kbz");
    EXPECT_EQ(CMyRecentBatchFiles::AbbreviatePath(QStringLiteral("/home/") + longName, 30, true, false),
              longName);
    EXPECT_EQ(CMyRecentBatchFiles::AbbreviatePath(QStringLiteral("/home/") + longName, 30, false, false),
              QString());
    // Volume plus "/..." plus the name would not fit: the name alone.
    const QString name26 = QString(22, QLatin1Char('m')) + QStringLiteral(".kbz");
    EXPECT_EQ(CMyRecentBatchFiles::AbbreviatePath(QStringLiteral("/home/ann/") + name26, 30, true, false),
              name26);
    // Exactly fitting: volume, "/...", "/" and the name make 30.
    const QString name20 = QString(16, QLatin1Char('q')) + QStringLiteral(".kbz");
    EXPECT_EQ(
        CMyRecentBatchFiles::AbbreviatePath(QStringLiteral("/home/ann/more/") + name20, 30, true, false),
        QStringLiteral("/home/.../") + name20);
}

TEST(RecentBatchFiles, DisplayNameOfAPlace)
{
    CMyRecentBatchFiles r;
    r.Add(QStringLiteral("/home/ann/work/terminal/batches/start.kbz"));
    QString name;
    EXPECT_FALSE(r.GetDisplayName(&name, 1, QStringLiteral("/tmp/"), 5, true)); // empty place
    EXPECT_FALSE(r.GetDisplayName(&name, 0, QString(), 0, true));               // no current folder
    ASSERT_TRUE(r.GetDisplayName(&name, 0, QStringLiteral("/tmp/"), 5, true));
    EXPECT_EQ(name, QStringLiteral("/home/.../batches/start.kbz"));
    const QString folder = QStringLiteral("/home/ann/work/terminal/batches/");
    ASSERT_TRUE(r.GetDisplayName(&name, 0, folder, folder.size(), true));
    EXPECT_EQ(name, QStringLiteral("start.kbz"));
    // The length must match too.
    ASSERT_TRUE(r.GetDisplayName(&name, 0, folder, folder.size() - 1, true));
    EXPECT_EQ(name, QStringLiteral("/home/.../batches/start.kbz"));
}
