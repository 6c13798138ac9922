// What every command works with: the terminal and its hosts, the console, the
// global options, and the connection procedure.
#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <memory>

#include "cli_command.h"
#include "cli_output.h"
#include "link/connection.h"
#include "link/detector.h"
#include "link/terminal.h"

class CCliContext {
public:
    CCliContext();
    ~CCliContext();

    CMyTerminal &Terminal() { return m_terminal; }
    CConsole &Console() { return m_console; }
    CConsoleStatus &Status() { return m_status; }

    // Global options.
    QString portOption;   // -p (the last one given)
    QStringList portOptions; // every -p, in order
    int baudOption = 0;   // -b (0: not given)
    bool json = false;
    bool log = false;
    bool logHex = false;  // --log=hex: no descriptions or times
    // Applies log and json to the sinks.
    void Apply();
    // The context of one terminal of a run on several: the parent's options
    // for this port, its lines marked with the port, Ctrl+C caught once for
    // all of them (CInterruptScope).
    void BecomeWorker(const CCliContext &parent, const QString &port);

    // Connects as the desktop program does: the chosen (or saved) port and
    // rate first, detection when that fails. EXIT_OK or EXIT_NO_TERMINAL.
    int ConnectTerminal();
    // Detection only, over the listed ports (or the one named with -p).
    int DetectTerminal();
    // Path and display name of the connection.
    const CPortSelection &Connected() const { return m_connected; }

    // Messages of the command line itself.
    void Failure(const QString &text) { m_status.ShowStatusMessage(STATUS_FAILURE, text); }
    int Usage(const QString &text)
    {
        Failure(text);
        return EXIT_USAGE;
    }
    // An input file that cannot be used, with the reason when there is one.
    int BadFile(const QString &path, const QString &reason = QString());
    void PrintJson(const QJsonObject &object);


private:
    class CHost;
    class CListSink;
    // What the console shows for a status message (see ShownText's comments).
    QString ShownText(int kind, const QString &text);
    void PrepareList(CPortList *list);
    bool Detect(CPortList &list);

    CConsole m_console;
    CConsoleStatus m_status;
    std::unique_ptr<CListSink> m_listSink;
    CTrafficLog m_traffic;
    CProgressHost m_progress;
    CMyTerminal m_terminal;
    CPortSelection m_connected;
    bool m_portReasonShown = false; // a failure of the port list named the port's reason
    int m_sentAtLastMessage = 0;
};
