#include "shell/bar_status.h"

#include "link/terminal.h"
#include "res/resource.h"
#include "res/strings.h"

namespace {

// The formatted part of a pane text is built in a 16-character buffer.
QString Clip15(const QString &s)
{
    return s.left(15);
}

} // namespace

CBarStatus::CBarStatus(QWidget *parent) : CMyStatusBar(parent)
{
    setObjectName(QStringLiteral("statusBar"));
    SetPanes({0, ID_INDICATOR_RES, ID_INDICATOR_VER, ID_INDICATOR_BAUD});
    SetNotConnectedLayout(true);
}

QString CBarStatus::ResolutionText(const CMyTerminal &terminal)
{
    QString text = LoadStr(ID_INDICATOR_RES);
    if (terminal.IsConnected())
        text += Clip15(FormatStr(IDS_RES_FORMAT, terminal.Info().width, terminal.Info().height));
    return text;
}

QString CBarStatus::VersionText(const CMyTerminal &terminal)
{
    QString text = LoadStr(ID_INDICATOR_VER);
    if (terminal.IsConnected())
        text += Clip15(terminal.Info().versionText);
    return text;
}

QString CBarStatus::BaudText(const CMyTerminal &terminal)
{
    QString text = LoadStr(ID_INDICATOR_BAUD);
    if (terminal.IsConnected())
        text += Clip15(FormatStr(IDS_BAUD_FORMAT, terminal.Info().baud));
    return text;
}

void CBarStatus::SetTextById(int id, const QString &text)
{
    const int index = CommandToIndex(id);
    if (index >= 0 && GetPaneText(index) != text)
        SetPaneText(index, text);
}

void CBarStatus::UpdateFromTerminal(const CMyTerminal &terminal)
{
    SetTextById(ID_INDICATOR_RES, ResolutionText(terminal));
    SetTextById(ID_INDICATOR_VER, VersionText(terminal));
    SetTextById(ID_INDICATOR_BAUD, BaudText(terminal));
    const bool notConnected = !terminal.IsConnected();
    if (IsNotConnectedLayout() != notConnected)
        SetNotConnectedLayout(notConnected);
}
