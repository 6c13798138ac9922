// The file list of the workspace pane: every picture and font file the user
// has opened, in the groups "图象", "字库" and "画面". Selecting an entry loads it
// into its preview and brings that view to the front; clicking an entry
// brings its view back without loading; closing entries returns to the home
// view.
#pragma once

#include <QStringList>
#include <QTreeWidget>

class CFrameServices;
class CAppImage;

// File kinds of the list.
enum : int { FILE_KIND_PICTURE = 1, FILE_KIND_FONT = 2, FILE_KIND_SCREEN = 3 };
constexpr int kFileKinds = 3;

// Results of AddFile.
enum : int {
    ADDFILE_OK = 0,
    ADDFILE_NO_FILE = 2,    // the file cannot be queried (missing, inaccessible)
    ADDFILE_LISTED = 80,    // already listed
    ADDFILE_NULL_PATH = 87,
    ADDFILE_REFUSED = 110,  // a picture that is not a readable image
};

// Whether a path names a screen file (.qels).
bool IsScreenFile(const QString &path);

class CMyList : public QTreeWidget {
    Q_OBJECT
public:
    CMyList(CFrameServices *frame, CAppImage *image, QWidget *parent = nullptr);
    ~CMyList() override;

    // Adds one file of a kind; one of the ADDFILE_ codes. An added file goes
    // to the recent-file list and shows the workspace pane.
    int AddFile(const QString &path, int kind);
    // Adds each path, selects the first one when nothing is selected, and
    // reports the counts. Returns the number added.
    int AddFiles(const QStringList &paths, int kind);
    // Makes the path's entry selected and current (which loads it); false
    // when it is not listed.
    bool SelectFile(const QString &path);
    // Closes the selected entry / every entry.
    void RemoveSelectedFiles();
    void RemoveAllFiles();

    // A file named on the command line or chosen from the recent-file menu:
    // a readable image is added as a picture, any other existing file as a
    // font library; a batch file (.kbz) goes to the top of the recent batch
    // list instead. False when the file does not exist.
    bool OpenDocument(const QString &path, bool select = true);
    // Command-line files: each opened as above, the first listed one
    // selected. Each file's outcome is a line of the log; one status message
    // sums them up, naming every file that failed and why.
    void OpenDocuments(const QStringList &paths);

    int GetFileCount() const { return m_paths.size(); }
    const QStringList &Paths() const { return m_paths; }
    bool HasSelection() const { return !SelectedPath().isEmpty(); }
    QString SelectedPath() const;
    // Kind of a listed path (0 when not listed).
    int KindOf(const QString &path) const;
    QTreeWidgetItem *GroupItem(int kind) const;
    QTreeWidgetItem *FindItem(const QString &path) const;

protected:
    void resizeEvent(QResizeEvent *ev) override;
    // The group headers are never selected: a click on one, or on empty
    // space, leaves the selection as it is, and the keys step over them.
    void mousePressEvent(QMouseEvent *ev) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event = nullptr) const override;

private:
    enum { OPEN_ADDED, OPEN_LISTED, OPEN_BATCH, OPEN_BATCH_REFUSED, OPEN_MISSING, OPEN_UNREADABLE };
    // Opens one file as OpenDocument does, without selecting or reporting;
    // one of the OPEN_ outcomes, *full the absolute path.
    int OpenOne(const QString &path, QString *full);
    void OnSelectionChanged();
    void OnItemClicked(QTreeWidgetItem *item);
    void ShowViewOf(int kind);
    void UpdateGroups();
    void HideEmptyPane();

    CFrameServices *m_frame;
    CAppImage *m_image;
    QStringList m_paths;
    QTreeWidgetItem *m_groups[kFileKinds];
    bool m_removing = false;
};
