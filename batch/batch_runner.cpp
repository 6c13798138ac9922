#include "batch/batch_runner.h"

#include "batch/batch_file.h"
#include "batch/recent_batch_files.h"
#include "link/terminal.h"
#include "res/strings.h"

#include <iterator>
#include <new>

namespace BATCHCMD
{

bool CBatchRunner::Load(const QString &path)
{
    CBatchFile file(m_host);
    if (file.Load(path, m_list))
        return true;
    m_list.clear();
    return false;
}

ERunResult CBatchRunner::Execute()
{
    if (m_list.empty())
        return ERunResult::Completed;
    if (!m_host.Terminal().IsConnected() && !m_host.ConnectTerminal())
        return ERunResult::NotConnected;
    PrepareWindow();
    const bool completed = RunLoop();
    RestoreWindow();
    return completed ? ERunResult::Completed : ERunResult::Stopped;
}

void CBatchRunner::PrepareWindow()
{
    bListVisible = m_host.IsFileListVisible();
    const CBatchViewInfo view = m_host.ActiveView();
    pView = view.view;
    nViewKind = view.kind;
    if (view.kind == BATCH_VIEW_PICTURE || view.kind == BATCH_VIEW_FONT) {
        strViewPath = view.path;
        nViewParam1 = view.param1;
        nViewParam2 = view.param2;
    }
    if (m_host.IsWorkspaceShown())
        m_host.ShowWorkspace(false);
    m_host.RedrawMainWindow();
}

void CBatchRunner::RestoreWindow()
{
    if (bListVisible && !m_host.IsWorkspaceShown())
        m_host.ShowWorkspace(true);
    if (nViewKind == BATCH_VIEW_PICTURE)
        m_host.ReloadPictureView(pView, strViewPath, nViewParam1, nViewParam2);
    else if (nViewKind == BATCH_VIEW_FONT)
        m_host.ReloadFontView(pView, strViewPath, nViewParam1, nViewParam2);
    m_host.ShowView(pView);
}

bool CBatchRunner::RunLoop()
{
    CMyTerminal &terminal = m_host.Terminal();
    auto pos = m_list.begin();
    while (pos != m_list.end()) {
        const CBatchCmdData cmd = *pos;
        const int index = static_cast<int>(std::distance(m_list.begin(), pos));
        ++pos;
        if (!IsCommandAvailable(cmd.nType, terminal))
            continue;
        m_host.BeginCommand(index, cmd.nType, MergesSave(pos, cmd) ? 2 : 1);
        m_host.RefreshUi();
        m_host.Wait(BATCH_STEP_WAIT_MS);
        if (!Carry(pos, cmd))
            return false;
    }
    return true;
}

bool CBatchRunner::MergesSave(CBatchCmdList::iterator next, const CBatchCmdData &cmd)
{
    // A save that follows a picture send is merged into the transfer (one
    // send into the slot), except on older terminals that cannot store while
    // receiving.
    const CMyTerminal &terminal = m_host.Terminal();
    const bool older = terminal.IsConnected() && terminal.Info().legacy == 1;
    return cmd.nType == SendPicture && next != m_list.end() && next->nType == SavePicture && !older;
}

bool CBatchRunner::SetPCBaudRate(int baud)
{
    CTransport &link = m_host.Terminal().Link();
    if (link.IsOpen() && link.GetPortBaud() == baud)
        return true;
    return link.IsOpen() && link.SetPortBaud(baud);
}

// Carries out one record; pos is the record after it and may be moved.
bool CBatchRunner::Carry(CBatchCmdList::iterator &pos, const CBatchCmdData &cmd)
{
    CMyTerminal &terminal = m_host.Terminal();
    switch (cmd.nType) {
    case SetMode:
        return m_host.DevSetMode(cmd.mode.nMode);
    case SetBaud:
        return m_host.DevSetBaud(cmd.baud.nBaud);
    case ClearScreen:
        return m_host.DevClearScreen();
    case SendPicture: {
        int slot = -1;
        if (MergesSave(pos, cmd)) {
            slot = pos->picture.nID;
            ++pos;
        }
        return m_host.SendPictureFile(cmd.picture.bKeepAspectRatio != 0, GetField(cmd.picture.szPath),
                                      cmd.picture.crBkColor, slot);
    }
    case SavePicture:
        return m_host.DevSavePicture(cmd.picture.nID);
    case ShowPicture:
        return m_host.DevShowPicture(cmd.picture.nID);
    case ClearPicture:
        return m_host.DevDeletePicture(cmd.picture.nID);
    case ClearAllPictures:
        return m_host.DevDeleteAllPictures();
    case SendFont:
        return m_host.SendFontFile(GetField(cmd.font.szPath), cmd.font.nWidth, cmd.font.nHeight);
    case ShowText:
        return m_host.DevShowText(GetField(cmd.text.szText), cmd.text.nX, cmd.text.nY, cmd.text.nFontWidth,
                                  cmd.text.nFontHeight);
    case SetColor: {
        const bool ok = m_host.DevSetColors(cmd.color.crFore, cmd.color.crBack);
        m_host.Wait(BATCH_SETCOLOR_WAIT_MS);
        return ok;
    }
    case SetPCBaud: {
        const bool ok = SetPCBaudRate(cmd.baud.nBaud);
        QString text = LoadStr(ok ? IDS_BATCH_PCBAUD_DONE : IDS_BATCH_PCBAUD_FAILED);
        // A network port only remembers the rate; the bridge keeps its own.
        if (ok && terminal.IsNetworkLink())
            text += LoadStr(IDS_NET_BAUD_NOTE);
        m_host.ShowStatusMessage(ok ? STATUS_SUCCESS : STATUS_FAILURE, text);
        return ok;
    }
    case Anchor:
        return true;
    case Repeat: {
        QString prompt = GetField(cmd.repeat.szPrompt);
        if (prompt.isEmpty())
            prompt = LoadStr(IDS_BATCH_REPEAT_DEFAULT);
        if (m_host.MessageBox(prompt, BATCH_MB_OKCANCEL, BATCH_ICON_NONE) != BATCH_ANSWER_OK)
            return true;
        const QString target = GetField(cmd.repeat.szAnchor);
        for (auto it = m_list.begin(); it != m_list.end(); ++it) {
            if (it->nType == Anchor &&
                GetField(it->anchor.szName).compare(target, Qt::CaseInsensitive) == 0) {
                pos = it;
                break;
            }
        }
        return true;
    }
    case Message: {
        const QString text = GetField(cmd.message.szText);
        if (text.isEmpty())
            return true;
        return m_host.MessageBox(text, BATCH_MB_OKCANCEL, BATCH_ICON_NONE) == BATCH_ANSWER_OK;
    }
    case Pause:
        if (cmd.pause.nElapse < 0)
            return true;
        m_host.SetWaitCursor(true);
        m_host.ShowStatusMessage(STATUS_INFO, LoadStr(IDS_BATCH_PAUSING));
        m_host.Wait(cmd.pause.nElapse);
        m_host.ShowIdleStatus(LoadStr(IDS_BATCH_IDLE));
        m_host.SetWaitCursor(false);
        return true;
    case Sound:
        m_host.PlaySound(GetField(cmd.sound.szPath));
        return true;
    default:
        return true;
    }
}

ERunResult RunBatchFile(CBatchHost &host, CMyRecentBatchFiles &recent, const QString &path)
{
    try {
        QString file = path;
        if (file.isEmpty()) {
            file = host.ChooseBatchFile(false, QString());
            if (file.isEmpty())
                return ERunResult::Cancelled;
        }
        if (!host.Terminal().IsConnected() && !host.ConnectTerminal())
            return ERunResult::NotConnected;
        CBatchRunner runner(host);
        if (!runner.Load(file))
            return ERunResult::LoadFailed;
        const ERunResult result = runner.Execute();
        if (!recent.Add(file))
            host.MessageBox(FormatStr(IDS_BATCH_BAD_PATH, qUtf8Printable(file)), BATCH_MB_OK,
                            BATCH_ICON_ERROR);
        return result;
    } catch (const std::bad_alloc &) {
        host.MessageBox(LoadStr(IDS_BATCH_OUT_OF_MEMORY), BATCH_MB_OK, BATCH_ICON_ERROR);
    } catch (...) {
        host.MessageBox(LoadStr(IDS_BATCH_UNKNOWN_ERROR), BATCH_MB_OK, BATCH_ICON_ERROR);
    }
    return ERunResult::Aborted;
}

bool SaveBatchFile(CBatchFileHost &host, CMyRecentBatchFiles &recent, const CBatchCmdList &list,
                   const QString &path)
{
    CBatchFile file(host);
    if (!file.Save(list, path))
        return false;
    if (!recent.Add(path))
        host.MessageBox(FormatStr(IDS_BATCH_BAD_PATH, qUtf8Printable(path)), BATCH_MB_OK, BATCH_ICON_ERROR);
    return true;
}

} // namespace BATCHCMD
