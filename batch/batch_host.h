// What the batch core needs from the program around it. The desktop program,
// the command-line front end and the tests each implement these; the core
// itself never opens a window, plays a sound or sleeps.
#pragma once

#include "link/host.h"

#include <QString>
#include <cstdint>

class CMyTerminal;
class QObject;

namespace BATCHCMD
{

// Message box buttons, icon and answer.
enum : int { BATCH_MB_OK = 0, BATCH_MB_OKCANCEL = 1 };
enum : int { BATCH_ICON_NONE = 0, BATCH_ICON_ERROR = 1 };
enum : int { BATCH_ANSWER_OK = 1, BATCH_ANSWER_CANCEL = 2 };

// Reading and writing batch files: the terminal (availability of kinds and the
// screen resolution), message boxes for rejected files and the status bar
// (inherited ShowStatusMessage) for other failures.
class CBatchFileHost : public CStatusSink
{
  public:
    virtual CMyTerminal &Terminal() = 0;
    // Modal message box; returns BATCH_ANSWER_OK or BATCH_ANSWER_CANCEL.
    virtual int MessageBox(const QString &text, int buttons, int icon) = 0;
};

// The client view active when a run begins.
enum : int { BATCH_VIEW_OTHER = 0, BATCH_VIEW_PICTURE = 1, BATCH_VIEW_FONT = 2 };

struct CBatchViewInfo {
    int kind = BATCH_VIEW_OTHER;
    QObject *view = nullptr; // not owned; nullptr when there is none
    QString path;            // file shown by a picture or font preview
    int param1 = 0;          // picture: target width; font: glyph width
    int param2 = 0;          // picture: target height; font: glyph height
};

class CBatchHost : public CBatchFileHost
{
  public:
    // --- Pacing and feedback ---
    // Blocks for ms milliseconds (the desktop keeps its window painted).
    virtual void Wait(int ms) = 0;
    // Starts playing a wave file and returns at once; a file that cannot be
    // played plays nothing.
    virtual void PlaySound(const QString &path) = 0;
    virtual void SetWaitCursor(bool on) = 0;
    // Puts the status bar back to its idle text.
    virtual void ShowIdleStatus(const QString &text) = 0;
    // RefreshUi (inherited): one idle pass and a synchronous redraw.
    // Told before each command is carried out: its position in the list
    // (from 0), its kind and how many records of the list it carries out
    // (2 for a picture send merged with the save after it).
    virtual void BeginCommand(int index, int32_t kind, int count)
    {
        (void)index;
        (void)kind;
        (void)count;
    }

    // --- Choosing a file and connecting ---
    // The batch open (save == false) or save dialog; an empty path on cancel.
    virtual QString ChooseBatchFile(bool save, const QString &initialPath) = 0;
    // The connect procedure (remembered port and baud, then detection);
    // reports its own outcome. True when a terminal is connected afterwards.
    virtual bool ConnectTerminal() = 0;

    // --- Window preparation and restoration around a run ---
    virtual bool IsFileListVisible() = 0;
    virtual bool IsWorkspaceShown() = 0;
    virtual void ShowWorkspace(bool show) = 0;
    virtual CBatchViewInfo ActiveView() = 0;
    // Invalidates and repaints the whole main window at once.
    virtual void RedrawMainWindow() = 0;
    virtual void ReloadPictureView(QObject *view, const QString &path, int width, int height) = 0;
    virtual void ReloadFontView(QObject *view, const QString &path, int glyphWidth, int glyphHeight) = 0;
    virtual void ShowView(QObject *view) = 0;

    // --- Front-end operations, one per terminal kind. Each reports its own
    // outcome in the status bar and returns success. ---
    virtual bool DevSetMode(int mode) = 0;
    virtual bool DevSetBaud(int baud) = 0;
    virtual bool DevClearScreen() = 0;
    // slot -1 shows the picture without storing it.
    virtual bool SendPictureFile(bool keepAspectRatio, const QString &path, uint32_t bkColor, int slot) = 0;
    virtual bool DevSavePicture(int slot) = 0;
    virtual bool DevShowPicture(int slot) = 0;
    virtual bool DevDeletePicture(int slot) = 0;
    virtual bool DevDeleteAllPictures() = 0;
    virtual bool SendFontFile(const QString &path, int width, int height) = 0;
    virtual bool DevShowText(const QString &text, int x, int y, int fontWidth, int fontHeight) = 0;
    virtual bool DevSetColors(uint32_t foreground, uint32_t background) = 0;
};

} // namespace BATCHCMD
