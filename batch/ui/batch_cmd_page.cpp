#include "batch/ui/batch_cmd_page.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

#include "link/baud_table.h"
#include "link/host.h"
#include "link/terminal.h"
#include "res/resource.h"
#include "res/strings.h"
#include "shell/btn.h"

namespace BATCHCMD
{

namespace
{

QString ControlName(int id)
{
    return QStringLiteral("ctl%1").arg(id);
}

// Size entries: width + height x 65536 as data, "%d x %d" as text.
void FillSizes(QComboBox *list, std::initializer_list<QSize> sizes)
{
    for (const QSize &s : sizes)
        list->addItem(FormatStr(IDS_BATCHPAGE_SIZE_FORMAT, s.width(), s.height()),
                      s.width() + s.height() * 65536);
}

void SelectSize(QComboBox *list, int width, int height)
{
    list->setCurrentIndex(list->findData(width + height * 65536));
}

// The edit's text as an unsigned 32-bit number; false when it is none.
bool ReadUnsigned(const QLineEdit *edit, uint32_t *value)
{
    bool ok = false;
    *value = edit->text().toUInt(&ok, 10);
    return ok;
}

// A path field names an existing file (at most 259 characters are read).
bool IsExistingFile(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path.left(PATH_UNITS - 1)).isFile();
}

QHBoxLayout *Row(QWidget *page)
{
    auto *row = new QHBoxLayout(page);
    row->setContentsMargins(0, 0, 0, 0);
    return row;
}

// A browse button that runs one of the file dialogs on a path edit.
QPushButton *BrowseButton(QWidget *page, int id, QLineEdit *edit,
                          bool (CBatchBrowser::*browse)(QWidget *, QString *), CBatchBrowser *browser)
{
    auto *button = new QPushButton(LoadStr(IDS_BATCHPAGE_BROWSE), page);
    button->setObjectName(ControlName(id));
    QObject::connect(button, &QPushButton::clicked, page, [page, edit, browse, browser] {
        QString path = edit->text();
        if (browser && (browser->*browse)(page, &path))
            edit->setText(path);
    });
    return button;
}

} // namespace

// ---------------------------------------------------------------- base

CBatchCmdPage::CBatchCmdPage(const CBatchPageEnv &env, int resourceId, QWidget *parent)
    : QWidget(parent), m_env(env)
{
    setObjectName(QStringLiteral("page%1").arg(resourceId));
}

bool CBatchCmdPage::GetCmdData(CBatchCmdData &)
{
    return true;
}

void CBatchCmdPage::SetCmdData(const CBatchCmdData &) {}

bool CBatchCmdPage::Reject(int stringId, QWidget *field)
{
    if (m_env.status)
        m_env.status->ShowStatusMessage(STATUS_FAILURE, LoadStr(stringId));
    if (field) {
        field->setFocus(Qt::OtherFocusReason);
        if (auto *edit = qobject_cast<QLineEdit *>(field))
            edit->selectAll();
    }
    return false;
}

QLabel *CBatchCmdPage::Label(int stringId)
{
    return new QLabel(LoadStr(stringId), this);
}

QLineEdit *CBatchCmdPage::Edit(int id, int maxLength)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(ControlName(id));
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    return edit;
}

QLineEdit *CBatchCmdPage::NumberEdit(int id)
{
    QLineEdit *edit = Edit(id);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    return edit;
}

QComboBox *CBatchCmdPage::List(int id)
{
    auto *list = new QComboBox(this);
    list->setObjectName(ControlName(id));
    return list;
}

CMyBtn *CBatchCmdPage::ColorButton(int id, int captionId)
{
    auto *button = new CMyBtn(LoadStr(captionId), this);
    button->setObjectName(ControlName(id));
    button->SetFlags(MYBTN_COLOR_LOOK);
    button->setMinimumSize(90, 48);
    connect(button, &QPushButton::clicked, this, [this, button] {
        const QColor color = QColorDialog::getColor(CMyBtn::FromColorRef(static_cast<uint32_t>(button->GetColor())),
                                                    this, button->text());
        if (color.isValid()) {
            button->SetColor(CMyBtn::ToColorRef(color));
            button->Redraw();
        }
    });
    return button;
}

// ---------------------------------------------------------------- blank, mode, baud

CBatchCmdPageBlank::CBatchCmdPageBlank(const CBatchPageEnv &env, QWidget *parent)
    : CBatchCmdPage(env, IDD_BATCHPAGE_BLANK, parent)
{
    Row(this)->addWidget(Label(IDS_BATCHPAGE_BLANK));
}

CBatchCmdPageMode::CBatchCmdPageMode(const CBatchPageEnv &env, QWidget *parent)
    : CBatchCmdPage(env, IDD_BATCHPAGE_MODE, parent)
{
    m_mode0 = new QRadioButton(LoadStr(IDS_BATCHPAGE_MODE0), this);
    m_mode0->setObjectName(ControlName(IDC_BATCHPAGE_MODE0));
    m_mode1 = new QRadioButton(LoadStr(IDS_BATCHPAGE_MODE1), this);
    m_mode1->setObjectName(ControlName(IDC_BATCHPAGE_MODE1));
    QHBoxLayout *row = Row(this);
    row->addWidget(m_mode0);
    row->addWidget(m_mode1);
    row->addStretch(1);
}

bool CBatchCmdPageMode::GetCmdData(CBatchCmdData &cmd)
{
    cmd.mode.nMode = m_mode0->isChecked() ? 0 : 1;
    return true;
}

void CBatchCmdPageMode::SetCmdData(const CBatchCmdData &cmd)
{
    // A mode other than 0 and 1 checks neither button (and stores as 1).
    m_mode0->setAutoExclusive(false);
    m_mode1->setAutoExclusive(false);
    m_mode0->setChecked(cmd.mode.nMode == 0);
    m_mode1->setChecked(cmd.mode.nMode == 1);
    m_mode0->setAutoExclusive(true);
    m_mode1->setAutoExclusive(true);
}

CBatchCmdPageBaud::CBatchCmdPageBaud(const CBatchPageEnv &env, QWidget *parent)
    : CBatchCmdPage(env, IDD_BATCHPAGE_BAUD, parent)
{
    m_list = List(IDC_BATCHPAGE_BAUD);
    if (env.terminal) {
        for (const CBaudItem &item : BaudListUpTo(env.terminal->Info().maxBaud))
            m_list->addItem(item.text, item.rate);
    }
    QLabel *hint = Label(IDS_BATCHPAGE_BAUD_HINT);
    hint->setWordWrap(true);
    QLabel *label = Label(IDS_BATCHPAGE_BAUD);
    label->setBuddy(m_list);
    QHBoxLayout *row = Row(this);
    row->addWidget(label);
    row->addWidget(m_list);
    row->addWidget(hint, 1);
}

bool CBatchCmdPageBaud::GetCmdData(CBatchCmdData &cmd)
{
    if (m_list->currentIndex() < 0)
        return Reject(IDS_BATCHPAGE_BAD_BAUD, m_list);
    cmd.baud.nBaud = m_list->currentData().toInt();
    return true;
}

void CBatchCmdPageBaud::SetCmdData(const CBatchCmdData &cmd)
{
    m_list->setCurrentIndex(m_list->findData(cmd.baud.nBaud));
}

// ---------------------------------------------------------------- picture

CBatchCmdPagePicture::CBatchCmdPagePicture(const CBatchPageEnv &env, QWidget *parent)
    : CBatchCmdPage(env, IDD_BATCHPAGE_PICTURE, parent)
{
    QLabel *pathLabel = Label(IDS_BATCHPAGE_PICTURE_FILE);
    pathLabel->setObjectName(ControlName(IDC_BATCHPAGE_PICTURE_LABEL));
    m_path = Edit(IDC_BATCHPAGE_PICTURE, PATH_UNITS - 1);
    pathLabel->setBuddy(m_path);
    QPushButton *browse =
        BrowseButton(this, IDC_BATCHPAGE_PICTURE_BROWSE, m_path, &CBatchBrowser::BrowsePicture, env.browser);
    m_keep = new QCheckBox(LoadStr(IDS_BATCHPAGE_KEEP_ASPECT), this);
    m_keep->setObjectName(ControlName(IDC_BATCHPAGE_KEEP_ASPECT));
    m_color = ColorButton(IDC_BATCHPAGE_BKCOLOR, IDS_BATCHPAGE_BKCOLOR);
    QLabel *slotLabel = Label(IDS_BATCHPAGE_SLOT);
    slotLabel->setObjectName(ControlName(IDC_BATCHPAGE_SLOT_LABEL));
    m_slot = NumberEdit(IDC_BATCHPAGE_SLOT);
    slotLabel->setBuddy(m_slot);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(pathLabel, 0, 0);
    grid->addWidget(m_path, 0, 1);
    grid->addWidget(browse, 0, 2);
    grid->addWidget(m_keep, 1, 1);
    grid->addWidget(m_color, 0, 3, 2, 1);
    grid->addWidget(slotLabel, 2, 0);
    grid->addWidget(m_slot, 2, 1);
    grid->setColumnStretch(1, 1);
    m_sendControls = {pathLabel, m_path, browse, m_keep, m_color};
    m_slotControls = {slotLabel, m_slot};
}

void CBatchCmdPagePicture::ShowSendControls(bool send)
{
    for (QWidget *w : m_sendControls)
        w->setVisible(send);
    for (QWidget *w : m_slotControls)
        w->setVisible(!send);
}

bool CBatchCmdPagePicture::GetCmdData(CBatchCmdData &cmd)
{
    if (cmd.nType == SendPicture) {
        if (!IsExistingFile(m_path->text()))
            return Reject(IDS_BATCHPAGE_BAD_PICTURE, m_path);
        SetField(cmd.picture.szPath, m_path->text());
        cmd.picture.bKeepAspectRatio = m_keep->isChecked() ? 1 : 0;
        cmd.picture.crBkColor = static_cast<uint32_t>(m_color->GetColor());
        return true;
    }
    uint32_t slot = 0;
    if (!ReadUnsigned(m_slot, &slot))
        return Reject(IDS_BATCHPAGE_BAD_SLOT, m_slot);
    cmd.picture.nID = static_cast<int32_t>(slot);
    return true;
}

void CBatchCmdPagePicture::SetCmdData(const CBatchCmdData &cmd)
{
    const bool send = cmd.nType == SendPicture;
    ShowSendControls(send);
    if (send) {
        m_path->setText(GetField(cmd.picture.szPath));
        m_keep->setChecked(cmd.picture.bKeepAspectRatio != 0);
        m_color->SetColor(cmd.picture.crBkColor);
        m_color->Redraw();
    } else {
        m_slot->setText(QString::number(static_cast<uint32_t>(cmd.picture.nID)));
    }
}

// ---------------------------------------------------------------- font, text

CBatchCmdPageFont::CBatchCmdPageFont(const CBatchPageEnv &env, QWidget *parent)
    : CBatchCmdPage(env, IDD_BATCHPAGE_FONT, parent)
{
    m_size = List(IDC_BATCHPAGE_FONT_SIZE);
    FillSizes(m_size, {{16, 16}, {24, 24}, {32, 32}, {12, 24}, {16, 32}});
    m_path = Edit(IDC_BATCHPAGE_FONT_FILE, PATH_UNITS - 1);
    QLabel *sizeLabel = Label(IDS_BATCHPAGE_FONT_SIZE);
    sizeLabel->setBuddy(m_size);
    QLabel *pathLabel = Label(IDS_BATCHPAGE_FONT_FILE);
    pathLabel->setBuddy(m_path);
    QHBoxLayout *row = Row(this);
    row->addWidget(sizeLabel);
    row->addWidget(m_size);
    row->addWidget(pathLabel);
    row->addWidget(m_path, 1);
    row->addWidget(BrowseButton(this, IDC_BATCHPAGE_FONT_BROWSE, m_path, &CBatchBrowser::BrowseFont, env.browser));
}

bool CBatchCmdPageFont::GetCmdData(CBatchCmdData &cmd)
{
    if (m_size->currentIndex() < 0)
        return Reject(IDS_BATCHPAGE_BAD_FONT_SIZE, m_size);
    if (!IsExistingFile(m_path->text()))
        return Reject(IDS_BATCHPAGE_BAD_FONT_FILE, m_path);
    const int size = m_size->currentData().toInt();
    cmd.font.nWidth = size & 0xFFFF;
    cmd.font.nHeight = size >> 16;
    SetField(cmd.font.szPath, m_path->text());
    return true;
}

void CBatchCmdPageFont::SetCmdData(const CBatchCmdData &cmd)
{
    SelectSize(m_size, cmd.font.nWidth, cmd.font.nHeight);
    m_path->setText(GetField(cmd.font.szPath));
}

CBatchCmdPageText::CBatchCmdPageText(const CBatchPageEnv &env, QWidget *parent)
    : CBatchCmdPage(env, IDD_BATCHPAGE_TEXT, parent)
{
    m_size = List(IDC_BATCHPAGE_TEXT_SIZE);
    FillSizes(m_size, {{16, 16}, {24, 24}, {32, 32}, {6, 10}, {8, 16}, {12, 24}, {16, 32}});
    m_text = Edit(IDC_BATCHPAGE_TEXT, TEXT_UNITS - 1);
    QLabel *sizeLabel = Label(IDS_BATCHPAGE_FONT_SIZE);
    sizeLabel->setBuddy(m_size);
    QLabel *textLabel = Label(IDS_BATCHPAGE_TEXT);
    textLabel->setBuddy(m_text);
    QHBoxLayout *row = Row(this);
    row->addWidget(sizeLabel);
    row->addWidget(m_size);
    row->addWidget(textLabel);
    row->addWidget(m_text, 1);
}

bool CBatchCmdPageText::GetCmdData(CBatchCmdData &cmd)
{
    if (m_size->currentIndex() < 0)
        return Reject(IDS_BATCHPAGE_BAD_FONT_SIZE, m_size);
    const int size = m_size->currentData().toInt();
    cmd.text.nFontWidth = size & 0xFFFF;
    cmd.text.nFontHeight = size >> 16;
    SetField(cmd.text.szText, m_text->text());
    // The page has no position fields: text always goes to the top left.
    cmd.text.nX = 0;
    cmd.text.nY = 0;
    return true;
}

void CBatchCmdPageText::SetCmdData(const CBatchCmdData &cmd)
{
    SelectSize(m_size, cmd.text.nFontWidth, cmd.text.nFontHeight);
    m_text->setText(GetField(cmd.text.szText));
}

// ---------------------------------------------------------------- colour

CBatchCmdPageColor::CBatchCmdPageColor(const CBatchPageEnv &env, QWidget *parent)
    : CBatchCmdPage(env, IDD_BATCHPAGE_COLOR, parent)
{
    m_fore = ColorButton(IDC_BATCHPAGE_FORE, IDS_BATCHPAGE_FORE);
    m_back = ColorButton(IDC_BATCHPAGE_BACK, IDS_BATCHPAGE_BACK);
    QHBoxLayout *row = Row(this);
    row->addWidget(m_fore);
    row->addWidget(m_back);
    row->addStretch(1);
}

bool CBatchCmdPageColor::GetCmdData(CBatchCmdData &cmd)
{
    cmd.color.crFore = static_cast<uint32_t>(m_fore->GetColor());
    cmd.color.crBack = static_cast<uint32_t>(m_back->GetColor());
    return true;
}

void CBatchCmdPageColor::SetCmdData(const CBatchCmdData &cmd)
{
    m_fore->SetColor(cmd.color.crFore);
    m_back->SetColor(cmd.color.crBack);
    m_fore->Redraw();
    m_back->Redraw();
}

// ---------------------------------------------------------------- text fields

CBatchCmdPageAnchor::CBatchCmdPageAnchor(const CBatchPageEnv &env, QWidget *parent)
    : CBatchCmdPage(env, IDD_BATCHPAGE_ANCHOR, parent)
{
    m_name = Edit(IDC_BATCHPAGE_ANCHOR, NAME_UNITS - 1);
    QLabel *label = Label(IDS_BATCHPAGE_ANCHOR);
    label->setBuddy(m_name);
    QHBoxLayout *row = Row(this);
    row->addWidget(label);
    row->addWidget(m_name, 1);
}

bool CBatchCmdPageAnchor::GetCmdData(CBatchCmdData &cmd)
{
    SetField(cmd.anchor.szName, m_name->text());
    return true;
}

void CBatchCmdPageAnchor::SetCmdData(const CBatchCmdData &cmd)
{
    m_name->setText(GetField(cmd.anchor.szName));
}

CBatchCmdPageRepeat::CBatchCmdPageRepeat(const CBatchPageEnv &env, QWidget *parent)
    : CBatchCmdPage(env, IDD_BATCHPAGE_REPEAT, parent)
{
    m_anchor = Edit(IDC_BATCHPAGE_REPEAT_ANCHOR, NAME_UNITS - 1);
    m_prompt = Edit(IDC_BATCHPAGE_REPEAT_PROMPT, TEXT_UNITS - 1);
    QLabel *anchorLabel = Label(IDS_BATCHPAGE_REPEAT_ANCHOR);
    anchorLabel->setBuddy(m_anchor);
    QLabel *promptLabel = Label(IDS_BATCHPAGE_PROMPT);
    promptLabel->setBuddy(m_prompt);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(anchorLabel, 0, 0);
    grid->addWidget(m_anchor, 0, 1);
    grid->addWidget(promptLabel, 1, 0);
    grid->addWidget(m_prompt, 1, 1);
}

bool CBatchCmdPageRepeat::GetCmdData(CBatchCmdData &cmd)
{
    SetField(cmd.repeat.szAnchor, m_anchor->text());
    SetField(cmd.repeat.szPrompt, m_prompt->text());
    return true;
}

void CBatchCmdPageRepeat::SetCmdData(const CBatchCmdData &cmd)
{
    m_anchor->setText(GetField(cmd.repeat.szAnchor));
    m_prompt->setText(GetField(cmd.repeat.szPrompt));
}

CBatchCmdPagePause::CBatchCmdPagePause(const CBatchPageEnv &env, QWidget *parent)
    : CBatchCmdPage(env, IDD_BATCHPAGE_PAUSE, parent)
{
    m_elapse = NumberEdit(IDC_BATCHPAGE_PAUSE);
    QLabel *label = Label(IDS_BATCHPAGE_PAUSE);
    label->setBuddy(m_elapse);
    QHBoxLayout *row = Row(this);
    row->addWidget(label);
    row->addWidget(m_elapse);
    row->addStretch(1);
}

bool CBatchCmdPagePause::GetCmdData(CBatchCmdData &cmd)
{
    uint32_t elapse = 0;
    if (!ReadUnsigned(m_elapse, &elapse))
        return Reject(IDS_BATCHPAGE_BAD_PAUSE, m_elapse);
    cmd.pause.nElapse = static_cast<int32_t>(elapse);
    return true;
}

void CBatchCmdPagePause::SetCmdData(const CBatchCmdData &cmd)
{
    m_elapse->setText(QString::number(static_cast<uint32_t>(cmd.pause.nElapse)));
}

CBatchCmdPageSound::CBatchCmdPageSound(const CBatchPageEnv &env, QWidget *parent)
    : CBatchCmdPage(env, IDD_BATCHPAGE_SOUND, parent)
{
    m_path = Edit(IDC_BATCHPAGE_SOUND, PATH_UNITS - 1);
    QLabel *label = Label(IDS_BATCHPAGE_SOUND);
    label->setBuddy(m_path);
    QHBoxLayout *row = Row(this);
    row->addWidget(label);
    row->addWidget(m_path, 1);
    row->addWidget(BrowseButton(this, IDC_BATCHPAGE_SOUND_BROWSE, m_path, &CBatchBrowser::BrowseSound, env.browser));
}

bool CBatchCmdPageSound::GetCmdData(CBatchCmdData &cmd)
{
    if (!IsExistingFile(m_path->text()))
        return Reject(IDS_BATCHPAGE_BAD_SOUND, m_path);
    SetField(cmd.sound.szPath, m_path->text());
    return true;
}

void CBatchCmdPageSound::SetCmdData(const CBatchCmdData &cmd)
{
    m_path->setText(GetField(cmd.sound.szPath));
}

CBatchCmdPageMessage::CBatchCmdPageMessage(const CBatchPageEnv &env, QWidget *parent)
    : CBatchCmdPage(env, IDD_BATCHPAGE_MESSAGE, parent)
{
    m_text = Edit(IDC_BATCHPAGE_MESSAGE, PATH_UNITS - 1);
    QLabel *label = Label(IDS_BATCHPAGE_PROMPT);
    label->setBuddy(m_text);
    QHBoxLayout *row = Row(this);
    row->addWidget(label);
    row->addWidget(m_text, 1);
}

bool CBatchCmdPageMessage::GetCmdData(CBatchCmdData &cmd)
{
    SetField(cmd.message.szText, m_text->text());
    return true;
}

void CBatchCmdPageMessage::SetCmdData(const CBatchCmdData &cmd)
{
    m_text->setText(GetField(cmd.message.szText));
}

// ---------------------------------------------------------------- by kind

int PageResourceOf(int32_t kind)
{
    switch (kind) {
    case SetMode: return IDD_BATCHPAGE_MODE;
    case SetBaud:
    case SetPCBaud: return IDD_BATCHPAGE_BAUD;
    case ClearScreen:
    case ClearAllPictures: return IDD_BATCHPAGE_BLANK;
    case SendPicture:
    case SavePicture:
    case ShowPicture:
    case ClearPicture: return IDD_BATCHPAGE_PICTURE;
    case SendFont: return IDD_BATCHPAGE_FONT;
    case ShowText: return IDD_BATCHPAGE_TEXT;
    case SetColor: return IDD_BATCHPAGE_COLOR;
    case Anchor: return IDD_BATCHPAGE_ANCHOR;
    case Repeat: return IDD_BATCHPAGE_REPEAT;
    case Pause: return IDD_BATCHPAGE_PAUSE;
    case Sound: return IDD_BATCHPAGE_SOUND;
    case Message: return IDD_BATCHPAGE_MESSAGE;
    default: return 0;
    }
}

CBatchCmdPage *MakePage(int resourceId, const CBatchPageEnv &env, QWidget *parent)
{
    switch (resourceId) {
    case IDD_BATCHPAGE_BLANK: return new CBatchCmdPageBlank(env, parent);
    case IDD_BATCHPAGE_MODE: return new CBatchCmdPageMode(env, parent);
    case IDD_BATCHPAGE_BAUD: return new CBatchCmdPageBaud(env, parent);
    case IDD_BATCHPAGE_PICTURE: return new CBatchCmdPagePicture(env, parent);
    case IDD_BATCHPAGE_FONT: return new CBatchCmdPageFont(env, parent);
    case IDD_BATCHPAGE_TEXT: return new CBatchCmdPageText(env, parent);
    case IDD_BATCHPAGE_COLOR: return new CBatchCmdPageColor(env, parent);
    case IDD_BATCHPAGE_ANCHOR: return new CBatchCmdPageAnchor(env, parent);
    case IDD_BATCHPAGE_REPEAT: return new CBatchCmdPageRepeat(env, parent);
    case IDD_BATCHPAGE_PAUSE: return new CBatchCmdPagePause(env, parent);
    case IDD_BATCHPAGE_SOUND: return new CBatchCmdPageSound(env, parent);
    case IDD_BATCHPAGE_MESSAGE: return new CBatchCmdPageMessage(env, parent);
    default: return nullptr;
    }
}

} // namespace BATCHCMD
