// The ten batch files most recently run or saved, most recent first, kept in
// the profile section "Recent Batch Files".
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QSettings;

class CMyRecentBatchFiles
{
  public:
    enum : int { SIZE = 10, DISPLAY_LENGTH = 30, MAX_PATH_CHARS = 259 };

    CMyRecentBatchFiles();

    // Section "Recent Batch Files", values "file1" ... "file10". Without an
    // argument the program's profile is used.
    void ReadList();
    void WriteList();
    void ReadList(QSettings &settings);
    void WriteList(QSettings &settings);

    // Puts the full path at place 0 (moving it up when present). False, with
    // the list unchanged, for a path that is empty, too long or cannot be
    // made absolute.
    bool Add(const QString &path);
    // Empties the place and closes the gap; outside 0-9 nothing happens.
    void Remove(int index);
    // The place's path; false for an index outside the list or an empty place.
    bool GetEntry(int index, QString *path) const;
    int GetSize() const { return SIZE; }
    // The short form of the place's path for display: only the file name when
    // it lies in curDir (whose length is curDirLen), otherwise the path
    // shortened to DISPLAY_LENGTH characters.
    bool GetDisplayName(QString *name, int index, const QString &curDir, int curDirLen,
                        bool atLeastName) const;

    // Called after Add and Remove (the home page rebuilds its table).
    void SetChangedCallback(std::function<void()> callback) { m_changed = std::move(callback); }
    // Writes the list to the program's profile after every Add and Remove,
    // so that the profile always holds what the list holds.
    void SetWriteThrough(bool on) { m_writeThrough = on; }

    // The platform's path comparison: case-sensitive on POSIX systems,
    // ignoring case on Windows.
    static bool SamePath(const QString &a, const QString &b);
    // Shortens a path to maxLen characters, keeping the volume part (drive and
    // first folder, or the root and first folder on POSIX systems) and the
    // file name; windowsStyle selects backslash paths.
    static QString AbbreviatePath(const QString &path, int maxLen, bool atLeastName, bool windowsStyle);

  private:
    void Changed();

    QString m_places[SIZE];
    std::function<void()> m_changed;
    bool m_writeThrough = false;
};
