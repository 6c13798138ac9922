// The batch host of the command-line program: questions on the terminal (or
// answered automatically), pauses by sleeping, no windows, and a record of
// every command carried out for the JUnit report.
#pragma once

#include <QElapsedTimer>
#include <QSet>
#include <QString>
#include <functional>
#include <vector>

#include "batch/batch_cmd.h"
#include "batch/batch_core_host.h"

class CConsole;

struct CBatchCase {
    QString name;
    double seconds = 0.0;
    bool failed = false;
    QString failure;
};

class CCliBatchHost : public BATCHCMD::CBatchCoreHost {
public:
    // What the host is handed of the command line's context: the terminal,
    // the console, the status lines and the connect procedure (true when a
    // terminal is connected afterwards).
    CCliBatchHost(CMyTerminal &terminal, CConsole &console, CStatusSink &status, std::function<bool()> connect,
                  bool autoAnswer);

    // Whether a typed answer to an OK/Cancel question means OK: an empty
    // line, y, or a word of the table's OK answers in either language.
    static bool IsOkAnswer(const QString &typed);

    // Texts of the list's Repeat prompts and Message texts, to tell the two
    // questions apart when they are answered automatically.
    void LearnQuestions(const BATCHCMD::CBatchCmdList &list);
    // Closes the case of the last command.
    void Finish();
    const std::vector<CBatchCase> &Cases() const { return m_cases; }

    void ShowStatusMessage(int kind, const QString &text) override;
    void ShowStatusProgress(const QString &text, int percent) override;
    // The runner refreshes once before each command: a new case starts.
    void RefreshUi() override;

    int MessageBox(const QString &text, int buttons, int icon) override;
    void Wait(int ms) override;
    void PlaySound(const QString &path) override;
    void SetWaitCursor(bool on) override;
    void ShowIdleStatus(const QString &) override {}
    QString ChooseBatchFile(bool, const QString &) override { return QString(); }
    bool ConnectTerminal() override;
    bool IsFileListVisible() override { return false; }
    bool IsWorkspaceShown() override { return false; }
    void ShowWorkspace(bool) override {}
    BATCHCMD::CBatchViewInfo ActiveView() override { return {}; }
    void RedrawMainWindow() override {}
    void ReloadPictureView(QObject *, const QString &, int, int) override {}
    void ReloadFontView(QObject *, const QString &, int, int) override {}
    void ShowView(QObject *) override {}

    bool DevSetMode(int mode) override;
    bool DevSetBaud(int baud) override;
    bool DevClearScreen() override;
    bool SendPictureFile(bool keepAspectRatio, const QString &path, uint32_t bkColor, int slot) override;
    bool DevSavePicture(int slot) override;
    bool DevShowPicture(int slot) override;
    bool DevDeletePicture(int slot) override;
    bool DevDeleteAllPictures() override;
    bool SendFontFile(const QString &path, int width, int height) override;
    bool DevShowText(const QString &text, int x, int y, int fontWidth, int fontHeight) override;
    bool DevSetColors(uint32_t foreground, uint32_t background) override;

private:
    void Name(const char *kind);
    int Ask(const QString &text);

    CConsole &m_console;
    CStatusSink &m_status;
    std::function<bool()> m_connect;
    bool m_autoAnswer;
    QSet<QString> m_repeatPrompts;
    QSet<QString> m_messageTexts;
    std::vector<CBatchCase> m_cases;
    bool m_open = false;
    QElapsedTimer m_clock;
};
