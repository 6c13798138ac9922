#include "recent_batch_files.h"

#include "res/profile.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace
{

const char kSection[] = "Recent Batch Files";

QString EntryName(int place)
{
    return QStringLiteral("file%1").arg(place + 1);
}

#ifdef Q_OS_WIN
constexpr bool kWindowsPaths = true;
#else
constexpr bool kWindowsPaths = false;
#endif

} // namespace

CMyRecentBatchFiles::CMyRecentBatchFiles() = default;

bool CMyRecentBatchFiles::SamePath(const QString &a, const QString &b)
{
    return a.compare(b, kWindowsPaths ? Qt::CaseInsensitive : Qt::CaseSensitive) == 0;
}

void CMyRecentBatchFiles::ReadList()
{
    auto settings = OpenProfile();
    ReadList(*settings);
}

void CMyRecentBatchFiles::WriteList()
{
    auto settings = OpenProfile();
    WriteList(*settings);
    settings->sync();
}

void CMyRecentBatchFiles::ReadList(QSettings &settings)
{
    settings.beginGroup(QLatin1String(kSection));
    for (int i = 0; i < SIZE; ++i)
        m_places[i] = settings.value(EntryName(i)).toString();
    settings.endGroup();
}

void CMyRecentBatchFiles::WriteList(QSettings &settings)
{
    settings.remove(QLatin1String(kSection));
    settings.beginGroup(QLatin1String(kSection));
    for (int i = 0; i < SIZE; ++i)
        if (!m_places[i].isEmpty())
            settings.setValue(EntryName(i), m_places[i]);
    settings.endGroup();
}

bool CMyRecentBatchFiles::Add(const QString &path)
{
    if (path.isEmpty() || path.size() > MAX_PATH_CHARS)
        return false;
    const QString full = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (full.isEmpty() || full.size() > MAX_PATH_CHARS)
        return false;
    int i = SIZE - 1;
    for (int k = 0; k < SIZE - 1; ++k) {
        if (SamePath(m_places[k], full)) {
            i = k;
            break;
        }
    }
    for (; i > 0; --i)
        m_places[i] = m_places[i - 1];
    m_places[0] = full;
    Changed();
    return true;
}

void CMyRecentBatchFiles::Remove(int index)
{
    if (index < 0 || index >= SIZE)
        return;
    for (int i = index; i < SIZE - 1; ++i)
        m_places[i] = m_places[i + 1];
    m_places[SIZE - 1].clear();
    Changed();
}

bool CMyRecentBatchFiles::GetEntry(int index, QString *path) const
{
    if (index < 0 || index >= SIZE || !path)
        return false;
    *path = m_places[index];
    return !path->isEmpty();
}

void CMyRecentBatchFiles::Changed()
{
    if (m_writeThrough)
        WriteList();
    if (m_changed)
        m_changed();
}

QString CMyRecentBatchFiles::AbbreviatePath(const QString &path, int maxLen, bool atLeastName,
                                            bool windowsStyle)
{
    const QChar sep = windowsStyle ? QLatin1Char('\\') : QLatin1Char('/');
    const int n = path.size();
    const int lastSep = path.lastIndexOf(sep);
    const QString fileName = path.mid(lastSep + 1);
    const int f = fileName.size();
    if (n <= maxLen)
        return path;
    if (f > maxLen)
        return atLeastName ? fileName : QString();
    if (lastSep < 0) // no folder at all, yet longer than maxLen: only possible when f > maxLen
        return fileName;

    // The end of the volume part.
    const int dirLen = lastSep + 1;
    int cur;
    if (windowsStyle) {
        cur = 2;
        if (path.startsWith(QLatin1String("\\\\"))) {
            cur = path.indexOf(sep, 2);
            if (cur < 0)
                cur = lastSep;
        }
        if (dirLen > 3) {
            const int next = path.indexOf(sep, cur + 1);
            cur = next < 0 ? lastSep : next;
        }
    } else {
        // Root and first folder: "/home" of "/home/ann/...".
        cur = path.indexOf(sep);
        if (dirLen > 1) {
            const int next = path.indexOf(sep, cur + 1);
            cur = next < 0 ? lastSep : next;
        }
    }
    cur = std::min(cur, lastSep);
    const int v = cur;
    if (v + 5 + f > maxLen)
        return fileName;
    while (v + 4 + (n - cur) > maxLen) {
        const int next = path.indexOf(sep, cur + 1);
        if (next < 0)
            break;
        cur = next;
    }
    return path.left(v) + sep + QLatin1String("...") + path.mid(cur);
}

bool CMyRecentBatchFiles::GetDisplayName(QString *name, int index, const QString &curDir, int curDirLen,
                                         bool atLeastName) const
{
    if (!name || curDir.isEmpty() || index < 0 || index >= SIZE || m_places[index].isEmpty())
        return false;
    const QString &path = m_places[index];
    const QChar sep = kWindowsPaths ? QLatin1Char('\\') : QLatin1Char('/');
    const int lastSep = path.lastIndexOf(sep);
    const QString dirPart = path.left(lastSep + 1);
    // File titles keep their extensions: this desktop shows them.
    if (dirPart.size() == curDirLen && SamePath(dirPart, curDir)) {
        *name = path.mid(lastSep + 1);
        return true;
    }
    *name = AbbreviatePath(path, DISPLAY_LENGTH, atLeastName, kWindowsPaths);
    return true;
}
