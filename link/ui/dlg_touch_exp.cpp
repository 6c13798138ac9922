#include "link/ui/dlg_touch_exp.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "link/front_end.h"
#include "link/terminal.h"
#include "res/resource.h"
#include "res/strings.h"

CDlgTouchExp::CDlgTouchExp(CMyTerminal &terminal, QWidget *parent) : QDialog(parent), m_terminal(terminal)
{
    setObjectName(QStringLiteral("dlg%1").arg(IDD_TOUCHEXP));
    setWindowTitle(LoadStr(IDS_TOUCHEXP_CAPTION));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_stop = new QPushButton(LoadStr(IDS_TOUCHEXP_STOP), this);
    m_stop->setObjectName(QStringLiteral("stop"));
    m_stop->setDefault(true);
    m_stop->setMinimumSize(220, 90);
    m_stop->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(m_stop);
    connect(m_stop, &QPushButton::clicked, this, &CDlgTouchExp::accept);

    if (m_terminal.IsConnected())
        DevTouch(m_terminal, TOUCH_EXPERIENCE);
}

CDlgTouchExp::~CDlgTouchExp()
{
    Stop();
}

void CDlgTouchExp::done(int result)
{
    Stop();
    QDialog::done(result);
}

void CDlgTouchExp::Stop()
{
    if (m_stopped)
        return;
    m_stopped = true;
    // Nothing is sent when the connection is gone.
    DevStopTouchExperience(m_terminal);
}
