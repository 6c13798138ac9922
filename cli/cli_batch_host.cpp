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

CCliBatchHost::CCliBatchHost(CMyTerminal &terminal, CConsole &console, CStatusSink &status,
                             std::function<bool()> connect, bool autoAnswer)
    : CBatchCoreHost(terminal), m_console(console), m_status(status), m_connect(std::move(connect)),
      m_autoAnswer(autoAnswer)
{
}

void CCliBatchHost::LearnQuestions(const CBatchCmdList &list)
{
    for (const CBatchCmdData &cmd : list) {
        if (cmd.nType == Repeat) {
            QString prompt = GetField(cmd.repeat.szPrompt, TEXT_UNITS);
            if (prompt.isEmpty())
                prompt = LoadStr(IDS_BATCH_REPEAT_DEFAULT);
            m_repeatPrompts.insert(prompt);
        } else if (cmd.nType == Message) {
            m_messageTexts.insert(GetField(cmd.message.szText, PATH_UNITS));
        }
    }
}

void CCliBatchHost::Finish()
{
    if (m_open && !m_cases.empty()) {
        CBatchCase &c = m_cases.back();
        c.seconds = m_clock.elapsed() / 1000.0;
        if (c.name.isEmpty())
            c.name = QStringLiteral("Anchor");
    }
    m_open = false;
}

void CCliBatchHost::RefreshUi()
{
    Finish();
    m_cases.push_back({});
    m_open = true;
    m_clock.start();
}

void CCliBatchHost::Name(const char *kind)
{
    if (m_open && m_cases.back().name.isEmpty())
        m_cases.back().name = QLatin1String(kind);
}

void CCliBatchHost::ShowStatusMessage(int kind, const QString &text)
{
    if (text.startsWith(LoadStr(IDS_BATCH_PCBAUD_DONE)) || text == LoadStr(IDS_BATCH_PCBAUD_FAILED))
        Name("SetPCBaud");
    if (kind == STATUS_FAILURE && m_open) {
        m_cases.back().failed = true;
        m_cases.back().failure = text;
    }
    m_status.ShowStatusMessage(kind, text);
}

void CCliBatchHost::ShowStatusProgress(const QString &text, int percent)
{
    m_status.ShowStatusProgress(text, percent);
}

int CCliBatchHost::Ask(const QString &text)
{
    m_console.Out(text);
    if (m_autoAnswer) {
        // Messages are confirmed, repeats declined, so a run always ends.
        const bool repeat = m_repeatPrompts.contains(text) && !m_messageTexts.contains(text);
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
    const bool repeat = m_repeatPrompts.contains(text) && !m_messageTexts.contains(text);
    Name(repeat ? "Repeat" : "Message");
    return Ask(text);
}

void CCliBatchHost::Wait(int ms)
{
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void CCliBatchHost::PlaySound(const QString &)
{
    // No sound on the console.
    Name("Sound");
}

void CCliBatchHost::SetWaitCursor(bool on)
{
    if (on)
        Name("Pause");
}

bool CCliBatchHost::ConnectTerminal()
{
    return m_connect && m_connect();
}

bool CCliBatchHost::DevSetMode(int mode)
{
    Name("SetMode");
    return CBatchCoreHost::DevSetMode(mode);
}

bool CCliBatchHost::DevSetBaud(int baud)
{
    Name("SetBaud");
    return CBatchCoreHost::DevSetBaud(baud);
}

bool CCliBatchHost::DevClearScreen()
{
    Name("ClearScreen");
    return CBatchCoreHost::DevClearScreen();
}

bool CCliBatchHost::SendPictureFile(bool keepAspectRatio, const QString &path, uint32_t bkColor, int slot)
{
    Name("SendPicture");
    return CBatchCoreHost::SendPictureFile(keepAspectRatio, path, bkColor, slot);
}

bool CCliBatchHost::DevSavePicture(int slot)
{
    Name("SavePicture");
    return CBatchCoreHost::DevSavePicture(slot);
}

bool CCliBatchHost::DevShowPicture(int slot)
{
    Name("ShowPicture");
    return CBatchCoreHost::DevShowPicture(slot);
}

bool CCliBatchHost::DevDeletePicture(int slot)
{
    Name("ClearPicture");
    return CBatchCoreHost::DevDeletePicture(slot);
}

bool CCliBatchHost::DevDeleteAllPictures()
{
    Name("ClearAllPictures");
    return CBatchCoreHost::DevDeleteAllPictures();
}

bool CCliBatchHost::SendFontFile(const QString &path, int width, int height)
{
    Name("SendFont");
    return CBatchCoreHost::SendFontFile(path, width, height);
}

bool CCliBatchHost::DevShowText(const QString &text, int x, int y, int fontWidth, int fontHeight)
{
    Name("ShowText");
    return CBatchCoreHost::DevShowText(text, x, y, fontWidth, fontHeight);
}

bool CCliBatchHost::DevSetColors(uint32_t foreground, uint32_t background)
{
    Name("SetColor");
    return CBatchCoreHost::DevSetColors(foreground, background);
}
