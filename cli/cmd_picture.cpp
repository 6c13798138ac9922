// picture: a picture file fitted to the terminal, shown or stored in a slot.
#include <QFileInfo>

#include "cli_context.h"
#include "imaging/image_fit.h"
#include "imaging/picture_send.h"
#include "link/front_end.h"
#include "res/string_ids.h"
#include "res/strings.h"

namespace {

class CCmdPicture : public CCliCommand {
public:
    QString Name() const override { return QStringLiteral("picture"); }
    QString Synopsis() const override
    {
        return QStringLiteral("FILE [--slot N] [--stretch] [--bg #RRGGBB] [--dither METHOD]");
    }
    int SummaryId() const override { return IDS_CLI_CMD_PICTURE; }
    QVector<COptionDef> Options() const override
    {
        return {{QStringLiteral("slot"), QChar(), true, QStringLiteral("N"), LoadStr(IDS_CLI_OPT_SLOT)},
                {QStringLiteral("stretch"), QChar(), false, QString(), LoadStr(IDS_CLI_OPT_STRETCH)},
                {QStringLiteral("bg"), QChar(), true, QStringLiteral("#RRGGBB"), LoadStr(IDS_CLI_OPT_BG)},
                DitherOption()};
    }
    int Prepare(CCliContext &ctx, const CParsedArgs &args) override
    {
        if (const int rc = NeedArgs(ctx, args, 1))
            return rc;
        const QStringList &p = args.Positionals();
        m_path = QFileInfo(p[0]).absoluteFilePath();
        if (args.Has(QStringLiteral("slot")) && !ParseInt(args.Value(QStringLiteral("slot")), &m_slot))
            return BadValue(ctx, args.Value(QStringLiteral("slot")));
        m_store = args.Has(QStringLiteral("slot"));
        m_keepAspect = !args.Has(QStringLiteral("stretch"));
        if (args.Has(QStringLiteral("bg")) && !ParseColor(args.Value(QStringLiteral("bg")), &m_bk))
            return BadValue(ctx, args.Value(QStringLiteral("bg")));
        if (const int rc = ReadDither(ctx, args, &m_dither))
            return rc;
        // A file that cannot be decoded (or only with data missing, or past
        // the size caps) is bad input, found before connecting.
        QString error;
        if (!CheckPictureFile(m_path, &error))
            return ctx.BadFile(p[0], error);
        return EXIT_OK;
    }
    int Run(CCliContext &ctx) override
    {
        const int rc = ctx.ConnectTerminal();
        if (rc != EXIT_OK)
            return rc;
        CMyTerminal &t = ctx.Terminal();
        if (m_store && !CheckSlot(t, m_slot))
            return EXIT_USAGE;
        const int slot = m_store ? m_slot : -1;
        return SendPictureFile(t, m_keepAspect, m_path, m_bk, slot, nullptr, m_dither) ? EXIT_OK : EXIT_FAILED;
    }

private:
    QString m_path;
    int m_slot = -1;
    bool m_store = false;
    bool m_keepAspect = true;
    uint32_t m_bk = 0x00FFFFFFu;
    CDither m_dither = CDither::None;
};

} // namespace

std::unique_ptr<CCliCommand> MakePictureCommand()
{
    return std::make_unique<CCmdPicture>();
}
