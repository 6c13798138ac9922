#include "shell/recent_files.h"

#include <QSettings>

namespace {
const char kSection[] = "Recent File List";
}

void CRecentFileList::ReadList(QSettings &profile)
{
    m_paths.clear();
    profile.beginGroup(QLatin1String(kSection));
    for (int i = 1; i <= SIZE; ++i) {
        const QString path = profile.value(QStringLiteral("File%1").arg(i)).toString();
        if (!path.isEmpty() && !m_paths.contains(path))
            m_paths.append(path);
    }
    profile.endGroup();
}

void CRecentFileList::WriteList(QSettings &profile) const
{
    profile.beginGroup(QLatin1String(kSection));
    for (int i = 1; i <= SIZE; ++i) {
        const QString key = QStringLiteral("File%1").arg(i);
        if (i <= m_paths.size())
            profile.setValue(key, m_paths.at(i - 1));
        else
            profile.remove(key);
    }
    profile.endGroup();
}

void CRecentFileList::Add(const QString &path)
{
    if (path.isEmpty())
        return;
    m_paths.removeAll(path);
    m_paths.prepend(path);
    while (m_paths.size() > SIZE)
        m_paths.removeLast();
}

void CRecentFileList::Remove(int index)
{
    if (index >= 0 && index < m_paths.size())
        m_paths.removeAt(index);
}

QString CRecentFileList::MenuText(int index) const
{
    QString path = m_paths.value(index);
    if (path.size() > DISPLAY_LENGTH) {
        const int keep = DISPLAY_LENGTH - 3;
        path = path.left(keep / 3) + QStringLiteral("...") + path.right(keep - keep / 3);
    }
    // Ampersands in names must not become mnemonics.
    path.replace(QLatin1Char('&'), QStringLiteral("&&"));
    const int n = index + 1;
    return n < 10 ? QStringLiteral("&%1 %2").arg(n).arg(path) : QStringLiteral("1&0 %1").arg(path);
}
