#include "cli_context.h"

#include <QJsonDocument>

#include "res/profile.h"
#include "res/string_ids.h"
#include "res/strings.h"

// The connect command's view of the command line: the port list stands in
// for the device toolbar, -b overrides the selected rate.
class CCliContext::CHost : public CConnectHost {
public:
    CHost(CCliContext &ctx, CPortList &list, int rate) : m_ctx(ctx), m_list(list), m_rate(rate) {}

    bool GetPortSelection(CPortSelection *selection) override
    {
        const int port = m_list.SelectedPort();
        if (m_rate > 0 && port >= 0) {
            selection->rate = m_rate;
            selection->displayName = m_list.Ports()[port].displayName;
            selection->path = m_list.Ports()[port].path;
            return selection->Usable();
        }
        return m_list.GetPortSelection(selection);
    }
    void RunDetection() override { m_ctx.Detect(m_list); }

private:
    CCliContext &m_ctx;
    CPortList &m_list;
    int m_rate;
};

// The port list's messages: a failure there is the port's own reason (or
// that there is no port at all), which the generic advice would contradict
// when it is about the one port asked for.
class CCliContext::CListSink : public CStatusSink {
public:
    explicit CListSink(CCliContext &ctx) : m_ctx(ctx) {}
    void ShowStatusMessage(int kind, const QString &text) override
    {
        if (kind == STATUS_FAILURE && (!m_ctx.portOption.isEmpty() || text == LoadStr(IDS_NO_PORTS)))
            m_ctx.m_portReasonShown = true;
        m_ctx.m_status.ShowStatusMessage(kind, text);
    }
    void ShowStatusProgress(const QString &text, int percent) override
    {
        m_ctx.m_status.ShowStatusProgress(text, percent);
    }

private:
    CCliContext &m_ctx;
};

CCliContext::CCliContext()
    : m_status(m_console), m_listSink(std::make_unique<CListSink>(*this)), m_traffic(m_console),
      m_progress(m_console)
{
    m_status.SetFilter([this](int kind, const QString &text) { return ShownText(kind, text); });
    Apply();
}

QString CCliContext::ShownText(int kind, const QString &text)
{
    const int sent = m_traffic.SentCount();
    const bool sentSince = sent != m_sentAtLastMessage;
    m_sentAtLastMessage = sent;
    if (kind != STATUS_FAILURE)
        return text;
    if (text == LoadStr(IDS_CONNECT_FAILED)) {
        // The generic advice (port free, terminal on, rate right) is wrong
        // where more is known: the port's own reason (said already) or a
        // reply that came incomplete.
        if (!m_terminal.PartialReply().isEmpty())
            return PartialReplyText(m_terminal.PartialReply());
        return m_portReasonShown ? QString() : text;
    }
    // "see the communication log" only where the log holds the explanation:
    // it was asked for, something was sent, and no reply was rejected (a
    // rejected byte is not in the log).
    const QString hint = LoadStr(IDS_LOG_HINT);
    if (text.endsWith(hint) && !(log && sentSince && !m_terminal.ReplyRejected()))
        return text.left(text.size() - hint.size());
    return text;
}

CCliContext::~CCliContext()
{
    m_terminal.SetTrafficSink(nullptr);
    Disconnect(m_terminal);
}

void CCliContext::Apply()
{
    m_terminal.SetStatusSink(&m_status);
    m_terminal.SetBulkHost(&m_progress);
    m_traffic.SetDescribed(!logHex);
    m_terminal.SetTrafficSink(log ? &m_traffic : nullptr);
    m_console.SetQuietStdout(json);
}

void CCliContext::BecomeWorker(const CCliContext &parent, const QString &port)
{
    portOption = port;
    portOptions = QStringList{port};
    baudOption = parent.baudOption;
    json = parent.json;
    log = parent.log;
    logHex = parent.logHex;
    m_console.SetLinePrefix(QStringLiteral("[%1] ").arg(port));
    m_progress.SetSharedInterrupt(true);
    Apply();
}

void CCliContext::PrintJson(const QJsonObject &object)
{
    m_console.Data(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
}

void CCliContext::PrepareList(CPortList *list)
{
    if (!portOption.isEmpty())
        list->RestrictTo(CMyPortEnum::ResolvePortName(portOption));
    list->SetStatusSink(m_listSink.get());
}

bool CCliContext::Detect(CPortList &list)
{
    CDetector detector(m_terminal, list);
    detector.SetAttemptFn([this](const CPortSelection &, const QString &text) { m_console.Err(text); });
    detector.Start();
    return detector.Run();
}

static void RecordConnection(CMyTerminal &terminal, const CPortList &list, CPortSelection *connected)
{
    connected->path = terminal.LinePort().GetPortName();
    connected->displayName = connected->path;
    connected->rate = terminal.LinePort().GetPortBaud();
    for (const CPortEntry &e : list.Ports())
        if (e.path == connected->path)
            connected->displayName = e.displayName;
}

int CCliContext::ConnectTerminal()
{
    const std::unique_ptr<QSettings> profile = OpenProfile();
    const QString savedPort = CMyPortEnum::PortNameFromProfile(profile->value(QStringLiteral("Settings/Port")).toString());
    const int savedBaud = profile->value(QStringLiteral("Settings/Baud"), 115200).toInt();
    CPortList list(savedPort, savedBaud);
    PrepareList(&list);
    list.Refresh();
    if (!portOption.isEmpty() && list.Ports().isEmpty()) {
        Failure(FormatStr(IDS_CLI_PORT_NOT_FOUND, qUtf8Printable(portOption)));
        return EXIT_NO_TERMINAL;
    }
    CHost host(*this, list, baudOption);
    m_terminal.ClearPartialReply();
    if (!ConnectCommand(m_terminal, host))
        return EXIT_NO_TERMINAL;
    RecordConnection(m_terminal, list, &m_connected);
    if (baudOption > 0 && m_terminal.IsNetworkLink())
        m_status.ShowStatusMessage(STATUS_INFO, FormatStr(IDS_CLI_BAUD_NET, qUtf8Printable(m_connected.path)));
    return 0;
}

int CCliContext::DetectTerminal()
{
    CPortList list;
    PrepareList(&list);
    m_terminal.ClearPartialReply();
    if (!Detect(list)) {
        if (!portOption.isEmpty() && list.Ports().isEmpty())
            Failure(FormatStr(IDS_CLI_PORT_NOT_FOUND, qUtf8Printable(portOption)));
        else
            Failure(LoadStr(IDS_CONNECT_FAILED)); // left out when the port's reason was said
        return EXIT_NO_TERMINAL;
    }
    RecordConnection(m_terminal, list, &m_connected);
    return 0;
}

int CCliContext::BadFile(const QString &path, const QString &reason)
{
    QString text = FormatStr(IDS_CLI_BAD_FILE, qUtf8Printable(path));
    if (!reason.isEmpty())
        text = FormatStr(IDS_CLI_LABELLED, qUtf8Printable(text), qUtf8Printable(reason));
    return Usage(text);
}

int CCliCommand::NeedArgs(CCliContext &ctx, const CParsedArgs &args, int count) const
{
    const QStringList &p = args.Positionals();
    if (p.size() < count)
        return ctx.Usage(FormatStr(IDS_CLI_MISSING_ARG, qUtf8Printable(Name() + QLatin1Char(' ') + Synopsis())));
    if (p.size() > count)
        return ctx.Usage(FormatStr(IDS_CLI_TOO_MANY_ARGS, qUtf8Printable(p[count])));
    return EXIT_OK;
}

int CCliCommand::BadValue(CCliContext &ctx, const QString &text)
{
    return ctx.Usage(FormatStr(IDS_CLI_BAD_VALUE, qUtf8Printable(text)));
}

COptionDef CCliCommand::DitherOption()
{
    return {QStringLiteral("dither"), QChar(), true, QStringLiteral("METHOD"), LoadStr(IDS_CLI_OPT_DITHER)};
}

int CCliCommand::ReadDither(CCliContext &ctx, const CParsedArgs &args, CDither *dither)
{
    *dither = CDither::None;
    const QString name = QStringLiteral("dither");
    if (args.Has(name) && !ParseDither(args.Value(name), dither))
        return BadValue(ctx, args.Value(name));
    return EXIT_OK;
}
