// The command line of qeltool, read with Qt's parser: --help and --version,
// --lang (read before parsing, see res/str_lang.h) and the files to open.
// Its texts, Qt's own headings included, come from the string table.
#pragma once

#include <QString>
#include <QStringList>

struct CCommandLine {
    enum Outcome { Start, Help, Version, Error };

    Outcome outcome = Start;
    QStringList files;  // positional arguments, in order
    QString text;       // help or version text, or the error (Help, Version, Error)

    // Parses the arguments (program name first, the toolkit's own options
    // already taken out). Prints nothing.
    static CCommandLine Parse(const QStringList &arguments);
    // Whether the raw arguments ask for --help or --version, which need no
    // window system (checked before the application object exists).
    static bool AsksForText(int argc, char **argv);
    // Whether no window system can be reached: no platform chosen (by
    // QT_QPA_PLATFORM or -platform) and neither DISPLAY nor WAYLAND_DISPLAY set.
    static bool HasNoDisplay(int argc, char **argv);
};
