// Docked panes of the main window. CMyPane is a dock widget with one child
// that always fills it and remembers its docked width and height; CPaneBase
// puts a tab control with a single page in it.
#pragma once

#include <QDockWidget>

class CMyTabCtrl;

class CMyPane : public QDockWidget {
    Q_OBJECT
public:
    static constexpr int kDefaultExtent = 200;

    // side: the dock area it starts in; sideWidth: width when docked left or
    // right; topBottomHeight: height when docked at the top or bottom. The
    // pane is created hidden; the object name is "pane<id>".
    CMyPane(int id, const QString &title, Qt::DockWidgetArea side, int sideWidth = kDefaultExtent,
            int topBottomHeight = kDefaultExtent, QWidget *parent = nullptr);

    int GetId() const { return m_id; }
    Qt::DockWidgetArea GetSide() const { return m_side; }
    void SetSide(Qt::DockWidgetArea side) { m_side = side; }
    int GetSideWidth() const { return m_sideWidth; }
    int GetTopBottomHeight() const { return m_topBottomHeight; }
    bool IsVertical() const { return m_side == Qt::LeftDockWidgetArea || m_side == Qt::RightDockWidgetArea; }

    // The single child window (fills the client area).
    void SetChild(QWidget *child) { setWidget(child); }
    QWidget *GetChild() const { return widget(); }

    QSize sizeHint() const override;

signals:
    // Emitted whenever the pane is shown or hidden (by the user, a command
    // or the pane's own close), so the owner can keep check marks in step.
    void paneVisibleChanged(bool visible);

protected:
    void resizeEvent(QResizeEvent *ev) override;
    void showEvent(QShowEvent *ev) override;
    void hideEvent(QHideEvent *ev) override;

private:
    int m_id;
    Qt::DockWidgetArea m_side;
    int m_sideWidth;
    int m_topBottomHeight;
};

// A pane holding a tab control (object name "tabs", id 0xE900) with one page.
// Closing the page from the tab strip hides the pane and keeps the tab.
class CPaneBase : public CMyPane {
    Q_OBJECT
public:
    CPaneBase(int id, const QString &title, Qt::DockWidgetArea side, int sideWidth, int topBottomHeight,
              QWidget *parent = nullptr);

    CMyTabCtrl *GetTabCtrl() const { return m_tabs; }
    // Adds the page as the single tab and activates it.
    bool SetPage(QWidget *page, const QString &label);

private:
    CMyTabCtrl *m_tabs;
};
