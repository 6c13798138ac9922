// Commands whose conversion or batch core is not part of this build: they
// report that they are not available.
#include "cli_context.h"
#include "res/string_ids.h"
#include "res/strings.h"

namespace {

class CPendingCommand : public CCliCommand {
public:
    CPendingCommand(const char *name, const char *synopsis, int summary)
        : m_name(QLatin1String(name)), m_synopsis(QLatin1String(synopsis)), m_summary(summary)
    {
    }
    QString Name() const override { return m_name; }
    QString Synopsis() const override { return m_synopsis; }
    int SummaryId() const override { return m_summary; }
    int Prepare(CCliContext &ctx, const CParsedArgs &) override
    {
        return ctx.Usage(FormatStr(IDS_CLI_NOT_AVAILABLE, qUtf8Printable(m_name)));
    }
    int Run(CCliContext &) override { return EXIT_USAGE; }

private:
    QString m_name;
    QString m_synopsis;
    int m_summary;
};

} // namespace

std::unique_ptr<CCliCommand> MakePictureCommand()
{
    return std::make_unique<CPendingCommand>("picture", "FILE [--slot N] [--stretch] [--bg #RRGGBB]",
                                             IDS_CLI_CMD_PICTURE);
}

std::unique_ptr<CCliCommand> MakeFontCommand()
{
    return std::make_unique<CPendingCommand>("font", "FILE [--size WxH]", IDS_CLI_CMD_FONT);
}

std::unique_ptr<CCliCommand> MakeRunCommand()
{
    return std::make_unique<CPendingCommand>("run", "FILE.kbz [--yes] [--junit FILE]", IDS_CLI_CMD_RUN);
}

std::unique_ptr<CCliCommand> MakeConvertCommand()
{
    return std::make_unique<CPendingCommand>(
        "convert", "FILE --size WxH [--bpp 16|24] [--stretch] [--bg #RRGGBB] -o OUT", IDS_CLI_CMD_CONVERT);
}
