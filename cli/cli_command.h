// The commands of the command-line program: one small class each.
#pragma once

#include <QString>
#include <QVector>
#include <memory>

#include "cli_args.h"
#include "imaging/dither.h"

class CCliContext;

enum : int {
    EXIT_OK = 0,
    EXIT_FAILED = 1,        // the terminal operation failed
    EXIT_USAGE = 2,         // bad usage or a bad input file
    EXIT_NO_TERMINAL = 3,   // no terminal could be connected
};

class CCliCommand {
public:
    virtual ~CCliCommand() = default;
    virtual QString Name() const = 0;
    // Arguments as shown in the help text, e.g. "SLOT".
    virtual QString Synopsis() const { return QString(); }
    virtual int SummaryId() const = 0;
    virtual QVector<COptionDef> Options() const { return {}; }
    // Whether -p may be given more than once (a run on several terminals).
    virtual bool AcceptsManyPorts() const { return false; }
    // Whether the command, given these arguments, may draw text and so needs
    // a QGuiApplication (see CliNeedsGui).
    virtual bool NeedsGui(const CParsedArgs &) const { return true; }
    // Checks the arguments (before any connection); returns EXIT_OK or
    // EXIT_USAGE after reporting the problem.
    virtual int Prepare(CCliContext &ctx, const CParsedArgs &args) = 0;
    virtual int Run(CCliContext &ctx) = 0;

protected:
    // Exactly count positional arguments; otherwise reports the usage problem.
    int NeedArgs(CCliContext &ctx, const CParsedArgs &args, int count) const;
    // Reports a value that cannot be used; returns EXIT_USAGE.
    static int BadValue(CCliContext &ctx, const QString &text);
    // --dither none|ordered|diffusion of the picture commands.
    static COptionDef DitherOption();
    // Reads --dither into *dither (None when absent); EXIT_OK or EXIT_USAGE.
    static int ReadDither(CCliContext &ctx, const CParsedArgs &args, CDither *dither);
};

// Every command, in the order of the help text.
std::vector<std::unique_ptr<CCliCommand>> AllCommands();

// Makers, one per command file.
std::unique_ptr<CCliCommand> MakePortsCommand();
std::unique_ptr<CCliCommand> MakeDetectCommand();
std::unique_ptr<CCliCommand> MakeInfoCommand();
std::vector<std::unique_ptr<CCliCommand>> MakeDeviceCommands();
std::unique_ptr<CCliCommand> MakePictureCommand();
std::unique_ptr<CCliCommand> MakeFontCommand();
std::unique_ptr<CCliCommand> MakeFontGenCommand();
std::unique_ptr<CCliCommand> MakeRunCommand();
std::unique_ptr<CCliCommand> MakeConvertCommand();
// "screen render", "screen send", "screen export": names of two words.
std::vector<std::unique_ptr<CCliCommand>> MakeScreenCommands();
