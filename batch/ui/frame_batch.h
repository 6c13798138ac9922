// Installs the batch commands in the main window: 32830 (new batch), 32831
// (configure a batch file) and 32832 (run a batch file), all through one
// desktop batch host.
#pragma once

#include <QString>

class CFrameServices;

namespace BATCHCMD
{
class CDeskBatchHost;
}

// Called once the frame's bars exist. The objects made here belong to the
// frame.
BATCHCMD::CDeskBatchHost *InstallBatchCommands(CFrameServices &frame);

// Runs a batch file through the host (a recent batch row of the home page);
// true when it ran to its end.
bool RunRecentBatchFile(BATCHCMD::CDeskBatchHost &host, const QString &path);

// 32830 (open false): the configuration dialog for a new batch; 32831 (open
// true): choose a batch file, load it and edit it in the dialog.
void ConfigureBatchFile(BATCHCMD::CDeskBatchHost &host, bool open);
