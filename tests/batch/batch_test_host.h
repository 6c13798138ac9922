// A scripted batch host for the tests: records every call as a line of text,
// answers message boxes from a script and returns scripted results for the
// front-end operations.
#pragma once

#include "batch/batch_host.h"
#include "link/terminal.h"
#include "link/transport.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <map>

// The PC side of the line: open or not, and its rate.
class CFakeLink : public CTransport
{
  public:
    bool open = false;
    int baud = 115200;
    int setBaudCalls = 0;
    bool failSetBaud = false;

    bool IsOpen() const override { return open; }
    void Close() override { open = false; }
    bool Write(const uint8_t *, int size, int *written) override
    {
        *written = size;
        return open;
    }
    bool Read(uint8_t *, int, int *got) override
    {
        *got = 0;
        return open;
    }
    bool WaitReadable(int) override { return false; }
    bool Purge(int) override { return open; }
    bool Drain() override { return open; }
    int GetPortBaud() override { return open ? baud : 0; }
    bool SetPortBaud(int rate) override
    {
        ++setBaudCalls;
        if (!open || failSetBaud)
            return false;
        baud = rate;
        return true;
    }
    uint32_t GetLastError() const override { return 0; }
    void SetLastError(uint32_t) override {}
};

class CScriptHost : public BATCHCMD::CBatchHost
{
  public:
    CScriptHost() { term.SetTransport(&link); }

    // A connected terminal of the given size and abilities.
    void Connect(int width, int height, bool modeCapable, int hardFont, int legacy)
    {
        link.open = true;
        term.Info().width = width;
        term.Info().height = height;
        term.Info().modeWord = modeCapable ? 0x0001u : 0u;
        term.Info().hardFont = hardFont;
        term.Info().legacy = legacy;
    }

    CMyTerminal term;
    CFakeLink link;
    QStringList calls;
    std::deque<int> answers;                     // message box answers; OK when empty
    std::map<QString, std::deque<bool>> results; // per operation; true when empty
    QString chosenFile;                          // answer of the file dialog
    bool connectSucceeds = true;
    bool fileListVisible = true;
    bool workspaceShown = true;
    BATCHCMD::CBatchViewInfo view;

    // Calls without the per-step refresh and 60 ms wait.
    QStringList Ops() const
    {
        QStringList out;
        for (const QString &c : calls)
            if (c != QLatin1String("Refresh") && c != QLatin1String("Wait 60"))
                out << c;
        return out;
    }
    QStringList Boxes() const { return calls.filter(QStringLiteral("Box ")); }
    QStringList Statuses() const { return calls.filter(QStringLiteral("Status ")); }

    // --- CStatusSink ---
    void ShowStatusMessage(int kind, const QString &text) override
    {
        calls << QStringLiteral("Status %1 %2").arg(kind).arg(text);
    }
    void ShowStatusProgress(const QString &, int) override {}
    void RefreshUi() override { calls << QStringLiteral("Refresh"); }

    // --- CBatchFileHost ---
    CMyTerminal &Terminal() override { return term; }
    int MessageBox(const QString &text, int buttons, int icon) override
    {
        calls << QStringLiteral("Box %1 %2 %3").arg(buttons).arg(icon).arg(text);
        if (answers.empty())
            return BATCHCMD::BATCH_ANSWER_OK;
        const int a = answers.front();
        answers.pop_front();
        return a;
    }

    // --- CBatchHost ---
    void Wait(int ms) override { calls << QStringLiteral("Wait %1").arg(ms); }
    void PlaySound(const QString &path) override { calls << QStringLiteral("Sound ") + path; }
    void SetWaitCursor(bool on) override { calls << QStringLiteral("Cursor %1").arg(on ? 1 : 0); }
    void ShowIdleStatus(const QString &text) override { calls << QStringLiteral("Idle ") + text; }
    QString ChooseBatchFile(bool save, const QString &) override
    {
        calls << QStringLiteral("Choose %1").arg(save ? 1 : 0);
        return chosenFile;
    }
    bool ConnectTerminal() override
    {
        calls << QStringLiteral("Connect");
        if (connectSucceeds)
            link.open = true;
        return link.open;
    }
    bool IsFileListVisible() override { return fileListVisible; }
    bool IsWorkspaceShown() override { return workspaceShown; }
    void ShowWorkspace(bool show) override
    {
        workspaceShown = show;
        calls << QStringLiteral("Workspace %1").arg(show ? 1 : 0);
    }
    BATCHCMD::CBatchViewInfo ActiveView() override { return view; }
    void RedrawMainWindow() override { calls << QStringLiteral("Redraw"); }
    void ReloadPictureView(QObject *, const QString &path, int w, int h) override
    {
        calls << QStringLiteral("ReloadPicture %1 %2 %3").arg(path).arg(w).arg(h);
    }
    void ReloadFontView(QObject *, const QString &path, int w, int h) override
    {
        calls << QStringLiteral("ReloadFont %1 %2 %3").arg(path).arg(w).arg(h);
    }
    void ShowView(QObject *v) override { calls << QStringLiteral("ShowView %1").arg(v ? 1 : 0); }

    bool DevSetMode(int mode) override { return Op(QStringLiteral("SetMode %1").arg(mode)); }
    bool DevSetBaud(int baud) override { return Op(QStringLiteral("SetBaud %1").arg(baud)); }
    bool DevClearScreen() override { return Op(QStringLiteral("ClearScreen")); }
    bool SendPictureFile(bool keep, const QString &path, uint32_t bk, int slot) override
    {
        return Op(QStringLiteral("SendPicture %1 %2 %3 %4").arg(keep ? 1 : 0).arg(path).arg(bk).arg(slot));
    }
    bool DevSavePicture(int slot) override { return Op(QStringLiteral("SavePicture %1").arg(slot)); }
    bool DevShowPicture(int slot) override { return Op(QStringLiteral("ShowPicture %1").arg(slot)); }
    bool DevDeletePicture(int slot) override { return Op(QStringLiteral("DeletePicture %1").arg(slot)); }
    bool DevDeleteAllPictures() override { return Op(QStringLiteral("DeleteAllPictures")); }
    bool SendFontFile(const QString &path, int w, int h) override
    {
        return Op(QStringLiteral("SendFont %1 %2 %3").arg(path).arg(w).arg(h));
    }
    bool DevShowText(const QString &text, int x, int y, int fw, int fh) override
    {
        return Op(QStringLiteral("ShowText %1 %2 %3 %4 %5").arg(text).arg(x).arg(y).arg(fw).arg(fh));
    }
    bool DevSetColors(uint32_t fore, uint32_t back) override
    {
        return Op(QStringLiteral("SetColors %1 %2").arg(fore).arg(back));
    }

  private:
    bool Op(const QString &call)
    {
        calls << call;
        const QString name = call.section(QLatin1Char(' '), 0, 0);
        auto it = results.find(name);
        if (it == results.end() || it->second.empty())
            return true;
        const bool r = it->second.front();
        it->second.pop_front();
        return r;
    }
};

// Writes bytes to a file in dir and returns its path.
inline QString WriteFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

inline QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A batch document with the given root attributes and the commands' markup.
inline QByteArray BatchDoc(const QString &commands, const QString &res = QStringLiteral("15728960"),
                           const QString &ver = QStringLiteral("1.1"),
                           const QString &model = QStringLiteral("QEL-A"))
{
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Document Ver=\"%1\" Model=\"%2\" Res=\"%3\">"
               "<Commands>%4</Commands></Document>")
        .arg(ver, model, res, commands)
        .toUtf8();
}
