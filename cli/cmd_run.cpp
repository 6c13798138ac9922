// run: replays a batch file; --junit writes one test case per command.
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamWriter>
#include <unistd.h>

#include "batch/batch_file.h"
#include "batch/batch_runner.h"
#include "cli_batch_host.h"
#include "cli_context.h"
#include "res/string_ids.h"
#include "res/strings.h"

namespace {

bool WriteJUnit(const QString &path, const QString &suite, const std::vector<CBatchCase> &cases)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    int failures = 0;
    double total = 0.0;
    for (const CBatchCase &c : cases) {
        failures += c.failed ? 1 : 0;
        total += c.seconds;
    }
    QXmlStreamWriter xml(&file);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("testsuites"));
    xml.writeStartElement(QStringLiteral("testsuite"));
    xml.writeAttribute(QStringLiteral("name"), suite);
    xml.writeAttribute(QStringLiteral("tests"), QString::number(cases.size()));
    xml.writeAttribute(QStringLiteral("failures"), QString::number(failures));
    xml.writeAttribute(QStringLiteral("errors"), QStringLiteral("0"));
    xml.writeAttribute(QStringLiteral("time"), QString::number(total, 'f', 3));
    int index = 0;
    for (const CBatchCase &c : cases) {
        ++index;
        xml.writeStartElement(QStringLiteral("testcase"));
        xml.writeAttribute(QStringLiteral("classname"), suite);
        xml.writeAttribute(QStringLiteral("name"), QStringLiteral("%1 %2").arg(index).arg(c.name));
        xml.writeAttribute(QStringLiteral("time"), QString::number(c.seconds, 'f', 3));
        if (c.failed) {
            xml.writeStartElement(QStringLiteral("failure"));
            xml.writeAttribute(QStringLiteral("message"), c.failure);
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return file.flush() && !xml.hasError();
}

class CCmdRun : public CCliCommand {
public:
    QString Name() const override { return QStringLiteral("run"); }
    QString Synopsis() const override { return QStringLiteral("FILE.kbz [--yes] [--junit FILE]"); }
    int SummaryId() const override { return IDS_CLI_CMD_RUN; }
    QVector<COptionSpec> Options() const override
    {
        return {{QStringLiteral("yes"), QLatin1Char('y'), false, QString(), LoadStr(IDS_CLI_OPT_YES)},
                {QStringLiteral("junit"), QChar(), true, QStringLiteral("FILE"), LoadStr(IDS_CLI_OPT_JUNIT)}};
    }
    int Prepare(CCliContext &ctx, const CParsedArgs &args) override
    {
        if (const int rc = NeedArgs(ctx, args, 1))
            return rc;
        const QStringList &p = args.Positionals();
        m_path = QFileInfo(p[0]).absoluteFilePath();
        m_junit = args.Value(QStringLiteral("junit"));
        m_autoAnswer = args.Has(QStringLiteral("yes")) || ::isatty(STDIN_FILENO) != 1;
        // The file alone is read now, so that a broken one is found before
        // connecting; its resolution is compared once the terminal is known.
        CCliBatchHost host(ctx, m_autoAnswer);
        BATCHCMD::CBatchFile file(host);
        file.AcceptAnyRes(true);
        BATCHCMD::CBatchCmdList list;
        if (!file.Load(m_path, list))
            return Report(ctx, host, EXIT_USAGE);
        return EXIT_OK;
    }
    int Run(CCliContext &ctx) override
    {
        const int rc = ctx.ConnectTerminal();
        if (rc != EXIT_OK)
            return rc;
        CCliBatchHost host(ctx, m_autoAnswer);
        CMyTerminal &t = ctx.Terminal();
        t.SetStatusSink(&host);
        BATCHCMD::CBatchRunner runner(host);
        int exitCode;
        if (!runner.Load(m_path)) {
            exitCode = EXIT_USAGE;
        } else {
            host.LearnQuestions(runner.Commands());
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
        return Report(ctx, host, exitCode);
    }

private:
    // Writes the JUnit report when one was asked for; a report that cannot
    // be written turns success into failure.
    int Report(CCliContext &ctx, const CCliBatchHost &host, int exitCode) const
    {
        if (!m_junit.isEmpty() &&
            !WriteJUnit(m_junit, QFileInfo(m_path).completeBaseName(), host.Cases())) {
            ctx.Failure(FormatStr(IDS_CLI_JUNIT_FAILED, qUtf8Printable(m_junit)));
            if (exitCode == EXIT_OK)
                exitCode = EXIT_FAILED;
        }
        return exitCode;
    }

    QString m_path;
    QString m_junit;
    bool m_autoAnswer = true;
};

} // namespace

std::unique_ptr<CCliCommand> MakeRunCommand()
{
    return std::make_unique<CCmdRun>();
}
