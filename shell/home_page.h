// The home page: the page of res/home/ in a text browser. Clicks on its
// elements arrive as anchors "class#id" (a button: "#idConnect"; a recent
// batch row: "FileList#3") and run the operations of the event map; the
// element under the pointer takes its hover colours by a re-render.
#pragma once

#include <QStringList>
#include <QTextBrowser>
#include <QUrl>
#include <functional>

class CFrameServices;

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
    bool OnAnchor(const QUrl &anchor);
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

  private:
    struct Row {
        QString path;
        QString name;
    };
    void LoadPage();
    void Render();
    QString MruTableMarkup() const;
    QString ApplyHover(QString html) const;
    void OnHighlighted(const QUrl &url);

    CFrameServices &m_frame;
    std::function<bool(const QString &)> m_runBatchFile;
    QUrl m_pageUrl;
    QString m_source;  // the page as loaded, its recent block empty
    QString m_html;    // the page as last shown
    QList<Row> m_rows; // the recent block as last rebuilt
    QString m_hover;
    QImage m_banner;
};
