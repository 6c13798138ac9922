// The recent-file list of the File menu: the ten picture and font files most
// recently opened, most recent first, kept in the profile section
// "Recent File List" as "File1" ... "File10".
#pragma once

#include <QStringList>

class QSettings;

class CRecentFileList {
public:
    enum : int { SIZE = 10, DISPLAY_LENGTH = 40 };

    void ReadList(QSettings &profile);
    void WriteList(QSettings &profile) const;

    // Puts the path first (moving it up when listed); empty paths are ignored.
    void Add(const QString &path);
    void Remove(int index);
    int GetCount() const { return static_cast<int>(m_paths.size()); }
    QString GetPath(int index) const { return m_paths.value(index); }
    // Menu text of an entry: "&<n> <path>", long paths shortened in the middle.
    QString MenuText(int index) const;

private:
    QStringList m_paths;
};
