// The home page: its buttons and recent batch rows clicked on the rendered
// page, the markup of the recent block, hover colours, the profile after a
// removal, and pages that fail to load; a double-click acts once, a recent
// batch cell answers anywhere in it, and the columns' widths.
#include "link/terminal.h"
#include "res/profile.h"
#include "app/app_frame.h"
#include "link/ui/bar_dev.h"
#include "shell/bar_status.h"
#include "shell/home_page.h"
#include "shell/home_view.h"
#include "tst_device_sim.h"

#include <QMessageBox>
#include <QTextFrame>
#include <QTimer>
#include <QToolTip>
#include <QtTest>

namespace
{

const char kHead[] = "<TABLE border=0 cols=2 width=100%>\n";
const char kEnd[] = "</TABLE>";

// The block between the recent list's element and its end.
QString MruBlock(const CMyHomePage *page)
{
    const QString html = page->PageHtml();
    const int start = html.indexOf(QLatin1String("<div id=\"idMRUlist\">"));
    const int end = html.indexOf(QLatin1String(kEnd), start);
    if (start < 0 || end < 0)
        return QString();
    const int from = start + int(strlen("<div id=\"idMRUlist\">"));
    return html.mid(from, end + int(strlen(kEnd)) - from);
}

} // namespace

class TestHome : public QObject
{
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void elementIds_data();
    void elementIds();
    void buttonsRunTheirOperations();
    void connectButtonToggles();
    void recentBlockMarkup();
    void rowsRunAndRemove();
    void missingRecentFileReportsTheLoadFailure();
    void hoverColours();
    void pagesThatFailToLoad();
    void doubleClickActsOnce();
    void wholeCellIsTheTarget();
    void columnWidths();

  private:
    void MakeFrame()
    {
        m_frame = new CAppFrame;
        QVERIFY(m_frame->Create());
        m_frame->resize(1024, 720);
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_frame));
        m_view = qobject_cast<CMyHomeView *>(m_frame->GetView(CAppFrame::VIEW_HOME));
        QVERIFY(m_view);
        m_page = m_view->GetPage();
        Spin();
    }
    void Spin()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    // A point of the page's viewport over the anchor's text or image (the
    // first one found scanning the view in rows), or (-1, -1).
    QPoint AnchorPoint(const QString &href) const
    {
        const QSize size = m_page->viewport()->size();
        for (int y = 2; y < size.height(); y += 6)
            for (int x = 2; x < size.width(); x += 6)
                if (m_page->anchorAt(QPoint(x, y)) == href && m_page->anchorAt(QPoint(x + 2, y + 2)) == href)
                    return QPoint(x + 2, y + 2);
        return QPoint(-1, -1);
    }
    // What the window system delivers for a double-click: a click, then a
    // second press reported as a double-click, and its release. The page
    // has had its events in between, as it has between two real clicks.
    void DoubleClick(const QPoint &p)
    {
        QTest::mousePress(m_page->viewport(), Qt::LeftButton, {}, p);
        QTest::mouseRelease(m_page->viewport(), Qt::LeftButton, {}, p);
        Spin();
        QTest::mousePress(m_page->viewport(), Qt::LeftButton, {}, p);
        QTest::mouseDClick(m_page->viewport(), Qt::LeftButton, {}, p);
        QTest::mouseRelease(m_page->viewport(), Qt::LeftButton, {}, p);
        Spin();
    }
    // The leftmost and rightmost x of an anchor's text on the line of p.
    QPair<int, int> AnchorSpan(const QString &href, const QPoint &p) const
    {
        int left = p.x();
        int right = p.x();
        while (left > 0 && m_page->anchorAt(QPoint(left - 1, p.y())) == href)
            --left;
        while (right < m_page->viewport()->width() && m_page->anchorAt(QPoint(right + 1, p.y())) == href)
            ++right;
        return {left, right};
    }
    QStringList Recent() const
    {
        QStringList paths;
        QString path;
        for (int i = 0; m_frame->RecentBatchFiles().GetEntry(i, &path); ++i)
            paths << path;
        return paths;
    }
    bool Click(const QString &href)
    {
        const QPoint p = AnchorPoint(href);
        if (p.x() < 0)
            return false;
        QTest::mouseClick(m_page->viewport(), Qt::LeftButton, {}, p);
        Spin();
        return true;
    }
    void SetRecent(const QStringList &paths)
    {
        // Added oldest first, so the list ends in the given order.
        for (int i = paths.size() - 1; i >= 0; --i)
            QVERIFY(m_frame->RecentBatchFiles().Add(paths.at(i)));
    }

    QTemporaryDir *m_profile = nullptr;
    CSimFarm *m_farm = nullptr;
    QTemporaryDir *m_dir = nullptr;
    QString m_cwd;
    CAppFrame *m_frame = nullptr;
    CMyHomeView *m_view = nullptr;
    CMyHomePage *m_page = nullptr;
};

void TestHome::init()
{
    // A private profile; the farm's port folder holds only its terminals.
    m_profile = new QTemporaryDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_profile->path());
    m_farm = new CSimFarm;
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    // Recent names are shown relative to the current folder.
    m_cwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir->path()));
}

void TestHome::cleanup()
{
    delete m_frame;
    m_frame = nullptr;
    QDir::setCurrent(m_cwd);
    delete m_farm;
    delete m_dir;
    delete m_profile;
}

void TestHome::elementIds_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << "3" << 3;
    QTest::newRow("leading blanks") << "  \t9" << 9;
    QTest::newRow("stops at a letter") << "12ab" << 12;
    QTest::newRow("stops at a blank") << "4 5" << 4;
    QTest::newRow("no digit first") << "x1" << 0;
    QTest::newRow("sign is no digit") << "-1" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("too large") << "99999999999" << 2147483647;
}

void TestHome::elementIds()
{
    QFETCH(QString, id);
    QFETCH(int, value);
    QCOMPARE(CMyHomePage::ElementIdToInt(id), value);
}

void TestHome::buttonsRunTheirOperations()
{
    MakeFrame();
    QVERIFY(m_page->IsPageLoaded());
    // The home page is the view at start and comes back with 32824.
    QCOMPARE(m_frame->GetActiveView(), static_cast<CMyView *>(m_view));
    QStringList ran;
    for (int id : {32870, 34100, 32832})
        m_frame->SetCommandHandler(id, [&ran, id] { ran << QString::number(id); });
    QVERIFY(Click(QStringLiteral("#idPicture")));
    QVERIFY(Click(QStringLiteral("#idBatch")));
    QVERIFY(Click(QStringLiteral("#idFont")));
    QCOMPARE(ran, QStringList({"32870", "32832", "34100"}));
    // Another view in front; 32824 brings the page back.
    auto *other = new CMyView;
    m_frame->SetViewFactory(CAppFrame::VIEW_FONT, [other](QWidget *parent) {
        other->setParent(parent);
        return other;
    });
    m_frame->ShowView(CAppFrame::VIEW_FONT);
    m_frame->OnCommand(32824);
    QCOMPARE(m_frame->GetActiveView(), static_cast<CMyView *>(m_view));
}

void TestHome::connectButtonToggles()
{
    if (!m_farm->Valid())
        QSKIP("qelsim is not available (QELSIM)");
    QVERIFY(!m_farm->Start(QStringLiteral("home"), {QStringLiteral("--profile"), QStringLiteral("info")})
                 .isEmpty());
    MakeFrame();
    QVERIFY(!m_frame->Terminal().IsConnected());
    QVERIFY(Click(QStringLiteral("#idConnect")));
    QVERIFY(m_frame->Terminal().IsConnected());
    QVERIFY(Click(QStringLiteral("#idConnect")));
    QVERIFY(!m_frame->Terminal().IsConnected());
    QVERIFY(Click(QStringLiteral("#idConnect")));
    QVERIFY(m_frame->Terminal().IsConnected());
}

void TestHome::recentBlockMarkup()
{
    MakeFrame();
    // An empty list gives an empty table.
    QCOMPARE(MruBlock(m_page), QString::fromLatin1(kHead) + QLatin1String(kEnd));

    // One row, byte for byte: the path is escaped in the tooltip, and the
    // name in the current folder is the file name alone.
    const QString folder = m_dir->path();
    const QString odd = folder + QStringLiteral("/a&b<c>%1.kbz");
    QVERIFY(m_frame->RecentBatchFiles().Add(odd));
    const QString escaped = odd.toHtmlEscaped();
    QCOMPARE(MruBlock(m_page),
             QString::fromLatin1(kHead) +
                 QStringLiteral(
                     "<TR><TD class=\"FileList\" id=\"0\" title=\"打开 %1\"><a href=\"FileList#0\" "
                     "title=\"打开 %1\">a&amp;b&lt;c&gt;%2.kbz</a></TD><TD class=\"FileListDel\" id=\"0\">"
                     "<a href=\"FileListDel#0\">移除</a></TD></TR>")
                     .arg(escaped, QStringLiteral("%1")) +
                 QLatin1String(kEnd));
    QVERIFY(m_page->toPlainText().contains(QStringLiteral("a&b<c>%1.kbz")));

    // Ten entries give ten rows in order, numbered 0 to 9.
    QStringList paths;
    for (int i = 0; i < 10; ++i)
        paths << QStringLiteral("%1/batch%2.kbz").arg(folder).arg(i);
    SetRecent(paths);
    for (int i = 0; i < 10; ++i) {
        const QPoint p = AnchorPoint(QStringLiteral("FileList#%1").arg(i));
        QVERIFY2(p.x() >= 0, qPrintable(QString::number(i)));
        if (i > 0)
            QVERIFY(p.y() > AnchorPoint(QStringLiteral("FileList#%1").arg(i - 1)).y());
        QVERIFY(MruBlock(m_page).contains(
            QStringLiteral("title=\"打开 %1\">batch%2.kbz</a>").arg(paths.at(i)).arg(i)));
    }
    QCOMPARE(AnchorPoint(QStringLiteral("FileList#10")).x(), -1);

    // A profile edited by hand with a gap: the block stops at the gap.
    delete m_frame;
    m_frame = nullptr;
    {
        auto profile = OpenProfile();
        profile->remove(QStringLiteral("Recent Batch Files"));
        profile->setValue(QStringLiteral("Recent Batch Files/file1"), paths.at(0));
        profile->setValue(QStringLiteral("Recent Batch Files/file3"), paths.at(2));
    }
    MakeFrame();
    QVERIFY(AnchorPoint(QStringLiteral("FileList#0")).x() >= 0);
    QVERIFY(!MruBlock(m_page).contains(QLatin1String("FileList#1")));
    QVERIFY(!MruBlock(m_page).contains(QLatin1String("FileList#2")));
}

void TestHome::rowsRunAndRemove()
{
    MakeFrame();
    const QStringList paths = {m_dir->filePath("one.kbz"), m_dir->filePath("two.kbz"),
                               m_dir->filePath("three.kbz")};
    SetRecent(paths);
    QStringList ran;
    m_frame->SetBatchFileRunner([&ran](const QString &path) {
        ran << path;
        return true;
    });
    QVERIFY(Click(QStringLiteral("FileList#1")));
    QCOMPARE(ran, QStringList{paths.at(1)});
    // The row's tooltip names the word to open and the full path.
    const QPoint row = AnchorPoint(QStringLiteral("FileList#0"));
    QHelpEvent tip(QEvent::ToolTip, row, m_page->viewport()->mapToGlobal(row));
    QCoreApplication::sendEvent(m_page->viewport(), &tip);
    QCOMPARE(QToolTip::text(), QStringLiteral("打开 ") + paths.at(0));

    // Removing the first row renumbers the rest from 0 and reaches the profile.
    QVERIFY(Click(QStringLiteral("FileListDel#0")));
    QVERIFY(!m_page->toPlainText().contains(QLatin1String("one.kbz")));
    QVERIFY(MruBlock(m_page).contains(
        QStringLiteral("<a href=\"FileList#0\" title=\"打开 %1\">").arg(paths.at(1))));
    QVERIFY(MruBlock(m_page).contains(
        QStringLiteral("<a href=\"FileList#1\" title=\"打开 %1\">").arg(paths.at(2))));
    QVERIFY(!MruBlock(m_page).contains(QLatin1String("FileList#2")));
    auto profile = OpenProfile();
    profile->beginGroup(QStringLiteral("Recent Batch Files"));
    QCOMPARE(profile->childKeys(), QStringList({"file1", "file2"}));
    QCOMPARE(profile->value("file1").toString(), paths.at(1));
    QCOMPARE(profile->value("file2").toString(), paths.at(2));
    profile->endGroup();
    // The row that now holds the second entry runs that file.
    QVERIFY(Click(QStringLiteral("FileList#1")));
    QCOMPARE(ran.last(), paths.at(2));
}

void TestHome::missingRecentFileReportsTheLoadFailure()
{
    if (!m_farm->Valid())
        QSKIP("qelsim is not available (QELSIM)");
    QVERIFY(!m_farm->Start(QStringLiteral("gone"), {QStringLiteral("--profile"), QStringLiteral("info")})
                 .isEmpty());
    MakeFrame();
    QVERIFY(Click(QStringLiteral("#idConnect")));
    QVERIFY(m_frame->Terminal().IsConnected());
    const QString gone = m_dir->filePath("gone.kbz");
    const QString kept = m_dir->filePath("kept.kbz");
    SetRecent({kept, gone});
    const QString before = m_page->PageHtml();
    CMyView *active = m_frame->GetActiveView();
    const QString status = m_frame->BarStatus()->GetPaneText(0);

    // The frame's own batch runner reports the rejected file in a message
    // box, answered here.
    QStringList boxes;
    QTimer answer;
    connect(&answer, &QTimer::timeout, [&boxes] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            boxes << box->text();
            box->accept();
        }
    });
    answer.start(20);
    QVERIFY(Click(QStringLiteral("FileList#1")));
    answer.stop();
    QCOMPARE(boxes, QStringList{QStringLiteral("这不是有效的批处理文件")});
    QString first;
    QString second;
    QVERIFY(m_frame->RecentBatchFiles().GetEntry(0, &first));
    QVERIFY(m_frame->RecentBatchFiles().GetEntry(1, &second));
    QCOMPARE(QStringList({first, second}), QStringList({kept, gone}));
    QCOMPARE(m_page->PageHtml(), before);
    QCOMPARE(m_frame->GetActiveView(), active);
    QCOMPARE(m_frame->BarStatus()->GetPaneText(0), status);
    QVERIFY(m_frame->Terminal().IsConnected());
}

void TestHome::hoverColours()
{
    MakeFrame();
    SetRecent({m_dir->filePath("one.kbz")});
    const QString white = m_page->palette().color(QPalette::Base).name().mid(1);
    // The button images are drawn with a border of the window colour, which
    // turns #0099FF under the pointer.
    auto borderOf = [this](const QString &src) {
        const QVariant v = m_page->document()->resource(QTextDocument::ImageResource, QUrl(src));
        const QImage img = v.value<QImage>();
        return img.size() == QSize(100, 100) ? QColor(img.pixel(0, 50)).name().mid(1) : QString();
    };
    QCOMPARE(borderOf(QStringLiteral("connect.png?border=") + white), white);
    QVERIFY(m_page->PageHtml().contains(QStringLiteral("src=\"connect.png?border=%1\"").arg(white)));

    QTest::mouseMove(m_page->viewport(), AnchorPoint(QStringLiteral("#idConnect")) + QPoint(20, 0));
    QTRY_COMPARE(m_page->HoverAnchor(), QStringLiteral("#idConnect"));
    QVERIFY(m_page->PageHtml().contains(QLatin1String("src=\"connect.png?border=0099ff\"")));
    QVERIFY(m_page->PageHtml().contains(QStringLiteral("src=\"font.png?border=%1\"").arg(white)));
    QCOMPARE(borderOf(QStringLiteral("connect.png?border=0099ff")), QStringLiteral("0099ff"));

    QTest::mouseMove(m_page->viewport(), AnchorPoint(QStringLiteral("FileList#0")));
    QTRY_COMPARE(m_page->HoverAnchor(), QStringLiteral("FileList#0"));
    QVERIFY(MruBlock(m_page).contains(QLatin1String("<TD class=\"FileList\" id=\"0\" style=\"border-width: "
                                                    "2px; border-style: solid; border-color: #0099FF\"")));
    QVERIFY(m_page->PageHtml().contains(QStringLiteral("src=\"connect.png?border=%1\"").arg(white)));

    QTest::mouseMove(m_page->viewport(), AnchorPoint(QStringLiteral("FileListDel#0")));
    QTRY_COMPARE(m_page->HoverAnchor(), QStringLiteral("FileListDel#0"));
    QVERIFY(MruBlock(m_page).contains(QLatin1String("<a href=\"FileListDel#0\" style=\"color: blue\">")));
    // Leaving the page leaves the element too.
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(m_page->viewport(), &leave);
    QTRY_COMPARE(m_page->HoverAnchor(), QString());
    QVERIFY(MruBlock(m_page).contains(QLatin1String("<a href=\"FileListDel#0\">")));

    // No context menu; browser keys leave the page as it is.
    const QString shown = m_page->PageHtml();
    QTest::mouseClick(m_page->viewport(), Qt::RightButton, {}, QPoint(5, 5));
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5),
                           m_page->viewport()->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(m_page->viewport(), &menu);
    QVERIFY(!QApplication::activePopupWidget());
    QTest::keyClick(m_page, Qt::Key_F5);
    QTest::keyClick(m_page, Qt::Key_Backspace);
    Spin();
    QCOMPARE(m_page->PageHtml(), shown);
}

void TestHome::pagesThatFailToLoad()
{
    MakeFrame();
    SetRecent({m_dir->filePath("one.kbz")});
    // A missing page: a plain view, and the commands are still in the menus.
    CMyHomeView missing(*m_frame, nullptr, QUrl(QStringLiteral("qrc:/home/missing.htm")));
    QVERIFY(!missing.GetPage()->IsPageLoaded());
    QVERIFY(missing.GetPage()->toPlainText().trimmed().isEmpty());
    missing.GetPage()->RefreshMruTable();
    for (int id : {32850, 32870, 32832, 34100})
        QVERIFY(m_frame->Action(id));

    // A page with broken images and style sheet and no recent block.
    const QString dir = m_dir->path();
    QFile page(dir + QStringLiteral("/index.htm"));
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.write("<html><head><link rel=\"stylesheet\" href=\"style.css\"></head><body>"
               "<a href=\"#idFont\"><img id=\"idFont\" class=\"CmdButtons\" "
               "src=\"font.png\"></a>字库</body></html>");
    page.close();
    QFile broken(dir + QStringLiteral("/font.png"));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();
    QFile css(dir + QStringLiteral("/style.css"));
    QVERIFY(css.open(QIODevice::WriteOnly));
    css.write("\xff\xfe{{{ body { color: window");
    css.close();
    CMyHomeView odd(*m_frame, nullptr, QUrl::fromLocalFile(dir + QStringLiteral("/index.htm")));
    odd.resize(400, 300);
    odd.show();
    Spin();
    QVERIFY(odd.GetPage()->IsPageLoaded());
    QVERIFY(odd.GetPage()->toPlainText().contains(QStringLiteral("字库")));
    QVERIFY(!odd.GetPage()->PageHtml().contains(QLatin1String("FileList")));
}

void TestHome::doubleClickActsOnce()
{
    MakeFrame();
    const QStringList paths = {m_dir->filePath("a.kbz"), m_dir->filePath("b.kbz"), m_dir->filePath("c.kbz"),
                               m_dir->filePath("d.kbz")};
    SetRecent(paths);
    QStringList ran;
    m_frame->SetBatchFileRunner([&ran](const QString &path) {
        ran << path;
        return true;
    });

    // A double-click on "移除" of the first row removes that file only, in
    // the list and in the profile.
    DoubleClick(AnchorPoint(QStringLiteral("FileListDel#0")));
    QCOMPARE(Recent(), paths.mid(1));
    {
        auto profile = OpenProfile();
        profile->beginGroup(QStringLiteral("Recent Batch Files"));
        QCOMPARE(profile->childKeys(), QStringList({"file1", "file2", "file3"}));
        QCOMPARE(profile->value("file1").toString(), paths.at(1));
    }
    // On a row: the batch runs once.
    DoubleClick(AnchorPoint(QStringLiteral("FileList#1")));
    QCOMPARE(ran, QStringList{paths.at(2)});
    // Two single clicks are two removals.
    QVERIFY(Click(QStringLiteral("FileListDel#0")));
    QVERIFY(Click(QStringLiteral("FileListDel#0")));
    QCOMPARE(Recent(), paths.mid(3));
}

void TestHome::wholeCellIsTheTarget()
{
    MakeFrame();
    const QStringList paths = {m_dir->filePath("x.kbz"), m_dir->filePath("y.kbz")};
    SetRecent(paths);
    QStringList ran;
    m_frame->SetBatchFileRunner([&ran](const QString &path) {
        ran << path;
        return true;
    });
    // A point of the second row's cell right of its name, off the text.
    const QPoint name = AnchorPoint(QStringLiteral("FileList#1"));
    const QPoint del = AnchorPoint(QStringLiteral("FileListDel#1"));
    QVERIFY(name.x() >= 0 && del.x() >= 0);
    const int nameEnd = AnchorSpan(QStringLiteral("FileList#1"), name).second;
    const int delStart = AnchorSpan(QStringLiteral("FileListDel#1"), del).first;
    QVERIFY2(delStart - nameEnd > 30, qPrintable(QStringLiteral("%1 %2").arg(nameEnd).arg(delStart)));
    const QPoint blank(nameEnd + 12, name.y());
    QVERIFY(m_page->anchorAt(blank).isEmpty());

    // The pointer there: hand cursor and the cell's hover frame.
    QTest::mouseMove(m_page->viewport(), blank);
    QTRY_COMPARE(m_page->HoverAnchor(), QStringLiteral("FileList#1"));
    QCOMPARE(m_page->viewport()->cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(MruBlock(m_page).contains(QLatin1String("<TD class=\"FileList\" id=\"1\" style=\"border-width: "
                                                    "2px; border-style: solid; border-color: #0099FF\"")));
    // A click there runs the row's file.
    QTest::mouseClick(m_page->viewport(), Qt::LeftButton, {}, blank);
    Spin();
    QCOMPARE(ran, QStringList{paths.at(1)});
    // Between the rows' texts, still in the first row's cell, below its name.
    const QPoint under(name.x(), (name.y() + AnchorPoint(QStringLiteral("FileList#0")).y()) / 2);
    QTest::mouseClick(m_page->viewport(), Qt::LeftButton, {}, QPoint(nameEnd + 12, under.y()));
    Spin();
    QCOMPARE(ran.size(), 2);
    // Far off the table (the footer): no hand, nothing runs.
    const QPoint off(5, m_page->viewport()->height() - 5);
    QTest::mouseMove(m_page->viewport(), off);
    QTRY_COMPARE(m_page->HoverAnchor(), QString());
    QCOMPARE(m_page->viewport()->cursor().shape(), Qt::ArrowCursor);
    QTest::mouseClick(m_page->viewport(), Qt::LeftButton, {}, off);
    Spin();
    QCOMPARE(ran.size(), 2);
}

void TestHome::columnWidths()
{
    MakeFrame();
    // The button images stand at the left of their cells: the distance from
    // one column's image to the next is that column's width. The page gives
    // the recent list 20 % and each button column 30 % of a full-width
    // table; as in an HTML engine the rest is spread in proportion: 25 %,
    // 37.5 %, 37.5 %, and the header row reaches the table's right edge.
    const int connect = AnchorSpan(QStringLiteral("#idConnect"), AnchorPoint(QStringLiteral("#idConnect"))).first;
    const int picture = AnchorSpan(QStringLiteral("#idPicture"), AnchorPoint(QStringLiteral("#idPicture"))).first;
    const QTextFrameFormat root = m_page->document()->rootFrame()->frameFormat();
    const double table = m_page->document()->textWidth() - 2 * root.margin() - 2 * root.padding() - 4;
    QVERIFY(table > 0);
    const double buttonColumn = (picture - connect) / table;
    QVERIFY2(qAbs(buttonColumn - 0.375) < 0.02, qPrintable(QString::number(buttonColumn)));
    const double listColumn = (connect - root.margin() - root.padding()) / table;
    QVERIFY2(listColumn > 0.24 && listColumn < 0.29, qPrintable(QString::number(listColumn)));
    QVERIFY(m_page->PageHtml().contains(QLatin1String("class=\"FileListContainer\" width=\"20%\"")));
    QCOMPARE(m_page->PageHtml().count(QLatin1String("<td width=\"30%\"")), 4);
}

QTEST_MAIN(TestHome)
#include "tst_home.moc"
