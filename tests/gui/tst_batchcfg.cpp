// The batch configuration dialog: a batch of every kind composed by drags,
// its pages filled, saved and compared attribute for attribute, reopened
// through the configure command; the drag rules; every page's rejection;
// the context menu.
#include <QCheckBox>
#include <QComboBox>
#include <QDomDocument>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QRadioButton>
#include <QtTest>
#include <functional>

#include "batch/ui/batch_cmd_cfg.h"
#include "batch/ui/batch_desk_host.h"
#include "batch/ui/frame_batch.h"
#include "link/terminal.h"
#include "app/app_frame.h"
#include "shell/btn.h"
#include "tst_frame_support.h"

using namespace BATCHCMD;

namespace
{

// The desktop host with its file dialogs and message boxes scripted.
class CTestHost : public CDeskBatchHost
{
  public:
    using CDeskBatchHost::CDeskBatchHost;
    QString savePath;  // answer of the save dialog
    QString openPath;  // answer of the open dialog
    int saveAsked = 0;
    QStringList boxes;
    QStringList failures;
    QString ChooseBatchFile(bool save, const QString &) override
    {
        if (save)
            ++saveAsked;
        return save ? savePath : openPath;
    }
    int MessageBox(const QString &text, int, int) override
    {
        boxes << text;
        return BATCH_ANSWER_OK;
    }
    void ShowStatusMessage(int kind, const QString &text) override
    {
        if (kind == STATUS_FAILURE)
            failures << text;
        CDeskBatchHost::ShowStatusMessage(kind, text);
    }
};

template <typename T> T *Ctl(QWidget *w, int id)
{
    return w->findChild<T *>(QStringLiteral("ctl%1").arg(id));
}

QPoint ItemPoint(QTreeWidget *tree, QTreeWidgetItem *item)
{
    return tree->viewport()->mapToGlobal(tree->visualItemRect(item).center());
}

// Empty space below the last item of a tree.
QPoint BelowItems(QTreeWidget *tree)
{
    const QRect r = tree->viewport()->rect();
    return tree->viewport()->mapToGlobal(QPoint(r.center().x(), r.bottom() - 3));
}

QStringList Texts(QTreeWidget *tree)
{
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        texts << tree->topLevelItem(i)->text(0);
    return texts;
}

QTreeWidgetItem *FindItem(QTreeWidget *tree, const QString &text)
{
    const auto items = tree->findItems(text, Qt::MatchExactly);
    return items.isEmpty() ? nullptr : items.first();
}

// Elements of the written file's "Commands" as "Name a=v b=v ...", in
// document order and with attributes in the order they were written.
QStringList Elements(const QString &path, QString *rootAttrs)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = f.readAll();
    QDomDocument doc;
    if (!doc.setContent(bytes))
        return {};
    const QDomElement root = doc.documentElement();
    *rootAttrs = QStringLiteral("Ver=%1 Model=%2 Res=%3")
                     .arg(root.attribute("Ver"), root.attribute("Model"), root.attribute("Res"));
    QStringList out;
    // Attribute order as stored in the text: read it from the raw bytes.
    QXmlStreamReader xml(bytes);
    bool inCommands = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("Commands")) {
            inCommands = true;
        } else if (xml.isStartElement() && inCommands) {
            QString line = xml.name().toString();
            for (const QXmlStreamAttribute &a : xml.attributes())
                line += QStringLiteral(" %1=%2").arg(a.name().toString(), a.value().toString());
            out << line;
        }
    }
    return out;
}

const QStringList kAllNames = {
    "[终端] 设置模式",     "[终端] 设置终端波特率", "[电脑] 设置本机波特率", "[终端] 清除屏幕",
    "[终端] 发送图象",     "[终端] 保存图象",       "[终端] 显示图象",       "[终端] 清除图象",
    "[终端] 清除所有图象", "[终端] 发送字库",       "[终端] 发送文本",       "[终端] 设置颜色",
    "[电脑] 重复标记",     "[电脑] 重复上面的步骤", "[电脑] 暂停",           "[电脑] 显示提示消息框",
    "[电脑] 播放提示音"};

} // namespace

class TestBatchCfg : public QObject
{
    Q_OBJECT
  private slots:
    void init();
    void cleanup();
    void availableFollowsTheTerminal();
    void composeSaveReopen();
    void dragRules();
    void pageRejections();
    void contextMenu();
    void showTextPosition();
    void badFileNeverOpens();

  private:
    // Adds a kind by a drag from the available tree to the end.
    QTreeWidgetItem *Add(CBatchCmdCfg &dlg, const QString &name);
    std::unique_ptr<CBatchCmdCfg> Dialog();

    CTestEnv *m_env = nullptr;
    CAppFrame *m_frame = nullptr;
    CScriptedLink m_link;
    CTestHost *m_host = nullptr;
    QTemporaryDir m_dir;
    QMimeData m_mime;
};

void TestBatchCfg::init()
{
    m_env = new CTestEnv;
    m_frame = new CAppFrame;
    QVERIFY(m_frame->Create());
    // A connected 320 x 240 terminal that takes the mode command and font
    // libraries: every kind is available.
    m_link.open = true;
    CMyTerminal &t = m_frame->Terminal();
    t.SetTransport(&m_link);
    t.Info().width = 320;
    t.Info().height = 240;
    t.Info().modeWord = 0x0001;
    t.Info().hardFont = 0;
    t.Info().maxBaud = 115200;
    m_host = new CTestHost(*m_frame);
    m_mime.setData(BatchDragMimeType(), QByteArray());
}

void TestBatchCfg::cleanup()
{
    delete m_host;
    m_frame->Terminal().SetTransport(nullptr);
    delete m_frame;
    delete m_env;
}

std::unique_ptr<CBatchCmdCfg> TestBatchCfg::Dialog()
{
    auto dlg = std::make_unique<CBatchCmdCfg>(*m_host, *m_host, m_frame->RecentBatchFiles(), m_frame);
    dlg->show();
    if (!QTest::qWaitForWindowExposed(dlg.get()))
        return nullptr;
    return dlg;
}

QTreeWidgetItem *TestBatchCfg::Add(CBatchCmdCfg &dlg, const QString &name)
{
    QTreeWidgetItem *source = FindItem(dlg.AvailableTree(), name);
    if (!source || !dlg.BeginDrag(dlg.AvailableTree(), source))
        return nullptr;
    const QPoint end = BelowItems(dlg.SelectedTree());
    if (dlg.DragOver(&m_mime, end) != Qt::CopyAction || !dlg.Drop(&m_mime, Qt::CopyAction, end))
        return nullptr;
    dlg.EndDrag();
    return dlg.SelectedTree()->currentItem();
}

void TestBatchCfg::availableFollowsTheTerminal()
{
    auto dlg = Dialog();
    QVERIFY(dlg);
    QCOMPARE(dlg->windowTitle(), QStringLiteral("批处理配置"));
    QCOMPARE(Texts(dlg->AvailableTree()), kAllNames);
    QCOMPARE(dlg->AvailableTree()->topLevelItem(0)->toolTip(0),
             QStringLiteral("1.2版本的终端要烧入32x32字库时需要将模式设置0"));
    QVERIFY(Ctl<QLabel>(dlg.get(), 8100)->text().startsWith(QStringLiteral("提示：\n增加命令　按住")));
    QVERIFY(Ctl<QLabel>(dlg.get(), 8100)->isVisible());
    dlg.reset();

    // Not mode-capable, hard font 1: neither mode nor font is offered.
    m_frame->Terminal().Info().modeWord = 0;
    m_frame->Terminal().Info().hardFont = 1;
    dlg = Dialog();
    QVERIFY(dlg);
    QStringList expected = kAllNames;
    expected.removeAll(QStringLiteral("[终端] 设置模式"));
    expected.removeAll(QStringLiteral("[终端] 发送字库"));
    QCOMPARE(Texts(dlg->AvailableTree()), expected);
}

void TestBatchCfg::composeSaveReopen()
{
    const QString picture = m_dir.filePath("p.png");
    const QString font = m_dir.filePath("f_12x24.bin");
    const QString sound = m_dir.filePath("s.wav");
    for (const QString &p : {picture, font, sound}) {
        QFile f(p);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    // Per kind (in the available order): how the page is filled, what it
    // must show again after reopening, and the element written.
    struct Row {
        std::function<void(QWidget *)> fill;
        std::function<bool(QWidget *)> shows;
        QString element;
    };
    auto edit = [](QWidget *p, int id) { return Ctl<QLineEdit>(p, id); };
    auto combo = [](QWidget *p, int id) { return Ctl<QComboBox>(p, id); };
    auto pick = [combo](int id, const QString &text) {
        return [combo, id, text](QWidget *p) { combo(p, id)->setCurrentText(text); };
    };
    auto picks = [combo](int id, const QString &text) {
        return [combo, id, text](QWidget *p) { return combo(p, id)->currentText() == text; };
    };
    auto type = [edit](int id, const QString &text) {
        return [edit, id, text](QWidget *p) { edit(p, id)->setText(text); };
    };
    auto holds = [edit](int id, const QString &text) {
        return [edit, id, text](QWidget *p) { return edit(p, id)->text() == text; };
    };
    const std::vector<Row> rows = {
        {[](QWidget *p) { Ctl<QRadioButton>(p, 8121)->setChecked(true); },
         [](QWidget *p) { return Ctl<QRadioButton>(p, 8121)->isChecked(); }, "SetMode Mode=1"},
        {pick(8122, "9600"), picks(8122, "9600"), "SetBaud Baud=9600"},
        {pick(8122, "57600"), picks(8122, "57600"), "SetPCBaud Baud=57600"},
        {[](QWidget *) {}, [](QWidget *) { return true; }, "ClearScreen"},
        {[edit, picture](QWidget *p) {
             edit(p, 8133)->setText(picture);
             Ctl<QCheckBox>(p, 8135)->setChecked(false);
             Ctl<CMyBtn>(p, 8136)->SetColor(0x336699);
         },
         [edit, picture](QWidget *p) {
             return edit(p, 8133)->text() == picture && !Ctl<QCheckBox>(p, 8135)->isChecked() &&
                    Ctl<CMyBtn>(p, 8136)->GetColor() == 0x336699 && !edit(p, 8131)->isVisibleTo(p);
         },
         "SendPicture KeepAspectRatio=0 BkColor=3368601 Path=" + picture},
        {type(8131, "7"), holds(8131, "7"), "SavePicture ID=7"},
        {type(8131, "8"), holds(8131, "8"), "ShowPicture ID=8"},
        {type(8131, "9"), holds(8131, "9"), "ClearPicture ID=9"},
        {[](QWidget *) {}, [](QWidget *) { return true; }, "ClearAllPictures"},
        {[pick, edit, font](QWidget *p) {
             pick(8140, "12 x 24")(p);
             edit(p, 8141)->setText(font);
         },
         [picks, holds, font](QWidget *p) { return picks(8140, "12 x 24")(p) && holds(8141, font)(p); },
         "SendFont Size=1572876 Path=" + font},
        {[pick, type](QWidget *p) {
             pick(8150, "8 x 16")(p);
             type(8151, "你好 <QEL> & \"x\"")(p);
         },
         holds(8151, "你好 <QEL> & \"x\""), "ShowText Font=1048584 Position=0 Text=你好 <QEL> & \"x\""},
        {[](QWidget *p) {
             Ctl<CMyBtn>(p, 8161)->SetColor(0x0000FF);
             Ctl<CMyBtn>(p, 8160)->SetColor(0xFF0000);
         },
         [](QWidget *p) { return Ctl<CMyBtn>(p, 8161)->GetColor() == 0xFF && Ctl<CMyBtn>(p, 8160)->GetColor() == 0xFF0000; },
         "SetColor Fore=255 Back=16711680"},
        {type(8170, "Loop"), holds(8170, "Loop"), "Anchor Name=Loop"},
        {[type](QWidget *p) {
             type(8171, "loop")(p);
             type(8172, "再来一次？")(p);
         },
         holds(8172, "再来一次？"),
         "Repeat Anchor=loop Prompt=再来一次？"},
        {type(8180, "1500"), holds(8180, "1500"), "Pause Elapse=1500"},
        {type(8181, "完成"), holds(8181, "完成"), "Message Text=完成"},
        {type(8182, sound), holds(8182, sound), "Sound Path=" + sound},
    };
    QCOMPARE(int(rows.size()), kAllNames.size());
    auto dlg = Dialog();
    QVERIFY(dlg);
    for (int i = 0; i < kAllNames.size(); ++i) {
        QTreeWidgetItem *item = Add(*dlg, kAllNames[i]);
        QVERIFY2(item, qPrintable(kAllNames[i]));
        QCOMPARE(dlg->SelectedTree()->currentItem(), item);
        QVERIFY(dlg->ShownPage());
        rows[size_t(i)].fill(dlg->ShownPage());
        if (kAllNames[i] == QStringLiteral("[终端] 发送图象")) {
            // A fresh picture send keeps the aspect ratio on black.
            const CBatchCmdData *r = dlg->Record(item);
            QCOMPARE(r->picture.bKeepAspectRatio, 1);
            QCOMPARE(r->picture.crBkColor, 0u);
        }
    }
    m_host->savePath = m_dir.filePath("all.kbz");
    QVERIFY(dlg->Save());
    QVERIFY(dlg->isVisible()); // stays open
    QString root;
    QStringList expected;
    for (const Row &r : rows)
        expected << r.element;
    QCOMPARE(Elements(m_host->savePath, &root), expected);
    QCOMPARE(root, QStringLiteral("Ver=1.1 Model=QEL-A Res=15728960"));
    QString top;
    QVERIFY(m_frame->RecentBatchFiles().GetEntry(0, &top));
    QCOMPARE(top, m_host->savePath);
    dlg.reset();

    // 32831: the file chosen in the open dialog comes back in both trees and
    // every page. The dialog is modal: look at it once it is up.
    m_host->openPath = m_host->savePath;
    bool looked = false;
    QTimer::singleShot(0, this, [&] {
        auto *open = qobject_cast<CBatchCmdCfg *>(QApplication::activeModalWidget());
        QVERIFY(open);
        looked = true;
        QCOMPARE(open->m_strPath, m_host->savePath);
        QCOMPARE(Texts(open->SelectedTree()), kAllNames);
        for (int i = 0; i < kAllNames.size(); ++i) {
            open->SelectedTree()->setCurrentItem(open->SelectedTree()->topLevelItem(i));
            QVERIFY2(rows[size_t(i)].shows(open->ShownPage()), qPrintable(kAllNames[i]));
        }
        QCOMPARE(Ctl<QLineEdit>(open->ShownPage(), 8182)->text(), sound);
        open->reject();
    });
    ConfigureBatchFile(*m_host, true);
    QVERIFY(looked);
}

void TestBatchCfg::dragRules()
{
    auto dlg = Dialog();
    QVERIFY(dlg);
    QTreeWidget *sel = dlg->SelectedTree();
    QTreeWidget *avail = dlg->AvailableTree();
    const QString a = "[终端] 清除屏幕", b = "[电脑] 暂停", c = "[电脑] 重复标记";
    QVERIFY(Add(*dlg, a) && Add(*dlg, b) && Add(*dlg, c));
    auto move = [&](const QString &name, const QPoint &to) {
        QTreeWidgetItem *item = FindItem(sel, name);
        if (!dlg->BeginDrag(sel, item) || dlg->DragOver(&m_mime, to) != Qt::MoveAction)
            return false;
        const bool done = dlg->Drop(&m_mime, Qt::MoveAction, to);
        dlg->EndDrag();
        return done;
    };
    // Before an item; the records keep their place in the list.
    QVERIFY(move(c, ItemPoint(sel, FindItem(sel, a))));
    QCOMPARE(Texts(sel), (QStringList{c, a, b}));
    QCOMPARE(int(dlg->SelectedList().size()), 3);
    QCOMPARE(dlg->SelectedList().front().nType, int(ClearScreen));
    QCOMPARE(sel->currentItem()->text(0), c);
    // To the end, on empty space.
    QVERIFY(move(a, BelowItems(sel)));
    QCOMPARE(Texts(sel), (QStringList{c, b, a}));
    // On itself: nothing changes.
    QVERIFY(!move(b, ItemPoint(sel, FindItem(sel, b))));
    QCOMPARE(Texts(sel), (QStringList{c, b, a}));
    // Over an item: the drop highlight, gone when the drag ends.
    QTreeWidgetItem *src = FindItem(avail, a);
    QVERIFY(dlg->BeginDrag(avail, src));
    QCOMPARE(dlg->DragOver(&m_mime, ItemPoint(sel, FindItem(sel, b))), Qt::CopyAction);
    QCOMPARE(dlg->DropHighlight(), FindItem(sel, b));
    // From the available tree, outside the selected one: no effect.
    QCOMPARE(dlg->DragOver(&m_mime, ItemPoint(avail, src)), Qt::IgnoreAction);
    QVERIFY(!dlg->DropHighlight());
    QMimeData other;
    other.setText("x");
    QCOMPARE(dlg->DragOver(&other, ItemPoint(sel, FindItem(sel, b))), Qt::IgnoreAction);
    // A copy goes before the item under the point.
    QVERIFY(dlg->Drop(&m_mime, Qt::CopyAction, ItemPoint(sel, FindItem(sel, b))));
    dlg->EndDrag();
    QVERIFY(!dlg->DropHighlight());
    QCOMPARE(Texts(sel), (QStringList{c, a, b, a}));
    QCOMPARE(int(dlg->SelectedList().size()), 4);
    QCOMPARE(sel->currentItem(), sel->topLevelItem(1));
    QVERIFY(sel->hasFocus() || dlg->focusWidget() == sel);
    // Out of the tree (onto the available tree or the dialog): removed, the
    // page hidden, the hint back.
    QVERIFY(move(b, ItemPoint(avail, src)));
    QCOMPARE(Texts(sel), (QStringList{c, a, a}));
    QVERIFY(!dlg->ShownPage());
    QVERIFY(!sel->currentItem());
    QVERIFY(move(c, dlg->mapToGlobal(QPoint(dlg->width() / 2, dlg->height() - 4))));
    QCOMPARE(Texts(sel), (QStringList{a, a}));
    QCOMPARE(int(dlg->SelectedList().size()), 2);
}

void TestBatchCfg::pageRejections()
{
    auto dlg = Dialog();
    QVERIFY(dlg);
    QTreeWidget *sel = dlg->SelectedTree();
    QTreeWidgetItem *other = Add(*dlg, "[终端] 清除屏幕");
    QVERIFY(other);
    struct Case {
        QString kind;
        std::function<QWidget *(QWidget *)> spoil; // returns the faulty field
        QString message;
    };
    auto set = [](int id, const QString &text) {
        return [id, text](QWidget *p) -> QWidget * {
            auto *e = Ctl<QLineEdit>(p, id);
            e->setText(text);
            return e;
        };
    };
    auto unpick = [](int id) {
        return [id](QWidget *p) -> QWidget * {
            auto *c = Ctl<QComboBox>(p, id);
            c->setCurrentIndex(-1);
            return c;
        };
    };
    const QString missing = m_dir.filePath("missing.png");
    const std::vector<Case> cases = {
        {"[终端] 发送图象", set(8133, missing), "请提供一个有效的图象文件名"},
        {"[终端] 发送图象", set(8133, m_dir.path()), "请提供一个有效的图象文件名"},
        {"[终端] 保存图象", set(8131, "x1"), "请输入一个有效的图象存储区编号（以零为基值）"},
        {"[终端] 显示图象", set(8131, ""), "请输入一个有效的图象存储区编号（以零为基值）"},
        {"[终端] 清除图象", set(8131, "4294967296"), "请输入一个有效的图象存储区编号（以零为基值）"},
        {"[终端] 设置终端波特率", unpick(8122), "请输入一个有效的波特率"},
        {"[电脑] 设置本机波特率", unpick(8122), "请输入一个有效的波特率"},
        {"[终端] 发送字库", unpick(8140), "请选择一个有效的字体尺寸"},
        {"[终端] 发送字库",
         [](QWidget *p) -> QWidget * {
             Ctl<QComboBox>(p, 8140)->setCurrentIndex(0);
             auto *e = Ctl<QLineEdit>(p, 8141);
             e->setText("nowhere_16x16.bin");
             return e;
         },
         "请输入一个有效的字库文件名"},
        {"[终端] 发送文本", unpick(8150), "请选择一个有效的字体尺寸"},
        {"[电脑] 暂停", set(8180, "-5"), "请输入一个有效暂停时间(单位：毫秒，1秒 = 1000 毫秒)"},
        {"[电脑] 播放提示音", set(8182, ""), "请输入一有效的声音文件(*.wav)"},
    };
    m_host->savePath = m_dir.filePath("never.kbz");
    for (const Case &c : cases) {
        QTreeWidgetItem *item = Add(*dlg, c.kind);
        QVERIFY2(item, qPrintable(c.kind));
        QWidget *field = c.spoil(dlg->ShownPage());
        const QString typed = qobject_cast<QLineEdit *>(field) ? qobject_cast<QLineEdit *>(field)->text() : "";
        m_host->failures.clear();
        // Selecting another item, starting a drag and saving are refused.
        sel->setCurrentItem(other);
        QCoreApplication::processEvents();
        QCOMPARE(sel->currentItem(), item);
        QVERIFY(!dlg->BeginDrag(sel, other));
        QVERIFY(!dlg->Save());
        QCOMPARE(m_host->failures, (QStringList{c.message, c.message, c.message}));
        QCOMPARE(dlg->focusWidget(), field);
        if (auto *e = qobject_cast<QLineEdit *>(field))
            QCOMPARE(e->text(), typed);
        // Gone again, so the next case starts clean.
        dlg->DeleteSelected();
    }
    QCOMPARE(m_host->saveAsked, 0);
    QVERIFY(!QFile::exists(m_host->savePath));
}

void TestBatchCfg::contextMenu()
{
    auto dlg = Dialog();
    QVERIFY(dlg);
    QTreeWidget *sel = dlg->SelectedTree();
    QVERIFY(Add(*dlg, "[终端] 清除屏幕") && Add(*dlg, "[电脑] 暂停") && Add(*dlg, "[电脑] 重复标记"));
    QStringList texts;
    auto choose = [&](int index) {
        QTimer::singleShot(50, this, [&texts, index] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu)
                return;
            texts.clear();
            for (QAction *a : menu->actions())
                texts << a->text();
            menu->setActiveAction(menu->actions().value(index));
            QTest::keyClick(menu, Qt::Key_Return);
        });
    };
    // The item under the point is selected first, and named in the menu.
    const QPoint pause = sel->visualItemRect(FindItem(sel, "[电脑] 暂停")).center();
    choose(0);
    dlg->ContextMenuAt(pause, sel->viewport()->mapToGlobal(pause));
    QCOMPARE(texts, (QStringList{"删除 [电脑] 暂停", "全部删除(&A)"}));
    QCOMPARE(Texts(sel), (QStringList{"[终端] 清除屏幕", "[电脑] 重复标记"}));
    QCOMPARE(int(dlg->SelectedList().size()), 2);
    QVERIFY(!dlg->ShownPage());
    // Off the items with nothing selected: no menu.
    texts.clear();
    dlg->ContextMenuAt(BelowItems(sel) - sel->viewport()->mapToGlobal(QPoint()), BelowItems(sel));
    QVERIFY(texts.isEmpty());
    // 32834 removes everything.
    sel->setCurrentItem(sel->topLevelItem(0));
    choose(1);
    dlg->ContextMenuAt(BelowItems(sel) - sel->viewport()->mapToGlobal(QPoint()), BelowItems(sel));
    QCOMPARE(texts.value(0), QStringLiteral("删除 [终端] 清除屏幕"));
    QCOMPARE(sel->topLevelItemCount(), 0);
    QVERIFY(dlg->SelectedList().empty());
    QVERIFY(!dlg->ShownPage());

    // Saving an empty tree writes an empty "Commands".
    m_host->savePath = m_dir.filePath("empty.kbz");
    QVERIFY(dlg->Save());
    QString root;
    QVERIFY(Elements(m_host->savePath, &root).isEmpty());
    QCOMPARE(root, QStringLiteral("Ver=1.1 Model=QEL-A Res=15728960"));
}

void TestBatchCfg::showTextPosition()
{
    // Position x 3, y 1 from a file: kept while the page was never shown,
    // 0 once the page stored its values.
    const QString path = m_dir.filePath("text.kbz");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?><Document Ver=\"1.1\" Model=\"QEL-A\" Res=\"15728960\">"
            "<Commands><ShowText Font=\"1048592\" Position=\"65539\" Text=\"a\"/>"
            "<ShowText Font=\"1048592\" Position=\"65539\" Text=\"b\"/></Commands></Document>");
    f.close();
    m_host->openPath = path;
    m_host->savePath = path;
    QStringList written;
    QTimer::singleShot(0, this, [&] {
        auto *dlg = qobject_cast<CBatchCmdCfg *>(QApplication::activeModalWidget());
        QVERIFY(dlg);
        dlg->SelectedTree()->setCurrentItem(dlg->SelectedTree()->topLevelItem(1));
        QVERIFY(dlg->Save());
        QString root;
        written = Elements(path, &root);
        dlg->reject();
    });
    ConfigureBatchFile(*m_host, true);
    QCOMPARE(written, (QStringList{"ShowText Font=1048592 Position=65539 Text=a",
                                   "ShowText Font=1048592 Position=0 Text=b"}));
}

void TestBatchCfg::badFileNeverOpens()
{
    const QString path = m_dir.filePath("bad.kbz");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("<Document Ver=\"1.0\" Model=\"QEL-A\" Res=\"15728960\"><Commands/></Document>");
    f.close();
    m_host->openPath = path;
    bool opened = false;
    QTimer::singleShot(0, this, [&] {
        if (auto *dlg = QApplication::activeModalWidget()) {
            opened = true;
            dlg->close();
        }
    });
    ConfigureBatchFile(*m_host, true);
    QVERIFY(!opened);
    QCOMPARE(m_host->boxes, QStringList{"批处理文件版本不正确，无法加载该文件"});
}

QTEST_MAIN(TestBatchCfg)
#include "tst_batchcfg.moc"
