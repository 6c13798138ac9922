// The screen designer, "画面设计": a client view showing one screen file.
// Its own toolbar (add, delete, order, align, zoom, grid, undo, save, send,
// export), the file's screens as tabs, the canvas and the property panel.
// What it needs of the main window comes in through CScreenViewHost.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <map>

#include "screen/screen_doc.h"
#include "shell/cmd_target.h"
#include "shell/file_view.h"
#include "toolkit/view.h"

class CMyScreenCanvas;
class CMyTerminal;
class CScreenEditor;
class CScreenProps;
class CStatusSink;
class QAction;
class QLabel;
class QScrollArea;
class QTabBar;
class QToolBar;

// What the designer asks of its surroundings; each has a plain default
// (file dialogs, nothing reported), so the view also stands alone.
struct CScreenViewHost {
    CStatusSink *status = nullptr;
    // Picture files to add; empty when cancelled.
    std::function<QStringList()> choosePictures;
    // A path to save to (title, suggested path, filter); empty when cancelled.
    std::function<QString(const QString &title, const QString &suggested, const QString &filter)> chooseSavePath;
    // A folder for the C code; empty when cancelled.
    std::function<QString(const QString &suggested)> chooseFolder;
    // Writes the C code of doc into a folder; null while the program has no
    // C export. False with *error; *written lists the files.
    std::function<bool(const CScreenDoc &doc, const QString &dir, QStringList *written, QString *error)> exportC;
    // The file shown was saved under a new path.
    std::function<void(const QString &path)> savedAs;
    // Brings the designer back to the front (the picture transfer shows its
    // progress in the picture preview, which comes to the front for it).
    std::function<void(CMyView *designer)> bringToFront;
};

class CMyScreenView : public CMyView, public CCmdTarget, public CFileView {
    Q_OBJECT
public:
    CMyScreenView(CMyTerminal &terminal, CScreenViewHost host, QWidget *parent = nullptr);
    ~CMyScreenView() override;

    // Shows a screen file; false (reported) when it cannot be read. The same
    // path is not read again.
    bool OpenFile(const QString &path);
    // CFileView: the file shown, at the screen's own size (size unused).
    bool OpenFile(const QString &path, const QSize &size) override;
    QSize ShownSize() const override;
    // Drops the file shown; unsaved changes are offered for saving first.
    void CloseFile(bool redraw) override;
    QString FilePath() const override;
    // When the file has unsaved changes, asks whether to save them; false
    // when the user cancelled (or saving failed).
    bool MaySave();

    // A new document at the connected terminal's size (the given one when
    // offline), one empty screen; not yet saved.
    static CScreenDoc NewDoc(const CMyTerminal &terminal, int width, int height, int bpp);

    CScreenEditor &Editor() { return *m_editor; }
    CMyScreenCanvas *Canvas() const { return m_canvas; }
    CScreenProps *Props() const { return m_props; }
    QTabBar *Tabs() const { return m_tabs; }
    QToolBar *Bar() const { return m_bar; }
    QAction *Action(int id) const;

    // CCmdTarget: the designer's commands (ID_SCREEN_*).
    bool OnCmdMsg(int id) override;
    bool OnUpdateCmdUI(CCmdUI &ui) override;

    // The commands themselves.
    bool Save();
    bool SaveAs();
    bool SendScreen();
    bool ExportBatch();
    bool ExportC();
    void AddPictures(const QStringList &paths);

protected:
    void resizeEvent(QResizeEvent *ev) override;
    void showEvent(QShowEvent *ev) override;
    void dragEnterEvent(QDragEnterEvent *ev) override;
    void dropEvent(QDropEvent *ev) override;

private:
    void Report(int kind, const QString &text);
    void SyncTabs();
    void UpdateActions();
    void AddTextAt(const QPoint &pos);
    QString RelativeToDoc(const QString &path) const;
    // A path to save to, with suffix added when it has none; empty when
    // cancelled.
    QString AskSavePath(int title, const QString &suggested, int filter, const QString &suffix);

    CMyTerminal &m_terminal;
    CScreenViewHost m_host;
    CScreenEditor *m_editor;
    QWidget *m_body;
    QToolBar *m_bar;
    QTabBar *m_tabs;
    QScrollArea *m_scroll;
    CMyScreenCanvas *m_canvas;
    CScreenProps *m_props;
    QLabel *m_zoomLabel;
    std::map<int, QAction *> m_actions;
    bool m_syncing = false;
};
