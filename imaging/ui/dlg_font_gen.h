// The font library generator dialog: an installed font or a font file, the
// glyph size, character set, bold, threshold and vertical offset, with a
// live preview of a few glyphs; "生成" writes the library.
#pragma once

#include "imaging/font_generator.h"

#include <QDialog>
#include <QString>
#include <vector>

class CStatusSink;
class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

// A row of glyphs drawn pixel by pixel, enlarged, each in its cell.
class CFontGenPreview : public QWidget
{
    Q_OBJECT
  public:
    explicit CFontGenPreview(QWidget *parent = nullptr);
    // Glyphs of width x height in the library layout, one after another.
    void SetGlyphs(int width, int height, std::vector<uint8_t> bits, int count);
    int GlyphCount() const { return m_count; }
    // Ink pixels over all glyphs shown.
    int InkCount() const;
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    int Zoom() const;
    int m_width = 16;
    int m_height = 16;
    int m_count = 0;
    std::vector<uint8_t> m_bits;
};

class CDlgFontGen : public QDialog
{
    Q_OBJECT
  public:
    // folder: where the library is suggested (the remembered font folder);
    // status receives the outcome of a generation.
    CDlgFontGen(const QString &folder, CStatusSink *status, QWidget *parent = nullptr);
    ~CDlgFontGen() override;

    // The params the controls describe.
    CFontGenParams Params() const;
    // The library written when the dialog was accepted.
    const QString &GeneratedPath() const { return m_generated; }

    QLineEdit *FontFileEdit() const { return m_fontFile; }
    QLineEdit *OutputEdit() const { return m_output; }
    QComboBox *SizeBox() const { return m_size; }
    QComboBox *CharsetBox() const { return m_charset; }
    QFontComboBox *FamilyBox() const { return m_family; }
    QRadioButton *FromFileButton() const { return m_fromFile; }
    CFontGenPreview *Preview() const { return m_preview; }
    QLabel *ErrorLabel() const { return m_error; }

  public slots:
    // Generates and writes the library; stays open with the reason shown when
    // the font or the file fails, or when the user cancels the run.
    void accept() override;

  private:
    void SizeChanged();
    void SettingsChanged();
    void UpdatePreview();
    void SuggestOutput();
    void BrowseFontFile();
    void BrowseOutput();
    void ShowError(const QString &text);
    QString OutputPath(const CFontGenParams &params) const;

    QString m_folder;
    CStatusSink *m_status;
    QString m_generated;
    QString m_suggested; // the output path last filled in by the dialog
    CFontGenerator m_generator;

    QRadioButton *m_fromFamily;
    QRadioButton *m_fromFile;
    QFontComboBox *m_family;
    QLineEdit *m_fontFile;
    QComboBox *m_size;
    QComboBox *m_charset;
    QCheckBox *m_bold;
    QSpinBox *m_threshold;
    QSpinBox *m_offset;
    CFontGenPreview *m_preview;
    QLabel *m_error;
    QLineEdit *m_output;
};
