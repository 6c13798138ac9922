// The font library generator dialog: the choices follow the glyph size, the
// preview follows the choices, a bad font is reported in the dialog, and
// "生成" writes the library where the output field says.
#include "imaging/ui/dlg_font_gen.h"
#include "link/host.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QFontComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

namespace
{

struct CStatusRecorder : CStatusSink {
    QList<QPair<int, QString>> messages;
    void ShowStatusMessage(int kind, const QString &text) override { messages.append({kind, text}); }
    void ShowStatusProgress(const QString &, int) override {}
};

QString ProjectFont()
{
    QDirIterator it(QStringLiteral("/usr/share/fonts"), {QStringLiteral("wqy-microhei.ttc")}, QDir::Files,
                    QDirIterator::Subdirectories);
    return it.hasNext() ? it.next() : QString();
}

} // namespace

class TestFontGen : public QObject
{
    Q_OBJECT
  private slots:
    void init();
    void choicesFollowTheSizeAndThePreviewFollowsTheChoices();
    void badFontStaysInTheDialog();
    void generateWritesTheLibrary();

  private:
    QString m_font;
};

void TestFontGen::init()
{
    m_font = ProjectFont();
    if (m_font.isEmpty())
        QSKIP("fonts-wqy-microhei is not installed (scripts/deps.sh installs it)");
}

void TestFontGen::choicesFollowTheSizeAndThePreviewFollowsTheChoices()
{
    QTemporaryDir dir;
    CStatusRecorder status;
    CDlgFontGen dlg(dir.path(), &status);
    dlg.FontFileEdit()->setText(m_font);
    QVERIFY(dlg.FromFileButton()->isChecked());
    QCOMPARE(dlg.OutputEdit()->text(), dir.filePath(QStringLiteral("wqy-microhei_16x16.fnt")));
    QCOMPARE(dlg.Params().charset, CGlyphCharset::Gb2312);
    // The sample text "字库预览ABab12": all 10 characters in the GB2312 table.
    QCOMPARE(dlg.Preview()->GlyphCount(), 10);
    const int squareInk = dlg.Preview()->InkCount();
    QVERIFY(squareInk > 10 * 10);

    dlg.SizeBox()->setCurrentIndex(dlg.SizeBox()->findText(QStringLiteral("12 x 24")));
    QCOMPARE(dlg.Params().charset, CGlyphCharset::Ascii);
    QCOMPARE(dlg.Params().width, 12);
    QCOMPARE(dlg.Params().height, 24);
    QCOMPARE(dlg.OutputEdit()->text(), dir.filePath(QStringLiteral("wqy-microhei_12x24.fnt")));
    QCOMPARE(dlg.Preview()->GlyphCount(), 6); // ABab12
    QVERIFY(dlg.ErrorLabel()->text().isEmpty());

    // A typed output path is kept; bold adds ink to the preview.
    dlg.OutputEdit()->setText(dir.filePath(QStringLiteral("mine_12x24.bin")));
    const int plainInk = dlg.Preview()->InkCount();
    dlg.findChild<QCheckBox *>()->setChecked(true);
    QVERIFY(dlg.Preview()->InkCount() > plainInk);
    QCOMPARE(dlg.OutputEdit()->text(), dir.filePath(QStringLiteral("mine_12x24.bin")));
}

void TestFontGen::badFontStaysInTheDialog()
{
    QTemporaryDir dir;
    CStatusRecorder status;
    CDlgFontGen dlg(dir.path(), &status);
    const QString bogus = dir.filePath(QStringLiteral("bogus.ttf"));
    QFile f(bogus);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("not a font");
    f.close();
    dlg.FontFileEdit()->setText(bogus);
    QCOMPARE(dlg.ErrorLabel()->text(), QStringLiteral("无法读取字体文件“%1”").arg(bogus));
    QCOMPARE(dlg.Preview()->GlyphCount(), 0);
    dlg.show();
    dlg.findChild<QPushButton *>(QStringLiteral("generate"))->click();
    QVERIFY(dlg.isVisible());
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
    QVERIFY(dlg.GeneratedPath().isEmpty());
    QVERIFY(status.messages.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("bogus.ttf")});
}

void TestFontGen::generateWritesTheLibrary()
{
    QTemporaryDir dir;
    CStatusRecorder status;
    CDlgFontGen dlg(dir.path(), &status);
    dlg.FontFileEdit()->setText(m_font);
    dlg.SizeBox()->setCurrentIndex(dlg.SizeBox()->findText(QStringLiteral("16 x 32")));
    // An output folder gets the library under its suggested name.
    dlg.OutputEdit()->setText(dir.path());
    dlg.show();
    dlg.findChild<QPushButton *>(QStringLiteral("generate"))->click();
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    const QString lib = dir.filePath(QStringLiteral("wqy-microhei_16x32.fnt"));
    QCOMPARE(dlg.GeneratedPath(), lib);
    QCOMPARE(QFileInfo(lib).size(), qint64(95 * 64));
    QCOMPARE(status.messages.size(), 1);
    QCOMPARE(status.messages[0].first, 2);
    QCOMPARE(status.messages[0].second,
             QStringLiteral("字库生成完毕 %1：95 个字形，字体中缺少其中 0 个字符").arg(lib));
}

QTEST_MAIN(TestFontGen)
#include "tst_fontgen.moc"
