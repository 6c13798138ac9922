// screen render / send / export: a screen of a screen file (.qels) drawn as
// the terminal shows it, sent to the terminal, or written as a batch file.
// The file is read and the screen built (every picture read) before anything
// is connected or written, so a screen that cannot be built sends nothing.
#include <QBuffer>
#include <QFileInfo>

#include "cli_context.h"
#include "res/output_file.h"
#include "res/string_ids.h"
#include "res/ids_cexport.h"
#include "res/ids_screen.h"
#include "res/strings.h"
#include "screen/c_export.h"
#include "screen/screen_batch.h"
#include "screen/screen_build.h"
#include "screen/screen_file.h"
#include "screen/screen_render.h"

namespace {

enum class EScreenAction { Render, Send, Export };

class CCmdScreen : public CCliCommand {
public:
    explicit CCmdScreen(EScreenAction action) : m_action(action) {}

    QString Name() const override
    {
        switch (m_action) {
        case EScreenAction::Render:
            return QStringLiteral("screen render");
        case EScreenAction::Send:
            return QStringLiteral("screen send");
        case EScreenAction::Export:
            break;
        }
        return QStringLiteral("screen export");
    }
    QString Synopsis() const override
    {
        switch (m_action) {
        case EScreenAction::Render:
            return QStringLiteral("FILE [--screen NAME] -o OUT.png");
        case EScreenAction::Send:
            return QStringLiteral("FILE [--screen NAME]");
        case EScreenAction::Export:
            break;
        }
        return QStringLiteral("FILE [--screen NAME] --batch OUT.kbz | --c DIR [--prefix NAME] [--with-picture]");
    }
    int SummaryId() const override
    {
        switch (m_action) {
        case EScreenAction::Render:
            return IDS_CLI_CMD_SCREEN_RENDER;
        case EScreenAction::Send:
            return IDS_CLI_CMD_SCREEN_SEND;
        case EScreenAction::Export:
            break;
        }
        return IDS_CLI_CMD_SCREEN_EXPORT;
    }
    QVector<COptionDef> Options() const override
    {
        QVector<COptionDef> options{
            {QStringLiteral("screen"), QChar(), true, QStringLiteral("NAME"), LoadStr(IDS_CLI_OPT_SCREEN_NAME)}};
        if (m_action == EScreenAction::Render)
            options.push_back({QStringLiteral("out"), QLatin1Char('o'), true, QStringLiteral("OUT.png"),
                               LoadStr(IDS_CLI_OPT_SCREEN_OUT)});
        if (m_action == EScreenAction::Export) {
            options.push_back({QStringLiteral("batch"), QChar(), true, QStringLiteral("OUT.kbz"),
                               LoadStr(IDS_CLI_OPT_SCREEN_BATCH)});
            options.push_back({QStringLiteral("c"), QChar(), true, QStringLiteral("DIR"), LoadStr(IDS_CLI_OPT_SCREEN_C)});
            options.push_back({QStringLiteral("prefix"), QChar(), true, QStringLiteral("NAME"),
                               LoadStr(IDS_CLI_OPT_SCREEN_PREFIX)});
            options.push_back({QStringLiteral("with-picture"), QChar(), false, QString(),
                               LoadStr(IDS_CLI_OPT_WITH_PICTURE)});
        }
        return options;
    }
    int Prepare(CCliContext &ctx, const CParsedArgs &args) override
    {
        if (const int rc = NeedArgs(ctx, args, 1))
            return rc;
        // An export writes a batch file, C code, or both.
        if (m_action == EScreenAction::Export) {
            m_cExport.prefix = args.Value(QStringLiteral("prefix"));
            m_cExport.withPicture = args.Has(QStringLiteral("with-picture"));
            m_cExport.screen = args.Value(QStringLiteral("screen"));
            if (args.Has(QStringLiteral("c")))
                m_cDir = QFileInfo(args.Value(QStringLiteral("c"))).absoluteFilePath();
            if (!args.Has(QStringLiteral("c")) && !args.Has(QStringLiteral("batch")))
                return ctx.Usage(LoadStr(IDS_CLI_SCREEN_EXPORT_WHICH));
            if (args.Has(QStringLiteral("c")) && args.Value(QStringLiteral("c")).isEmpty())
                return ctx.Usage(FormatStr(IDS_CLI_MISSING_ARG, qUtf8Printable(Name() + QLatin1Char(' ') + Synopsis())));
        }
        const bool batch = m_action == EScreenAction::Export && (m_cDir.isEmpty() || args.Has(QStringLiteral("batch")));
        const char *outName = m_action == EScreenAction::Render ? "out" : batch ? "batch" : nullptr;
        if (args.Positionals().size() != 1 || (outName && args.Value(QLatin1String(outName)).isEmpty()))
            return ctx.Usage(FormatStr(IDS_CLI_MISSING_ARG, qUtf8Printable(Name() + QLatin1Char(' ') + Synopsis())));
        if (outName)
            m_out = QFileInfo(args.Value(QLatin1String(outName))).absoluteFilePath();

        QString error;
        if (!ReadScreenFile(args.Positionals()[0], &m_doc, &error))
            return ctx.Usage(error);
        const QString name = args.Value(QStringLiteral("screen"));
        m_index = m_doc.FindScreen(name);
        if (m_index < 0)
            return ctx.Usage(FormatStr(IDS_SCR_NO_SUCH_SCREEN, qUtf8Printable(m_doc.path), qUtf8Printable(name)));
        if (!BuildScreenPlan(m_doc, m_index, &m_plan, &error))
            return ctx.Usage(error);
        if (!m_cDir.isEmpty() && CExportPrefix(m_doc, m_cExport, &error).isEmpty())
            return ctx.Usage(error);
        if (m_action == EScreenAction::Render && !m_fonts.Load(m_doc, &error))
            return ctx.Usage(error);
        return EXIT_OK;
    }
    int Run(CCliContext &ctx) override
    {
        switch (m_action) {
        case EScreenAction::Render:
            return Render(ctx);
        case EScreenAction::Send:
            return Send(ctx);
        case EScreenAction::Export:
            break;
        }
        return Export(ctx);
    }

private:
    int Render(CCliContext &ctx)
    {
        CScreenRendering rendering;
        RenderScreenPlan(m_plan, m_fonts, &rendering);
        for (const QString &note : rendering.notes)
            ctx.Status().ShowStatusMessage(STATUS_INFO, note);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        // A FIFO or a device is written into; anything else that is not a
        // regular file is refused and left as it is.
        QString reason;
        const COutputResult written = rendering.image.save(&buffer, "PNG")
                                          ? WriteOutputFile(m_out, png, OUTPUT_DIRECT, &reason)
                                          : COutputResult::Failed;
        if (written != COutputResult::Written) {
            ctx.Failure(FormatStr(IDS_SCR_WRITE_FAILED, qUtf8Printable(m_out), qUtf8Printable(reason)));
            return written == COutputResult::Refused ? EXIT_USAGE : EXIT_FAILED;
        }
        ctx.Status().ShowStatusMessage(STATUS_SUCCESS, FormatStr(IDS_SCR_RENDERED, qUtf8Printable(m_out)));
        return EXIT_OK;
    }
    int Send(CCliContext &ctx)
    {
        const int rc = ctx.ConnectTerminal();
        if (rc != EXIT_OK)
            return rc;
        QString error;
        if (!CheckScreenTerminal(ctx.Terminal(), m_plan, &error))
            return ctx.Usage(error);
        return SendScreenPlan(ctx.Terminal(), m_plan, &ctx.Status()) ? EXIT_OK : EXIT_FAILED;
    }
    int Export(CCliContext &ctx)
    {
        if (!m_cDir.isEmpty()) {
            QStringList written, warnings;
            QString error;
            if (!ExportScreensAsC(m_doc, m_cDir, m_cExport, &written, &warnings, &error)) {
                ctx.Failure(error);
                return EXIT_FAILED;
            }
            for (const QString &w : warnings)
                ctx.Status().ShowStatusMessage(STATUS_INFO, w);
            ctx.Status().ShowStatusMessage(STATUS_SUCCESS,
                                           FormatStr(IDS_CEX_EXPORTED, qUtf8Printable(written.join(QStringLiteral(", ")))));
            if (m_out.isEmpty())
                return EXIT_OK;
        }
        QString picture, error;
        if (!ExportScreenBatch(m_plan, m_out, &picture, &error)) {
            ctx.Failure(error);
            return EXIT_FAILED;
        }
        ctx.Status().ShowStatusMessage(STATUS_SUCCESS,
                                       picture.isEmpty()
                                           ? FormatStr(IDS_SCR_EXPORTED_NO_PICTURE, qUtf8Printable(m_out))
                                           : FormatStr(IDS_SCR_EXPORTED, qUtf8Printable(m_out), qUtf8Printable(picture)));
        return EXIT_OK;
    }

    EScreenAction m_action;
    QString m_out;
    QString m_cDir;           // export: the folder of the C code, empty when none
    CCExportOptions m_cExport;
    CScreenDoc m_doc;
    int m_index = -1;
    CScreenPlan m_plan;
    CScreenFonts m_fonts;
};

} // namespace

std::vector<std::unique_ptr<CCliCommand>> MakeScreenCommands()
{
    std::vector<std::unique_ptr<CCliCommand>> list;
    for (EScreenAction a : {EScreenAction::Render, EScreenAction::Send, EScreenAction::Export})
        list.push_back(std::make_unique<CCmdScreen>(a));
    return list;
}
