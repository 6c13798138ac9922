// font-gen: a font library rendered from an installed font or a font file.
#include "cli_context.h"
#include "imaging/font_generator.h"
#include "imaging/font_library.h"
#include "res/output_file.h"
#include "res/string_ids.h"
#include "res/strings.h"

#include <QDir>
#include <QFileInfo>

namespace
{

class CCmdFontGen : public CCliCommand
{
  public:
    QString Name() const override { return QStringLiteral("font-gen"); }
    QString Synopsis() const override
    {
        return QStringLiteral("--family NAME | --font-file FILE --size WxH [--charset gb2312|ascii] -o OUT");
    }
    int SummaryId() const override { return IDS_CLI_CMD_FONT_GEN; }
    QVector<COptionDef> Options() const override
    {
        return {
            {QStringLiteral("family"), QChar(), true, QStringLiteral("NAME"), LoadStr(IDS_CLI_OPT_FAMILY)},
            {QStringLiteral("font-file"), QChar(), true, QStringLiteral("FILE"),
             LoadStr(IDS_CLI_OPT_FONT_FILE)},
            {QStringLiteral("size"), QChar(), true, QStringLiteral("WxH"), LoadStr(IDS_CLI_OPT_GEN_SIZE)},
            {QStringLiteral("charset"), QChar(), true, QStringLiteral("SET"), LoadStr(IDS_CLI_OPT_CHARSET)},
            {QStringLiteral("bold"), QChar(), false, QString(), LoadStr(IDS_CLI_OPT_BOLD)},
            {QStringLiteral("threshold"), QChar(), true, QStringLiteral("N"), LoadStr(IDS_CLI_OPT_THRESHOLD)},
            {QStringLiteral("offset"), QChar(), true, QStringLiteral("N"), LoadStr(IDS_CLI_OPT_OFFSET)},
            {QStringLiteral("out"), QLatin1Char('o'), true, QStringLiteral("OUT"),
             LoadStr(IDS_CLI_OPT_GEN_OUT)}};
    }
    int Prepare(CCliContext &ctx, const CParsedArgs &args) override
    {
        if (const int rc = NeedArgs(ctx, args, 0))
            return rc;
        const bool family = args.Has(QStringLiteral("family"));
        const bool file = args.Has(QStringLiteral("font-file"));
        if (family == file || !args.Has(QStringLiteral("size")) || !args.Has(QStringLiteral("out")))
            return ctx.Usage(
                FormatStr(IDS_CLI_MISSING_ARG, qUtf8Printable(Name() + QLatin1Char(' ') + Synopsis())));
        m_params.family = args.Value(QStringLiteral("family"));
        m_params.fontFile = args.Value(QStringLiteral("font-file"));
        const QString size = args.Value(QStringLiteral("size"));
        if (!ParseSize(size, &m_params.width, &m_params.height))
            return BadValue(ctx, size);
        if (!IsGeneratorGlyphSize(m_params.width, m_params.height))
            return ctx.Usage(FormatStr(IDS_IMG_FONTGEN_BAD_SIZE, m_params.width, m_params.height));
        m_params.charset = DefaultCharset(m_params.width, m_params.height);
        if (args.Has(QStringLiteral("charset"))) {
            const QString set = args.Value(QStringLiteral("charset")).toLower();
            if (set == QLatin1String("gb2312"))
                m_params.charset = CGlyphCharset::Gb2312;
            else if (set == QLatin1String("ascii"))
                m_params.charset = CGlyphCharset::Ascii;
            else
                return BadValue(ctx, args.Value(QStringLiteral("charset")));
        }
        m_params.bold = args.Has(QStringLiteral("bold"));
        if (args.Has(QStringLiteral("threshold")) &&
            !ParseInt(args.Value(QStringLiteral("threshold")), &m_params.threshold))
            return BadValue(ctx, args.Value(QStringLiteral("threshold")));
        if (args.Has(QStringLiteral("offset")) &&
            !ParseInt(args.Value(QStringLiteral("offset")), &m_params.offset))
            return BadValue(ctx, args.Value(QStringLiteral("offset")));
        m_out = args.Value(QStringLiteral("out"));
        if (m_out.isEmpty())
            return BadValue(ctx, m_out);
        if (QFileInfo(m_out).isDir())
            m_out = QDir(m_out).filePath(FontLibraryFileName(m_params));
        // What the name stands for is checked before the work, and again
        // when writing.
        QString refusal;
        if (ClassifyOutputPath(m_out, OUTPUT_DIRECT | OUTPUT_STDOUT, &refusal) == COutputTarget::Refused)
            return ctx.Usage(WriteFailed(refusal));
        // The font itself is checked before anything is written.
        QString error;
        if (!m_generator.Open(m_params, &error))
            return ctx.Usage(error);
        return EXIT_OK;
    }
    int Run(CCliContext &ctx) override
    {
        QByteArray data;
        int missing = 0;
        if (!m_generator.Generate(&data, &missing)) {
            ctx.Failure(LoadStr(IDS_IMG_FONTGEN_CANCELLED));
            return EXIT_FAILED;
        }
        const int flags = OUTPUT_DIRECT | OUTPUT_STDOUT;
        // The library on standard output: every message goes to standard error.
        const bool toStdout = ClassifyOutputPath(m_out, flags) == COutputTarget::Stdout;
        QString error;
        const COutputResult written = WriteOutputFile(m_out, data, flags, &error);
        if (written != COutputResult::Written) {
            ctx.Failure(WriteFailed(error));
            return written == COutputResult::Refused ? EXIT_USAGE : EXIT_FAILED;
        }
        ctx.Console().SetQuietStdout(toStdout || ctx.Console().QuietStdout());
        const bool named = QFileInfo::exists(m_out) && m_out != QLatin1String("-");
        ReportGeneratedLibrary(&ctx.Status(), named ? QFileInfo(m_out).absoluteFilePath() : m_out, m_params,
                               missing);
        return EXIT_OK;
    }

  private:
    QString WriteFailed(const QString &reason) const
    {
        return FormatStr(IDS_IMG_FONTGEN_WRITE_FAILED, qUtf8Printable(m_out), qUtf8Printable(reason));
    }

    CFontGenParams m_params;
    CFontGenerator m_generator;
    QString m_out;
};

} // namespace

std::unique_ptr<CCliCommand> MakeFontGenCommand()
{
    return std::make_unique<CCmdFontGen>();
}
