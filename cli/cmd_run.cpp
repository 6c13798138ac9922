// run: replays a batch file; --junit writes one test case per command. With
// several ports (-p A -p B ..., or --all) one worker per port runs the batch
// on its own terminal at the same time, and a summary table follows.
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <algorithm>
#include <system_error>
#include <thread>
#include <unistd.h>

#include "batch/batch_file.h"
#include "batch/batch_runner.h"
#include "cli_batch_host.h"
#include "cli_context.h"
#include "junit_report.h"
#include "res/output_file.h"
#include "res/string_ids.h"
#include "res/strings.h"

namespace {

// The report, replacing any earlier one; a failure to write it is said on
// the console. Returns EXIT_OK, EXIT_USAGE (refused) or EXIT_FAILED.
int WriteJUnit(CCliContext &ctx, const QString &path, const std::vector<CJUnitSuite> &suites)
{
    QString reason;
    const COutputResult r = WriteOutputFile(path, JUnitXml(suites), OUTPUT_DIRECT, &reason);
    if (r == COutputResult::Written)
        return EXIT_OK;
    ctx.Failure(FormatStr(IDS_CLI_LABELLED, qUtf8Printable(FormatStr(IDS_CLI_JUNIT_FAILED, qUtf8Printable(path))),
                          qUtf8Printable(reason)));
    return r == COutputResult::Refused ? EXIT_USAGE : EXIT_FAILED;
}

// The failure the console showed last, or the given text when none was.
QString LastFailure(CCliContext &ctx, int fallbackId)
{
    const CConsoleStatus &s = ctx.Status();
    return s.LastKind() == STATUS_FAILURE ? s.LastText() : LoadStr(fallbackId);
}

// A case for a step of the run that is no command: connecting, loading.
CBatchCase RunError(const QString &name, const QString &message)
{
    CBatchCase c;
    c.name = name;
    c.failed = true;
    c.error = true;
    c.failure = message;
    return c;
}

// What the run on one terminal gave.
struct CTerminalRun {
    QString port;
    bool connected = false;
    int exitCode = EXIT_NO_TERMINAL;
    int width = 0;
    int height = 0;
    double seconds = 0.0;
    std::vector<CBatchCase> cases;
    QStringList commands; // element names of the loaded file's commands
};

// Connects the context's terminal and runs the batch file on it.
// The batch host on the context's terminal, console and connect procedure.
CCliBatchHost MakeBatchHost(CCliContext &ctx, bool autoAnswer)
{
    return CCliBatchHost(ctx.Terminal(), ctx.Console(), ctx.Status(),
                         [&ctx] { return ctx.ConnectTerminal() == EXIT_OK; }, autoAnswer);
}

int RunBatch(CCliContext &ctx, const QString &path, bool autoAnswer, CTerminalRun *run)
{
    const int rc = ctx.ConnectTerminal();
    if (rc != EXIT_OK) {
        run->cases.push_back(RunError(QStringLiteral("Connect"), LastFailure(ctx, IDS_CONNECT_FAILED)));
        return rc;
    }
    run->connected = true;
    CMyTerminal &t = ctx.Terminal();
    run->width = t.Info().width;
    run->height = t.Info().height;
    CCliBatchHost host = MakeBatchHost(ctx, autoAnswer);
    t.SetStatusSink(&host);
    BATCHCMD::CBatchRunner runner(host);
    int exitCode;
    if (!runner.Load(path)) {
        exitCode = EXIT_USAGE;
        t.SetStatusSink(&ctx.Status());
        run->cases.push_back(RunError(QStringLiteral("Load"), LastFailure(ctx, IDS_RUN_STOPPED)));
        return exitCode;
    } else {
        for (const BATCHCMD::CBatchCmdData &cmd : runner.Commands()) {
            const BATCHCMD::CBatchKind *kind = BATCHCMD::FindKind(cmd.nType);
            run->commands << QLatin1String(kind ? kind->name : "?");
        }
        const BATCHCMD::ERunResult result = runner.Execute();
        host.Finish();
        switch (result) {
        case BATCHCMD::ERunResult::Completed:
            exitCode = EXIT_OK;
            break;
        case BATCHCMD::ERunResult::NotConnected:
            exitCode = EXIT_NO_TERMINAL;
            break;
        default:
            exitCode = EXIT_FAILED;
            break;
        }
    }
    t.SetStatusSink(&ctx.Status());
    run->cases = host.Cases();
    // A run that did not complete fails somewhere, even where no command
    // said so itself.
    if (exitCode != EXIT_OK &&
        std::none_of(run->cases.begin(), run->cases.end(), [](const CBatchCase &c) { return c.failed; })) {
        if (run->cases.empty()) {
            run->cases.push_back(RunError(QStringLiteral("Run"), LastFailure(ctx, IDS_RUN_STOPPED)));
        } else {
            run->cases.back().failed = true;
            run->cases.back().failure = LastFailure(ctx, IDS_RUN_STOPPED);
        }
    }
    return exitCode;
}

QString ResultText(int exitCode)
{
    if (exitCode == EXIT_OK)
        return LoadStr(IDS_CLI_RESULT_OK);
    return LoadStr(exitCode == EXIT_NO_TERMINAL ? IDS_CLI_RESULT_NO_TERMINAL : IDS_CLI_RESULT_FAILED);
}

// Columns a text takes on a terminal: wide (CJK) characters take two.
int Columns(const QString &text)
{
    int n = 0;
    for (const QChar c : text) {
        const ushort u = c.unicode();
        const bool wide = (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF) ||
                          (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0xF900 && u <= 0xFAFF) ||
                          (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60) ||
                          (u >= 0xFFE0 && u <= 0xFFE6);
        n += wide ? 2 : 1;
    }
    return n;
}

// Rows of cells, each column as wide as its widest cell, two spaces apart.
QStringList Table(const QList<QStringList> &rows)
{
    QList<int> widths;
    for (const QStringList &row : rows)
        for (int i = 0; i < row.size(); ++i) {
            if (widths.size() <= i)
                widths << 0;
            widths[i] = qMax(widths[i], Columns(row[i]));
        }
    QStringList lines;
    for (const QStringList &row : rows) {
        QString line;
        for (int i = 0; i < row.size(); ++i) {
            line += row[i];
            if (i + 1 < row.size())
                line += QString(widths[i] - Columns(row[i]) + 2, QLatin1Char(' '));
        }
        lines << line;
    }
    return lines;
}

class CCmdRun : public CCliCommand {
public:
    QString Name() const override { return QStringLiteral("run"); }
    QString Synopsis() const override { return QStringLiteral("FILE.kbz [--yes] [--junit FILE] [--all]"); }
    int SummaryId() const override { return IDS_CLI_CMD_RUN; }
    bool AcceptsManyPorts() const override { return true; }
    QVector<COptionDef> Options() const override
    {
        return {{QStringLiteral("yes"), QLatin1Char('y'), false, QString(), LoadStr(IDS_CLI_OPT_YES)},
                {QStringLiteral("junit"), QChar(), true, QStringLiteral("FILE"), LoadStr(IDS_CLI_OPT_JUNIT)},
                {QStringLiteral("all"), QChar(), false, QString(), LoadStr(IDS_CLI_OPT_ALL)}};
    }
    int Prepare(CCliContext &ctx, const CParsedArgs &args) override
    {
        if (const int rc = NeedArgs(ctx, args, 1))
            return rc;
        const QStringList &p = args.Positionals();
        m_path = QFileInfo(p[0]).absoluteFilePath();
        m_junit = args.Value(QStringLiteral("junit"));
        QString refusal;
        if (!m_junit.isEmpty() && ClassifyOutputPath(m_junit, OUTPUT_DIRECT, &refusal) == COutputTarget::Refused)
            return ctx.Usage(FormatStr(IDS_CLI_LABELLED,
                                       qUtf8Printable(FormatStr(IDS_CLI_JUNIT_FAILED, qUtf8Printable(m_junit))),
                                       qUtf8Printable(refusal)));
        m_autoAnswer = args.Has(QStringLiteral("yes")) || ::isatty(STDIN_FILENO) != 1;
        m_all = args.Has(QStringLiteral("all"));
        if (m_all && !ctx.portOptions.isEmpty())
            return ctx.Usage(FormatStr(IDS_CLI_BAD_OPTION, "--all"));
        // One port under two spellings (a link, "//", its display name...)
        // would be driven by two workers at once.
        QStringList identities;
        for (const QString &port : ctx.portOptions) {
            const QString identity = CMyPortEnum::PortIdentity(port);
            if (identities.contains(identity))
                return ctx.Usage(FormatStr(IDS_CLI_PORT_TWICE, qUtf8Printable(port)));
            identities << identity;
        }
        // The file alone is read now, so that a broken one is found before
        // connecting; its resolution is compared once the terminal is known.
        CCliBatchHost host = MakeBatchHost(ctx, m_autoAnswer);
        BATCHCMD::CBatchFile file(host);
        file.AcceptAnyRes(true);
        BATCHCMD::CBatchCmdList list;
        if (!file.Load(m_path, list)) {
            if (!m_junit.isEmpty()) {
                CJUnitSuite suite{QFileInfo(m_path).completeBaseName(), {}, {}};
                suite.cases.push_back(RunError(QStringLiteral("Load"), LastFailure(ctx, IDS_RUN_STOPPED)));
                WriteJUnit(ctx, m_junit, {suite});
            }
            return EXIT_USAGE;
        }
        return EXIT_OK;
    }
    int Run(CCliContext &ctx) override
    {
        if (m_all || ctx.portOptions.size() > 1)
            return RunMany(ctx);
        CTerminalRun run;
        int exitCode = RunBatch(ctx, m_path, m_autoAnswer, &run);
        if (!m_junit.isEmpty()) {
            const int rc = WriteJUnit(ctx, m_junit, {{QFileInfo(m_path).completeBaseName(), run.cases, run.commands}});
            if (rc != EXIT_OK && exitCode == EXIT_OK)
                exitCode = rc;
        }
        return exitCode;
    }

private:
    // One worker thread per port, each with its own context: terminal,
    // connection, hosts and console (its lines start with the port).
    int RunMany(CCliContext &ctx)
    {
        QStringList ports = ctx.portOptions;
        if (m_all)
            for (const CPortEntry &e : CPortList::Normalize(CMyPortEnum::List()))
                ports << e.path;
        std::vector<CTerminalRun> runs(static_cast<size_t>(ports.size()));
        {
            // Ctrl+C cancels the transfers of every worker.
            CInterruptScope interrupt;
            std::vector<std::thread> workers;
            for (size_t i = 0; i < runs.size(); ++i) {
                runs[i].port = ports[int(i)];
                try {
                    workers.emplace_back([this, &ctx, &runs, i] { RunWorker(ctx, &runs[i]); });
                } catch (const std::system_error &) {
                    runs[i].exitCode = EXIT_FAILED;
                }
            }
            for (std::thread &w : workers)
                w.join();
        }
        return Summarize(ctx, runs);
    }

    void RunWorker(CCliContext &parent, CTerminalRun *run)
    {
        QElapsedTimer clock;
        clock.start();
        {
            CCliContext ctx;
            ctx.BecomeWorker(parent, run->port);
            // Nobody can answer questions for several terminals at once.
            run->exitCode = RunBatch(ctx, m_path, true, run);
        }
        run->seconds = clock.elapsed() / 1000.0;
        if (!(m_all && run->exitCode == EXIT_NO_TERMINAL))
            parent.Console().Out(FormatStr(IDS_CLI_RUN_FINISHED, qUtf8Printable(run->port),
                                           qUtf8Printable(ResultText(run->exitCode)), run->seconds));
    }

    int Summarize(CCliContext &ctx, const std::vector<CTerminalRun> &runs)
    {
        // With --all a port without a terminal is no failure: it is not listed.
        std::vector<const CTerminalRun *> listed;
        for (const CTerminalRun &r : runs)
            if (!(m_all && r.exitCode == EXIT_NO_TERMINAL))
                listed.push_back(&r);
        if (listed.empty()) {
            ctx.Failure(LoadStr(IDS_CLI_NO_TERMINALS));
            if (!m_junit.isEmpty()) {
                CJUnitSuite suite{QFileInfo(m_path).completeBaseName(), {}, {}};
                suite.cases.push_back(RunError(QStringLiteral("Connect"), LoadStr(IDS_CLI_NO_TERMINALS)));
                WriteJUnit(ctx, m_junit, {suite});
            }
            return EXIT_NO_TERMINAL;
        }
        QList<QStringList> rows{{LoadStr(IDS_CLI_COL_PORT), LoadStr(IDS_CLI_COL_RESOLUTION),
                                 LoadStr(IDS_CLI_COL_RESULT), LoadStr(IDS_CLI_COL_SECONDS)}};
        QJsonArray list;
        std::vector<CJUnitSuite> suites;
        int ok = 0;
        int exitCode = EXIT_OK;
        for (const CTerminalRun *r : listed) {
            const QString res = r->width > 0 ? QStringLiteral("%1x%2").arg(r->width).arg(r->height)
                                             : QStringLiteral("-");
            rows << QStringList{r->port, res, ResultText(r->exitCode), QString::number(r->seconds, 'f', 1)};
            QJsonObject o;
            o.insert(QStringLiteral("port"), r->port);
            o.insert(QStringLiteral("width"), r->width);
            o.insert(QStringLiteral("height"), r->height);
            o.insert(QStringLiteral("exit_code"), r->exitCode);
            o.insert(QStringLiteral("seconds"), r->seconds);
            list.append(o);
            suites.push_back({r->port, r->cases, r->commands});
            ok += r->exitCode == EXIT_OK ? 1 : 0;
            // Bad input outranks a failed command, which outranks a missing terminal.
            if (r->exitCode == EXIT_USAGE || (r->exitCode == EXIT_FAILED && exitCode != EXIT_USAGE) ||
                (r->exitCode == EXIT_NO_TERMINAL && exitCode == EXIT_OK))
                exitCode = r->exitCode;
        }
        for (const QString &line : Table(rows))
            ctx.Console().Out(line);
        const int count = int(listed.size());
        ctx.Console().Out(FormatStr(IDS_CLI_RUN_SUMMARY, count, ok, count - ok));
        if (ctx.json) {
            QJsonObject root;
            root.insert(QStringLiteral("terminals"), list);
            ctx.PrintJson(root);
        }
        if (!m_junit.isEmpty()) {
            const int rc = WriteJUnit(ctx, m_junit, suites);
            if (rc != EXIT_OK && exitCode == EXIT_OK)
                exitCode = rc;
        }
        return exitCode;
    }

    QString m_path;
    QString m_junit;
    bool m_autoAnswer = true;
    bool m_all = false;
};

} // namespace

std::unique_ptr<CCliCommand> MakeRunCommand()
{
    return std::make_unique<CCmdRun>();
}
