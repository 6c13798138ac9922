#include "imaging/ui/dlg_font_gen.h"

#include "imaging/app_image.h"
#include "res/strings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace
{

const QSize kSizes[] = {{16, 16}, {24, 24}, {32, 32}, {12, 24}, {16, 32}};
constexpr int kCellGap = 4;

// The sample characters as the charset holds them: ASCII letters and digits
// become their full-width forms in the GB2312 table; the ASCII library shows
// only the ASCII ones.
std::vector<char32_t> SampleCharacters(CGlyphCharset charset)
{
    std::vector<char32_t> chars;
    for (const char32_t ch : LoadStr(IDS_IMG_FONTGEN_SAMPLE).toUcs4()) {
        const bool ascii = ch > 0x20 && ch < 0x7F;
        if (charset == CGlyphCharset::Ascii && ascii)
            chars.push_back(ch);
        else if (charset == CGlyphCharset::Gb2312)
            chars.push_back(ascii ? ch + 0xFEE0 : ch);
    }
    return chars;
}

} // namespace

CFontGenPreview::CFontGenPreview(QWidget *parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void CFontGenPreview::SetGlyphs(int width, int height, std::vector<uint8_t> bits, int count)
{
    m_width = width;
    m_height = height;
    m_bits = std::move(bits);
    m_count = count;
    updateGeometry();
    update();
}

int CFontGenPreview::InkCount() const
{
    int ink = 0;
    for (const uint8_t byte : m_bits)
        for (int bit = 0; bit < 8; ++bit)
            ink += (byte >> bit) & 1;
    return ink;
}

int CFontGenPreview::Zoom() const
{
    return qMax(2, 64 / qMax(1, m_height));
}

QSize CFontGenPreview::sizeHint() const
{
    const int zoom = Zoom();
    return QSize(qMax(1, m_count) * (m_width * zoom + kCellGap) + kCellGap, m_height * zoom + 2 * kCellGap);
}

void CFontGenPreview::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    const int zoom = Zoom();
    const int rowBytes = (m_width + 7) / 8;
    const int glyphBytes = rowBytes * m_height;
    for (int n = 0; n < m_count; ++n) {
        const int left = kCellGap + n * (m_width * zoom + kCellGap);
        const QRect cell(left, kCellGap, m_width * zoom, m_height * zoom);
        p.fillRect(cell, Qt::white);
        const uint8_t *glyph = m_bits.data() + static_cast<size_t>(n) * glyphBytes;
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                if ((glyph[y * rowBytes + x / 8] >> (7 - x % 8)) & 1)
                    p.fillRect(left + x * zoom, kCellGap + y * zoom, zoom, zoom, Qt::black);
        p.setPen(QColor(0xC0, 0xC0, 0xC0));
        p.drawRect(cell.adjusted(-1, -1, 0, 0));
    }
}

CDlgFontGen::CDlgFontGen(const QString &folder, CStatusSink *status, QWidget *parent)
    : QDialog(parent), m_folder(folder), m_status(status)
{
    setObjectName(QStringLiteral("dlgFontGen"));
    setWindowTitle(LoadStr(IDS_IMG_FONTGEN_TITLE));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_fromFamily = new QRadioButton(LoadStr(IDS_IMG_FONTGEN_FROM_FAMILY), this);
    m_fromFile = new QRadioButton(LoadStr(IDS_IMG_FONTGEN_FROM_FILE), this);
    m_fromFamily->setChecked(true);
    m_family = new QFontComboBox(this);
    m_family->setObjectName(QStringLiteral("family"));
    // A Chinese font first, when one is installed.
    const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    if (!chinese.isEmpty())
        m_family->setCurrentFont(QFont(chinese.first()));
    m_fontFile = new QLineEdit(this);
    m_fontFile->setObjectName(QStringLiteral("fontFile"));
    auto *browseFont = new QPushButton(LoadStr(IDS_IMG_FONTGEN_BROWSE), this);

    m_size = new QComboBox(this);
    m_size->setObjectName(QStringLiteral("size"));
    for (const QSize &s : kSizes)
        m_size->addItem(QStringLiteral("%1 x %2").arg(s.width()).arg(s.height()), s);
    m_charset = new QComboBox(this);
    m_charset->setObjectName(QStringLiteral("charset"));
    m_charset->addItem(LoadStr(IDS_IMG_FONTGEN_GB2312), static_cast<int>(CGlyphCharset::Gb2312));
    m_charset->addItem(LoadStr(IDS_IMG_FONTGEN_ASCII), static_cast<int>(CGlyphCharset::Ascii));
    m_bold = new QCheckBox(LoadStr(IDS_IMG_FONTGEN_BOLD), this);
    m_threshold = new QSpinBox(this);
    m_threshold->setRange(1, 255);
    m_threshold->setValue(128);
    m_offset = new QSpinBox(this);
    m_offset->setRange(-15, 15);

    m_preview = new CFontGenPreview(this);
    m_error = new QLabel(this);
    m_error->setObjectName(QStringLiteral("error"));
    m_error->setWordWrap(true);
    m_error->setStyleSheet(QStringLiteral("color: #C00000"));
    m_output = new QLineEdit(this);
    m_output->setObjectName(QStringLiteral("output"));
    m_output->setMinimumWidth(360);
    auto *browseOutput = new QPushButton(LoadStr(IDS_IMG_FONTGEN_BROWSE), this);

    auto *generate = new QPushButton(LoadStr(IDS_IMG_FONTGEN_GENERATE), this);
    generate->setObjectName(QStringLiteral("generate"));
    generate->setDefault(true);
    auto *cancel = new QPushButton(LoadStr(IDS_DLG_CANCEL), this);

    auto *source = new QGridLayout;
    source->addWidget(m_fromFamily, 0, 0);
    source->addWidget(m_family, 0, 1, 1, 2);
    source->addWidget(m_fromFile, 1, 0);
    source->addWidget(m_fontFile, 1, 1);
    source->addWidget(browseFont, 1, 2);
    source->setColumnStretch(1, 1);
    auto *form = new QFormLayout;
    form->addRow(LoadStr(IDS_IMG_FONTGEN_SIZE), m_size);
    form->addRow(LoadStr(IDS_IMG_FONTGEN_CHARSET), m_charset);
    form->addRow(QString(), m_bold);
    form->addRow(LoadStr(IDS_IMG_FONTGEN_THRESHOLD), m_threshold);
    form->addRow(LoadStr(IDS_IMG_FONTGEN_OFFSET), m_offset);
    auto *previewBox = new QGroupBox(LoadStr(IDS_IMG_FONTGEN_PREVIEW), this);
    auto *previewLayout = new QVBoxLayout(previewBox);
    previewLayout->addWidget(m_preview);
    previewLayout->addWidget(m_error);
    auto *output = new QHBoxLayout;
    output->addWidget(new QLabel(LoadStr(IDS_IMG_FONTGEN_OUTPUT), this));
    output->addWidget(m_output, 1);
    output->addWidget(browseOutput);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(generate);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(source);
    layout->addLayout(form);
    layout->addWidget(previewBox);
    layout->addLayout(output);
    layout->addLayout(buttons);

    connect(browseFont, &QPushButton::clicked, this, &CDlgFontGen::BrowseFontFile);
    connect(browseOutput, &QPushButton::clicked, this, &CDlgFontGen::BrowseOutput);
    connect(generate, &QPushButton::clicked, this, &CDlgFontGen::accept);
    connect(cancel, &QPushButton::clicked, this, &CDlgFontGen::reject);
    connect(m_size, &QComboBox::currentIndexChanged, this, &CDlgFontGen::SizeChanged);
    connect(m_fontFile, &QLineEdit::textChanged, this, [this] {
        m_fromFile->setChecked(true);
        SettingsChanged();
    });
    connect(m_family, &QFontComboBox::currentFontChanged, this, [this] {
        m_fromFamily->setChecked(true);
        SettingsChanged();
    });
    connect(m_fromFamily, &QRadioButton::toggled, this, &CDlgFontGen::SettingsChanged);
    connect(m_charset, &QComboBox::currentIndexChanged, this, &CDlgFontGen::SettingsChanged);
    connect(m_bold, &QCheckBox::toggled, this, &CDlgFontGen::SettingsChanged);
    connect(m_threshold, &QSpinBox::valueChanged, this, &CDlgFontGen::SettingsChanged);
    connect(m_offset, &QSpinBox::valueChanged, this, &CDlgFontGen::SettingsChanged);
    SettingsChanged();
}

CDlgFontGen::~CDlgFontGen() = default;

CFontGenParams CDlgFontGen::Params() const
{
    CFontGenParams params;
    if (m_fromFile->isChecked())
        params.fontFile = m_fontFile->text().trimmed();
    else
        params.family = m_family->currentFont().family();
    const QSize size = m_size->currentData().toSize();
    params.width = size.width();
    params.height = size.height();
    params.charset = static_cast<CGlyphCharset>(m_charset->currentData().toInt());
    params.bold = m_bold->isChecked();
    params.threshold = m_threshold->value();
    params.offset = m_offset->value();
    return params;
}

void CDlgFontGen::SizeChanged()
{
    const QSize size = m_size->currentData().toSize();
    // Square glyphs hold Chinese characters, half-width ones ASCII.
    m_charset->setCurrentIndex(
        m_charset->findData(static_cast<int>(DefaultCharset(size.width(), size.height()))));
    m_offset->setRange(-(size.height() - 1), size.height() - 1);
    SettingsChanged();
}

void CDlgFontGen::SettingsChanged()
{
    SuggestOutput();
    UpdatePreview();
}

void CDlgFontGen::UpdatePreview()
{
    const CFontGenParams params = Params();
    QString error;
    std::vector<uint8_t> bits;
    int count = 0;
    if (m_generator.Open(params, &error)) {
        const std::vector<char32_t> chars = SampleCharacters(params.charset);
        const size_t glyphBytes = static_cast<size_t>(m_generator.GlyphBytes());
        bits.resize(chars.size() * glyphBytes);
        for (const char32_t ch : chars)
            m_generator.RenderCharacter(ch, bits.data() + glyphBytes * count++);
    }
    m_preview->SetGlyphs(params.width, params.height, std::move(bits), count);
    ShowError(error);
}

QString CDlgFontGen::OutputPath(const CFontGenParams &params) const
{
    const QString folder = m_folder.isEmpty() ? QDir::currentPath() : m_folder;
    return QDir(folder).filePath(FontLibraryFileName(params));
}

void CDlgFontGen::SuggestOutput()
{
    // The suggestion follows the choices until the user types a path.
    const QString current = m_output->text();
    if (!current.isEmpty() && current != m_suggested)
        return;
    m_suggested = QDir::toNativeSeparators(OutputPath(Params()));
    m_output->setText(m_suggested);
}

void CDlgFontGen::BrowseFontFile()
{
    const QString start =
        m_fontFile->text().isEmpty() ? QStringLiteral("/usr/share/fonts") : m_fontFile->text();
    const QString path = QFileDialog::getOpenFileName(
        this, LoadStr(IDS_IMG_FONTGEN_TITLE), start, QtFilterFromPipes(LoadStr(IDS_IMG_FONTGEN_FONT_FILTER)));
    if (!path.isEmpty())
        m_fontFile->setText(path);
}

void CDlgFontGen::BrowseOutput()
{
    const QString path = QFileDialog::getSaveFileName(this, LoadStr(IDS_IMG_FONTGEN_TITLE), m_output->text(),
                                                      FontOpenFilter());
    if (!path.isEmpty())
        m_output->setText(QDir::toNativeSeparators(path));
}

void CDlgFontGen::ShowError(const QString &text)
{
    m_error->setText(text);
    m_error->setVisible(!text.isEmpty());
}

void CDlgFontGen::accept()
{
    const CFontGenParams params = Params();
    QString error;
    if (!m_generator.Open(params, &error)) {
        ShowError(error);
        return;
    }
    QString path = QDir::fromNativeSeparators(m_output->text().trimmed());
    if (path.isEmpty())
        path = OutputPath(params);
    else if (QFileInfo(path).isDir())
        path = QDir(path).filePath(FontLibraryFileName(params));

    const int total = CharsetGlyphCount(params.charset);
    QByteArray data;
    int missing = 0;
    bool done = false;
    {
        QProgressDialog progress(FormatStr(IDS_IMG_FONTGEN_PROGRESS, 0, total), LoadStr(IDS_DLG_CANCEL), 0,
                                 total, this);
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(300);
        done = m_generator.Generate(&data, &missing, [&progress](int glyphs, int all) {
            progress.setLabelText(FormatStr(IDS_IMG_FONTGEN_PROGRESS, glyphs, all));
            progress.setValue(glyphs);
            return !progress.wasCanceled();
        });
    }
    if (!done) {
        ShowError(LoadStr(IDS_IMG_FONTGEN_CANCELLED));
        return;
    }
    if (!WriteFontLibrary(path, data, &error)) {
        ShowError(FormatStr(IDS_IMG_FONTGEN_WRITE_FAILED, qUtf8Printable(QDir::toNativeSeparators(path)),
                            qUtf8Printable(error)));
        return;
    }
    m_generated = QFileInfo(path).absoluteFilePath();
    ReportGeneratedLibrary(m_status, m_generated, params, missing);
    QDialog::accept();
}
