// The home page: the page of res/home/ in a text browser. Clicks on its
// elements arrive as anchors "class#id" (a button: "#idConnect"; a recent
// batch row: "FileList#3") and run the operations of the event map; a cell
// of the recent batch table is a target as a whole, not only its text. The
// element under the pointer takes its hover colours by a re-render.
#pragma once

#include <QStringList>
#include <QTextBrowser>
#include <QUrl>
#include <functional>

class CFrameServices;
class QTextFrame;

// The program's page in the interface language: qrc:/home/index.htm, or
// qrc:/home/en/index.htm in English.
QUrl HomePageUrl();

class CMyHomePage : public QTextBrowser
{
    Q_OBJECT
  public:
    // pageUrl: the page; what it references is loaded relative to it.
    explicit CMyHomePage(CFrameServices &frame, QWidget *parent = nullptr,
                         const QUrl &pageUrl = HomePageUrl());
    ~CMyHomePage() override;

    // Runs a recent batch file (a click on its row); without it the row
    // does nothing.
    void SetBatchFileRunner(std::function<bool(const QString &)> runner) { m_runBatchFile = std::move(runner); }

    // Rebuilds the recent batch block from the frame's recent list.
    void RefreshMruTable();
    // Runs the operation of a page anchor; false when no map entry matches.
    // A recent batch row runs or removes the file shown in that row now.
    bool OnAnchor(const QUrl &anchor);
    // The target at a point of the viewport: the anchor there, or the recent
    // batch cell the point lies in; empty when none.
    QString TargetAt(const QPoint &viewportPos) const;
    // The anchor under the pointer (empty when none) and the page as shown.
    QString HoverAnchor() const { return m_hover; }
    QString PageHtml() const { return m_html; }
    bool IsPageLoaded() const { return !m_source.isEmpty(); }

    // An element id read as a number: leading blanks skipped, digits up to
    // the first other character, 0 when no digit comes first.
    static int ElementIdToInt(const QString &id);

  protected:
    QVariant loadResource(int type, const QUrl &name) override;
    void paintEvent(QPaintEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

  private:
    struct Row {
        QString path;
        QString name;
    };
    // Reads the page and its banner; Render shows it.
    void LoadPage();
    void Render();
    QString MruTableMarkup() const;
    QString ApplyHover(QString html) const;
    void OnHighlighted(const QUrl &url);
    // Runs a map entry; path: the recent batch file of a row, as it was
    // shown when the row was clicked.
    bool RunAnchor(const QString &cls, const QString &id, const QString &path);
    QString CellTargetAt(const QPoint &viewportPos) const;
    static void SpreadPercentColumns(QTextFrame *frame);
    QString RowPath(const QString &cls, const QString &id) const;

    CFrameServices &m_frame;
    std::function<bool(const QString &)> m_runBatchFile;
    QUrl m_pageUrl;
    QString m_source;  // the page as loaded, its recent block empty
    QString m_html;    // the page as last shown
    QList<Row> m_rows; // the recent block as last rebuilt
    QString m_hover;
    QString m_pressed;             // the target the left button went down on
    bool m_doubleClicked = false;  // the release ends a double-click
    QImage m_banner;
};
