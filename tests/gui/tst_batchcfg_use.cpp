// The batch configuration dialog used with the mouse: a click refused by an
// invalid page leaves the old item selected and highlighted (and the context
// menu then names and deletes that one), the refusal shows inside the dialog
// as well as in the status bar, and the drop highlight of a drag looks
// different from the selection.
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QtTest>

#include "batch/ui/batch_cmd_cfg.h"
#include "batch/ui/batch_desk_host.h"
#include "link/terminal.h"
#include "app/app_frame.h"
#include "shell/bar_status.h"
#include "tst_frame_support.h"

using namespace BATCHCMD;

namespace
{

const char kPauseRefused[] = "请输入一个有效暂停时间(单位：毫秒，1秒 = 1000 毫秒)";

QTreeWidgetItem *FindItem(QTreeWidget *tree, const QString &text)
{
    const auto items = tree->findItems(text, Qt::MatchExactly);
    return items.isEmpty() ? nullptr : items.first();
}

QStringList Texts(const QList<QTreeWidgetItem *> &items)
{
    QStringList texts;
    for (const QTreeWidgetItem *item : items)
        texts << item->text(0);
    return texts;
}

QStringList Texts(QTreeWidget *tree)
{
    QList<QTreeWidgetItem *> items;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        items << tree->topLevelItem(i);
    return Texts(items);
}

} // namespace

class TestBatchCfgUse : public QObject
{
    Q_OBJECT
  private slots:
    void init();
    void cleanup();
    void refusedClickKeepsTheHighlight();
    void dropHighlightIsNotTheSelection();

  private:
    QTreeWidgetItem *Add(const QString &name)
    {
        QTreeWidgetItem *source = FindItem(m_dlg->AvailableTree(), name);
        const QRect r = m_dlg->SelectedTree()->viewport()->rect();
        const QPoint end = m_dlg->SelectedTree()->viewport()->mapToGlobal(QPoint(r.center().x(), r.bottom() - 3));
        if (!source || !m_dlg->BeginDrag(m_dlg->AvailableTree(), source) ||
            !m_dlg->Drop(&m_mime, m_dlg->DragOver(&m_mime, end), end))
            return nullptr;
        m_dlg->EndDrag();
        return m_dlg->SelectedTree()->currentItem();
    }
    void Click(QTreeWidgetItem *item, Qt::MouseButton button = Qt::LeftButton)
    {
        QTreeWidget *tree = m_dlg->SelectedTree();
        QTest::mouseClick(tree->viewport(), button, {}, tree->visualItemRect(item).center());
        QCoreApplication::processEvents();
    }
    QLabel *Refusal() const { return m_dlg->findChild<QLabel *>(QStringLiteral("refusal")); }

    CTestEnv *m_env = nullptr;
    CAppFrame *m_frame = nullptr;
    CScriptedLink m_link;
    CDeskBatchHost *m_host = nullptr;
    std::unique_ptr<CBatchCmdCfg> m_dlg;
    QMimeData m_mime;
};

void TestBatchCfgUse::init()
{
    m_env = new CTestEnv;
    m_frame = new CAppFrame;
    QVERIFY(m_frame->Create());
    m_frame->show();
    m_link.open = true;
    m_frame->Terminal().SetTransport(&m_link);
    m_frame->Terminal().Info().width = 320;
    m_frame->Terminal().Info().height = 240;
    m_host = new CDeskBatchHost(*m_frame);
    m_mime.setData(BatchDragMimeType(), QByteArray());
    m_dlg = std::make_unique<CBatchCmdCfg>(*m_host, *m_host, m_frame->RecentBatchFiles(), m_frame);
    m_dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dlg.get()));
}

void TestBatchCfgUse::cleanup()
{
    m_dlg.reset();
    delete m_host;
    m_frame->Terminal().SetTransport(nullptr);
    delete m_frame;
    delete m_env;
}

void TestBatchCfgUse::refusedClickKeepsTheHighlight()
{
    QTreeWidget *sel = m_dlg->SelectedTree();
    QTreeWidgetItem *clear = Add("[终端] 清除屏幕");
    QTreeWidgetItem *pause = Add("[电脑] 暂停");
    QTreeWidgetItem *mark = Add("[电脑] 重复标记");
    QVERIFY(clear && pause && mark);
    Click(pause);
    QCOMPARE(sel->currentItem(), pause);
    // The pause emptied with the keyboard.
    auto *field = m_dlg->ShownPage()->findChild<QLineEdit *>(QStringLiteral("ctl8180"));
    QVERIFY(field);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Backspace);
    QCOMPARE(field->text(), QString());
    QVERIFY(Refusal()->text().isEmpty());

    // A click on another item is refused: the pause stays selected,
    // highlighted and current, its page open with the focus on the field.
    for (QTreeWidgetItem *other : {clear, mark}) {
        Click(other);
        QCOMPARE(sel->currentItem(), pause);
        QCOMPARE(Texts(sel->selectedItems()), QStringList{"[电脑] 暂停"});
        QVERIFY(!other->isSelected());
        QCOMPARE(m_dlg->focusWidget(), field);
        // Said in the status bar and inside the dialog, beside the page.
        QCOMPARE(m_frame->BarStatus()->GetPaneText(0), QString::fromUtf8(kPauseRefused));
        QCOMPARE(Refusal()->text(), QString::fromUtf8(kPauseRefused));
        QVERIFY(Refusal()->isVisible());
        QVERIFY(Refusal()->geometry().bottom() < sel->mapTo(m_dlg.get(), QPoint(0, 0)).y());
    }

    // The context menu on another item names and deletes the highlighted one.
    QStringList texts;
    QTimer::singleShot(50, this, [&texts] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction *a : menu->actions())
            texts << a->text();
        menu->setActiveAction(menu->actions().value(0));
        QTest::keyClick(menu, Qt::Key_Return);
    });
    const QPoint at = sel->visualItemRect(clear).center();
    QTest::mousePress(sel->viewport(), Qt::RightButton, {}, at);
    QContextMenuEvent request(QContextMenuEvent::Mouse, at, sel->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(sel->viewport(), &request);
    QTest::mouseRelease(sel->viewport(), Qt::RightButton, {}, at);
    QCOMPARE(texts.value(0), QStringLiteral("删除 [电脑] 暂停"));
    QCOMPARE(Texts(sel), (QStringList{"[终端] 清除屏幕", "[电脑] 重复标记"}));
    // The popup has come and gone; the dialog still says nothing wrong now
    // that the refused page is gone.
    QVERIFY(Refusal()->text().isEmpty());

    // A page that accepts lets the click through and clears the line.
    Click(mark);
    QCOMPARE(sel->currentItem(), mark);
    Click(clear);
    QCOMPARE(Texts(sel->selectedItems()), QStringList{"[终端] 清除屏幕"});
}

void TestBatchCfgUse::dropHighlightIsNotTheSelection()
{
    QTreeWidget *sel = m_dlg->SelectedTree();
    QTreeWidgetItem *a = Add("[终端] 清除屏幕");
    QTreeWidgetItem *b = Add("[电脑] 重复标记");
    QVERIFY(a && b);
    Click(a);
    // Dragging a new command over the other item: the drop highlight.
    QTreeWidgetItem *source = FindItem(m_dlg->AvailableTree(), "[电脑] 暂停");
    QVERIFY(m_dlg->BeginDrag(m_dlg->AvailableTree(), source));
    QCOMPARE(m_dlg->DragOver(&m_mime, sel->viewport()->mapToGlobal(sel->visualItemRect(b).center())),
             Qt::CopyAction);
    QCOMPARE(m_dlg->DropHighlight(), b);
    QVERIFY(a->isSelected() && !b->isSelected());
    // As drawn: the highlighted row's fill and text are not the selection's.
    sel->viewport()->repaint();
    const QImage shot = sel->viewport()->grab().toImage();
    const QRect ra = sel->visualItemRect(a);
    const QRect rb = sel->visualItemRect(b);
    const QColor selected = shot.pixelColor(ra.right() - 3, ra.center().y());
    const QColor dropped = shot.pixelColor(rb.right() - 3, rb.center().y());
    const QColor plain = sel->palette().color(QPalette::Base);
    QVERIFY2(selected != dropped, qPrintable(selected.name() + QLatin1Char(' ') + dropped.name()));
    QVERIFY2(dropped != plain, qPrintable(dropped.name()));
    QCOMPARE(b->foreground(0).color(), sel->palette().color(QPalette::Text));
    m_dlg->EndDrag();
    QVERIFY(!m_dlg->DropHighlight());
}

QTEST_MAIN(TestBatchCfgUse)
#include "tst_batchcfg_use.moc"
