#include "batch/ui/batch_desk_host.h"
#include "batch/ui/sound_player.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include "batch/ui/batch_file_dialog.h"
#include "batch/ui/file_dialogs.h"
#include "imaging/app_image.h"
#include "link/terminal.h"
#include "res/commands.h"
#include "res/profile.h"
#include "res/resource.h"
#include "res/strings.h"
#include "shell/file_list.h"
#include "shell/file_view.h"
#include "shell/frame_services.h"
#include "toolkit/view.h"

namespace BATCHCMD
{

CDeskBatchHost::CDeskBatchHost(CFrameServices &frame) : CBatchCoreHost(frame.Terminal()), m_frame(frame) {}

void CDeskBatchHost::SetPreviewSenders(PictureSender picture, FontSender font)
{
    m_sendPicture = std::move(picture);
    m_sendFont = std::move(font);
}

CDeskBatchHost::~CDeskBatchHost()
{
    while (m_waitCursors-- > 0)
        QApplication::restoreOverrideCursor();
    delete m_sound;
}

// ---------------------------------------------------------------- feedback

void CDeskBatchHost::ShowStatusMessage(int kind, const QString &text)
{
    m_frame.ShowStatusMessage(kind, text);
}

void CDeskBatchHost::ShowStatusProgress(const QString &text, int percent)
{
    m_frame.ShowStatusProgress(text, percent);
}

void CDeskBatchHost::RefreshUi()
{
    m_frame.RefreshUi();
    RedrawMainWindow();
}

int CDeskBatchHost::MessageBox(const QString &text, int buttons, int icon)
{
    const bool okCancel = buttons == BATCH_MB_OKCANCEL;
    QMessageBox box(icon == BATCH_ICON_ERROR ? QMessageBox::Critical : QMessageBox::NoIcon, AppTitle(), text,
                    okCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok, m_frame.Window());
    box.button(QMessageBox::Ok)->setText(LoadStr(IDS_DLG_OK));
    if (okCancel)
        box.button(QMessageBox::Cancel)->setText(LoadStr(IDS_DLG_CANCEL));
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok ? BATCH_ANSWER_OK : BATCH_ANSWER_CANCEL;
}

void CDeskBatchHost::Wait(int ms)
{
    if (ms <= 0)
        return;
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(ms);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void CDeskBatchHost::PlaySound(const QString &path)
{
    // Fire and forget: a new sound replaces the one playing; a file that
    // cannot be played plays nothing.
    if (m_sound)
        QMetaObject::invokeMethod(m_sound, "stop");
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    if (!m_sound)
        m_sound = MakeSoundPlayer(nullptr);
    m_lastSound = path;
    if (!m_sound)
        return;
    m_sound->setProperty("source", QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    QMetaObject::invokeMethod(m_sound, "play");
}

void CDeskBatchHost::SetWaitCursor(bool on)
{
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++m_waitCursors;
    } else if (m_waitCursors > 0) {
        QApplication::restoreOverrideCursor();
        --m_waitCursors;
    }
}

void CDeskBatchHost::ShowIdleStatus(const QString &text)
{
    // Kind 0: plain text, no colour.
    m_frame.ShowStatusMessage(0, text);
}

// ---------------------------------------------------------------- files, connection

QString CDeskBatchHost::ChooseBatchFile(bool save, const QString &initialPath)
{
    return ChooseBatchFileDialog(QApplication::activeModalWidget() ? QApplication::activeModalWidget() : m_frame.Window(),
                                 m_frame.InitDirs(), save, initialPath);
}

bool CDeskBatchHost::ConnectTerminal()
{
    // The device toolbar's connect command: its port and baud first, then
    // detection; it reports its own outcome.
    if (!Terminal().IsConnected())
        m_frame.OnCommand(ID_DEV_CONNECT);
    return Terminal().IsConnected();
}

bool CDeskBatchHost::BrowsePicture(QWidget *parent, QString *path)
{
    return BrowsePictureFile(parent, m_frame.InitDirs(), path);
}

bool CDeskBatchHost::BrowseFont(QWidget *parent, QString *path)
{
    return BrowseFontFile(parent, m_frame.InitDirs(), path);
}

bool CDeskBatchHost::BrowseSound(QWidget *parent, QString *path)
{
    const QString chosen =
        OpenOneFile(parent, QtFilterFromPipes(LoadStr(IDS_BATCH_SOUND_FILTER)), QString(), *path);
    if (chosen.isEmpty())
        return false;
    *path = chosen;
    return true;
}

// ---------------------------------------------------------------- window

bool CDeskBatchHost::IsFileListVisible()
{
    // The file list is the workspace pane's page.
    CMyList *list = m_frame.FileList();
    return list && list->isVisibleTo(m_frame.Window());
}

bool CDeskBatchHost::IsWorkspaceShown()
{
    return m_frame.IsControlBarVisible(IDW_PANE_WORKSPACE);
}

void CDeskBatchHost::ShowWorkspace(bool show)
{
    m_frame.ShowControlBar(IDW_PANE_WORKSPACE, show);
}

CBatchViewInfo CDeskBatchHost::ActiveView()
{
    CBatchViewInfo info;
    CMyView *view = m_frame.GetActiveView();
    info.view = view;
    auto *file = dynamic_cast<CFileView *>(view);
    if (!file)
        return info;
    if (view == m_frame.View(CFrameServices::VIEW_PICTURE, false))
        info.kind = BATCH_VIEW_PICTURE;
    else if (view == m_frame.View(CFrameServices::VIEW_FONT, false))
        info.kind = BATCH_VIEW_FONT;
    else
        return info;
    info.path = file->FilePath();
    info.param1 = file->ShownSize().width();
    info.param2 = file->ShownSize().height();
    return info;
}

void CDeskBatchHost::RedrawMainWindow()
{
    // Paints the whole window with its children now; nothing is left
    // scheduled to paint it a second time.
    m_frame.Window()->repaint();
}

void CDeskBatchHost::ReloadPictureView(QObject *view, const QString &path, int width, int height)
{
    // A preview that showed nothing has nothing to show again.
    auto *picture = dynamic_cast<CFileView *>(view);
    if (picture && view == m_frame.View(CFrameServices::VIEW_PICTURE, false) && !path.isEmpty())
        picture->OpenFile(path, QSize(width, height));
}

void CDeskBatchHost::ReloadFontView(QObject *view, const QString &path, int glyphWidth, int glyphHeight)
{
    auto *font = dynamic_cast<CFileView *>(view);
    if (font && view == m_frame.View(CFrameServices::VIEW_FONT, false) && !path.isEmpty())
        font->OpenFile(path, QSize(glyphWidth, glyphHeight));
}

// The picture and font steps go through the previews, as the menu commands
// do: the preview shows what is sent and the transfer's progress.
bool CDeskBatchHost::SendPictureFile(bool keepAspectRatio, const QString &path, uint32_t bkColor, int slot)
{
    return m_sendPicture && m_sendPicture(keepAspectRatio, path, bkColor, slot);
}

bool CDeskBatchHost::SendFontFile(const QString &path, int width, int height)
{
    return m_sendFont && m_sendFont(path, width, height);
}

void CDeskBatchHost::ShowView(QObject *view)
{
    m_frame.ShowView(qobject_cast<CMyView *>(view));
}

} // namespace BATCHCMD
