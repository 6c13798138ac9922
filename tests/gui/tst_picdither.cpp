// Dithering in the picture preview: off by default, the toolbar button turns
// it on and off, the drop-down chooses the method, the choice is kept in the
// profile (Settings/PictureDither), and the previewed pixels, which are the
// ones sent, are the dithered ones. 24-bit terminals are never dithered.
#include <QtTest>

#include "imaging/image_fit.h"
#include "imaging/ui/picture_view.h"
#include "link/terminal.h"
#include "res/commands.h"
#include "res/profile.h"
#include "shell/cmd_target.h"
#include "tst_frame_support.h"

namespace {

const int kRgb565 = 0x00021006;

CCmdUI State(CMyPictureView &view, int id)
{
    CCmdUI ui(id);
    view.OnUpdateCmdUI(ui);
    return ui;
}

} // namespace

class TestPictureDither : public QObject {
    Q_OBJECT
private slots:
    void buttonMethodsAndProfile();
    void twentyFourBitTerminalIsNotDithered();

private:
    CTestEnv m_env;
    QTemporaryDir m_dir;
};

void TestPictureDither::buttonMethodsAndProfile()
{
    QImage ramp(64, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 64; ++x)
            ramp.setPixel(x, y, qRgb(x * 4 + 1, x * 2 + 3, 255 - x * 4));
    const QString png = m_dir.filePath(QStringLiteral("ramp.png"));
    QVERIFY(ramp.save(png));

    CMyTerminal terminal; // not connected: the picture keeps its size, 16 bits
    {
        CMyPictureView view(terminal);
        QVERIFY(view.LoadPicture(png, 0, 0));
        const auto expected = [&](CDither dither) {
            return LoadFittedImage(png, 64, 8, kRgb565, view.BkColor(), view.KeepAspect(), nullptr, dither);
        };
        const QImage plain = view.Bitmap();
        QCOMPARE(plain, expected(CDither::None));
        QVERIFY(State(view, ID_PIC_DITHER).IsEnabled());
        QVERIFY(!State(view, ID_PIC_DITHER).IsChecked());
        QVERIFY(State(view, ID_PIC_DITHER_NONE).IsChecked());

        // The button turns diffusion on first, and off again.
        QVERIFY(view.OnCmdMsg(ID_PIC_DITHER));
        QCOMPARE(view.Bitmap(), expected(CDither::Diffusion));
        QVERIFY(view.Bitmap() != plain);
        QVERIFY(State(view, ID_PIC_DITHER).IsChecked());
        QVERIFY(State(view, ID_PIC_DITHER_DIFFUSION).IsChecked());
        QVERIFY(view.OnCmdMsg(ID_PIC_DITHER_ORDERED));
        QCOMPARE(view.Bitmap(), expected(CDither::Ordered));
        QVERIFY(view.OnCmdMsg(ID_PIC_DITHER));
        QCOMPARE(view.Bitmap(), plain);
        // On again: the method chosen last.
        QVERIFY(view.OnCmdMsg(ID_PIC_DITHER));
        QCOMPARE(view.Bitmap(), expected(CDither::Ordered));
    }
    QCOMPARE(OpenProfile()->value(QStringLiteral("Settings/PictureDither")).toInt(), 1);
    CMyPictureView again(terminal);
    QVERIFY(State(again, ID_PIC_DITHER_ORDERED).IsChecked());
    QVERIFY(again.OnCmdMsg(ID_PIC_DITHER_NONE));
}

void TestPictureDither::twentyFourBitTerminalIsNotDithered()
{
    CMyTerminal terminal;
    terminal.Info().bitsPerPixel = 24;
    terminal.Info().pixelFormat = 0x00021808;
    CMyPictureView view(terminal);
    for (int id : {ID_PIC_DITHER, ID_PIC_DITHER_NONE, ID_PIC_DITHER_ORDERED, ID_PIC_DITHER_DIFFUSION})
        QVERIFY2(!State(view, id).IsEnabled(), qPrintable(QString::number(id)));
}

QTEST_MAIN(TestPictureDither)
#include "tst_picdither.moc"
