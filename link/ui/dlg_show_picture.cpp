#include "link/ui/dlg_show_picture.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/front_end.h"
#include "link/terminal.h"
#include "link/ui/slot_text.h"
#include "res/resource.h"
#include "res/strings.h"

namespace {

QPushButton *MakeButton(QWidget *parent, int textId, int id)
{
    auto *b = new QPushButton(LoadStr(textId), parent);
    b->setObjectName(QStringLiteral("button%1").arg(id));
    b->setAutoDefault(false);
    return b;
}

} // namespace

CDlgShowPicture::CDlgShowPicture(CMyTerminal &terminal, QWidget *parent)
    : QDialog(parent), m_terminal(terminal), m_high(terminal.Info().maxPictures - 1)
{
    setObjectName(QStringLiteral("dlg%1").arg(IDD_SHOWPICTURE));
    setWindowTitle(LoadStr(IDS_SHOWPIC_CAPTION));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_first = MakeButton(this, IDS_SHOWPIC_FIRST, IDC_SHOWPICTURE_FIRST);
    m_prev = MakeButton(this, IDS_SHOWPIC_PREV, IDC_SHOWPICTURE_PREV);
    m_next = MakeButton(this, IDS_SHOWPIC_NEXT, IDC_SHOWPICTURE_NEXT);
    m_last = MakeButton(this, IDS_SHOWPIC_LAST, IDC_SHOWPICTURE_LAST);
    for (QPushButton *b : {m_first, m_prev, m_next, m_last})
        b->setFixedWidth(36);
    m_field = new QLineEdit(this);
    m_field->setObjectName(QStringLiteral("slot%1").arg(IDC_SHOWPICTURE_SLOT));
    m_field->setValidator(DigitsOnlyValidator(m_field));
    m_field->setAlignment(Qt::AlignCenter);
    m_field->setFixedWidth(70);
    auto *close = new QPushButton(LoadStr(IDS_DLG_CLOSE), this);
    close->setObjectName(QStringLiteral("close"));
    close->setAutoDefault(false);

    auto *row = new QHBoxLayout;
    row->addWidget(m_first);
    row->addWidget(m_prev);
    row->addWidget(m_field);
    row->addWidget(m_next);
    row->addWidget(m_last);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);

    connect(m_first, &QPushButton::clicked, this, &CDlgShowPicture::First);
    connect(m_prev, &QPushButton::clicked, this, &CDlgShowPicture::Prev);
    connect(m_next, &QPushButton::clicked, this, &CDlgShowPicture::Next);
    connect(m_last, &QPushButton::clicked, this, &CDlgShowPicture::Last);
    connect(close, &QPushButton::clicked, this, &CDlgShowPicture::accept);
    connect(m_field, &QLineEdit::textChanged, this, &CDlgShowPicture::OnTextChanged);

    // Slot 0 counts as shown already, so this sends nothing.
    m_field->setText(QString::number(m_low));
    m_field->setFocus();
}

QPushButton *CDlgShowPicture::Button(int id) const
{
    switch (id) {
    case IDC_SHOWPICTURE_FIRST:
        return m_first;
    case IDC_SHOWPICTURE_PREV:
        return m_prev;
    case IDC_SHOWPICTURE_NEXT:
        return m_next;
    case IDC_SHOWPICTURE_LAST:
        return m_last;
    default:
        return nullptr;
    }
}

void CDlgShowPicture::OnTextChanged(const QString &text)
{
    const int slot = ParseSlotText(text);
    if (!CheckSlot(m_terminal, slot)) {
        m_field->setFocus();
        return;
    }
    if (slot == m_shown)
        return;
    m_shown = slot;
    DevShowPicture(m_terminal, slot);
}

void CDlgShowPicture::First()
{
    m_field->setText(QString::number(m_low));
}

void CDlgShowPicture::Last()
{
    m_field->setText(QString::number(m_high));
}

void CDlgShowPicture::Prev()
{
    Step(-1);
}

void CDlgShowPicture::Next()
{
    Step(+1);
}

void CDlgShowPicture::Step(int delta)
{
    const int current = ParseSlotText(m_field->text());
    if (current < m_low || current > m_high)
        return;
    const int value = qBound(m_low, current + delta, m_high);
    m_field->setText(QString::number(value));
}
