// convert: the pixel stream of a picture exactly as it would be sent, with
// 16-bit pixels high byte first, and no terminal.
#include <QFile>
#include <QFileInfo>

#include "cli_context.h"
#include "imaging/image_fit.h"
#include "imaging/pixel_format.h"
#include "imaging/pixels.h"
#include "link/terminal.h"
#include "res/output_file.h"
#include "res/string_ids.h"
#include "res/strings.h"

namespace {

class CCmdConvert : public CCliCommand {
public:
    QString Name() const override { return QStringLiteral("convert"); }
    QString Synopsis() const override
    {
        return QStringLiteral(
            "FILE --size WxH [--bpp 16|24] [--stretch] [--bg #RRGGBB] [--dither METHOD] -o OUT");
    }
    int SummaryId() const override { return IDS_CLI_CMD_CONVERT; }
    QVector<COptionDef> Options() const override
    {
        return {{QStringLiteral("size"), QChar(), true, QStringLiteral("WxH"), LoadStr(IDS_CLI_OPT_CONVERT_SIZE)},
                {QStringLiteral("bpp"), QChar(), true, QStringLiteral("16|24"), LoadStr(IDS_CLI_OPT_BPP)},
                {QStringLiteral("stretch"), QChar(), false, QString(), LoadStr(IDS_CLI_OPT_STRETCH)},
                {QStringLiteral("bg"), QChar(), true, QStringLiteral("#RRGGBB"), LoadStr(IDS_CLI_OPT_BG)},
                DitherOption(),
                {QStringLiteral("out"), QLatin1Char('o'), true, QStringLiteral("OUT"), LoadStr(IDS_CLI_OPT_OUT)}};
    }
    bool NeedsGui(const CParsedArgs &args) const override
    {
        const QStringList &p = args.Positionals();
        return p.size() != 1 || DecodingNeedsGui(p[0]);
    }
    int Prepare(CCliContext &ctx, const CParsedArgs &args) override
    {
        const QStringList &p = args.Positionals();
        const QString usage = FormatStr(IDS_CLI_MISSING_ARG, qUtf8Printable(Name() + QLatin1Char(' ') + Synopsis()));
        if (p.isEmpty() || !args.Has(QStringLiteral("size")) || !args.Has(QStringLiteral("out")))
            return ctx.Usage(usage);
        if (p.size() > 1)
            return ctx.Usage(FormatStr(IDS_CLI_TOO_MANY_ARGS, qUtf8Printable(p[1])));
        m_path = p[0];
        m_out = args.Value(QStringLiteral("out"));
        QString refusal;
        if (ClassifyOutputPath(m_out, OUTPUT_DIRECT | OUTPUT_STDOUT, &refusal) == COutputTarget::Refused)
            return ctx.Usage(FormatStr(IDS_CLI_WRITE_FAILED, qUtf8Printable(m_out), qUtf8Printable(refusal)));
        const QString size = args.Value(QStringLiteral("size"));
        if (!ParseSize(size, &m_width, &m_height) || m_width > MAX_CANVAS_SIDE || m_height > MAX_CANVAS_SIDE)
            return BadValue(ctx, size);
        if (args.Has(QStringLiteral("bpp"))) {
            const QString bpp = args.Value(QStringLiteral("bpp"));
            if (bpp == QLatin1String("24"))
                m_code = PIXEL_CODE_RGB24;
            else if (bpp != QLatin1String("16"))
                return BadValue(ctx, bpp);
        }
        m_keepAspect = !args.Has(QStringLiteral("stretch"));
        if (args.Has(QStringLiteral("bg")) && !ParseColor(args.Value(QStringLiteral("bg")), &m_bk))
            return BadValue(ctx, args.Value(QStringLiteral("bg")));
        return ReadDither(ctx, args, &m_dither);
    }
    int Run(CCliContext &ctx) override
    {
        QString error;
        const QImage fitted =
            LoadFittedImage(m_path, m_width, m_height, m_code, m_bk, m_keepAspect, &error, m_dither);
        std::vector<uint8_t> pixels;
        if (fitted.isNull() || !ExtractPixels(fitted, m_width, m_height, m_code, &pixels))
            return ctx.BadFile(m_path, error);
        if (m_code == PIXEL_CODE_RGB565) {
            // The terminal object sends 16-bit pixels high byte first.
            CMyTerminal::SwapPixelBytes(pixels.data(), int(pixels.size()));
        }
        const int flags = OUTPUT_DIRECT | OUTPUT_STDOUT;
        // Pixels on standard output: the message goes to standard error.
        const bool toStdout = ClassifyOutputPath(m_out, flags) == COutputTarget::Stdout;
        const COutputResult written = WriteOutputFile(
            m_out, QByteArray(reinterpret_cast<const char *>(pixels.data()), int(pixels.size())), flags, &error);
        if (written != COutputResult::Written) {
            ctx.Failure(FormatStr(IDS_CLI_WRITE_FAILED, qUtf8Printable(m_out), qUtf8Printable(error)));
            return written == COutputResult::Refused ? EXIT_USAGE : EXIT_FAILED;
        }
        ctx.Console().SetQuietStdout(toStdout || ctx.Console().QuietStdout());
        ctx.Status().ShowStatusMessage(STATUS_SUCCESS,
                                       FormatStr(IDS_CLI_CONVERT_DONE, qUtf8Printable(m_out), int(pixels.size())));
        return EXIT_OK;
    }

private:
    QString m_path;
    QString m_out;
    int m_width = 0;
    int m_height = 0;
    int m_code = PIXEL_CODE_RGB565;
    bool m_keepAspect = true;
    uint32_t m_bk = 0x00FFFFFFu;
    CDither m_dither = CDither::None;
};

} // namespace

std::unique_ptr<CCliCommand> MakeConvertCommand()
{
    return std::make_unique<CCmdConvert>();
}
