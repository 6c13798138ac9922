// The command-line program: global options, the command table, help.
#pragma once

#include <QStringList>

// Runs the program on args (without the program name); returns the exit code.
int RunCli(const QStringList &args);
