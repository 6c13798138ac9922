#include "link/ui/bar_dev.h"

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QInputDialog>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QSlider>
#include <QAbstractItemView>
#include <QApplication>
#include <QTimer>
#include <QToolButton>
#include <QWidget>
#include <utility>

#include "link/baud_table.h"
#include "link/front_end.h"
#include "link/host.h"
#include "link/port_check.h"
#include "link/port_watcher.h"
#include "link/terminal.h"
#include "res/commands.h"
#include "res/profile.h"
#include "res/resource.h"
#include "res/strings.h"
#include "shell/cmd_table.h"
#include "shell/icons.h"
#include "link/ui/port_combo.h"

namespace {

const char kSettingsPort[] = "Settings/Port";
const char kSettingsBaud[] = "Settings/Baud";
const char kSettingsNetPorts[] = "Settings/NetworkPorts";
const char kSettingsAutoReconnect[] = "Settings/AutoReconnect";
const int kDefaultBaud = 115200;

// A label that keeps the toolbar's background and centres its text.
QLabel *MakeLabel(const QString &text, int extra, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setFixedWidth(label->fontMetrics().horizontalAdvance(text) + extra);
    return label;
}

void SetPromptAndTip(QWidget *w, int id)
{
    w->setStatusTip(LoadStrPart(id, 0));
    w->setToolTip(LoadStrPart(id, 1));
}

} // namespace

CBarDev::CBarDev(CCmdTable *cmds, CMyTerminal *terminal, CStatusSink *status, QWidget *parent, bool watchPorts)
    : CMyToolBar(IDW_BAR_DEV, LoadStr(IDS_BAR_DEV_TITLE), parent), m_terminal(terminal), m_status(status)
{
    QAction *connectAction = cmds->Get(ID_DEV_CONNECT);
    AddButton(connectAction, true);
    SetConnectState(false);
    addSeparator();

    // The controls sit in one row right of the separator.
    auto *row = new QWidget(this);
    row->setObjectName(QStringLiteral("devControls"));
    m_portLabel = MakeLabel(LoadStr(IDS_LABEL_PORT), 8, row);
    m_portList = new CPortCombo(row);
    m_portList->setObjectName(QStringLiteral("portList"));
    m_portList->setFixedWidth(120);
    m_portList->setMaxVisibleItems(6);
    m_portList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    SetPromptAndTip(m_portList, IDC_DEV_PORT);
    m_baudLabel = MakeLabel(LoadStr(IDS_LABEL_BAUD), 10, row);
    m_baudList = new QComboBox(row);
    m_baudList->setObjectName(QStringLiteral("baudList"));
    m_baudList->setFixedWidth(80);
    m_baudList->setMaxVisibleItems(13);
    SetPromptAndTip(m_baudList, IDC_DEV_BAUD);
    m_lightLabel = MakeLabel(LoadStr(IDS_LABEL_BACKLIGHT), 10, row);
    m_slider = new QSlider(Qt::Horizontal, row);
    m_slider->setObjectName(QStringLiteral("brightness"));
    m_slider->setTickPosition(QSlider::NoTicks);
    m_slider->setFixedSize(120, 24);
    SetPromptAndTip(m_slider, IDC_DEV_BRIGHTNESS);

    int x = 3;
    const auto place = [&](QWidget *w, int gapAfter) {
        w->move(x, 0);
        x += w->width() + gapAfter;
    };
    const int rowHeight = qMax(38, m_portList->sizeHint().height());
    for (QWidget *w : {static_cast<QWidget *>(m_portLabel), static_cast<QWidget *>(m_baudLabel),
                       static_cast<QWidget *>(m_lightLabel)})
        w->setFixedHeight(rowHeight);
    m_portList->setFixedHeight(m_portList->sizeHint().height());
    m_baudList->setFixedHeight(m_baudList->sizeHint().height());
    place(m_portLabel, 0);
    place(m_portList, 5);
    place(m_baudLabel, 0);
    place(m_baudList, 5);
    place(m_lightLabel, 0);
    place(m_slider, 5);
    // Centre each control vertically in the button row.
    for (QWidget *w : row->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        w->move(w->x(), (rowHeight - w->height()) / 2);
    row->setFixedSize(x, rowHeight);
    addWidget(row);

    connect(m_portList, &QComboBox::activated, this, &CBarDev::OnPortChosen);
    // The box keeps its width; a name cut short shows in full as its tooltip.
    connect(m_portList, &QComboBox::currentIndexChanged, this, [this](int index) {
        const bool port = index >= 0 && index != RefreshIndex();
        m_portList->setToolTip(port ? m_portList->itemText(index) : LoadStrPart(IDC_DEV_PORT, 1));
    });
    connect(m_slider, &QSlider::valueChanged, this, &CBarDev::OnSliderChanged);

    m_watcher = new CPortWatcher(this);
    m_watcher->SetSource([this] { return ReadPorts(); });
    connect(m_watcher, &CPortWatcher::Changed, this, &CBarDev::FollowPorts);
    if (watchPorts)
        m_watcher->Start();

    m_autoReconnect = new QAction(LoadStr(IDS_AUTO_RECONNECT), this);
    m_autoReconnect->setObjectName(QStringLiteral("autoReconnect"));
    m_autoReconnect->setCheckable(true);
    m_autoReconnect->setStatusTip(LoadStr(IDS_AUTO_RECONNECT_PROMPT));
    m_autoReconnect->setChecked(OpenProfile()->value(QLatin1String(kSettingsAutoReconnect), false).toBool());
    connect(m_autoReconnect, &QAction::toggled, this,
            [](bool on) { OpenProfile()->setValue(QLatin1String(kSettingsAutoReconnect), on); });

    UpdateBrightnessRange();
    m_settingRange = true;
    m_slider->setValue(0);
    m_settingRange = false;
    UpdateEnabling(false);
}

void CBarDev::FollowPorts(const QStringList &added, const QStringList &removed)
{
    // A port that went and came back while waiting counts as both.
    for (const QString &path : added)
        if (!m_pendingAdded.contains(path))
            m_pendingAdded << path;
    for (const QString &path : removed)
        if (!m_pendingRemoved.contains(path))
            m_pendingRemoved << path;
    FollowPending();
}

void CBarDev::FollowPending()
{
    if (m_pendingAdded.isEmpty() && m_pendingRemoved.isEmpty())
        return;
    // Detection walks the list by position while its dialog is open, and a
    // dialog may be using the selection: the list follows once it is closed.
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(CPortWatcher::DEFAULT_INTERVAL_MS, this, &CBarDev::FollowPending);
        return;
    }
    RelistPorts();
    const QStringList added = std::exchange(m_pendingAdded, {});
    const QStringList removed = std::exchange(m_pendingRemoved, {});
    emit PortsFollowed(added, removed);
}

void CBarDev::SetPortSource(PortSource source)
{
    m_portSource = std::move(source);
    m_watcher->Prime();
}

int CBarDev::RefreshIndex() const
{
    return m_portList->findText(LoadStr(IDS_REFRESH_PORTS), Qt::MatchStartsWith);
}

int CBarDev::AddIndex() const
{
    return m_portList->findText(LoadStr(IDS_ADD_NET_PORT), Qt::MatchExactly);
}

QStringList CBarDev::NetworkPorts()
{
    QStringList out;
    for (const QString &name : OpenProfile()->value(QLatin1String(kSettingsNetPorts)).toStringList()) {
        QString host;
        int port = 0;
        if (CMyTcpPort::ParseName(name, &host, &port))
            out << name;
    }
    return out;
}

void CBarDev::RefreshPorts()
{
    RebuildPorts(RememberedPort(), ReadPorts());
}

void CBarDev::WatchPorts()
{
    m_watcher->Start();
    // The list the port watcher has just read: the system is asked once.
    RebuildPorts(RememberedPort(), m_watcher->Ports());
    FillBaudList();
}

QString CBarDev::RememberedPort() const
{
    const QString refresh = LoadStr(IDS_REFRESH_PORTS);
    QString remembered = m_portList->currentText();
    if (remembered.isEmpty() || remembered == refresh || remembered == LoadStr(IDS_ADD_NET_PORT))
        remembered = CMyPortEnum::PortNameFromProfile(OpenProfile()->value(QLatin1String(kSettingsPort)).toString());
    return remembered;
}

QVector<CPortEntry> CBarDev::ReadPorts() const
{
    return m_portSource ? m_portSource() : CMyPortEnum::List();
}

void CBarDev::RebuildPorts(const QString &remembered, QVector<CPortEntry> ports)
{
    m_portList->clear();
    m_portMap.clear();
    m_portKinds.clear();

    for (const QString &name : NetworkPorts())
        ports.push_back(CMyPortEnum::NamedEntry(name));
    QStringList names;
    for (const CPortEntry &port : ports) {
        // A later port with the same name replaces the earlier one's path.
        if (!m_portMap.contains(port.displayName))
            names.append(port.displayName);
        m_portMap.insert(port.displayName, port.path);
        m_portKinds.insert(port.displayName, port.kind);
    }
    // The list is sorted without regard to letter case; the refresh entry
    // stays last, outside the order, and the network entry after it.
    std::stable_sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    m_portList->addItems(names);
    int select = -1;
    if (!names.isEmpty())
        select = m_portList->findText(remembered, Qt::MatchStartsWith);
    else
        m_status->ShowStatusMessage(STATUS_FAILURE, LoadStr(IDS_NO_PORTS));
    m_portList->addItem(LoadStr(IDS_REFRESH_PORTS));
    m_portList->addItem(LoadStr(IDS_ADD_NET_PORT));
    m_portList->setCurrentIndex(select);
    // The box keeps its width; the open list shows the names in full.
    m_portList->view()->setMinimumWidth(m_portList->view()->sizeHintForColumn(0) + 24);
}

bool CBarDev::AddNetworkPort()
{
    QString name;
    bool given;
    if (m_netPrompt) {
        given = m_netPrompt(&name);
    } else {
        QInputDialog dlg(window());
        dlg.setWindowTitle(LoadStr(IDS_ADD_NET_PORT_CAPTION));
        dlg.setLabelText(LoadStr(IDS_ADD_NET_PORT_LABEL));
        dlg.setTextValue(QStringLiteral("tcp://"));
        dlg.setOkButtonText(LoadStr(IDS_DLG_OK));
        dlg.setCancelButtonText(LoadStr(IDS_DLG_CANCEL));
        given = dlg.exec() == QDialog::Accepted;
        name = dlg.textValue();
    }
    name = name.trimmed();
    // "HOST:PORT" alone is taken as a network port too.
    if (!name.contains(QLatin1String("://")))
        name.prepend(QLatin1String("tcp://"));
    QString host;
    int port = 0;
    const bool valid = given && CMyTcpPort::ParseName(name, &host, &port);
    if (!valid) {
        if (given)
            m_status->ShowStatusMessage(STATUS_FAILURE, LoadStr(IDS_NET_BAD_NAME));
        // Back to the port chosen before.
        m_portList->setCurrentIndex(m_lastChosen.isEmpty() ? -1
                                                           : m_portList->findText(m_lastChosen, Qt::MatchExactly));
        return false;
    }
    name = host.contains(QLatin1Char(':')) ? QStringLiteral("tcp://[%1]:%2").arg(host).arg(port)
                                           : QStringLiteral("tcp://%1:%2").arg(host).arg(port);
    QStringList known = NetworkPorts();
    if (!known.contains(name, Qt::CaseInsensitive)) {
        known << name;
        OpenProfile()->setValue(QLatin1String(kSettingsNetPorts), known);
    }
    RebuildPorts(name, ReadPorts());
    m_portList->setCurrentIndex(m_portList->findText(name, Qt::MatchFixedString));
    FillBaudList();
    return true;
}

bool CBarDev::RemoveNetworkPort(const QString &name)
{
    QStringList known = NetworkPorts();
    if (ConnectedThrough(name) || known.removeAll(name) == 0)
        return false;
    if (known.isEmpty())
        OpenProfile()->remove(QLatin1String(kSettingsNetPorts));
    else
        OpenProfile()->setValue(QLatin1String(kSettingsNetPorts), known);
    RelistPorts();
    return true;
}

void CBarDev::RelistPorts()
{
    const QString before = m_portList->currentText();
    RefreshPorts();
    // The baud list belongs to the selected port: rebuilt only when that changed.
    if (m_portList->currentText() != before)
        FillBaudList();
}

bool CBarDev::ConnectedThrough(const QString &name) const
{
    return m_terminal->IsNetworkLink() && m_terminal->LinePort().GetPortName() == name;
}

bool CBarDev::SelectPortPath(const QString &path, int rate)
{
    const QString name = m_portMap.key(path);
    const int index = name.isEmpty() ? -1 : m_portList->findText(name, Qt::MatchExactly);
    if (SelectPort(index) < 0)
        return false;
    const int baud = m_baudList->findData(rate);
    if (baud >= 0)
        m_baudList->setCurrentIndex(baud);
    return true;
}

bool CBarDev::AutoReconnect() const
{
    return m_autoReconnect->isChecked();
}

QMenu *CBarDev::CreateContextMenu(QWidget *parent)
{
    auto *frame = qobject_cast<QMainWindow *>(window());
    QMenu *menu = frame ? frame->createPopupMenu() : nullptr;
    if (menu)
        menu->setParent(parent, menu->windowFlags());
    else
        menu = new QMenu(parent);
    if (!menu->isEmpty())
        menu->addSeparator();
    menu->addAction(m_autoReconnect);
    const QStringList known = NetworkPorts();
    if (!known.isEmpty())
        menu->addSeparator();
    for (const QString &name : known) {
        QAction *remove = menu->addAction(FormatStr(IDS_REMOVE_NET_PORT, qUtf8Printable(name)));
        remove->setEnabled(!ConnectedThrough(name));
        connect(remove, &QAction::triggered, this, [this, name] { RemoveNetworkPort(name); });
    }
    return menu;
}

void CBarDev::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = CreateContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
}

void CBarDev::FillBaudList()
{
    const QString remembered = m_baudList->currentText();
    m_baudList->clear();
    if (m_portList->currentIndex() < 0)
        return;
    const QString name = m_portList->currentText();
    const auto it = m_portMap.constFind(name);
    if (it == m_portMap.constEnd())
        return;  // the refresh entry
    m_lastChosen = name;
    // A network bridge is reached only when connecting.
    const bool network = m_portKinds.value(name) == PortKind::Network;
    const CPortCheck check = network ? CPortCheck() : CheckPort(it.value());
    if (!check.Ok()) {
        m_status->ShowStatusMessage(STATUS_FAILURE, PortProbeMessage(name, check));
        return;
    }
    const bool longList = m_portKinds.value(name, PortKind::Serial) != PortKind::Serial;
    for (const CBaudItem &item : BaudList(longList))
        m_baudList->addItem(item.text, item.rate);
    if (m_baudList->count() == 0)
        return;
    int select;
    if (!remembered.isEmpty()) {
        select = m_baudList->findText(remembered, Qt::MatchStartsWith);
    } else {
        const int baud = OpenProfile()->value(QLatin1String(kSettingsBaud), kDefaultBaud).toInt();
        select = m_baudList->findData(baud);
    }
    m_baudList->setCurrentIndex(select);
}

bool CBarDev::GetPortSelection(int *baud, QString *displayName, QString *path) const
{
    if (m_portList->currentIndex() < 0 || m_baudList->currentIndex() < 0)
        return false;
    const int rate = m_baudList->currentData().toInt();
    const QString name = m_portList->currentText();
    if (baud)
        *baud = rate;
    if (displayName)
        *displayName = name;
    if (path)
        *path = m_portMap.value(name);
    return rate > 0 && m_portMap.contains(name);
}

int CBarDev::SelectPort(int index)
{
    if (index == RefreshIndex() || index == AddIndex() || index < 0 || index >= m_portList->count())
        return -1;
    m_portList->setCurrentIndex(index);
    if (m_portList->currentIndex() != index)
        return -1;
    FillBaudList();
    return index;
}

void CBarDev::SaveSelection()
{
    auto profile = OpenProfile();
    if (m_portList->currentIndex() >= 0)
        profile->setValue(QLatin1String(kSettingsPort), CMyPortEnum::ProfilePortName(m_portList->currentText()));
    if (m_baudList->currentIndex() >= 0)
        profile->setValue(QLatin1String(kSettingsBaud), m_baudList->currentData().toInt());
}

void CBarDev::OnPortChosen(int index)
{
    if (index == AddIndex()) {
        AddNetworkPort();
        return;
    }
    if (index == RefreshIndex())
        RefreshPorts();
    if (m_portList->currentIndex() >= 0)
        FillBaudList();
}

void CBarDev::SetConnectState(bool connected)
{
    if (QToolButton *btn = GetButton(ID_DEV_CONNECT)) {
        QAction *a = btn->defaultAction();
        a->setIcon(LoadAppIcon(connected ? QStringLiteral("connected") : QStringLiteral("connect")));
        a->setIconText(LoadStr(connected ? IDS_BTN_DISCONNECT : IDS_BTN_CONNECT));
    }
}

void CBarDev::OnIdleUpdate()
{
    UpdateEnabling(m_terminal->IsConnected());
    UpdateBrightnessRange();
}

void CBarDev::UpdateEnabling(bool connected)
{
    if (m_portList->isEnabled() == connected)
        m_portList->setEnabled(!connected);
    if (m_baudList->isEnabled() == connected)
        m_baudList->setEnabled(!connected);
    if (m_slider->isEnabled() != connected)
        m_slider->setEnabled(connected);
}

void CBarDev::UpdateBrightnessRange()
{
    const CDevInfo &info = m_terminal->Info();
    if (m_slider->minimum() == info.brightnessMin && m_slider->maximum() == info.brightnessMax)
        return;
    m_settingRange = true;
    m_slider->setRange(info.brightnessMin, info.brightnessMax);
    m_settingRange = false;
}

void CBarDev::OnSliderChanged(int position)
{
    if (m_settingRange || !m_terminal->IsConnected())
        return;
    // Left end is full brightness: the level is the distance from the right end.
    DevSetBrightness(*m_terminal, BrightnessFromSlider(m_terminal->Info(), position));
}
