#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTranslator>

#include "res/str_lang.h"
#include "res/strings.h"

namespace {

// Qt's parser writes its headings and errors through tr(); this gives them
// in the program's language.
class CParserTranslator : public QTranslator {
public:
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        if (qstrcmp(context, "QCommandLineParser") != 0)
            return QString();
        static const struct {
            const char *source;
            int id;
        } kTexts[] = {
            {"Usage: %1", IDS_CMDLINE_USAGE},
            {"[options]", IDS_CMDLINE_OPTIONS_WORD},
            {"Options:", IDS_CMDLINE_OPTIONS},
            {"Arguments:", IDS_CMDLINE_ARGUMENTS},
            {"Unknown option '%1'.", IDS_CMDLINE_UNKNOWN_OPTION},
            {"Unknown options: %1.", IDS_CMDLINE_UNKNOWN_OPTIONS},
            {"Missing value after '%1'.", IDS_CMDLINE_MISSING_VALUE},
            {"Unexpected value after '%1'.", IDS_CMDLINE_UNEXPECTED_VALUE},
        };
        for (const auto &t : kTexts)
            if (qstrcmp(source, t.source) == 0)
                return LoadStr(t.id);
        return QString();
    }
    bool isEmpty() const override { return false; }
};

void InstallTranslator()
{
    static CParserTranslator *translator = [] {
        auto *t = new CParserTranslator;
        QCoreApplication::installTranslator(t);
        return t;
    }();
    (void)translator;
}

} // namespace

bool CCommandLine::AsksForText(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--")
            break;
        if (arg == "-h" || arg == "--help" || arg == "-v" || arg == "--version")
            return true;
    }
    return false;
}

bool CCommandLine::HasNoDisplay(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--")
            break;
        if (arg == "-platform" || arg == "--platform" || arg.startsWith("-platform=") || arg.startsWith("--platform="))
            return false;
    }
    return qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
           qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

CCommandLine CCommandLine::Parse(const QStringList &arguments)
{
    InstallTranslator();
    CCommandLine result;
    QCommandLineParser parser;
    parser.setApplicationDescription(LoadStr(IDS_CMDLINE_DESCRIPTION));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, LoadStr(IDS_CMDLINE_HELP));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, LoadStr(IDS_CMDLINE_VERSION));
    // Read before the parser (the texts depend on it, see ChooseStrLang);
    // listed here so that it is accepted, shown and checked.
    const QCommandLineOption lang(QStringLiteral("lang"), LoadStr(IDS_CMDLINE_LANG), QStringLiteral("zh|en"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(lang);
    parser.addPositionalArgument(LoadStr(IDS_CMDLINE_FILES_SYNTAX), LoadStr(IDS_CMDLINE_FILES));

    const QString program = arguments.isEmpty() ? QStringLiteral("qeltool") : QFileInfo(arguments.first()).fileName();
    if (!parser.parse(arguments)) {
        result.outcome = Error;
        result.text = program + QStringLiteral(": ") + parser.errorText();
    } else if (StrLang chosen; parser.isSet(lang) && !ParseStrLang(parser.value(lang), &chosen)) {
        result.outcome = Error;
        result.text = program + QStringLiteral(": ") + LoadStr(IDS_CMDLINE_BAD_LANG).arg(parser.value(lang));
    } else if (parser.isSet(help)) {
        result.outcome = Help;
        result.text = parser.helpText();
    } else if (parser.isSet(version)) {
        result.outcome = Version;
        result.text = program + QLatin1Char(' ') + QStringLiteral(QEL_VERSION) + QLatin1Char('\n');
    } else {
        result.files = parser.positionalArguments();
    }
    return result;
}
