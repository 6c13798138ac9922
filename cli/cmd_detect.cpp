// detect: detection over all ports (or the one named with -p).
#include "cli_context.h"
#include "res/string_ids.h"
#include "res/strings.h"

namespace {

class CCmdDetect : public CCliCommand {
public:
    QString Name() const override { return QStringLiteral("detect"); }
    int SummaryId() const override { return IDS_CLI_CMD_DETECT; }
    int Prepare(CCliContext &ctx, const CParsedArgs &args) override
    {
        if (!args.Positionals().isEmpty())
            return ctx.Usage(FormatStr(IDS_CLI_TOO_MANY_ARGS, qUtf8Printable(args.Positionals().first())));
        return EXIT_OK;
    }
    int Run(CCliContext &ctx) override
    {
        const int rc = ctx.DetectTerminal();
        if (rc != EXIT_OK)
            return rc;
        const CPortSelection &found = ctx.Connected();
        if (ctx.json) {
            QJsonObject o;
            o.insert(QStringLiteral("name"), found.displayName);
            o.insert(QStringLiteral("path"), found.path);
            o.insert(QStringLiteral("baud"), found.rate);
            ctx.PrintJson(o);
        } else {
            ctx.Console().Data(FormatStr(IDS_CLI_DETECTED, qUtf8Printable(found.displayName),
                                         qUtf8Printable(found.path), found.rate));
        }
        return EXIT_OK;
    }
};

} // namespace

std::unique_ptr<CCliCommand> MakeDetectCommand()
{
    return std::make_unique<CCmdDetect>();
}
