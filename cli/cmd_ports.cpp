// ports: the port list as detection walks it.
#include <QJsonArray>

#include "cli_context.h"
#include "res/string_ids.h"
#include "res/strings.h"

namespace {

QString KindName(PortKind kind)
{
    switch (kind) {
    case PortKind::Usb:
        return QStringLiteral("usb");
    case PortKind::Virtual:
        return QStringLiteral("virtual");
    case PortKind::Network:
        return QStringLiteral("network");
    case PortKind::Serial:
        break;
    }
    return QStringLiteral("serial");
}

class CCmdPorts : public CCliCommand {
public:
    QString Name() const override { return QStringLiteral("ports"); }
    int SummaryId() const override { return IDS_CLI_CMD_PORTS; }
    int Prepare(CCliContext &ctx, const CParsedArgs &args) override
    {
        if (!args.Positionals().isEmpty())
            return ctx.Usage(FormatStr(IDS_CLI_TOO_MANY_ARGS, qUtf8Printable(args.Positionals().first())));
        return EXIT_OK;
    }
    int Run(CCliContext &ctx) override
    {
        const QVector<CPortEntry> ports = CPortList::Normalize(CMyPortEnum::List());
        if (ctx.json) {
            QJsonArray list;
            for (const CPortEntry &e : ports) {
                QJsonObject o;
                o.insert(QStringLiteral("name"), e.displayName);
                o.insert(QStringLiteral("path"), e.path);
                o.insert(QStringLiteral("kind"), KindName(e.kind));
                list.append(o);
            }
            QJsonObject root;
            root.insert(QStringLiteral("ports"), list);
            ctx.PrintJson(root);
            return EXIT_OK;
        }
        for (const CPortEntry &e : ports)
            ctx.Console().Data(e.displayName + QLatin1Char('\t') + e.path + QLatin1Char('\t') + KindName(e.kind));
        return EXIT_OK;
    }
};

} // namespace

std::unique_ptr<CCliCommand> MakePortsCommand()
{
    return std::make_unique<CCmdPorts>();
}
