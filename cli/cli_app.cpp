#include "cli_app.h"

#include <QCoreApplication>

#include "cli_context.h"
#include "link/tcp_port.h"
#include "res/str_lang.h"
#include "res/string_ids.h"
#include "res/strings.h"

namespace {

QVector<COptionDef> GlobalOptions()
{
    return {
        {QStringLiteral("port"), QLatin1Char('p'), true, QStringLiteral("PORT"), LoadStr(IDS_CLI_OPT_PORT)},
        {QStringLiteral("baud"), QLatin1Char('b'), true, QStringLiteral("RATE"), LoadStr(IDS_CLI_OPT_BAUD)},
        {QStringLiteral("log"), QChar(), false, QStringLiteral("hex"), LoadStr(IDS_CLI_OPT_LOG), true},
        {QStringLiteral("json"), QChar(), false, QString(), LoadStr(IDS_CLI_OPT_JSON)},
        {QStringLiteral("lang"), QChar(), true, QStringLiteral("zh|en"), LoadStr(IDS_CMDLINE_LANG)},
        {QStringLiteral("help"), QLatin1Char('h'), false, QString(), LoadStr(IDS_CLI_OPT_HELP)},
        {QStringLiteral("version"), QLatin1Char('V'), false, QString(), LoadStr(IDS_CLI_OPT_VERSION)},
    };
}

QString OptionLine(const COptionDef &o)
{
    QString left = o.shortName.isNull() ? QStringLiteral("    ") : QStringLiteral("-%1, ").arg(o.shortName);
    left += QStringLiteral("--") + o.name;
    if (o.takesValue)
        left += QLatin1Char(' ') + o.valueName;
    else if (o.optionalValue)
        left += QStringLiteral("[=") + o.valueName + QLatin1Char(']');
    return QStringLiteral("  %1  %2").arg(left, -24).arg(o.help);
}

QString HelpText(const std::vector<std::unique_ptr<CCliCommand>> &commands)
{
    QStringList lines;
    lines << LoadStr(IDS_CLI_USAGE) << QString() << LoadStr(IDS_CLI_GLOBAL_OPTIONS);
    for (const COptionDef &o : GlobalOptions())
        lines << OptionLine(o);
    lines << QString() << LoadStr(IDS_CLI_COMMANDS);
    for (const auto &c : commands) {
        const QString head = (c->Name() + QLatin1Char(' ') + c->Synopsis()).trimmed();
        lines << QStringLiteral("  %1  %2").arg(head, -34).arg(LoadStr(c->SummaryId()));
        for (const COptionDef &o : c->Options())
            lines << QStringLiteral("    ") + OptionLine(o);
    }
    lines << QString() << LoadStr(IDS_CLI_EXIT_CODES);
    return lines.join(QLatin1Char('\n'));
}

// The first argument that is neither an option nor the value of a global
// option that takes one.
int FindCommand(const QStringList &args)
{
    const QVector<COptionDef> globals = GlobalOptions();
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--"))
            return i + 1 < args.size() ? i + 1 : -1;
        if (!a.startsWith(QLatin1Char('-')) || a == QLatin1String("-"))
            return i;
        for (const COptionDef &o : globals) {
            const bool isLong = a == QStringLiteral("--") + o.name;
            const bool isShort = !o.shortName.isNull() && a == QStringLiteral("-") + o.shortName;
            if (o.takesValue && (isLong || isShort))
                ++i;
        }
    }
    return -1;
}

// The command named at args[at] (null when none), and the rest of args
// parsed against the global options and the command's own.
CCliCommand *ParseCommandLine(const QStringList &args, const std::vector<std::unique_ptr<CCliCommand>> &commands,
                              int at, CParsedArgs *parsed, bool *parsedOk, QString *bad)
{
    CCliCommand *command = nullptr;
    int words = 1;
    if (at >= 0) {
        // A name of two words ("screen send") takes the next argument too.
        const QString two = at + 1 < args.size() ? args[at] + QLatin1Char(' ') + args[at + 1] : QString();
        for (const auto &c : commands) {
            if (c->Name() == args[at])
                command = c.get();
            else if (!two.isEmpty() && c->Name() == two) {
                command = c.get();
                words = 2;
            }
        }
    }
    QStringList rest = args;
    for (int i = 0; at >= 0 && i < words; ++i)
        rest.removeAt(at);

    QVector<COptionDef> defs = GlobalOptions();
    if (command)
        defs += command->Options();
    *parsedOk = ParseArgs(rest, defs, parsed, bad);
    return command;
}

} // namespace

bool CliNeedsGui(const QStringList &args)
{
    const std::vector<std::unique_ptr<CCliCommand>> commands = AllCommands();
    CParsedArgs parsed;
    QString bad;
    bool parsedOk = false;
    const CCliCommand *command = ParseCommandLine(args, commands, FindCommand(args), &parsed, &parsedOk, &bad);
    // Help, usage errors and unknown commands are reported as always.
    return !command || !parsedOk || command->NeedsGui(parsed);
}

std::vector<std::unique_ptr<CCliCommand>> AllCommands()
{
    std::vector<std::unique_ptr<CCliCommand>> list;
    list.push_back(MakePortsCommand());
    list.push_back(MakeDetectCommand());
    list.push_back(MakeInfoCommand());
    for (auto &c : MakeDeviceCommands())
        list.push_back(std::move(c));
    list.push_back(MakePictureCommand());
    list.push_back(MakeFontCommand());
    list.push_back(MakeFontGenCommand());
    list.push_back(MakeRunCommand());
    list.push_back(MakeConvertCommand());
    for (auto &c : MakeScreenCommands())
        list.push_back(std::move(c));
    return list;
}

int RunCli(const QStringList &args)
{
    // The language first: every text from here on is read in it.
    SetStrLang(ChooseStrLang(LangArgument(args)));
    CCliContext ctx;
    const std::vector<std::unique_ptr<CCliCommand>> commands = AllCommands();

    const int at = FindCommand(args);
    CParsedArgs parsed;
    QString bad;
    bool parsedOk = false;
    CCliCommand *command = ParseCommandLine(args, commands, at, &parsed, &parsedOk, &bad);

    if (parsed.Has(QStringLiteral("help"))) {
        ctx.Console().Data(HelpText(commands));
        return EXIT_OK;
    }
    if (parsed.Has(QStringLiteral("version"))) {
        ctx.Console().Data(FormatStr(IDS_CLI_VERSION, qUtf8Printable(QCoreApplication::applicationVersion())));
        return EXIT_OK;
    }
    if (at < 0)
        return ctx.Usage(LoadStr(IDS_CLI_NO_COMMAND));
    if (!command)
        return ctx.Usage(FormatStr(IDS_CLI_UNKNOWN_COMMAND, qUtf8Printable(args[at])));
    if (!parsedOk)
        return ctx.Usage(FormatStr(IDS_CLI_BAD_OPTION, qUtf8Printable(bad)));

    if (StrLang lang; parsed.Has(QStringLiteral("lang")) && !ParseStrLang(parsed.Value(QStringLiteral("lang")), &lang))
        return ctx.Usage(FormatStr(IDS_CLI_BAD_VALUE, qUtf8Printable(parsed.Value(QStringLiteral("lang")))));
    ctx.json = parsed.Has(QStringLiteral("json"));
    ctx.log = parsed.Has(QStringLiteral("log"));
    // --log=hex: the bytes alone, as scripts read them.
    ctx.logHex = parsed.Value(QStringLiteral("log")) == QLatin1String("hex");
    if (ctx.log && !ctx.logHex && !parsed.Value(QStringLiteral("log")).isEmpty())
        return ctx.Usage(FormatStr(IDS_CLI_BAD_VALUE, qUtf8Printable(parsed.Value(QStringLiteral("log")))));
    ctx.portOption = parsed.Value(QStringLiteral("port"));
    ctx.portOptions = parsed.Values(QStringLiteral("port"));
    if (ctx.portOptions.size() > 1 && !command->AcceptsManyPorts())
        return ctx.Usage(FormatStr(IDS_CLI_BAD_OPTION, "-p"));
    if (parsed.Has(QStringLiteral("port")) && ctx.portOption.isEmpty())
        return ctx.Usage(FormatStr(IDS_CLI_BAD_VALUE, ""));
    // A malformed network name is bad usage, found before any connection.
    for (const QString &port : ctx.portOptions) {
        QString host;
        int number = 0;
        if (CMyTcpPort::IsTcpName(port) && !CMyTcpPort::ParseName(port, &host, &number))
            return ctx.Usage(FormatStr(IDS_CLI_LABELLED, qUtf8Printable(LoadStr(IDS_NET_BAD_NAME)),
                                       qUtf8Printable(port)));
    }
    if (parsed.Has(QStringLiteral("baud"))) {
        const QString v = parsed.Value(QStringLiteral("baud"));
        if (!ParseInt(v, &ctx.baudOption) || !IsTableBaud(ctx.baudOption))
            return ctx.Usage(FormatStr(IDS_CLI_LABELLED, qUtf8Printable(LoadStr(IDS_BAUD_INVALID)), qUtf8Printable(v)));
    }
    ctx.Apply();

    const int rc = command->Prepare(ctx, parsed);
    if (rc != EXIT_OK)
        return rc;
    return command->Run(ctx);
}
