// The communication log: line texts, icons, limits, copying and the context
// menu's enabling; descriptions, times, colour swatches, data-block lines and
// the export.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <vector>

#include "shell/output.h"

class TestOutput : public QObject {
    Q_OBJECT
private:
    static void Feed(CMyOutput &log, int dir, std::vector<uint8_t> bytes)
    {
        log.OnTraffic(dir, static_cast<int>(bytes.size()), bytes.data());
    }
    static QMenu *Menu(CMyOutput &log, std::unique_ptr<QMenu> &keep)
    {
        keep.reset(log.CreateContextMenu(nullptr));
        return keep.get();
    }
    static QAction *Item(QMenu *menu, int index) { return menu->actions().at(index); }

    QTemporaryDir m_profile;

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_profile.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_profile.path());
    }

    void singleReceivedByte()
    {
        CMyOutput log;
        Feed(log, 1, {0x0B});
        QCOMPARE(log.GetLineCount(), 1);
        QCOMPARE(log.GetLineText(0), QStringLiteral("0B"));
        QCOMPARE(log.GetLineDirection(0), 1);
        QVERIFY(!log.item(0)->icon(0).isNull());
        QCOMPARE(log.direction, 1);
    }

    void sentFrameUpperCaseNewestFirst()
    {
        CMyOutput log;
        Feed(log, 0, {0xFD, 0x02, 0x00, 0x00});
        Feed(log, 1, {0xab, 0xcd});
        QCOMPARE(log.GetLineCount(), 2);
        QCOMPARE(log.GetLineText(0), QStringLiteral("AB CD"));
        QCOMPARE(log.GetLineDirection(0), 1);
        QCOMPARE(log.GetLineText(1), QStringLiteral("FD 02 00 00"));
        QCOMPARE(log.GetLineDirection(1), 0);
        // The two directions carry different icons.
        const QImage sent = log.item(1)->icon(0).pixmap(16, 16).toImage();
        const QImage recv = log.item(0)->icon(0).pixmap(16, 16).toImage();
        QVERIFY(!sent.isNull() && !recv.isNull());
        QVERIFY(sent != recv);
    }

    void directionFieldIsTheSendersChoice()
    {
        CMyOutput log;
        const uint8_t b[] = {0x01};
        log.direction = 1;
        log.AddLine(1, b);
        log.AddLine(1, b);
        QCOMPARE(log.GetLineDirection(0), 1);
        QCOMPARE(log.GetLineDirection(1), 1);
        log.direction = 0;
        log.AddLine(1, b);
        QCOMPARE(log.GetLineDirection(0), 0);
    }

    void ignoredReports()
    {
        CMyOutput log;
        const uint8_t b[] = {0x55};
        log.OnTraffic(0, 0, b);
        log.OnTraffic(0, -5, b);
        log.OnTraffic(1, 4, nullptr);
        QCOMPARE(log.GetLineCount(), 0);
    }

    void longFrameShowsFirst256Bytes()
    {
        CMyOutput log;
        std::vector<uint8_t> frame(300);
        for (size_t i = 0; i < frame.size(); ++i)
            frame[i] = static_cast<uint8_t>(i);
        Feed(log, 0, frame);
        QCOMPARE(log.GetLineCount(), 1);
        const QString text = log.GetLineText(0);
        QCOMPARE(text.size(), 767);
        QVERIFY(text.startsWith(QStringLiteral("00 01 02 03 ")));
        QVERIFY(text.endsWith(QStringLiteral(" FD FE FF")));
        QVERIFY(!text.endsWith(QLatin1Char(' ')));
    }

    void lineLimitDropsOldest()
    {
        CMyOutput log;
        for (int i = 0; i < 257; ++i)
            Feed(log, i % 2, {static_cast<uint8_t>(i >> 8), static_cast<uint8_t>(i & 0xFF)});
        QCOMPARE(log.GetLineCount(), 256);
        QCOMPARE(log.GetLineText(0), QStringLiteral("01 00"));   // the 257th report
        QCOMPARE(log.GetLineText(255), QStringLiteral("00 01")); // the 2nd report
        for (int row = 0; row < log.GetLineCount(); ++row)
            QVERIFY(log.GetLineText(row) != QStringLiteral("00 00"));
    }

    void copyThreeSelectedLines()
    {
        CMyOutput log;
        Feed(log, 0, {0x01});
        Feed(log, 1, {0x02, 0x03});
        Feed(log, 0, {0x04});
        Feed(log, 1, {0x05});
        // Rows: 05, 04, 02 03, 01. Select three, leave "04".
        log.item(0)->setSelected(true);
        log.item(2)->setSelected(true);
        log.item(3)->setSelected(true);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        log.CopySelected();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("05\r\n02 03\r\n01\r\n"));
    }

    void copyWithoutSelectionLeavesClipboard()
    {
        CMyOutput log;
        Feed(log, 0, {0x01});
        QGuiApplication::clipboard()->setText(QStringLiteral("keep"));
        log.CopySelected();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("keep"));
    }

    void contextMenuTextsAndEnabling()
    {
        CMyOutput log;
        std::unique_ptr<QMenu> keep;
        QMenu *menu = Menu(log, keep);
        // The log's three commands, then a separator and the two extras.
        QCOMPARE(menu->actions().size(), 6);
        QCOMPARE(Item(menu, 0)->text(), QStringLiteral("复制(&C)"));
        QCOMPARE(Item(menu, 1)->text(), QStringLiteral("全选(&A)"));
        QCOMPARE(Item(menu, 2)->text(), QStringLiteral("清空(&D)"));
        QCOMPARE(Item(menu, 0)->data().toInt(), 32840);
        QCOMPARE(Item(menu, 1)->data().toInt(), 32841);
        QCOMPARE(Item(menu, 2)->data().toInt(), 32842);
        QCOMPARE(Item(menu, 0)->statusTip(), QStringLiteral("复制日志"));
        QCOMPARE(Item(menu, 1)->statusTip(), QStringLiteral("选择所有内容"));
        QCOMPARE(Item(menu, 2)->toolTip(), QStringLiteral("删除所有日志"));
        // Empty log: all three disabled.
        QVERIFY(!Item(menu, 0)->isEnabled());
        QVERIFY(!Item(menu, 1)->isEnabled());
        QVERIFY(!Item(menu, 2)->isEnabled());

        // Lines but no selection: only copy disabled.
        Feed(log, 0, {0x10});
        Feed(log, 1, {0x20});
        menu = Menu(log, keep);
        QVERIFY(!Item(menu, 0)->isEnabled());
        QVERIFY(Item(menu, 1)->isEnabled());
        QVERIFY(Item(menu, 2)->isEnabled());

        // Select all from the menu, then everything is enabled.
        Item(menu, 1)->trigger();
        QCOMPARE(log.selectedItems().size(), 2);
        menu = Menu(log, keep);
        QVERIFY(Item(menu, 0)->isEnabled());
        QGuiApplication::clipboard()->clear();
        Item(menu, 0)->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("20\r\n10\r\n"));

        // Clear empties the log.
        Item(menu, 2)->trigger();
        QCOMPARE(log.GetLineCount(), 0);
    }

    void descriptionsTimesAndSwatch()
    {
        CMyOutput log;
        qint64 now = 0;
        log.Describer().SetClock([&now] { return now; });
        now = 12;
        Feed(log, 0, {0xFD, 0x05, 0x00, 0x04, 0xF8, 0x00, 0x00, 0x1F, 0xDD, 0xCC, 0xBB, 0xAA});
        now = 30;
        Feed(log, 0, {0xFD, 0x32, 0x00, 0x01, 0x07, 0xDD, 0xCC, 0xBB, 0xAA});
        now = 1234;
        Feed(log, 1, {0x07});
        QCOMPARE(log.GetLineText(2), QStringLiteral("FD 05 00 04 F8 00 00 1F DD CC BB AA"));
        QCOMPARE(log.GetLineDescription(2), QStringLiteral("设置颜色：前景 #FF0000 (F800)，背景 #0000FF (001F)"));
        QCOMPARE(log.GetLineDescription(0), QStringLiteral("回送 编号 7"));
        QCOMPARE(log.GetLineTime(2), QStringLiteral("12 ms"));
        QCOMPARE(log.GetLineTime(0), QStringLiteral("1234 ms"));
        // The swatch: foreground square over the background square.
        const QImage swatch = log.item(2)->icon(CMyOutput::COL_DESCRIPTION).pixmap(16, 16).toImage();
        QCOMPARE(swatch.pixelColor(3, 3), QColor(0xFF, 0x00, 0x00));
        QCOMPARE(swatch.pixelColor(13, 13), QColor(0x00, 0x00, 0xFF));
        QVERIFY(log.item(1)->icon(CMyOutput::COL_DESCRIPTION).isNull());

        // A new connection: times start again.
        log.OnLinkOpened();
        now = 1300;
        Feed(log, 0, {0xFD, 0x02, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA});
        QCOMPARE(log.GetLineTime(0), QStringLiteral("66 ms"));

        // Hidden column: the description becomes the tooltip, for old and new lines.
        QVERIFY(log.DescriptionsShown());
        QVERIFY(log.item(0)->toolTip(0).isEmpty());
        std::unique_ptr<QMenu> keep;
        QAction *toggle = Item(Menu(log, keep), 4);
        QCOMPARE(toggle->text(), QStringLiteral("显示说明列(&S)"));
        QVERIFY(toggle->isCheckable() && toggle->isChecked());
        toggle->trigger();
        QVERIFY(!log.DescriptionsShown());
        QVERIFY(log.isColumnHidden(CMyOutput::COL_DESCRIPTION));
        QCOMPARE(log.item(0)->toolTip(0), QStringLiteral("清除屏幕"));
        QCOMPARE(log.item(1)->toolTip(0), QStringLiteral("回送 编号 7"));
        QVERIFY(!CMyOutput().DescriptionsShown());  // the choice is remembered
        Feed(log, 0, {0xFD, 0x77, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA});
        QCOMPARE(log.item(0)->toolTip(0), QStringLiteral("未知命令 0x77，负载 0 字节"));
        QVERIFY(!Item(Menu(log, keep), 4)->isChecked());
        Item(Menu(log, keep), 4)->trigger();
        QVERIFY(log.item(0)->toolTip(0).isEmpty());
        QVERIFY(CMyOutput().DescriptionsShown());
    }

    void dataBlockLineAndExport()
    {
        CMyOutput log;
        qint64 now = 0;
        log.Describer().SetClock([&now] { return now; });
        std::unique_ptr<QMenu> keep;
        QAction *exportItem = Item(Menu(log, keep), 5);
        QCOMPARE(exportItem->text(), QStringLiteral("导出日志..."));
        QVERIFY(!exportItem->isEnabled());

        now = 5;
        Feed(log, 0, {0xFD, 0x35, 0x00, 0x00, 0xDD, 0xCC, 0xBB, 0xAA});
        Feed(log, 1, {0xFC});
        now = 8405;
        log.OnBulk(153600, 153600, 8300, true);
        Feed(log, 1, {0xFE});
        QCOMPARE(log.GetLineCount(), 4);
        QCOMPARE(log.GetLineText(1), QStringLiteral("数据块 153600 字节 8.3 秒"));
        QCOMPARE(log.GetLineDirection(1), 0);
        QCOMPARE(log.GetLineTime(1), QStringLiteral("105 ms"));
        QVERIFY(Item(Menu(log, keep), 5)->isEnabled());

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("log.csv"));
        QString error;
        QVERIFY2(log.ExportTo(path, LOG_EXPORT_CSV, &error), qPrintable(error));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray data = f.readAll();
        QVERIFY(data.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(QString::fromUtf8(data.mid(3)), QStringLiteral("时间(ms),方向,数据,说明\r\n"
                                                               "5,发送,FD 35 00 00 DD CC BB AA,发送图象到屏幕\r\n"
                                                               "5,接收,FC,准备接收\r\n"
                                                               "105,发送,,数据块 153600 字节 8.3 秒\r\n"
                                                               "8405,接收,FE,接收完毕\r\n"));
        // The limit holds with summary lines too.
        for (int i = 0; i < 300; ++i)
            log.OnBulk(10, 10, 0, true);
        QCOMPARE(log.GetLineCount(), 256);
    }
};

QTEST_MAIN(TestOutput)
#include "tst_output.moc"
