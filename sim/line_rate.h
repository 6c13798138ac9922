// Line settings of the pseudo-terminal's slave side, read through the master.
#pragma once

namespace qelsim
{

// The rate the program set on the slave (output speed), or -1 on error.
int SlaveLineRate(int masterFd);
// Puts the slave into raw 8N1 at |rate| (the state of a line nobody set up yet).
bool SetSlaveRaw(int slaveFd, int rate);

} // namespace qelsim
