#include "link/ui/dlg_save_picture.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "link/front_end.h"
#include "link/terminal.h"
#include "link/ui/slot_text.h"
#include "res/resource.h"
#include "res/strings.h"

CDlgSavePicture::CDlgSavePicture(CMyTerminal &terminal, QWidget *parent) : QDialog(parent), m_terminal(terminal)
{
    setObjectName(QStringLiteral("dlg%1").arg(IDD_SAVEPICTURE));
    setWindowTitle(LoadStr(IDS_SAVEPIC_CAPTION));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *label = new QLabel(LoadStr(IDS_SAVEPIC_LABEL), this);
    m_slot = new QComboBox(this);
    m_slot->setObjectName(QStringLiteral("slot%1").arg(IDC_SAVEPICTURE_SLOT));
    m_slot->setEditable(true);
    m_slot->setInsertPolicy(QComboBox::NoInsert);
    m_slot->setMinimumWidth(100);
    m_slot->lineEdit()->setValidator(DigitsOnlyValidator(m_slot));
    label->setBuddy(m_slot);
    auto *ok = new QPushButton(LoadStr(IDS_DLG_OK), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CDlgSavePicture::accept);

    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_slot, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);

    const int last = m_terminal.Info().maxPictures - 1;
    for (int slot = 0; slot <= last; ++slot)
        m_slot->addItem(QString::asprintf("%d", slot));
    // Nothing preselected.
    m_slot->setCurrentIndex(-1);
    m_slot->setEditText(QString());
}

void CDlgSavePicture::accept()
{
    const int slot = ParseSlotText(m_slot->currentText());
    if (!CheckSlot(m_terminal, slot)) {
        m_slot->setFocus();
        m_slot->lineEdit()->selectAll();
        return;
    }
    DevSavePicture(m_terminal, slot);
    QDialog::accept();
}
