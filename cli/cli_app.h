// The command-line program: global options, the command table, help.
#pragma once

#include <QStringList>

// Runs the program on args (without the program name); returns the exit code.
int RunCli(const QStringList &args);

// Whether the command args name may draw text (SVG pictures, generated
// fonts, screens) and so needs a QGuiApplication; the others run on a
// QCoreApplication, which starts without the font database. Called before
// any application object exists.
bool CliNeedsGui(const QStringList &args);
