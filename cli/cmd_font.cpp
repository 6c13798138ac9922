// font: download a font library; the glyph size comes from --size or the name.
#include <QFileInfo>

#include "cli_context.h"
#include "imaging/font_library.h"
#include "res/string_ids.h"
#include "res/strings.h"

namespace {

class CCmdFont : public CCliCommand {
public:
    QString Name() const override { return QStringLiteral("font"); }
    QString Synopsis() const override { return QStringLiteral("FILE [--size WxH]"); }
    int SummaryId() const override { return IDS_CLI_CMD_FONT; }
    QVector<COptionDef> Options() const override
    {
        return {{QStringLiteral("size"), QChar(), true, QStringLiteral("WxH"), LoadStr(IDS_CLI_OPT_SIZE)}};
    }
    int Prepare(CCliContext &ctx, const CParsedArgs &args) override
    {
        if (const int rc = NeedArgs(ctx, args, 1))
            return rc;
        const QStringList &p = args.Positionals();
        m_path = QFileInfo(p[0]).absoluteFilePath();
        if (args.Has(QStringLiteral("size"))) {
            const QString v = args.Value(QStringLiteral("size"));
            if (!ParseSize(v, &m_width, &m_height) || !IsGlyphSide(m_width) || !IsGlyphSide(m_height))
                return BadValue(ctx, v);
        }
        // The whole file is read now, so that any problem with it is found
        // before connecting.
        if (!m_library.Open(m_path, m_width, m_height, &ctx.Status()))
            return ctx.BadFile(p[0]);
        if (m_library.Length() <= 0)
            return ctx.BadFile(p[0]);
        return EXIT_OK;
    }
    int Run(CCliContext &ctx) override
    {
        const int rc = ctx.ConnectTerminal();
        if (rc != EXIT_OK)
            return rc;
        CMyTerminal &t = ctx.Terminal();
        if (t.Info().hardFont) {
            ctx.Failure(LoadStr(IDS_CLI_HARD_FONT));
            return EXIT_FAILED;
        }
        return m_library.Send(t, nullptr) ? EXIT_OK : EXIT_FAILED;
    }

private:
    QString m_path;
    int m_width = 0;  // 0: from the file name
    int m_height = 0;
    CFontLibrary m_library;
};

} // namespace

std::unique_ptr<CCliCommand> MakeFontCommand()
{
    return std::make_unique<CCmdFont>();
}
