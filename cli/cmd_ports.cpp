// ports: the port list as detection walks it, with the ports the user may
// not open marked (checked from the access rights: opening a port resets
// some boards).
#include <QJsonArray>

#include "cli_context.h"
#include "link/port_check.h"
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
        QJsonArray list;
        for (const CPortEntry &e : ports) {
            const CPortCheck access = CheckPortAccess(e.path);
            const QString mark = access.Ok() ? QStringLiteral("ok") : QStringLiteral("denied");
            if (!access.Ok())
                ctx.Console().Err(FormatStr(IDS_PORT_WITH_REASON, qUtf8Printable(e.displayName),
                                            qUtf8Printable(PortProblemReason(access))));
            if (!ctx.json) {
                ctx.Console().Data(e.displayName + QLatin1Char('\t') + e.path + QLatin1Char('\t') +
                                   KindName(e.kind) + QLatin1Char('\t') + mark);
                continue;
            }
            QJsonObject o;
            o.insert(QStringLiteral("name"), e.displayName);
            o.insert(QStringLiteral("path"), e.path);
            o.insert(QStringLiteral("kind"), KindName(e.kind));
            o.insert(QStringLiteral("access"), mark);
            if (!access.group.isEmpty())
                o.insert(QStringLiteral("group"), access.group);
            list.append(o);
        }
        if (ctx.json) {
            QJsonObject root;
            root.insert(QStringLiteral("ports"), list);
            ctx.PrintJson(root);
        }
        return EXIT_OK;
    }
};

} // namespace

std::unique_ptr<CCliCommand> MakePortsCommand()
{
    return std::make_unique<CCmdPorts>();
}
