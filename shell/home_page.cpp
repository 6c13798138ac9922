#include "shell/home_page.h"

#include "res/commands.h"
#include "res/profile.h"
#include "res/string_ids.h"
#include "res/strings.h"
#include "batch/recent_batch_files.h"
#include "shell/frame_services.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextFrame>
#include <QTextTable>
#include <QUrlQuery>

namespace
{

// Hover colour of the buttons and of the recent batch cells, and of the
// remove link.
const char kHoverBorder[] = "#0099FF";
const char kHoverText[] = "blue";
const int kButtonBorder = 2;
// The banner the style sheet would put at the top left of the background.
const char kBanner[] = "bk.gif";
// The longest current folder the names are shown relative to (characters).
const int kMaxFolderChars = 260;

const char kTableHead[] = "<TABLE border=0 cols=2 width=100%>\n";
const char kTableEnd[] = "</TABLE>";

// Reads a page resource: "qrc:" from the program, otherwise a local file.
bool ReadUrl(const QUrl &url, QByteArray *data)
{
    const QString path =
        url.scheme() == QLatin1String("qrc") ? QLatin1Char(':') + url.path() : url.toLocalFile();
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return false;
    *data = file.readAll();
    return true;
}

// The opening tag of the element with the given id (ids match without
// regard to case) and, when found, the end of that element's content.
bool FindElement(const QString &html, const QString &id, int *contentStart, int *contentEnd)
{
    const QRegularExpression open(
        QStringLiteral("<(\\w+)\\b[^>]*\\bid\\s*=\\s*\"?%1\\b\"?[^>]*>").arg(QRegularExpression::escape(id)),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = open.match(html);
    if (!m.hasMatch())
        return false;
    *contentStart = m.capturedEnd();
    const int close =
        html.indexOf(QStringLiteral("</%1").arg(m.captured(1)), *contentStart, Qt::CaseInsensitive);
    *contentEnd = close < 0 ? *contentStart : close;
    return true;
}

enum class CAttr { Class, Src, Id };

// The value of an attribute of tag. The patterns are made once: the page is
// rendered again whenever the pointer crosses one of its buttons.
QString AttributeOf(const QString &tag, CAttr which)
{
    const auto pattern = [](const char *name) {
        return QRegularExpression(QStringLiteral("\\b%1\\s*=\\s*\"([^\"]*)\"").arg(QLatin1String(name)),
                                  QRegularExpression::CaseInsensitiveOption);
    };
    static const QRegularExpression patterns[] = {pattern("class"), pattern("src"), pattern("id")};
    return patterns[static_cast<int>(which)].match(tag).captured(1);
}

} // namespace

// The page's resource file lives in a static library: register it explicitly
// (outside any namespace, as the macro requires).
static void InitHomeResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(home);
        return true;
    }();
    (void)done;
}

QUrl HomePageUrl()
{
    return QUrl(CurrentStrLang() == StrLang::English ? QStringLiteral("qrc:/home/en/index.htm")
                                                     : QStringLiteral("qrc:/home/index.htm"));
}

CMyHomePage::CMyHomePage(CFrameServices &frame, QWidget *parent, const QUrl &pageUrl)
    : QTextBrowser(parent), m_frame(frame), m_pageUrl(pageUrl)
{
    InitHomeResources();
    setObjectName(QStringLiteral("homePage"));
    setFrameStyle(QFrame::NoFrame);
    // Clicks and hovering only: no selection, no keyboard navigation, no
    // history; the anchors are handled here (mouse events below), never
    // followed.
    setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    setOpenLinks(false);
    setOpenExternalLinks(false);
    viewport()->setMouseTracking(true);
    m_frame.RecentBatchFiles().SetChangedCallback([this] { RefreshMruTable(); });
    LoadPage();
    // The page has loaded: fill its recent batch block, then lay it out once
    // (the block's filling lays it out when there is one).
    RefreshMruTable();
    Render();
}

CMyHomePage::~CMyHomePage()
{
    m_frame.RecentBatchFiles().SetChangedCallback(nullptr);
}

void CMyHomePage::LoadPage()
{
    QByteArray data;
    if (ReadUrl(m_pageUrl, &data))
        m_source = QString::fromUtf8(data);
    // Without the page the view stays plain; the commands stay in the menus.
    QByteArray banner;
    if (!m_source.isEmpty() && ReadUrl(m_pageUrl.resolved(QUrl(QLatin1String(kBanner))), &banner))
        m_banner.loadFromData(banner);
}

int CMyHomePage::ElementIdToInt(const QString &id)
{
    int i = 0;
    while (i < id.size() && (id.at(i) == QLatin1Char(' ') || id.at(i) == QLatin1Char('\t')))
        ++i;
    qint64 value = 0;
    for (; i < id.size() && id.at(i) >= QLatin1Char('0') && id.at(i) <= QLatin1Char('9'); ++i)
        value = qMin<qint64>(value * 10 + (id.at(i).unicode() - '0'), INT_MAX);
    return static_cast<int>(value);
}

// ---------------------------------------------------------------- recent block

void CMyHomePage::RefreshMruTable()
{
    // The names are shown relative to the current folder; when it cannot be
    // read the block keeps what it shows.
    QString curDir = QDir::currentPath();
    if (curDir.isEmpty() || curDir.size() > kMaxFolderChars)
        return;
    if (!curDir.endsWith(QLatin1Char('/')))
        curDir += QLatin1Char('/');
    int start = 0;
    int end = 0;
    if (!FindElement(m_source, QStringLiteral("idMRUList"), &start, &end))
        return;
    const CMyRecentBatchFiles &list = m_frame.RecentBatchFiles();
    QList<Row> rows;
    for (int i = 0; i < list.GetSize(); ++i) {
        Row row;
        // The list stops at the first empty place.
        if (!list.GetDisplayName(&row.name, i, curDir, static_cast<int>(curDir.size()), true))
            break;
        list.GetEntry(i, &row.path);
        rows.append(row);
    }
    m_rows = rows;
    Render();
}

QString CMyHomePage::MruTableMarkup() const
{
    // One row per entry; both cells carry the entry's index as their id and
    // hold the anchor that reports the click.
    const QString open = LoadStr(IDS_HOME_OPEN).toHtmlEscaped();
    const QString remove = LoadStr(IDS_HOME_REMOVE).toHtmlEscaped();
    QString html = QLatin1String(kTableHead);
    for (int i = 0; i < m_rows.size(); ++i) {
        const QString id = QString::number(i);
        const QString title = open + QLatin1Char(' ') + m_rows.at(i).path.toHtmlEscaped();
        const bool overRow = m_hover == QLatin1String("FileList#") + id;
        const bool overDel = m_hover == QLatin1String("FileListDel#") + id;
        html += QStringLiteral(
                    "<TR><TD class=\"FileList\" id=\"%1\"%2 title=\"%3\">"
                    "<a href=\"FileList#%1\" title=\"%3\">%4</a></TD>"
                    "<TD class=\"FileListDel\" id=\"%1\"><a href=\"FileListDel#%1\"%5>%6</a></TD></TR>")
                    .arg(id,
                         overRow ? QStringLiteral(
                                       " style=\"border-width: %1px; border-style: solid; border-color: %2\"")
                                       .arg(kButtonBorder)
                                       .arg(QLatin1String(kHoverBorder))
                                 : QString(),
                         title, m_rows.at(i).name.toHtmlEscaped(),
                         overDel ? QStringLiteral(" style=\"color: %1\"").arg(QLatin1String(kHoverText))
                                 : QString(),
                         remove);
    }
    return html + QLatin1String(kTableEnd);
}

// ---------------------------------------------------------------- rendering

QString CMyHomePage::ApplyHover(QString html) const
{
    // The button images get their border from the page host (the engine has
    // none): the image source names the border colour.
    const QString window = palette().color(QPalette::Base).name().mid(1);
    const QString hover = QString::fromLatin1(kHoverBorder).mid(1).toLower();
    static const QRegularExpression img(QStringLiteral("<img\\b[^>]*>"),
                                        QRegularExpression::CaseInsensitiveOption);
    QString out;
    int last = 0;
    for (auto it = img.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QString tag = m.captured();
        if (AttributeOf(tag, CAttr::Class) == QLatin1String("CmdButtons")) {
            const QString src = AttributeOf(tag, CAttr::Src);
            const bool over = m_hover == QLatin1Char('#') + AttributeOf(tag, CAttr::Id);
            tag.replace(QStringLiteral("\"%1\"").arg(src),
                        QStringLiteral("\"%1?border=%2\"").arg(src, over ? hover : window));
        }
        out += html.mid(last, m.capturedStart() - last) + tag;
        last = m.capturedEnd();
    }
    return out + html.mid(last);
}

void CMyHomePage::Render()
{
    QString html = m_source;
    int start = 0;
    int end = 0;
    if (FindElement(html, QStringLiteral("idMRUList"), &start, &end))
        html.replace(start, end - start, MruTableMarkup());
    html = ApplyHover(html);
    if (html == m_html && !document()->isEmpty())
        return;
    m_html = html;
    const int x = horizontalScrollBar()->value();
    const int y = verticalScrollBar()->value();
    setHtml(html);
    // The page colour fills the view under the banner; the document itself
    // is drawn without a background so the banner shows through.
    QTextFrameFormat root = document()->rootFrame()->frameFormat();
    if (root.hasProperty(QTextFormat::BackgroundBrush)) {
        QPalette pal = viewport()->palette();
        pal.setBrush(QPalette::Base, root.background());
        viewport()->setPalette(pal);
        root.clearBackground();
        document()->rootFrame()->setFrameFormat(root);
    }
    SpreadPercentColumns(document()->rootFrame());
    horizontalScrollBar()->setValue(x);
    verticalScrollBar()->setValue(y);
}

void CMyHomePage::SpreadPercentColumns(QTextFrame *frame)
{
    // A full-width table whose columns are all given in percent but add up
    // to less spreads the rest over them in proportion, as HTML engines do
    // (20 % + 30 % + 30 % become 25 %, 37.5 %, 37.5 %); this engine would
    // leave it empty.
    if (auto *table = qobject_cast<QTextTable *>(frame)) {
        QTextTableFormat format = table->format();
        QList<QTextLength> widths = format.columnWidthConstraints();
        qreal sum = 0;
        bool allPercent = !widths.isEmpty();
        for (const QTextLength &w : widths) {
            allPercent = allPercent && w.type() == QTextLength::PercentageLength;
            sum += w.rawValue();
        }
        if (allPercent && sum > 0 && sum < 100) {
            for (QTextLength &w : widths)
                w = QTextLength(QTextLength::PercentageLength, w.rawValue() * 100 / sum);
            format.setColumnWidthConstraints(widths);
            table->setFormat(format);
        }
    }
    for (QTextFrame *child : frame->childFrames())
        SpreadPercentColumns(child);
}

QVariant CMyHomePage::loadResource(int type, const QUrl &name)
{
    QUrl url = m_pageUrl.resolved(name);
    const QString border = QUrlQuery(url).queryItemValue(QStringLiteral("border"));
    url.setQuery(QString());
    QByteArray data;
    if (!ReadUrl(url, &data))
        return QVariant();
    if (type == QTextDocument::StyleSheetResource) {
        // CSS2 system colours, which the engine does not know.
        QString css = QString::fromUtf8(data);
        static const QRegularExpression windowText(QStringLiteral("\\bwindowtext\\b"),
                                                   QRegularExpression::CaseInsensitiveOption);
        static const QRegularExpression window(QStringLiteral("\\bwindow\\b"),
                                               QRegularExpression::CaseInsensitiveOption);
        css.replace(windowText, palette().color(QPalette::Text).name());
        css.replace(window, palette().color(QPalette::Base).name());
        return css;
    }
    if (type == QTextDocument::ImageResource && !border.isEmpty()) {
        QImage image;
        if (!image.loadFromData(data))
            return QVariant();
        QImage framed(image.width() + 2 * kButtonBorder, image.height() + 2 * kButtonBorder,
                      QImage::Format_ARGB32_Premultiplied);
        framed.fill(QColor(QLatin1Char('#') + border));
        // Transparent parts of the image show the page, not the border.
        QPainter p(&framed);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(kButtonBorder, kButtonBorder, image.width(), image.height(), Qt::transparent);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p.drawImage(kButtonBorder, kButtonBorder, image);
        p.end();
        return framed;
    }
    return data;
}

void CMyHomePage::paintEvent(QPaintEvent *event)
{
    if (!m_banner.isNull()) {
        QPainter p(viewport());
        p.drawImage(QPoint(-horizontalScrollBar()->value(), -verticalScrollBar()->value()), m_banner);
    }
    QTextBrowser::paintEvent(event);
}

// ---------------------------------------------------------------- input

void CMyHomePage::contextMenuEvent(QContextMenuEvent *event)
{
    // The page has no context menu.
    event->accept();
}

void CMyHomePage::keyPressEvent(QKeyEvent *event)
{
    // Browser keys (reload, find, copy, history) do nothing in the page.
    event->accept();
}

bool CMyHomePage::event(QEvent *event)
{
    // The frame's shortcuts stay in force while the page has the focus.
    if (event->type() == QEvent::ShortcutOverride) {
        event->ignore();
        return true;
    }
    return QTextBrowser::event(event);
}

bool CMyHomePage::viewportEvent(QEvent *event)
{
    // The pointer leaving the page leaves every element.
    if (event->type() == QEvent::Leave)
        OnHighlighted(QUrl());
    return QTextBrowser::viewportEvent(event);
}

QString CMyHomePage::CellTargetAt(const QPoint &viewportPos) const
{
    // The cell of the recent batch table under the point, by the anchor of
    // its content: the whole cell answers, not only its text.
    const QPointF docPos = viewportPos + QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
    QAbstractTextDocumentLayout *layout = document()->documentLayout();
    const int position = layout->hitTest(docPos, Qt::FuzzyHit);
    if (position < 0)
        return QString();
    QTextCursor cursor(document());
    cursor.setPosition(position);
    QTextTable *table = cursor.currentTable();
    if (!table || !layout->frameBoundingRect(table).contains(docPos))
        return QString();
    const QTextTableCell cell = table->cellAt(cursor);
    if (!cell.isValid())
        return QString();
    for (QTextFrame::iterator it = cell.begin(); !it.atEnd(); ++it) {
        for (QTextBlock::iterator f = it.currentBlock().begin(); !f.atEnd(); ++f) {
            const QString href = f.fragment().charFormat().anchorHref();
            if (href.startsWith(QLatin1String("FileList#")) || href.startsWith(QLatin1String("FileListDel#")))
                return href;
        }
    }
    return QString();
}

QString CMyHomePage::TargetAt(const QPoint &viewportPos) const
{
    const QString anchor = anchorAt(viewportPos);
    return anchor.isEmpty() ? CellTargetAt(viewportPos) : anchor;
}

void CMyHomePage::mouseMoveEvent(QMouseEvent *event)
{
    QTextBrowser::mouseMoveEvent(event);
    const QString target = TargetAt(event->position().toPoint());
    viewport()->setCursor(target.isEmpty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
    // The hover colours re-render the page: not inside the browser's own
    // mouse handling.
    if (target != m_hover)
        QMetaObject::invokeMethod(
            this, [this, target] { OnHighlighted(target.isEmpty() ? QUrl() : QUrl(target)); }, Qt::QueuedConnection);
}

void CMyHomePage::mousePressEvent(QMouseEvent *event)
{
    m_doubleClicked = false;
    m_pressed = event->button() == Qt::LeftButton ? TargetAt(event->position().toPoint()) : QString();
    QTextBrowser::mousePressEvent(event);
}

void CMyHomePage::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double-click: its click was the first one.
    m_doubleClicked = true;
    m_pressed.clear();
    event->accept();
}

void CMyHomePage::mouseReleaseEvent(QMouseEvent *event)
{
    QTextBrowser::mouseReleaseEvent(event);
    const QString pressed = m_pressed;
    m_pressed.clear();
    if (event->button() != Qt::LeftButton || m_doubleClicked) {
        m_doubleClicked = false;
        return;
    }
    if (pressed.isEmpty() || TargetAt(event->position().toPoint()) != pressed)
        return;
    // The row's file is taken now, as the user sees it; the operation runs
    // from the event loop (it may replace the page, which must not happen
    // inside the browser's own mouse handling).
    const QUrl url(pressed);
    const QString path = RowPath(url.path(), url.fragment());
    QMetaObject::invokeMethod(
        this, [this, url, path] { RunAnchor(url.path(), url.fragment(), path); }, Qt::QueuedConnection);
}

void CMyHomePage::OnHighlighted(const QUrl &url)
{
    const QString anchor = url.isEmpty() ? QString() : url.toString();
    if (anchor == m_hover)
        return;
    m_hover = anchor;
    Render();
}

// ---------------------------------------------------------------- event map

QString CMyHomePage::RowPath(const QString &cls, const QString &id) const
{
    if (cls != QLatin1String("FileList") && cls != QLatin1String("FileListDel"))
        return QString();
    const int row = ElementIdToInt(id);
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).path : QString();
}

bool CMyHomePage::OnAnchor(const QUrl &anchor)
{
    return RunAnchor(anchor.path(), anchor.fragment(), RowPath(anchor.path(), anchor.fragment()));
}

bool CMyHomePage::RunAnchor(const QString &cls, const QString &id, const QString &path)
{
    // The event map, in its order: a button by its element id, a recent
    // batch row by the class of the clicked cell (its id is the row).
    enum Op { OP_CONNECT, OP_BATCH, OP_PICTURE, OP_FONT, OP_RUN_ROW, OP_REMOVE_ROW };
    static const struct {
        bool byClass;
        const char *key;
        Op op;
    } kMap[] = {
        {false, "idConnect", OP_CONNECT}, {false, "idBatch", OP_BATCH},
        {false, "idPicture", OP_PICTURE}, {false, "idFont", OP_FONT},
        {true, "FileList", OP_RUN_ROW},   {true, "FileListDel", OP_REMOVE_ROW},
    };
    // The place of a row's file in the list now; -1 when it has gone.
    auto placeOf = [this](const QString &file) {
        const CMyRecentBatchFiles &list = m_frame.RecentBatchFiles();
        QString entry;
        for (int i = 0; !file.isEmpty() && i < list.GetSize(); ++i)
            if (list.GetEntry(i, &entry) && CMyRecentBatchFiles::SamePath(entry, file))
                return i;
        return -1;
    };
    for (const auto &entry : kMap) {
        if (entry.byClass ? cls != QLatin1String(entry.key)
                          : (!cls.isEmpty() || id != QLatin1String(entry.key)))
            continue;
        try {
            switch (entry.op) {
            case OP_CONNECT:
                // Connects when not connected, otherwise disconnects.
                m_frame.OnCommand(ID_DEV_CONNECT);
                break;
            case OP_BATCH:
                // Asks for the file first.
                m_frame.OnCommand(ID_BATCH_RUN);
                break;
            case OP_PICTURE:
                m_frame.OnCommand(ID_FILE_OPEN_PICTURE);
                break;
            case OP_FONT:
                m_frame.OnCommand(ID_FILE_OPEN_FONT);
                break;
            case OP_RUN_ROW:
                // A file no longer in the list does nothing.
                if (placeOf(path) >= 0 && m_runBatchFile)
                    m_runBatchFile(path);
                break;
            case OP_REMOVE_ROW:
                // The row's file, wherever it stands now. The removal
                // rebuilds the block; the profile follows at once.
                if (const int place = placeOf(path); place >= 0)
                    m_frame.RecentBatchFiles().Remove(place);
                break;
            }
        } catch (...) {
            QMessageBox::critical(this, AppTitle(), LoadStr(IDS_BATCH_UNKNOWN_ERROR));
        }
        return true;
    }
    return false;
}
