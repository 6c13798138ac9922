#include "batch/ui/frame_batch.h"

#include <QObject>

#include "batch/batch_file.h"
#include "batch/batch_runner.h"
#include "batch/ui/batch_cmd_cfg.h"
#include "batch/ui/batch_desk_host.h"
#include "link/terminal.h"
#include "res/commands.h"
#include "shell/cmd_target.h"
#include "shell/frame_services.h"

using namespace BATCHCMD;

namespace
{

// Owns the host for the frame's lifetime (a child of the frame, so it goes
// before the terminal object).
class CFrameBatch : public QObject
{
  public:
    explicit CFrameBatch(CFrameServices &frame) : QObject(frame.Window()), m_host(frame) {}
    CDeskBatchHost m_host;
};

} // namespace

void ConfigureBatchFile(CDeskBatchHost &host, bool open)
{
    CFrameServices &frame = host.Frame();
    QString path;
    if (open) {
        path = host.ChooseBatchFile(false, QString());
        if (path.isEmpty())
            return;
    }
    CBatchCmdCfg dialog(host, host, frame.RecentBatchFiles(), frame.Window());
    if (open) {
        // A file that cannot be loaded never opens the dialog (the load has
        // reported why).
        CBatchFile file(host);
        if (!file.Load(path, dialog.SelectedList()))
            return;
        dialog.m_strPath = path;
    }
    dialog.exec();
}

bool RunRecentBatchFile(CDeskBatchHost &host, const QString &path)
{
    return RunBatchFile(host, host.Frame().RecentBatchFiles(), path) == ERunResult::Completed;
}

CDeskBatchHost *InstallBatchCommands(CFrameServices &frame)
{
    auto *batch = new CFrameBatch(frame);
    batch->setObjectName(QStringLiteral("batchCommands"));
    CDeskBatchHost *host = &batch->m_host;
    // A new or opened batch needs a terminal to fill its pages from.
    CMyTerminal *terminal = &frame.Terminal();
    const auto connected = [terminal](CCmdUI &ui) { ui.Enable(terminal->IsConnected()); };
    frame.SetCommandHandler(ID_BATCH_NEW, [host] { ConfigureBatchFile(*host, false); }, connected);
    frame.SetCommandHandler(ID_BATCH_CONFIG, [host] { ConfigureBatchFile(*host, true); }, connected);
    frame.SetCommandHandler(ID_BATCH_RUN,
                            [host] { RunBatchFile(*host, host->Frame().RecentBatchFiles(), QString()); });
    return host;
}
