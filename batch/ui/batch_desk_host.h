// The batch host of the desktop program: message boxes over the main
// window, sounds through Qt Multimedia, waits that keep the window painted,
// the wait cursor, the batch open and save dialogs, the connect procedure of
// the device commands, and the window preparation and restoration around a
// run (workspace pane, active preview). It reaches the main window through
// its frame services; the picture and font steps go through the previews,
// which the main window hands over as two senders.
#pragma once

#include <functional>

#include "batch/batch_core_host.h"
#include "batch/ui/batch_cmd_page.h"

class CFrameServices;
class QObject;

namespace BATCHCMD
{

class CDeskBatchHost : public CBatchCoreHost, public CBatchBrowser
{
  public:
    explicit CDeskBatchHost(CFrameServices &frame);
    ~CDeskBatchHost() override;

    CFrameServices &Frame() { return m_frame; }

    // Where the picture and font steps are sent (the previews); without
    // them those steps fail.
    using PictureSender = std::function<bool(bool keepAspect, const QString &path, uint32_t bkColor, int slot)>;
    using FontSender = std::function<bool(const QString &path, int width, int height)>;
    void SetPreviewSenders(PictureSender picture, FontSender font);

    void ShowStatusMessage(int kind, const QString &text) override;
    void ShowStatusProgress(const QString &text, int percent) override;
    // One idle pass (enabling of bars and menus) and a synchronous redraw.
    void RefreshUi() override;

    int MessageBox(const QString &text, int buttons, int icon) override;
    // Runs the event loop without user input for ms milliseconds, so the
    // window stays painted while nothing else can be started.
    void Wait(int ms) override;
    void PlaySound(const QString &path) override;
    void SetWaitCursor(bool on) override;
    void ShowIdleStatus(const QString &text) override;
    QString ChooseBatchFile(bool save, const QString &initialPath) override;
    bool ConnectTerminal() override;

    bool IsFileListVisible() override;
    bool IsWorkspaceShown() override;
    void ShowWorkspace(bool show) override;
    CBatchViewInfo ActiveView() override;
    void RedrawMainWindow() override;
    void ReloadPictureView(QObject *view, const QString &path, int width, int height) override;
    void ReloadFontView(QObject *view, const QString &path, int glyphWidth, int glyphHeight) override;
    void ShowView(QObject *view) override;

    bool SendPictureFile(bool keepAspectRatio, const QString &path, uint32_t bkColor, int slot) override;
    bool SendFontFile(const QString &path, int width, int height) override;

    bool BrowsePicture(QWidget *parent, QString *path) override;
    bool BrowseFont(QWidget *parent, QString *path) override;
    bool BrowseSound(QWidget *parent, QString *path) override;

    // The sound last started (for tests); empty when nothing was played.
    QString LastSound() const { return m_lastSound; }

  private:
    CFrameServices &m_frame;
    PictureSender m_sendPicture;
    FontSender m_sendFont;
    QObject *m_sound = nullptr; // a QSoundEffect from the sound module, made on first use
    QString m_lastSound;
    int m_waitCursors = 0;
};

} // namespace BATCHCMD
