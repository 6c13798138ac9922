#include "link/detector.h"

#include <algorithm>

#include "link/tcp_port.h"
#include "link/terminal.h"
#include "res/string_ids.h"
#include "res/strings.h"

CPortList::CPortList(const QString &savedPort, int savedBaud) : m_savedPort(savedPort), m_savedBaud(savedBaud)
{
}

QVector<CPortEntry> CPortList::Normalize(QVector<CPortEntry> ports)
{
    QVector<CPortEntry> unique;
    for (const CPortEntry &entry : ports) {
        auto same = std::find_if(unique.begin(), unique.end(), [&](const CPortEntry &e) {
            return e.displayName.compare(entry.displayName, Qt::CaseInsensitive) == 0;
        });
        if (same != unique.end())
            *same = entry;
        else
            unique.push_back(entry);
    }
    std::stable_sort(unique.begin(), unique.end(), [](const CPortEntry &a, const CPortEntry &b) {
        return a.displayName.compare(b.displayName, Qt::CaseInsensitive) < 0;
    });
    return unique;
}

void CPortList::Refresh()
{
    QString remembered = m_port >= 0 && m_port < m_ports.size() ? m_ports[m_port].displayName : QString();
    if (remembered.isEmpty())
        remembered = m_savedPort;

    QVector<CPortEntry> ports = Normalize(m_enumerate ? m_enumerate() : CMyPortEnum::List());
    if (!m_only.isEmpty()) {
        QVector<CPortEntry> kept;
        for (const CPortEntry &e : ports)
            if (e.path == m_only || e.displayName.compare(m_only, Qt::CaseInsensitive) == 0)
                kept.push_back(e);
        if (kept.isEmpty() && (m_only.startsWith(QLatin1Char('/')) || CMyTcpPort::IsTcpName(m_only))) {
            // A device path that is not listed (a port the enumeration does
            // not know) or a network port: offer it under its own name.
            kept.push_back(CMyPortEnum::NamedEntry(m_only));
        }
        ports = kept;
        remembered.clear();
    }
    m_ports = ports;
    m_port = -1;
    if (m_ports.isEmpty()) {
        // Said once, like a port's problem (the empty path stands for it).
        if (m_status && !m_told.contains(QString()))
            m_status->ShowStatusMessage(STATUS_FAILURE, LoadStr(IDS_NO_PORTS));
        m_told.insert(QString());
    } else {
        for (int i = 0; i < m_ports.size(); ++i) {
            if (m_ports[i].displayName.startsWith(remembered, Qt::CaseInsensitive)) {
                m_port = i;
                break;
            }
        }
    }
    FillBaudList();
}

void CPortList::FillBaudList()
{
    const int remembered = m_baud >= 0 && m_baud < m_bauds.size() ? m_bauds[m_baud].rate : 0;
    m_bauds.clear();
    m_baud = -1;
    if (m_port < 0 || m_port >= m_ports.size())
        return;
    const CPortEntry &entry = m_ports[m_port];
    // A network port is not tried here: a bridge serves one client, and an
    // unreachable host would hold the list for the whole connection wait.
    const CPortCheck check = m_probe                              ? m_probe(entry)
                             : entry.kind == PortKind::Network ? CPortCheck()
                                                               : CheckPort(entry.path);
    if (!check.Ok()) {
        // Refreshing and walking the list probe a port again and again; its
        // reason is worth saying once.
        if (m_status && !m_told.contains(entry.path))
            m_status->ShowStatusMessage(STATUS_FAILURE, PortProbeMessage(entry.displayName, check));
        m_told.insert(entry.path);
        return;
    }
    m_bauds = BaudList(entry.kind != PortKind::Serial);
    SelectRate(remembered > 0 ? remembered : m_savedBaud);
}

bool CPortList::SelectPort(int index)
{
    if (index < 0 || index >= m_ports.size())
        return false;
    m_port = index;
    FillBaudList();
    return true;
}

bool CPortList::SelectBaud(int index)
{
    if (index < 0 || index >= m_bauds.size()) {
        m_baud = -1;
        return false;
    }
    m_baud = index;
    return true;
}

bool CPortList::SelectRate(int rate)
{
    for (int i = 0; i < m_bauds.size(); ++i) {
        if (m_bauds[i].rate == rate) {
            m_baud = i;
            return true;
        }
    }
    m_baud = -1;
    return false;
}

bool CPortList::RestrictTo(const QString &nameOrPath)
{
    m_only = nameOrPath;
    return !nameOrPath.isEmpty();
}

bool CPortList::GetPortSelection(CPortSelection *selection)
{
    if (m_port < 0 || m_port >= m_ports.size() || m_baud < 0 || m_baud >= m_bauds.size())
        return false;
    selection->rate = m_bauds[m_baud].rate;
    selection->displayName = m_ports[m_port].displayName;
    selection->path = m_ports[m_port].path;
    return selection->Usable();
}

CDetector::CDetector(CMyTerminal &terminal, CDetectPorts &ports) : m_terminal(terminal), m_ports(ports)
{
}

void CDetector::Start()
{
    m_ports.Refresh();
    m_state = Running;
    m_portIndex = -1;
    m_baudIndex = -1;
    m_attempts = 0;
    m_text.clear();
    m_last = CPortSelection();
}

CDetector::State CDetector::Tick()
{
    if (m_state != Running)
        return m_state;
    if (!m_ports.SelectBaud(m_baudIndex)) {
        // This port is done (or none was started): move to the next one; the
        // step ends without an attempt.
        ++m_portIndex;
        if (!m_ports.SelectPort(m_portIndex)) {
            m_state = Exhausted;
            return m_state;
        }
        m_baudIndex = m_ports.BaudCount() - 1;
        return m_state;
    }
    --m_baudIndex;
    CPortSelection selection;
    m_ports.GetPortSelection(&selection);
    m_last = selection;
    m_text = FormatStr(IDS_DETECTING, selection.rate, qUtf8Printable(selection.displayName));
    ++m_attempts;
    if (m_onAttempt)
        m_onAttempt(selection, m_text);
    const bool ok = m_connect ? m_connect(selection.rate, selection.path)
                              : Connect(m_terminal, selection.rate, selection.path);
    if (ok)
        m_state = Found;
    else if (CMyTcpPort::IsTcpName(selection.path))
        m_baudIndex = -1;  // the rate is the bridge's: one attempt per network port
    return m_state;
}

bool CDetector::Run()
{
    while (Tick() == Running) {
    }
    return m_state == Found;
}
