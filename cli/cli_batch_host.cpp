#include "cli_batch_host.h"

#include <QTextStream>
#include <chrono>
#include <cstdio>
#include <thread>

#include "cli_output.h"
#include "res/string_ids.h"
#include "res/strings.h"

using namespace BATCHCMD;

bool CCliBatchHost::IsOkAnswer(const QString &typed)
{
    // The words of both languages count, whichever one the prompt was in.
    const QString line = typed.trimmed().toLower();
    if (line.isEmpty() || line == QLatin1String("y"))
        return true;
    for (const StrLang lang : {StrLang::Chinese, StrLang::English})
        if (LoadStrIn(lang, IDS_CLI_OK_ANSWERS).split(QLatin1Char('|')).contains(line))
            return true;
    return false;
}

CCliBatchHost::CCliBatchHost(CMyTerminal &terminal, CConsole &console, CConsoleStatus &status,
                             std::function<bool()> connect, bool autoAnswer)
    : CBatchCoreHost(terminal), m_console(console), m_status(status), m_connect(std::move(connect)),
      m_autoAnswer(autoAnswer)
{
}

void CCliBatchHost::Finish()
{
    if (m_open && !m_cases.empty())
        m_cases.back().seconds = m_clock.elapsed() / 1000.0;
    m_open = false;
}

void CCliBatchHost::BeginCommand(int index, int32_t kind, int count)
{
    Finish();
    const CBatchKind *k = FindKind(kind);
    CBatchCase c;
    c.index = index;
    c.count = count;
    c.name = QStringLiteral("%1 %2").arg(index + 1).arg(QLatin1String(k ? k->name : "?"));
    m_cases.push_back(c);
    m_kind = kind;
    m_open = true;
    m_clock.start();
}

void CCliBatchHost::Fail(const QString &text)
{
    if (m_open) {
        m_cases.back().failed = true;
        m_cases.back().failure = text;
    }
}

void CCliBatchHost::ShowStatusMessage(int kind, const QString &text)
{
    // The case carries the failure as the console showed it.
    m_status.ShowStatusMessage(kind, text);
    if (kind == STATUS_FAILURE)
        Fail(m_status.LastKind() == STATUS_FAILURE ? m_status.LastText() : text);
}

void CCliBatchHost::ShowStatusProgress(const QString &text, int percent)
{
    m_status.ShowStatusProgress(text, percent);
}

int CCliBatchHost::Ask(const QString &text)
{
    m_console.Out(text);
    if (m_autoAnswer) {
        // Without an operator the kind decides, never the text: a message is
        // confirmed and a repeat is not taken, so a run always ends.
        const bool repeat = m_kind == Repeat;
        m_console.Out(LoadStr(repeat ? IDS_CLI_ANSWER_CANCEL : IDS_CLI_ANSWER_OK));
        return repeat ? BATCH_ANSWER_CANCEL : BATCH_ANSWER_OK;
    }
    std::fputs(LoadStr(IDS_CLI_ASK_OKCANCEL).toUtf8().constData(), stderr);
    std::fflush(stderr);
    QTextStream in(stdin);
    QString line;
    if (!in.readLineInto(&line))
        return BATCH_ANSWER_CANCEL;
    return IsOkAnswer(line) ? BATCH_ANSWER_OK : BATCH_ANSWER_CANCEL;
}

int CCliBatchHost::MessageBox(const QString &text, int buttons, int icon)
{
    if (buttons != BATCH_MB_OKCANCEL) {
        if (icon == BATCH_ICON_ERROR)
            m_status.ShowStatusMessage(STATUS_FAILURE, text);
        else
            m_console.Out(text);
        return BATCH_ANSWER_OK;
    }
    const int answer = Ask(text);
    // Cancel at a message stops the run: that is its failure.
    if (answer != BATCH_ANSWER_OK && m_kind == Message) {
        const QString why = FormatStr(IDS_RUN_OPERATOR_CANCEL, qUtf8Printable(text));
        m_status.ShowStatusMessage(STATUS_FAILURE, why);
        Fail(why);
    }
    return answer;
}

void CCliBatchHost::Wait(int ms)
{
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool CCliBatchHost::ConnectTerminal()
{
    return m_connect && m_connect();
}
