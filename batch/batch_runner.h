// Replaying a batch file against the connected terminal.
#pragma once

#include "batch/batch_cmd.h"
#include "batch/batch_host.h"

#include <QString>

class CMyRecentBatchFiles;
class QObject;

namespace BATCHCMD
{

// Waits of the command loop, in milliseconds.
enum : int { BATCH_STEP_WAIT_MS = 60, BATCH_SETCOLOR_WAIT_MS = 450 };

// How a run ended.
enum class ERunResult {
    Cancelled,    // no file chosen
    NotConnected, // no terminal, even after the connect procedure
    LoadFailed,   // the file was rejected (already reported)
    Completed,    // every record was carried out (or there were none)
    Stopped,      // a command failed or a message was answered with Cancel
    Aborted,      // a framework failure ended the run at once
};

class CBatchRunner
{
  public:
    explicit CBatchRunner(CBatchHost &host) : m_host(host) {}

    bool Load(const QString &path);
    // Runs the loaded list; Completed, Stopped or NotConnected.
    ERunResult Execute();

    CBatchCmdList &Commands() { return m_list; }

    // What was remembered of the window when the run began.
    bool bListVisible = false;
    QString strViewPath;
    int nViewParam1 = 0;
    int nViewParam2 = 0;
    QObject *pView = nullptr;
    int nViewKind = BATCH_VIEW_OTHER;

  private:
    void PrepareWindow();
    void RestoreWindow();
    bool RunLoop();
    bool Carry(CBatchCmdList::iterator &pos, const CBatchCmdData &cmd);
    bool SetPCBaudRate(int baud);
    // Whether cmd, followed by the record at next, is carried out together
    // with it.
    bool MergesSave(CBatchCmdList::iterator next, const CBatchCmdData &cmd);

    CBatchHost &m_host;
    CBatchCmdList m_list;
};

// Chooses a file when path is empty, connects when needed, loads, executes,
// and after every successful load puts the path at the top of the recent list.
ERunResult RunBatchFile(CBatchHost &host, CMyRecentBatchFiles &recent, const QString &path = QString());

// Saves the list and adds the path to the recent list, the latter only when
// the file was stored.
bool SaveBatchFile(CBatchFileHost &host, CMyRecentBatchFiles &recent, const CBatchCmdList &list,
                   const QString &path);

} // namespace BATCHCMD
