// The colour button: its parts, drawing in the enabled and disabled states,
// and hot tracking.
#include <QApplication>
#include <QtTest>

#include "shell/btn.h"

namespace {

// Pixel colour as plain RGB (palette colours may be held in another colour model).
QRgb At(CMyBtn &b, QPoint p)
{
    return b.grab().toImage().pixel(p) & 0xFFFFFF;
}

QRgb Rgb(const QColor &c)
{
    return c.rgb() & 0xFFFFFF;
}

} // namespace

class TestBtn : public QObject {
    Q_OBJECT
private slots:
    void initialState()
    {
        CMyBtn b;
        QCOMPARE(b.IsHot(), false);
        QCOMPARE(b.GetColor(), int64_t(0));
        QCOMPARE(b.GetFlags(), 0u);
        QCOMPARE(CMyBtn::FromColorRef(0x00FF8040), QColor(0x40, 0x80, 0xFF));
        QCOMPARE(CMyBtn::ToColorRef(QColor(0x11, 0x22, 0x33)), 0x00332211u);
    }

    void partsOfTheColourLook()
    {
        CMyBtn b(QStringLiteral("背景颜色"));
        b.SetFlags(0x60053);
        b.resize(120, 60);
        const CMyBtn::Parts p = b.ColorLookParts(b.rect());
        const int capH = b.fontMetrics().height() + 8;
        QCOMPARE(p.caption, QRect(0, 0, 120, capH));
        // Right quarter = 30 pixels of arrow area, 2 separator pixels left of it.
        QCOMPARE(p.arrow, QRect(90 + 4, capH + 4, 30 - 8, 60 - capH - 8));
        QCOMPARE(p.separator, QRect(88, capH + 4, 2, 60 - capH - 8));
        QCOMPARE(p.swatch, QRect(4, capH + 4, 88 - 8, 60 - capH - 8));

        // An empty caption takes no height.
        b.setText(QString());
        QCOMPARE(b.ColorLookParts(b.rect()).swatch.top(), 4);
        QCOMPARE(b.ColorLookParts(b.rect()).swatch.bottom(), 60 - 1 - 4);
    }

    void enabledAndDisabledDrawing()
    {
        CMyBtn b(QStringLiteral("前景色"));
        b.SetFlags(0x60053);
        b.SetColor(0x000000FF); // red
        b.resize(120, 60);
        const CMyBtn::Parts p = b.ColorLookParts(b.rect());
        QCOMPARE(At(b, p.swatch.center()), Rgb(QColor(255, 0, 0)));
        QCOMPARE(At(b, p.swatch.topLeft()), Rgb(QColor(255, 0, 0))); // frame in the colour
        // Arrow row at (centre - e/4) is drawn in the colour.
        const int e = qMin(p.arrow.width(), p.arrow.height());
        QCOMPARE(At(b, QPoint(p.arrow.center().x(), p.arrow.top() + p.arrow.height() / 2 - e / 4)),
                 Rgb(QColor(255, 0, 0)));
        // Not hot with hot tracking: border in the colour.
        QCOMPARE(At(b, QPoint(0, 0)), Rgb(QColor(255, 0, 0)));

        b.setEnabled(false);
        const QColor face = b.palette().color(QPalette::Button);
        const QColor light = b.palette().color(QPalette::Light);
        QCOMPARE(At(b, p.swatch.center()), Rgb(face)); // empty swatch
        QCOMPARE(At(b, p.swatch.topLeft()), Rgb(light));
        QCOMPARE(At(b, QPoint(0, 0)), Rgb(light));
        // The caption is drawn in grey (a neutral colour), never in the
        // button's colour.
        const QImage img = b.grab().toImage();
        int inked = 0;
        for (int y = p.caption.top() + 1; y < p.caption.bottom(); ++y)
            for (int x = 1; x < 119; ++x) {
                const QColor c = img.pixelColor(x, y);
                if (Rgb(c) == Rgb(face))
                    continue;
                ++inked;
                QVERIFY(qAbs(c.red() - c.green()) < 12 && qAbs(c.green() - c.blue()) < 12);
            }
        QVERIFY(inked > 0);
    }

    void minusOneMeansButtonText()
    {
        CMyBtn b;
        b.SetFlags(0x60053);
        b.SetColor(-1);
        b.resize(80, 40);
        const QColor text = b.palette().color(QPalette::Active, QPalette::ButtonText);
        QCOMPARE(At(b, b.ColorLookParts(b.rect()).swatch.center()), Rgb(text));
    }

    void hotTrackingRaisesTheBorder()
    {
        QWidget host;
        host.resize(300, 200);
        auto *b = new CMyBtn(QStringLiteral("背景色"), &host);
        b->SetFlags(0x60053);
        b->SetColor(0x00008000); // dark green
        b->setGeometry(50, 50, 120, 60);
        host.show();
        QApplication::setActiveWindow(&host);
        QVERIFY(QTest::qWaitForWindowActive(&host));

        const QColor light = b->palette().color(QPalette::Light);
        const QColor dark = b->palette().color(QPalette::Dark);
        QTest::mouseMove(&host, QPoint(10, 10));
        QVERIFY(!b->IsHot());
        QTest::mouseMove(b, QPoint(60, 30));
        QTRY_VERIFY(b->IsHot());
        QCOMPARE(At(*b, QPoint(0, 0)), Rgb(light));
        QCOMPARE(At(*b, QPoint(119, 59)), Rgb(dark));
        QTest::mouseMove(&host, QPoint(10, 10));
        QTRY_VERIFY(!b->IsHot());
        QCOMPARE(At(*b, QPoint(0, 0)), Rgb(QColor(0, 128, 0)));

        // Pressed and dragged out: the button keeps the mouse until release.
        QTest::mouseMove(b, QPoint(60, 30));
        QTRY_VERIFY(b->IsHot());
        QTest::mousePress(b, Qt::LeftButton, {}, QPoint(60, 30));
        QVERIFY(b->isDown());
        QCOMPARE(At(*b, QPoint(0, 0)), Rgb(dark)); // sunken
        QTest::mouseMove(b, QPoint(200, 100));
        QTRY_VERIFY(!b->IsHot());
        QVERIFY(QWidget::mouseGrabber() == b || !QWidget::mouseGrabber());
        QSignalSpy clicked(b, &QPushButton::clicked);
        QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(200, 100));
        QCOMPARE(clicked.count(), 0);
        QVERIFY(!b->isDown());

        // Losing the focus ends the hot state.
        QTest::mouseMove(&host, QPoint(10, 10));
        QTest::mouseMove(b, QPoint(60, 30));
        QTRY_VERIFY(b->IsHot());
        b->setFocus();
        b->clearFocus();
        QVERIFY(!b->IsHot());
    }

    void withoutHotTrackingAlwaysRaised()
    {
        CMyBtn b(QStringLiteral("色"));
        b.SetFlags(0x60052);
        b.SetColor(0x000000FF);
        b.resize(80, 40);
        QCOMPARE(At(b, QPoint(0, 0)), Rgb(b.palette().color(QPalette::Light)));
        QCOMPARE(At(b, QPoint(79, 39)), Rgb(b.palette().color(QPalette::Dark)));
    }
};

QTEST_MAIN(TestBtn)
#include "tst_btn.moc"
