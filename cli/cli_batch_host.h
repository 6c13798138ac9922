// The batch host of the command-line program: questions on the terminal (or
// answered automatically), pauses by sleeping, no windows, and a record of
// every command carried out for the JUnit report.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <functional>
#include <vector>

#include "batch/batch_cmd.h"
#include "batch/batch_core_host.h"

class CConsole;
class CConsoleStatus;

struct CBatchCase {
    QString name;      // "3 Message": the position in the file and the kind
    int index = -1;    // position in the file from 0; -1 for a step of the run itself
    int count = 1;     // records of the file it carried out
    double seconds = 0.0;
    bool failed = false;
    bool error = false; // the run could not be carried out (no terminal, file refused)
    bool skipped = false; // a command of the file that was never begun
    QString failure;
};

class CCliBatchHost : public BATCHCMD::CBatchCoreHost {
public:
    // What the host is handed of the command line's context: the terminal,
    // the console, the status lines and the connect procedure (true when a
    // terminal is connected afterwards).
    CCliBatchHost(CMyTerminal &terminal, CConsole &console, CConsoleStatus &status, std::function<bool()> connect,
                  bool autoAnswer);

    // Whether a typed answer to an OK/Cancel question means OK: an empty
    // line, y, or a word of the table's OK answers in either language.
    static bool IsOkAnswer(const QString &typed);

    // Closes the case of the last command.
    void Finish();
    const std::vector<CBatchCase> &Cases() const { return m_cases; }

    void ShowStatusMessage(int kind, const QString &text) override;
    void ShowStatusProgress(const QString &text, int percent) override;
    void BeginCommand(int index, int32_t kind, int count) override;

    int MessageBox(const QString &text, int buttons, int icon) override;
    void Wait(int ms) override;
    void PlaySound(const QString &) override {}
    void SetWaitCursor(bool) override {}
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

private:
    int Ask(const QString &text);
    void Fail(const QString &text);

    CConsole &m_console;
    CConsoleStatus &m_status;
    std::function<bool()> m_connect;
    bool m_autoAnswer;
    int32_t m_kind = -1; // kind of the command being carried out
    std::vector<CBatchCase> m_cases;
    bool m_open = false;
    QElapsedTimer m_clock;
};
