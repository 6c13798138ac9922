// Connects the batch commands to the main frame: 32830 (new batch), 32831
// (configure a batch file), 32832 (run a batch file) and the frame's batch
// file runner, all through one desktop batch host.
#pragma once

class CAppFrame;

namespace BATCHCMD
{
class CDeskBatchHost;
}

// Called once the frame's bars exist. The objects made here belong to the
// frame.
BATCHCMD::CDeskBatchHost *InstallBatchCommands(CAppFrame &frame);

// 32830 (open false): the configuration dialog for a new batch; 32831 (open
// true): choose a batch file, load it and edit it in the dialog.
void ConfigureBatchFile(BATCHCMD::CDeskBatchHost &host, bool open);
