#include "link/ui/dlg_set_baud.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/baud_table.h"
#include "link/front_end.h"
#include "link/terminal.h"
#include "res/resource.h"
#include "res/strings.h"

CDlgSetBaud::CDlgSetBaud(CMyTerminal &terminal, QWidget *parent) : QDialog(parent), m_terminal(terminal)
{
    setObjectName(QStringLiteral("dlg%1").arg(IDD_SETBAUD));
    setWindowTitle(LoadStr(IDS_SETBAUD_CAPTION));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *label = new QLabel(LoadStr(IDS_SETBAUD_LABEL), this);
    m_list = new QComboBox(this);
    m_list->setObjectName(QStringLiteral("list%1").arg(IDC_SETBAUD_LIST));
    m_list->setMinimumWidth(120);
    label->setBuddy(m_list);
    auto *ok = new QPushButton(LoadStr(IDS_DLG_OK), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CDlgSetBaud::accept);

    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_list, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    layout->addLayout(buttons);

    const CDevInfo &info = m_terminal.Info();
    for (const CBaudItem &item : BaudListUpTo(info.maxBaud))
        m_list->addItem(item.text, item.rate);
    const int wanted = info.baud > 0 ? info.baud : 19200;
    // No entry with that rate (it exceeds max baud): nothing is selected.
    m_list->setCurrentIndex(m_list->findData(wanted));
}

void CDlgSetBaud::accept()
{
    if (m_list->currentIndex() < 0) {
        // Rate 0 is never a valid choice: this shows "波特率无效".
        CheckBaudChoice(m_terminal, 0);
        m_list->setFocus();
        return;
    }
    DevSetBaud(m_terminal, m_list->currentData().toInt());
    QDialog::accept();
}
