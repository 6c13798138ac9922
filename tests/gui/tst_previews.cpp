// The picture and font previews and the slot list, on their own: what is
// read again and what is not, failed loads, the send progress on both views,
// the glyph grid geometry and its pixels, and the slot list's items and
// placement.
#include <QFile>
#include <QListView>
#include <QPainter>
#include <QtTest>

#include "imaging/image_fit.h"
#include "imaging/ui/font_view.h"
#include "imaging/ui/picture_list.h"
#include "imaging/ui/picture_view.h"
#include "link/terminal.h"
#include "res/commands.h"
#include "tst_frame_support.h"

class TestPreviews : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void pictureReadAgainOnlyWhenAsked();
    void refitStartsFromTheDecodedPicture();
    void failedLoadLeavesViewEmpty();
    void pictureProgressRows();
    void slotListItemsAndChoice();
    void slotListPlacement();
    void displaySendWithoutSlots();
    void fontGridGeometry();
    void fontPixelsAndHighlight();
    void fontOpenErrors();

private:
    QString Write(const QString &name, const QImage &image)
    {
        const QString path = m_dir.filePath(name);
        image.save(path, "PNG");
        return path;
    }
    QString WriteBytes(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }
    static QImage Solid(int w, int h, QRgb color)
    {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(color);
        return image;
    }
    // The view's visible part as the screen gets it.
    static QImage Shot(CMyView &view)
    {
        QImage out(view.viewport()->size(), QImage::Format_RGB32);
        out.fill(view.palette().color(QPalette::Base));
        QPainter p(&out);
        view.PrintClient(p);
        return out;
    }

    CTestEnv *m_env = nullptr;
    QTemporaryDir m_dir;
    CMyTerminal *m_terminal = nullptr;
    CStatusRecorder m_status;
    CScriptedLink m_link;
};

void TestPreviews::init()
{
    m_env = new CTestEnv;
    m_terminal = new CMyTerminal;
    m_terminal->SetStatusSink(&m_status);
    m_status.messages.clear();
    m_link.written.clear();
    m_link.replies.clear();
    m_link.open = false;
    m_terminal->SetTransport(&m_link);
}

void TestPreviews::cleanup()
{
    delete m_terminal;
    delete m_env;
}

void TestPreviews::pictureReadAgainOnlyWhenAsked()
{
    CMyPictureView view(*m_terminal);
    view.resize(400, 300);
    view.show();
    const QString path = Write("a.png", Solid(40, 20, qRgb(255, 0, 0)));
    QVERIFY(view.LoadPicture(path, 0, 0));
    // Not connected: its own size, in the 16-bit format of no terminal.
    QCOMPARE(view.Bitmap().size(), QSize(40, 20));
    QCOMPARE(view.Bitmap().format(), QImage::Format_RGB16);
    QCOMPARE(view.GetTotalSize(), QSize(40, 20));

    // The file changes behind the view: the same file at the same size is
    // not read again; toggling keep aspect and a new size are.
    Write("a.png", Solid(40, 20, qRgb(0, 0, 255)));
    QVERIFY(view.LoadPicture(path, 40, 20));
    QCOMPARE(QColor(view.Bitmap().pixel(5, 5)), QColor(255, 0, 0));
    QVERIFY(view.OnCmdMsg(32872));
    QVERIFY(!view.KeepAspect());
    QCOMPARE(QColor(view.Bitmap().pixel(5, 5)), QColor(0, 0, 255));
    Write("a.png", Solid(40, 20, qRgb(0, 255, 0)));
    QVERIFY(view.LoadPicture(path, 80, 60));
    QCOMPARE(view.Bitmap().size(), QSize(80, 60));
    QCOMPARE(QColor(view.Bitmap().pixel(5, 5)), QColor(0, 255, 0));
    QCOMPARE(view.GetTotalSize(), QSize(80, 60));

    // Smaller window than the picture: drawn from the corner, scrollable.
    view.resize(50, 40);
    QCOMPARE(Shot(view).pixel(0, 0), qRgb(0, 255, 0));
    QVERIFY(view.GetMaxScrollPosition().x() > 0);
    QVERIFY(m_status.messages.isEmpty());
}

namespace {

// Bytes the process has read through read calls so far (/proc/self/io).
qint64 BytesRead()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : io.readAll().split('\n'))
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    return -1;
}

} // namespace

void TestPreviews::refitStartsFromTheDecodedPicture()
{
    CMyPictureView view(*m_terminal);
    view.resize(400, 300);
    view.show();
    QImage photo(1600, 960, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
    const QString path = m_dir.filePath(QStringLiteral("photo.jpg"));
    QVERIFY(photo.save(path, "JPEG", 90));
    const qint64 length = QFileInfo(path).size();
    QVERIFY(view.LoadPicture(path, 320, 240));

    // Dithering on and off again: fitted anew from the decoded picture, the
    // file not decoded again, the pixels those of a fresh load.
    const auto fresh = [&](CDither dither) {
        return LoadFittedImage(path, 320, 240, 0x21006, view.BkColor(), view.KeepAspect(), nullptr, dither);
    };
    for (CDither dither : {CDither::Diffusion, CDither::None}) {
        const qint64 before = BytesRead();
        QVERIFY(view.OnCmdMsg(ID_PIC_DITHER));
        QVERIFY(BytesRead() - before < length);
        QCOMPARE(view.Dither(), dither);
        QCOMPARE(view.Bitmap(), fresh(dither));
    }
    // Stretched: another size for the decoder, so decoded again.
    qint64 before = BytesRead();
    QVERIFY(view.OnCmdMsg(ID_PIC_KEEP_ASPECT));
    QVERIFY(BytesRead() - before >= length);
    QCOMPARE(view.Bitmap(), fresh(CDither::None));

    // The file changed behind the view: a refit reads it again.
    QVERIFY(photo.mirrored().save(path, "JPEG", 90));
    before = BytesRead();
    QVERIFY(view.OnCmdMsg(ID_PIC_DITHER));
    QVERIFY(BytesRead() - before >= QFileInfo(path).size());
    QCOMPARE(view.Bitmap(), fresh(CDither::Diffusion));
    QVERIFY(m_status.messages.isEmpty());
}

void TestPreviews::failedLoadLeavesViewEmpty()
{
    CMyPictureView view(*m_terminal);
    view.resize(200, 200);
    view.show();
    m_link.open = true;
    const QString good = Write("good.png", Solid(10, 10, qRgb(255, 255, 255)));
    QVERIFY(view.LoadPicture(good, 0, 0));
    CCmdUI send(32871);
    QVERIFY(view.OnUpdateCmdUI(send) && send.IsEnabled());

    const QString bad = WriteBytes("bad.jpg", QByteArray("not a picture at all"));
    for (const QString &path : {bad, m_dir.filePath("missing.png")}) {
        m_status.messages.clear();
        QVERIFY(!view.LoadPicture(path, 0, 0));
        QVERIFY(!view.HasPicture());
        QVERIFY(view.Path().isEmpty());
        QCOMPARE(view.PictureWidth(), 0);
        QCOMPARE(m_status.messages.size(), 1);
        QCOMPARE(m_status.messages.at(0).first, 3);
        QCOMPARE(m_status.messages.at(0).second, QStringLiteral("打开图象文件错误 ") + path);
        // Nothing of the previous picture is drawn, and nothing can be sent.
        QCOMPARE(Shot(view).pixel(100, 100), view.palette().color(QPalette::Base).rgb());
        CCmdUI ui(32900 + 3);
        QVERIFY(view.OnUpdateCmdUI(ui) && !ui.IsEnabled());
        QVERIFY(!view.SendViewPicture(-1));
    }
    QVERIFY(m_link.written.isEmpty());
}

void TestPreviews::pictureProgressRows()
{
    CMyPictureView view(*m_terminal);
    view.resize(400, 100);
    view.show();
    const QString path = Write("p.png", Solid(320, 40, qRgb(255, 255, 255)));
    QVERIFY(view.LoadPicture(path, 0, 0));
    const QPoint at((view.viewport()->width() - 320) / 2, (view.viewport()->height() - 40) / 2);
    // 6400 bytes of a 16-bit picture 320 wide: 10 rows at full brightness.
    view.ShowSendProgress(6400, 320 * 40 * 2);
    QCOMPARE(view.SentBytes(), 6400);
    QImage shot = Shot(view);
    QCOMPARE(shot.pixel(at + QPoint(0, 9)), qRgb(255, 255, 255));
    QCOMPARE(shot.pixel(at + QPoint(319, 9)), qRgb(255, 255, 255));
    QCOMPARE(shot.pixel(at + QPoint(0, 10)), qRgb(127, 127, 127));
    QCOMPARE(shot.pixel(at + QPoint(319, 39)), qRgb(127, 127, 127));
    // Out of range counts end the progress display, as does the dialog's end.
    view.ShowSendProgress(30000, 25600);
    QCOMPARE(view.SentBytes(), -1);
    view.ShowSendProgress(100, 25600);
    view.EndSendProgress();
    QCOMPARE(view.SentBytes(), -1);
    QCOMPARE(Shot(view).pixel(at + QPoint(0, 39)), qRgb(255, 255, 255));
}

void TestPreviews::slotListItemsAndChoice()
{
    const QList<QPair<int, int>> counts = {{500, 300}, {300, 300}, {3, 3}, {0, 0}, {-5, 0}};
    for (const auto &c : counts)
        QCOMPARE(SlotItemCount(c.first), c.second);

    QList<int> posted;
    auto *list = new CMyPictureList(500, [&posted](int id) { posted << id; }, nullptr);
    QPointer<CMyPictureList> guard(list);
    QCOMPARE(list->Count(), 300);
    QCOMPARE(list->ItemText(0), QStringLiteral("发送并保存到 0 区"));
    QCOMPARE(list->ItemText(299), QStringLiteral("发送并保存到 299 区"));
    list->Popup(QRect(100, 100, 80, 30));
    QVERIFY(list->isVisible());
    // Enter with nothing selected closes without a choice.
    QTest::keyClick(list->List(), Qt::Key_Return);
    QVERIFY(!list->isVisible());
    QTRY_VERIFY(guard.isNull());
    QVERIFY(posted.isEmpty());

    list = new CMyPictureList(5, [&posted](int id) { posted << id; }, nullptr);
    guard = list;
    list->Popup(QRect(100, 100, 80, 30));
    list->List()->setCurrentIndex(list->List()->model()->index(3, 0));
    QTest::keyClick(list->List(), Qt::Key_Enter);
    QTRY_COMPARE(posted, QList<int>{32903});
    QTRY_VERIFY(guard.isNull());

    CMyPictureList empty(0, [](int) {}, nullptr);
    QCOMPARE(empty.Count(), 0);
}

void TestPreviews::slotListPlacement()
{
    const QRect work(0, 0, 1000, 800); // usable: 10..989 x 10..789
    struct Case {
        QRect button;
        QSize size;
        QRect expected;
    };
    const Case cases[] = {
        {QRect(100, 50, 80, 30), QSize(150, 200), QRect(100, 80, 150, 200)},  // below, left-aligned
        {QRect(900, 50, 80, 30), QSize(150, 200), QRect(840, 80, 150, 200)},  // moved left to stay inside
        {QRect(0, 50, 80, 30), QSize(2000, 200), QRect(10, 80, 980, 200)},    // never past the left edge
        {QRect(100, 700, 80, 30), QSize(150, 300), QRect(100, 400, 150, 300)}, // above: fits there
        {QRect(100, 500, 80, 30), QSize(150, 900), QRect(100, 10, 150, 490)},  // more room above, clipped
        {QRect(100, 200, 80, 30), QSize(150, 900), QRect(100, 230, 150, 560)}, // more room below, clipped
    };
    for (const Case &c : cases)
        QCOMPARE(PlaceSlotList(c.button, c.size, work), c.expected);
}

void TestPreviews::displaySendWithoutSlots()
{
    // No slots (MaxPictures 0): the plain send still shows the picture on
    // the 2 x 1 terminal.
    CMyPictureView view(*m_terminal);
    m_terminal->Info().width = 2;
    m_terminal->Info().height = 1;
    QImage two(2, 1, QImage::Format_RGB32);
    two.setPixel(0, 0, qRgb(255, 0, 0));
    two.setPixel(1, 0, qRgb(255, 255, 255));
    QVERIFY(view.LoadPicture(Write("two.png", two), 0, 0));
    m_link.open = true;
    m_terminal->Info().maxPictures = 0;
    m_link.replies = QByteArray("\xFC\xFE", 2);
    CCmdUI ui(32871);
    QVERIFY(view.OnUpdateCmdUI(ui) && ui.IsEnabled());
    QVERIFY(view.OnCmdMsg(32871));
    QCOMPARE(m_link.written, QByteArray("\xFD\x35\x00\x00\xDD\xCC\xBB\xAA\xF8\x00\xFF\xFF", 12));
    QCOMPARE(m_status.messages.last(), qMakePair(2, QStringLiteral("图象发送完毕 ") + view.Path()));
}

void TestPreviews::fontGridGeometry()
{
    CMyFontView view(*m_terminal);
    const QString path = WriteBytes("font_16x16.bin", QByteArray(1000 * 32, '\x55'));
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.resize(300 + 2, 600);
    view.show();
    QCOMPARE(view.viewport()->width(), 300);
    QVERIFY(view.OpenFontLibrary(path, -1, -1));
    QCOMPARE(m_status.messages.at(0).first, 1); // size read from the name
    QCOMPARE(view.GlyphCount(), 1000);
    QCOMPARE(view.Columns(), 13);
    QCOMPARE(view.Rows(), 77);
    QCOMPARE(view.GetTotalSize(), QSize(13 * 22, 77 * 22));

    // The file is not read again for the same path and size.
    WriteBytes("font_16x16.bin", QByteArray(10, '\0'));
    QVERIFY(view.OpenFontLibrary(path, 16, 16));
    QCOMPARE(view.GlyphCount(), 1000);

    // Narrower than one cell: still one column.
    view.resize(12, 600);
    QCOMPARE(view.Columns(), 1);
    // "16列" while the automatic count is 16 keeps the view automatic.
    view.resize(360 + 2, 600);
    QCOMPARE(view.Columns(), 16);
    view.OnCmdMsg(34112);
    QVERIFY(view.IsAutoColumns());
    view.SetColumns(200);
    QCOMPARE(view.Columns(), 128);
    QVERIFY(!view.IsAutoColumns());
    CCmdUI auto34111(34111);
    QVERIFY(view.OnUpdateCmdUI(auto34111) && !auto34111.IsChecked());

    // 48 x 96 re-slices the same bytes: 576 bytes a glyph.
    QVERIFY(view.OnCmdMsg(34134));
    QCOMPARE(view.GlyphWidth(), 48);
    QCOMPARE(view.GlyphCount(), 32000 / 576);
    CCmdUI size(34134);
    QVERIFY(view.OnUpdateCmdUI(size) && size.IsChecked());
}

void TestPreviews::fontPixelsAndHighlight()
{
    CMyFontView view(*m_terminal);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.resize(402, 202);
    view.show();
    // 32 x 32 glyphs (128 bytes): glyph n has its top-left pixel and
    // nothing else set.
    QByteArray bytes(200 * 128, '\0');
    for (int n = 0; n < 200; ++n)
        bytes[n * 128] = '\x80';
    QVERIFY(view.OpenFontLibrary(WriteBytes("f.fnt", bytes), 32, 32));
    QCOMPARE(view.Columns(), (400 + 3) / 38);
    const QRgb base = view.palette().color(QPalette::Base).rgb();
    QImage shot = Shot(view);
    QCOMPARE(shot.pixel(3, 3), view.GlyphColor().rgb());
    QCOMPARE(shot.pixel(4, 3), base);
    QCOMPARE(shot.pixel(3 + 38, 3 + 38), view.GlyphColor().rgb()); // glyph columns + 1
    QCOMPARE(shot.pixel(2, 2), view.FrameColor().rgb());
    QCOMPARE(shot.pixel(35, 35), view.FrameColor().rgb());
    QVERIFY(view.OnCmdMsg(34110));
    QCOMPARE(Shot(view).pixel(2, 2), base);
    view.OnCmdMsg(34110);

    // 1280 bytes sent: glyphs 0-9 in the highlight colour, and the row of
    // glyph 150 is scrolled into view.
    view.ShowSendProgress(1280, bytes.size());
    QCOMPARE(view.HighlightStart(), 0);
    QCOMPARE(view.HighlightEnd(), 10);
    shot = Shot(view);
    QCOMPARE(shot.pixel(3 + 9 * 38, 3), view.HighlightColor().rgb());
    QCOMPARE(shot.pixel(2 + 9 * 38, 2), view.HighlightColor().rgb());
    QCOMPARE(shot.pixel(3, 3 + 38), view.GlyphColor().rgb()); // glyph 10 opens row 1
    view.ShowSendProgress(80 * 128, bytes.size());
    QCOMPARE(view.GetScrollPosition().y(), (80 / view.Columns()) * 38);
    // At the end the highlight goes and the view returns to the top.
    view.ShowSendProgress(bytes.size(), bytes.size());
    QCOMPARE(view.HighlightEnd(), -2);
    QCOMPARE(view.GetScrollPosition(), QPoint(0, 0));
}

void TestPreviews::fontOpenErrors()
{
    CMyFontView view(*m_terminal);
    view.resize(300, 300);
    const QString good = WriteBytes("good_16x16.bin", QByteArray(64, '\xFF'));
    QVERIFY(view.OpenFontLibrary(good, -1, -1));
    QCOMPARE(view.GlyphCount(), 2);
    for (const QString &bad : {m_dir.path(), m_dir.filePath("gone_16x16.bin")}) {
        m_status.messages.clear();
        QVERIFY(!view.OpenFontLibrary(bad, 16, 16));
        QVERIFY(!view.Library().IsLoaded());
        QCOMPARE(view.Rows(), 0);
        QCOMPARE(m_status.messages.size(), 1);
        QCOMPARE(m_status.messages.at(0).first, 3);
        QVERIFY(m_status.messages.at(0).second.startsWith(QStringLiteral("打开字库文件错误 ")));
        CCmdUI frames(34110);
        QVERIFY(view.OnUpdateCmdUI(frames) && !frames.IsEnabled());
    }
    // An empty file loads with no glyphs and cannot be sent.
    QVERIFY(view.OpenFontLibrary(WriteBytes("empty_16x16.bin", QByteArray()), -1, -1));
    QCOMPARE(view.GlyphCount(), 0);
    m_link.open = true;
    m_terminal->Info().hardFont = 0;
    QVERIFY(!view.SendFontLibrary());
    QVERIFY(m_link.written.isEmpty());
}

QTEST_MAIN(TestPreviews)
#include "tst_previews.moc"
