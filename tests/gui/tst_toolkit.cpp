// Toolkit widgets: the tab control, the status bar's timed messages and
// layouts, the scroll view and the docked panes.
#include <QMainWindow>
#include <QSignalSpy>
#include <QtTest>
#include <vector>

#include "shell/output.h"
#include "shell/pane_output.h"
#include "shell/pane_workspace.h"
#include "toolkit/status_bar.h"
#include "toolkit/tab_ctrl.h"
#include "toolkit/view.h"

namespace {

struct FakeClock {
    qint64 now = 100000;
    StatusClock Fn()
    {
        return [this] { return now; };
    }
};

QPoint Centre(const QRect &r)
{
    return r.center();
}

} // namespace

class TestToolkit : public QObject {
    Q_OBJECT
private slots:
    // ---- tab control ----

    void addTabGoesFirstAndKeepsCurrent()
    {
        CMyTabCtrl tabs;
        tabs.resize(400, 200);
        auto *a = new QWidget;
        auto *b = new QWidget;
        QCOMPARE(tabs.GetCurSel(), -1);
        QCOMPARE(tabs.AddTab(a, QStringLiteral("甲")), 0);
        QVERIFY(a->isHidden());
        QVERIFY(tabs.SelectTab(0));
        QCOMPARE(tabs.AddTab(b, QStringLiteral("乙")), 0);
        QCOMPARE(tabs.GetPage(0), b);
        QCOMPARE(tabs.GetPage(1), a);
        QCOMPARE(tabs.GetCurSel(), 1); // still page a
        QVERIFY(b->isHidden());
        QVERIFY(!a->isHidden());
        QVERIFY(tabs.GetTabRect(0).left() < tabs.GetTabRect(1).left());
        QCOMPARE(tabs.GetTab(0).right, tabs.GetTab(1).left);
    }

    void removeTabs()
    {
        CMyTabCtrl tabs;
        tabs.resize(400, 200);
        QWidget *pages[3];
        for (auto &p : pages)
            tabs.AddTab(p = new QWidget, QStringLiteral("页"));
        // Index order is pages[2], pages[1], pages[0].
        QVERIFY(tabs.SelectTab(1));
        QVERIFY(tabs.RemoveTab(0)); // before the current one
        QCOMPARE(tabs.GetCurSel(), 0);
        QCOMPARE(tabs.GetPage(0), pages[1]);
        QVERIFY(tabs.RemoveTab(0)); // the current one
        QCOMPARE(tabs.GetCurSel(), -1);
        QCOMPARE(tabs.GetTabCount(), 1);
        QVERIFY(!tabs.RemoveTab(5));
        QVERIFY(!tabs.SelectTab(-1));
        QVERIFY(!tabs.SelectTab(1));
        delete pages[1];
        delete pages[2];
    }

    void changingVetoKeepsOldPage()
    {
        CMyTabCtrl tabs;
        tabs.resize(400, 200);
        auto *a = new QWidget;
        auto *b = new QWidget;
        tabs.AddTab(a, QStringLiteral("a"));
        tabs.AddTab(b, QStringLiteral("b")); // b = 0, a = 1
        QVERIFY(tabs.SelectTab(1));
        bool forbid = true;
        std::vector<std::pair<int, int>> asked;
        connect(&tabs, &CMyTabCtrl::paneChanging, &tabs, [&](int n, int o, bool *veto) {
            asked.emplace_back(n, o);
            *veto = forbid;
        });
        QSignalSpy changed(&tabs, &CMyTabCtrl::paneChanged);
        QVERIFY(!tabs.SelectTab(0));
        QCOMPARE(tabs.GetCurSel(), 1);
        QVERIFY(b->isHidden());
        QVERIFY(!a->isHidden());
        QCOMPARE(changed.count(), 0);
        QCOMPARE(asked.size(), size_t(1));
        QCOMPARE(asked[0], std::make_pair(0, 1));

        forbid = false;
        QVERIFY(tabs.SelectTab(0));
        QCOMPARE(tabs.GetCurSel(), 0);
        QVERIFY(!b->isHidden());
        QVERIFY(a->isHidden());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toInt(), 0);
        // Selecting the current tab asks nobody.
        QVERIFY(tabs.SelectTab(0));
        QCOMPARE(asked.size(), size_t(2));
    }

    void closeButtonAndItsVeto()
    {
        CMyTabCtrl tabs(TABS_TOP | TABS_CLOSE);
        tabs.resize(400, 200);
        tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tabs));
        tabs.AddTab(new QWidget, QStringLiteral("a"));
        tabs.AddTab(new QWidget, QStringLiteral("b"));
        QVERIFY(tabs.SelectTab(0));
        bool forbid = true;
        QList<int> asked;
        connect(&tabs, &CMyTabCtrl::paneClosing, &tabs, [&](int index, bool *veto) {
            asked << index;
            *veto = forbid;
        });
        const CMyMiniBtn *close = tabs.MiniButtons()->Find(TABBTN_CLOSE);
        QVERIFY(close && !close->hidden && !close->disabled);
        QTest::mouseClick(&tabs, Qt::LeftButton, {}, Centre(close->rect));
        QCOMPARE(asked, QList<int>{0});
        QCOMPARE(tabs.GetTabCount(), 2);
        QCOMPARE(tabs.GetCurSel(), 0);

        forbid = false;
        QTest::mouseClick(&tabs, Qt::LeftButton, {}, Centre(close->rect));
        QCOMPARE(tabs.GetTabCount(), 1);
        QCOMPARE(tabs.GetCurSel(), -1);
        QCOMPARE(tabs.GetTitle(0), QStringLiteral("a"));
        // Nothing current: the close button is disabled and asks nobody.
        QVERIFY(!tabs.MiniButtons()->IsEnabled(TABBTN_CLOSE));
        QTest::mouseClick(&tabs, Qt::LeftButton, {}, Centre(close->rect));
        QCOMPARE(asked.size(), 2);
    }

    void keyboardWrapsAround()
    {
        CMyTabCtrl tabs;
        tabs.resize(400, 200);
        for (int i = 0; i < 3; ++i)
            tabs.AddTab(new QWidget, QString::number(i));
        QVERIFY(tabs.SelectTab(2));
        QTest::keyClick(&tabs, Qt::Key_Right);
        QCOMPARE(tabs.GetCurSel(), 0);
        QTest::keyClick(&tabs, Qt::Key_Left);
        QCOMPARE(tabs.GetCurSel(), 2);
        QTest::keyClick(&tabs, Qt::Key_Left);
        QCOMPARE(tabs.GetCurSel(), 1);
    }

    void clickSelectsTab()
    {
        CMyTabCtrl tabs;
        tabs.resize(400, 200);
        tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tabs));
        tabs.AddTab(new QWidget, QStringLiteral("第一页"));
        tabs.AddTab(new QWidget, QStringLiteral("第二页"));
        QTest::mouseClick(&tabs, Qt::LeftButton, {}, Centre(tabs.GetTabRect(1)));
        QCOMPARE(tabs.GetCurSel(), 1);
        QCOMPARE(tabs.HitTest(Centre(tabs.GetTabRect(0))), 0);
        QCOMPARE(tabs.HitTest(Centre(tabs.GetPageRect())), -1);
        QTest::mouseClick(&tabs, Qt::LeftButton, {}, Centre(tabs.GetTabRect(0)));
        QCOMPARE(tabs.GetCurSel(), 0);
        QCOMPARE(tabs.GetPage(0)->geometry(), tabs.GetPageRect());
    }

    void metrics()
    {
        CMyTabCtrl tabs(TABS_TOP);
        tabs.resize(400, 200);
        const int h = tabs.GetStripHeight();
        QVERIFY(h >= tabs.fontMetrics().height() + 4);
        tabs.AddTab(new QWidget, QStringLiteral("标题"));
        const int plain = tabs.GetTab(0).width;
        QCOMPARE(plain, 5 + tabs.fontMetrics().horizontalAdvance(QStringLiteral("标题")) + 5);
        tabs.SelectTab(0);
        QCOMPARE(tabs.GetTab(0).width, plain + h - 4); // room for the slope
        // Page area: strip on top, border of 1 around the page.
        const QRect page = tabs.GetPageRect();
        QCOMPARE(page.top(), h);
        QCOMPARE(page.left(), 1);
        QCOMPARE(page.right(), 398);
        QCOMPARE(page.bottom(), 198);

        CMyTabCtrl bottom(TABS_INSET);
        bottom.resize(400, 200);
        QCOMPARE(bottom.GetStripRect().bottom(), 199);
        QCOMPARE(bottom.GetPageRect().top(), 1 + 2);
        QCOMPARE(bottom.GetPageRect().left(), 1 + 2);
    }

    void scrollButtonsAndRepeat()
    {
        CMyTabCtrl tabs(TABS_TOP | TABS_CLOSE | TABS_SCROLL_STEP | TABS_AUTOHIDE);
        tabs.resize(400, 120);
        tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tabs));
        tabs.AddTab(new QWidget, QStringLiteral("短"));
        // Everything fits: scroll buttons hidden.
        QVERIFY(tabs.MiniButtons()->IsHidden(TABBTN_LEFT));
        QVERIFY(tabs.MiniButtons()->IsHidden(TABBTN_RIGHT));
        QCOMPARE(tabs.GetMaxScrollOffset(), 0);

        for (int i = 0; i < 20; ++i)
            tabs.AddTab(new QWidget, QStringLiteral("很长的标签页标题 %1").arg(i));
        QVERIFY(tabs.GetMaxScrollOffset() > 0);
        QVERIFY(!tabs.MiniButtons()->IsHidden(TABBTN_RIGHT));
        QVERIFY(!tabs.MiniButtons()->IsEnabled(TABBTN_LEFT)); // at the left end
        QVERIFY(tabs.MiniButtons()->IsEnabled(TABBTN_RIGHT));

        // Offset stays clamped.
        tabs.SetScrollOffset(-50);
        QCOMPARE(tabs.GetScrollOffset(), 0);
        tabs.SetScrollOffset(1 << 20);
        QCOMPARE(tabs.GetScrollOffset(), tabs.GetMaxScrollOffset());
        QVERIFY(!tabs.MiniButtons()->IsEnabled(TABBTN_RIGHT));
        tabs.SetScrollOffset(0);

        // Press on "right": one step at once, then repeats while held.
        const QRect right = tabs.MiniButtons()->Find(TABBTN_RIGHT)->rect;
        QTest::mousePress(&tabs, Qt::LeftButton, {}, Centre(right));
        const int step = tabs.GetStripHeight() - 4;
        QCOMPARE(tabs.GetScrollOffset(), step);
        QVERIFY(tabs.IsRepeating());
        QTRY_VERIFY(tabs.GetScrollOffset() > step);
        QTest::mouseRelease(&tabs, Qt::LeftButton, {}, Centre(right));
        QVERIFY(!tabs.IsRepeating());
        const int stopped = tabs.GetScrollOffset();
        QTest::qWait(120);
        QCOMPARE(tabs.GetScrollOffset(), stopped);
        QVERIFY(tabs.MiniButtons()->IsEnabled(TABBTN_LEFT));

        // Selecting a tab scrolls it fully into view.
        QVERIFY(tabs.SelectTab(20));
        const QRect r = tabs.GetTabRect(20);
        const QRect strip = tabs.GetStripRect();
        QVERIFY(r.left() >= strip.left());
        QVERIFY(r.right() < tabs.MiniButtons()->Find(TABBTN_LEFT)->rect.left());
    }

    void otherMiniButtonEventsPassOn()
    {
        CMyTabCtrl tabs(TABS_TOP);
        tabs.resize(300, 100);
        tabs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tabs));
        tabs.MiniButtons()->AddButton(9, true);
        tabs.MiniButtons()->SetRect(9, QRect(5, 60, 15, 15));
        QSignalSpy spy(&tabs, &CMyTabCtrl::miniBtn);
        QTest::mouseClick(&tabs, Qt::LeftButton, {}, QPoint(10, 65));
        QCOMPARE(spy.count(), 3);
        QCOMPARE(spy.at(0).at(0).toInt(), 1);
        QCOMPARE(spy.at(1).at(0).toInt(), 2);
        QCOMPARE(spy.at(2).at(0).toInt(), 3);
        QCOMPARE(spy.at(2).at(1).toInt(), 9);
        QVERIFY(tabs.MiniButtons()->Find(9)->checked); // a toggle button flips
        // Released off the button: no click.
        spy.clear();
        QTest::mousePress(&tabs, Qt::LeftButton, {}, QPoint(10, 65));
        QTest::mouseMove(&tabs, QPoint(100, 65));
        QTest::mouseRelease(&tabs, Qt::LeftButton, {}, QPoint(100, 65));
        QCOMPARE(spy.count(), 2);
        QVERIFY(tabs.MiniButtons()->Find(9)->checked);
    }

    // ---- status bar ----

    void secondMessageRestartsItsOwnLifetime()
    {
        FakeClock clock;
        CMyStatusBar bar;
        bar.SetClock(clock.Fn());
        bar.resize(600, 24);
        QCOMPARE(bar.GetPaneText(0), QStringLiteral("就绪"));
        QVERIFY(!bar.IsTimerActive());

        bar.ShowStatusMessage(1, QStringLiteral("第一条"));
        QVERIFY(bar.GetPane(0).message);
        QVERIFY(bar.IsTimerActive());
        QCOMPARE(bar.GetTimerStartCount(), 1);

        clock.now += 3000;
        bar.ShowStatusMessage(3, QStringLiteral("第二条"));
        QCOMPARE(bar.GetPaneText(0), QStringLiteral("第二条"));
        QCOMPARE(bar.GetTimerStartCount(), 1); // not started twice
        QCOMPARE(bar.GetPane(0).color1, QColor(180, 0, 30));
        QCOMPARE(bar.GetPane(0).color2, QColor(250, 130, 150));

        clock.now += 2500; // the first would be 5500 ms old, the second is 2500
        bar.OnTimerTick();
        QVERIFY(bar.GetPane(0).message);
        QCOMPARE(bar.GetPaneText(0), QStringLiteral("第二条"));
        QVERIFY(bar.IsTimerActive());

        clock.now += 2499;
        bar.OnTimerTick();
        QVERIFY(bar.GetPane(0).message);

        clock.now += 1; // exactly 5000 ms
        bar.OnTimerTick();
        QVERIFY(!bar.GetPane(0).message);
        QCOMPARE(bar.GetPaneText(0), QStringLiteral("就绪"));
        QVERIFY(!bar.IsTimerActive());

        // A later message starts the timer again.
        bar.ShowStatusMessage(2, QStringLiteral("成功"));
        QCOMPARE(bar.GetTimerStartCount(), 2);
        QCOMPARE(bar.GetPane(0).color1, QColor(25, 100, 25));
        QCOMPARE(bar.GetPane(0).color2, QColor(120, 220, 150));
    }

    void messageDrawnAsGradientWithWhiteText()
    {
        CMyStatusBar bar;
        bar.setSizeGripEnabled(false);
        bar.resize(400, 24);
        bar.ShowStatusMessage(1, QStringLiteral("信息"));
        QCOMPARE(bar.GetPane(0).textColor, QColor(Qt::white));
        const QImage img = bar.grab().toImage();
        const QRect r = bar.GetItemRect(0);
        auto near = [](QColor a, QColor b) {
            return qAbs(a.red() - b.red()) < 8 && qAbs(a.green() - b.green()) < 8 && qAbs(a.blue() - b.blue()) < 8;
        };
        QVERIFY(near(img.pixelColor(r.left(), r.bottom() - 1), QColor(0, 84, 227)));
        QVERIFY(near(img.pixelColor(r.right(), r.bottom() - 1), QColor(61, 149, 255)));
    }

    void otherKindsArePlainText()
    {
        CMyStatusBar bar;
        bar.ShowStatusMessage(2, QStringLiteral("彩色"));
        bar.ShowStatusMessage(0, QStringLiteral("普通"));
        QCOMPARE(bar.GetPaneText(0), QStringLiteral("普通"));
        QVERIFY(!bar.GetPane(0).message);
        bar.ShowStatusMessage(7, QString());
        QCOMPARE(bar.GetPaneText(0), QStringLiteral("就绪"));
        // Text is held to 389 characters.
        bar.ShowStatusMessage(1, QString(500, QLatin1Char('x')));
        QCOMPARE(bar.GetPaneText(0).size(), 389);
    }

    void progressDisplay()
    {
        CMyStatusBar bar;
        bar.resize(500, 24);
        bar.ShowStatusProgress(QStringLiteral("正在清除图象，请稍后"), 40);
        QVERIFY(bar.GetPane(0).progress);
        QCOMPARE(bar.GetPane(0).value, 40);
        bar.SetPaneText(0, QStringLiteral("被忽略"));
        QCOMPARE(bar.GetPaneText(0), QStringLiteral("正在清除图象，请稍后"));
        QVERIFY(!bar.grab().isNull());
        bar.ShowStatusProgress(QStringLiteral("完成"), 100);
        QVERIFY(!bar.GetPane(0).progress);
        QCOMPARE(bar.GetPaneText(0), QStringLiteral("完成"));
        bar.ShowStatusProgress(QStringLiteral("再来"), 10);
        bar.ShowStatusProgress(QStringLiteral("结束"), -1);
        QVERIFY(!bar.GetPane(0).progress);
        QCOMPARE(bar.GetPaneText(0), QStringLiteral("结束"));
        bar.SetPaneText(0, QStringLiteral("可以"));
        QCOMPARE(bar.GetPaneText(0), QStringLiteral("可以"));
    }

    void connectedAndNotConnectedLayouts()
    {
        CMyStatusBar bar;
        bar.setSizeGripEnabled(false);
        bar.resize(600, 24);
        QVERIFY(bar.SetPanes({0, 32800, 32801, 32802}));
        QCOMPARE(bar.GetPaneCount(), 4);
        QCOMPARE(bar.CommandToIndex(32801), 2);
        QVERIFY(!bar.AddPane(12345)); // four at most
        bar.SetPaneText(1, QStringLiteral("分辨率 320 x 240 "));
        QCOMPARE(bar.GetVisiblePaneCount(), 4);
        const int w1 = bar.GetItemRect(1).width();
        QCOMPARE(w1, bar.fontMetrics().horizontalAdvance(QStringLiteral("分辨率 320 x 240 ")) + 6);
        QVERIFY(bar.GetItemRect(0).width() > 0);
        QCOMPARE(bar.GetItemRect(3).right(), 599); // the message pane takes the rest

        bar.SetNotConnectedLayout(true);
        QCOMPARE(bar.GetVisiblePaneCount(), 1);
        QCOMPARE(bar.GetItemRect(0), QRect(0, 0, 600, bar.height()));
        QVERIFY(bar.GetItemRect(1).isEmpty());

        bar.SetNotConnectedLayout(false);
        QCOMPARE(bar.GetVisiblePaneCount(), 4);
        QVERIFY(bar.RemovePane(32802));
        QCOMPARE(bar.GetPaneCount(), 3);
    }

    void promptOverlayKeepsMessage()
    {
        CMyStatusBar bar;
        bar.ShowStatusMessage(2, QStringLiteral("已连接"));
        // The same hover announced again, the pointer still where it was:
        // the message stays. A new hover (the pointer moved) covers it.
        bar.showMessage(QStringLiteral("连接或断开"));
        QVERIFY(bar.GetTipText().isEmpty());
        QCursor::setPos(QCursor::pos() + QPoint(9, 4));
        bar.showMessage(QStringLiteral("连接或断开"));
        QCOMPARE(bar.GetTipText(), QStringLiteral("连接或断开"));
        bar.clearMessage();
        QVERIFY(bar.GetTipText().isEmpty());
        QVERIFY(bar.GetPane(0).message);
        QCOMPARE(bar.GetPaneText(0), QStringLiteral("已连接"));
    }

    // ---- scroll view ----

    void scrollViewSizesAndClamping()
    {
        CMyView view;
        view.resize(220, 120);
        view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.SetScrollSizes(QSize(1000, 800));
        QCOMPARE(view.GetPageSize(), QSize(100, 80));
        QCOMPARE(view.GetLineSize(), QSize(10, 8));
        view.SetScrollSizes(QSize(1000, 800), QSize(300, 200), QSize(7, 9));
        QCOMPARE(view.GetPageSize(), QSize(300, 200));
        QCOMPARE(view.GetLineSize(), QSize(7, 9));
        const QSize vp = view.viewport()->size();
        QCOMPARE(vp, QSize(220 - 2, 120 - 2)); // one-pixel border
        view.ScrollToPosition(QPoint(5000, 5000));
        QCOMPARE(view.GetScrollPosition(), QPoint(1000 - vp.width(), 800 - vp.height()));
        view.ScrollToPosition(QPoint(-3, -3));
        QCOMPARE(view.GetScrollPosition(), QPoint(0, 0));
    }

    void wheelScrollsLinesUnlessModified()
    {
        CMyView view;
        view.resize(220, 120);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.SetWheelLines(3);
        view.SetScrollSizes(QSize(1000, 800), QSize(100, 100), QSize(10, 8));
        const QPointF pos(50, 50);
        QWheelEvent down(pos, view.mapToGlobal(pos), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                         Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &down);
        QCOMPARE(view.GetScrollPosition().y(), 24);
        QWheelEvent ctrl(pos, view.mapToGlobal(pos), QPoint(), QPoint(0, -120), Qt::NoButton,
                         Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &ctrl);
        QCOMPARE(view.GetScrollPosition().y(), 24);
        QWheelEvent up(pos, view.mapToGlobal(pos), QPoint(), QPoint(0, 240), Qt::NoButton, Qt::NoModifier,
                       Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &up);
        QCOMPARE(view.GetScrollPosition().y(), 0);
    }

    // ---- panes ----

    void panesStartHiddenWithTheirTab()
    {
        QMainWindow frame;
        auto *out = new CPaneOutput(&frame);
        auto *ws = new CPaneWorkspace(&frame);
        frame.addDockWidget(Qt::BottomDockWidgetArea, out);
        frame.addDockWidget(Qt::LeftDockWidgetArea, ws);
        frame.resize(800, 600);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QVERIFY(out->isHidden());
        QVERIFY(ws->isHidden());
        QCOMPARE(out->GetTabCtrl()->GetTabCount(), 1);
        QCOMPARE(out->GetTabCtrl()->GetTitle(0), QStringLiteral("日志"));
        QCOMPARE(out->GetTabCtrl()->GetPage(0), static_cast<QWidget *>(out->GetOutput()));
        QCOMPARE(out->GetTabCtrl()->GetCurSel(), 0);
        QCOMPARE(ws->GetTabCtrl()->GetTitle(0), QStringLiteral("文件"));
        QCOMPARE(ws->GetTabCtrl()->GetCurSel(), 0);
        QCOMPARE(out->GetId(), 1006);
        QCOMPARE(ws->GetId(), 1005);
        QCOMPARE(ws->GetSideWidth(), 200);
        QCOMPARE(out->GetTopBottomHeight(), 100);

        // Lines accumulate while the pane is hidden.
        const uint8_t b[] = {0x0B};
        out->GetOutput()->OnTraffic(1, 1, b);
        QCOMPARE(out->GetOutput()->GetLineCount(), 1);

        // Closing from the tab strip hides the pane and keeps the tab.
        QSignalSpy vis(out, &CMyPane::paneVisibleChanged);
        out->show();
        QTRY_VERIFY(out->isVisible());
        CMyTabCtrl *tabs = out->GetTabCtrl();
        const CMyMiniBtn *close = tabs->MiniButtons()->Find(TABBTN_CLOSE);
        QVERIFY(close && !close->hidden);
        QTest::mouseClick(tabs, Qt::LeftButton, {}, close->rect.center());
        QVERIFY(out->isHidden());
        QCOMPARE(tabs->GetTabCount(), 1);
        QCOMPARE(tabs->GetCurSel(), 0);
        QVERIFY(vis.count() >= 2);
        QCOMPARE(vis.last().at(0).toBool(), false);
    }

    void workspaceTakesTheFileListPage()
    {
        CPaneWorkspace ws;
        auto *list = new QWidget;
        ws.SetFilePage(list);
        QCOMPARE(ws.GetTabCtrl()->GetTabCount(), 1);
        QCOMPARE(ws.GetTabCtrl()->GetPage(0), list);
        QCOMPARE(ws.GetTabCtrl()->GetTitle(0), QStringLiteral("文件"));
        QCOMPARE(ws.GetTabCtrl()->GetCurSel(), 0);
    }
};

QTEST_MAIN(TestToolkit)
#include "tst_toolkit.moc"
