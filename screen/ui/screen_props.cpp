#include "screen/ui/screen_props.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "res/ids_imaging.h"
#include "res/ids_screen_ui.h"
#include "res/strings.h"
#include "screen/ui/screen_editor.h"

namespace {

QColor ColorOf(uint32_t ref)
{
    return QColor(ref & 0xFF, (ref >> 8) & 0xFF, (ref >> 16) & 0xFF);
}

// A button showing a colour swatch and its #RRGGBB name.
void ShowColor(QPushButton *button, uint32_t ref)
{
    QPixmap swatch(16, 12);
    swatch.fill(ColorOf(ref));
    button->setIcon(QIcon(swatch));
    button->setText(ScreenColorName(ref));
}

QSpinBox *NewSpin(int min, int max, const char *name)
{
    auto *box = new QSpinBox;
    box->setRange(min, max);
    box->setObjectName(QString::fromLatin1(name));
    box->setKeyboardTracking(false);
    return box;
}

} // namespace

CScreenProps::CScreenProps(CScreenEditor *editor, QWidget *parent) : QWidget(parent), m_editor(editor)
{
    setObjectName(QStringLiteral("screenProps"));
    chooseColor = [this](uint32_t *color) {
        const QColor c = QColorDialog::getColor(ColorOf(*color), this);
        if (!c.isValid())
            return false;
        *color = static_cast<uint32_t>(c.red()) | (static_cast<uint32_t>(c.green()) << 8) |
                 (static_cast<uint32_t>(c.blue()) << 16);
        return true;
    };
    chooseLibrary = [this](const QString &sizeName) {
        return QFileDialog::getOpenFileName(this, FormatStr(IDS_SCRUI_LIBRARY_TITLE, qUtf8Printable(sizeName)),
                                            QString(), LoadStr(IDS_SCRUI_FONT_FILTER));
    };

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);

    m_itemBox = new QGroupBox(LoadStr(IDS_SCRUI_PROP_ITEM));
    auto *item = new QFormLayout(m_itemBox);
    m_itemInfo = new QLabel;
    item->addRow(m_itemInfo);
    m_x = NewSpin(0, SCREEN_SIDE_MAX, "propX");
    m_y = NewSpin(0, SCREEN_SIDE_MAX, "propY");
    m_w = NewSpin(1, SCREEN_SIDE_MAX, "propWidth");
    m_h = NewSpin(1, SCREEN_SIDE_MAX, "propHeight");
    item->addRow(LoadStr(IDS_SCRUI_PROP_X), m_x);
    item->addRow(LoadStr(IDS_SCRUI_PROP_Y), m_y);
    item->addRow(LoadStr(IDS_SCRUI_PROP_WIDTH), m_w);
    item->addRow(LoadStr(IDS_SCRUI_PROP_HEIGHT), m_h);
    m_keepAspect = new QCheckBox(LoadStr(IDS_SCRUI_PROP_KEEP_ASPECT));
    item->addRow(m_keepAspect);
    m_file = new QLineEdit;
    m_file->setReadOnly(true);
    item->addRow(LoadStr(IDS_SCRUI_PROP_FILE), m_file);
    m_text = new QLineEdit;
    m_text->setObjectName(QStringLiteral("propText"));
    item->addRow(LoadStr(IDS_SCRUI_PROP_TEXT), m_text);
    m_font = new QComboBox;
    m_font->setObjectName(QStringLiteral("propFont"));
    for (const CTextSize &s : TextSizes())
        m_font->addItem(TextSizeName(s));
    m_library = new QPushButton(LoadStr(IDS_SCRUI_PROP_LIBRARY));
    m_library->setObjectName(QStringLiteral("propLibrary"));
    auto *fontRow = new QHBoxLayout;
    fontRow->addWidget(m_font, 1);
    fontRow->addWidget(m_library);
    item->addRow(LoadStr(IDS_SCRUI_PROP_FONT), fontRow);
    m_color = new QPushButton;
    m_color->setObjectName(QStringLiteral("propColor"));
    item->addRow(LoadStr(IDS_SCRUI_PROP_COLOR), m_color);
    m_back = new QPushButton;
    m_screenBack = new QCheckBox(LoadStr(IDS_SCRUI_PROP_SCREEN_BACK));
    auto *backRow = new QHBoxLayout;
    backRow->addWidget(m_back, 1);
    backRow->addWidget(m_screenBack);
    item->addRow(LoadStr(IDS_SCRUI_PROP_BACK), backRow);
    m_var = new QLineEdit;
    m_var->setObjectName(QStringLiteral("propVar"));
    item->addRow(LoadStr(IDS_SCRUI_PROP_VAR), m_var);
    m_maxChars = NewSpin(0, SCREEN_TEXT_MAX_CHARS, "propMaxChars");
    m_maxChars->setSpecialValueText(LoadStr(IDS_SCRUI_PROP_AUTO));
    item->addRow(LoadStr(IDS_SCRUI_PROP_MAXCHARS), m_maxChars);
    layout->addWidget(m_itemBox);

    m_screenBox = new QGroupBox(LoadStr(IDS_SCRUI_PROP_SCREEN));
    auto *screen = new QFormLayout(m_screenBox);
    m_terminal = new QLabel;
    screen->addRow(m_terminal);
    m_name = new QLineEdit;
    m_name->setObjectName(QStringLiteral("propName"));
    screen->addRow(LoadStr(IDS_SCRUI_PROP_NAME), m_name);
    m_slot = NewSpin(-1, SCREEN_SLOT_MAX, "propSlot");
    m_slot->setSpecialValueText(LoadStr(IDS_SCRUI_PROP_NO_SLOT));
    screen->addRow(LoadStr(IDS_SCRUI_PROP_SLOT), m_slot);
    m_background = new QPushButton;
    m_background->setObjectName(QStringLiteral("propBackground"));
    screen->addRow(LoadStr(IDS_SCRUI_PROP_BACKGROUND), m_background);
    m_dither = new QComboBox;
    m_dither->setObjectName(QStringLiteral("propDither"));
    m_dither->addItems({LoadStr(IDS_IMG_DITHER_NONE), LoadStr(IDS_IMG_DITHER_ORDERED), LoadStr(IDS_IMG_DITHER_DIFFUSION)});
    screen->addRow(LoadStr(IDS_SCRUI_PROP_DITHER), m_dither);
    layout->addWidget(m_screenBox);
    layout->addStretch(1);

    // Item values.
    connect(m_x, &QSpinBox::valueChanged, this, [this](int v) { ChangeItems([v](CScreenItem &it) { it.x = v; }); });
    connect(m_y, &QSpinBox::valueChanged, this, [this](int v) { ChangeItems([v](CScreenItem &it) { it.y = v; }); });
    connect(m_w, &QSpinBox::valueChanged, this, [this](int v) {
        ChangeItems([v](CScreenItem &it) {
            if (it.kind == CItemKind::Picture)
                it.width = v;
        });
    });
    connect(m_h, &QSpinBox::valueChanged, this, [this](int v) {
        ChangeItems([v](CScreenItem &it) {
            if (it.kind == CItemKind::Picture)
                it.height = v;
        });
    });
    connect(m_keepAspect, &QCheckBox::toggled, this, [this](bool on) {
        ChangeItems([on](CScreenItem &it) { it.keepAspect = on; });
    });
    connect(m_text, &QLineEdit::editingFinished, this, [this] {
        const QString t = m_text->text();
        if (t.isEmpty())
            return Refresh();
        ChangeItems([t](CScreenItem &it) {
            if (it.kind != CItemKind::Text)
                return;
            it.text = t;
            if (it.maxChars != -1)
                it.maxChars = std::max(it.maxChars, TextHalfWidths(t));
        });
    });
    connect(m_font, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i < 0)
            return;
        const CTextSize size = TextSizes()[static_cast<size_t>(i)];
        ChangeItems([size](CScreenItem &it) { it.size = size; });
    });
    connect(m_library, &QPushButton::clicked, this, &CScreenProps::ChooseLibrary);
    connect(m_color, &QPushButton::clicked, this, [this] {
        const auto &sel = m_editor->Selection();
        if (sel.empty())
            return;
        uint32_t c = m_editor->Screen().items[static_cast<size_t>(sel[0])].color;
        if (chooseColor(&c))
            ChangeItems([c](CScreenItem &it) { it.color = c; });
    });
    connect(m_back, &QPushButton::clicked, this, [this] {
        const auto &sel = m_editor->Selection();
        if (sel.empty())
            return;
        uint32_t c = m_editor->Screen().BackOf(m_editor->Screen().items[static_cast<size_t>(sel[0])]);
        if (chooseColor(&c))
            ChangeItems([c](CScreenItem &it) {
                it.hasBack = true;
                it.back = c;
            });
    });
    connect(m_screenBack, &QCheckBox::toggled, this, [this](bool on) {
        if (m_filling || !m_editor->IsLoaded())
            return;
        const uint32_t bg = m_editor->Screen().background;
        ChangeItems([on, bg](CScreenItem &it) {
            if (on == it.hasBack)
                it.back = it.hasBack ? it.back : bg;
            it.hasBack = !on;
        });
    });
    connect(m_var, &QLineEdit::editingFinished, this, [this] {
        const QString v = m_var->text().trimmed();
        ChangeItems([v](CScreenItem &it) { it.var = v; });
    });
    connect(m_maxChars, &QSpinBox::valueChanged, this, [this](int v) {
        ChangeItems([v](CScreenItem &it) { it.maxChars = v == 0 ? -1 : v; });
    });

    // Screen values.
    connect(m_name, &QLineEdit::editingFinished, this, [this] {
        const QString n = m_name->text().trimmed();
        ChangeScreen([n](CScreen &s) { s.name = n; });
    });
    connect(m_slot, &QSpinBox::valueChanged, this, [this](int v) { ChangeScreen([v](CScreen &s) { s.slot = v; }); });
    connect(m_background, &QPushButton::clicked, this, [this] {
        uint32_t c = m_editor->Screen().background;
        if (chooseColor(&c))
            ChangeScreen([c](CScreen &s) { s.background = c; });
    });
    connect(m_dither, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i >= 0)
            ChangeScreen([i](CScreen &s) { s.dither = i; });
    });

    connect(m_editor, &CScreenEditor::changed, this, &CScreenProps::Refresh);
    connect(m_editor, &CScreenEditor::selectionChanged, this, &CScreenProps::Refresh);
    Refresh();
}

void CScreenProps::ChangeItems(const std::function<void(CScreenItem &)> &fn)
{
    if (m_filling || !m_editor->IsLoaded() || m_editor->Selection().empty())
        return;
    CScreenDoc d = m_editor->Draft();
    for (int i : m_editor->Selection())
        fn(m_editor->ScreenOf(d).items[static_cast<size_t>(i)]);
    if (!m_editor->Apply(d, LoadStr(IDS_SCRUI_UNDO_PROPERTY)))
        Refresh(); // refused: the panel shows the values in force again
}

void CScreenProps::ChangeScreen(const std::function<void(CScreen &)> &fn)
{
    if (m_filling || !m_editor->IsLoaded())
        return;
    CScreenDoc d = m_editor->Draft();
    fn(m_editor->ScreenOf(d));
    if (!m_editor->Apply(d, LoadStr(IDS_SCRUI_UNDO_PROPERTY)))
        Refresh();
}

void CScreenProps::ChooseLibrary()
{
    const auto &sel = m_editor->Selection();
    if (sel.empty())
        return;
    const CTextSize size = m_editor->Screen().items[static_cast<size_t>(sel[0])].size;
    const QString path = chooseLibrary(TextSizeName(size));
    if (path.isEmpty())
        return;
    CScreenDoc d = m_editor->Draft();
    // Written relative to the screen file when it has a folder.
    QString file = path;
    if (!d.path.isEmpty())
        file = QFileInfo(d.path).absoluteDir().relativeFilePath(path);
    bool found = false;
    for (CScreenFont &f : d.fonts) {
        if (f.size == size) {
            f.file = file;
            found = true;
        }
    }
    if (!found) {
        CScreenFont f;
        f.size = size;
        f.file = file;
        d.fonts.push_back(f);
    }
    m_editor->Apply(d, LoadStr(IDS_SCRUI_UNDO_PROPERTY));
}

void CScreenProps::Refresh()
{
    m_filling = true;
    const bool loaded = m_editor->IsLoaded();
    setEnabled(loaded);
    const auto &sel = m_editor->Selection();
    const CScreenItem *it = loaded && !sel.empty() ? &m_editor->Screen().items[static_cast<size_t>(sel[0])] : nullptr;
    m_itemBox->setEnabled(it != nullptr);
    const bool picture = it && it->kind == CItemKind::Picture;
    const bool text = it && it->kind == CItemKind::Text;
    m_itemInfo->setText(sel.size() > 1 ? FormatStr(IDS_SCRUI_PROP_SEVERAL, static_cast<int>(sel.size()))
                        : it       ? QString()
                                   : LoadStr(IDS_SCRUI_PROP_NONE));
    m_x->setValue(it ? it->x : 0);
    m_y->setValue(it ? it->y : 0);
    m_w->setEnabled(picture);
    m_h->setEnabled(picture);
    m_keepAspect->setEnabled(picture);
    m_w->setValue(picture ? it->width : CScreenEditor::ItemRect(it ? *it : CScreenItem()).width());
    m_h->setValue(picture ? it->height : CScreenEditor::ItemRect(it ? *it : CScreenItem()).height());
    m_keepAspect->setChecked(picture && it->keepAspect);
    m_file->setText(picture ? it->file : QString());
    for (QWidget *w : {static_cast<QWidget *>(m_text), static_cast<QWidget *>(m_font), static_cast<QWidget *>(m_library),
                       static_cast<QWidget *>(m_color), static_cast<QWidget *>(m_back),
                       static_cast<QWidget *>(m_screenBack), static_cast<QWidget *>(m_var),
                       static_cast<QWidget *>(m_maxChars)})
        w->setEnabled(text);
    m_text->setText(text ? it->text : QString());
    int fontIndex = 0;
    for (size_t i = 0; text && i < TextSizes().size(); ++i) {
        if (TextSizes()[i] == it->size)
            fontIndex = static_cast<int>(i);
    }
    m_font->setCurrentIndex(fontIndex);
    ShowColor(m_color, text ? it->color : 0xFFFFFFu);
    ShowColor(m_back, text ? m_editor->Screen().BackOf(*it) : 0);
    m_screenBack->setChecked(text && !it->hasBack);
    m_var->setText(text ? it->var : QString());
    m_maxChars->setValue(text && it->maxChars > 0 ? it->maxChars : 0);

    if (loaded) {
        const CScreenDoc &doc = m_editor->Doc();
        const CScreen &s = m_editor->Screen();
        m_terminal->setText(FormatStr(IDS_SCRUI_PROP_TERMINAL, doc.width, doc.height, doc.bpp));
        m_name->setText(s.name);
        m_slot->setValue(s.slot);
        ShowColor(m_background, s.background);
        m_dither->setCurrentIndex(s.dither);
        m_dither->setEnabled(doc.bpp == 16);
    }
    m_filling = false;
}
