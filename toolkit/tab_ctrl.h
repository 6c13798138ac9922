// A tab strip that owns a set of page widgets and shows one at a time. Before
// a page is changed or closed it asks its owner (signals with a veto flag, or
// the virtual hooks for subclasses).
#pragma once

#include <QPixmap>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <vector>

#include "toolkit/mini_btn_mgr.h"

// Style bits of the tab control.
enum : int {
    TABS_TOP = 0x01,          // strip on top, else at the bottom
    TABS_CLOSE = 0x02,        // close button
    TABS_SCROLL_STEP = 0x04,  // buttons scrolling one step left / right
    TABS_SCROLL_PAGE = 0x08,  // buttons scrolling one page left / right
    TABS_AUTOHIDE = 0x10,     // hide the scroll buttons while everything fits
    TABS_INSET = 0x20,        // inset the page area by 2 pixels
};

// Ids of the tab control's mini buttons.
enum : int {
    TABBTN_CLOSE = MINIBTN_GLYPH_CLOSE,
    TABBTN_LEFT = MINIBTN_GLYPH_LEFT,
    TABBTN_RIGHT = MINIBTN_GLYPH_RIGHT,
    TABBTN_PAGE_LEFT = MINIBTN_GLYPH_PAGE_LEFT,
    TABBTN_PAGE_RIGHT = MINIBTN_GLYPH_PAGE_RIGHT,
};

class CMyTabCtrl : public QWidget {
    Q_OBJECT
public:
    struct CTab {
        QWidget *page = nullptr;
        int image = -1; // index into the image list, -1 = none
        int left = 0;   // edges inside the strip (strip coordinates)
        int right = 0;
        int width = 0;
        QString title;
    };

    // Metrics.
    static constexpr int kBorder = 1;
    static constexpr int kPadLeft = 5;
    static constexpr int kPadRight = 5;
    static constexpr int kPadTop = 2;
    static constexpr int kPadBottom = 2;
    static constexpr int kImageGap = 4;
    static constexpr int kCorner = 3;
    static constexpr int kRepeatMs = 50;

    explicit CMyTabCtrl(int style = TABS_TOP | TABS_CLOSE | TABS_SCROLL_STEP | TABS_AUTOHIDE,
                        QWidget *parent = nullptr);
    ~CMyTabCtrl() override;

    // Inserts a tab in front of all others (index 0) and hides its page; the
    // page becomes a child of the control. Returns the new index (0).
    int AddTab(QWidget *page, const QString &title, int image = -1);
    // Removes the tab (the page widget stays alive, hidden, and is returned
    // to the caller's ownership). The current index keeps pointing at the
    // same page, or becomes -1 when the current page was removed.
    bool RemoveTab(int index);
    // Makes index current after asking the owner; true when it is current.
    bool SelectTab(int index);

    int GetCurSel() const { return m_cur; }
    int GetTabCount() const { return static_cast<int>(m_tabs.size()); }
    const CTab &GetTab(int index) const { return m_tabs.at(static_cast<size_t>(index)); }
    QWidget *GetPage(int index) const;
    QString GetTitle(int index) const;
    int FindPage(const QWidget *page) const;
    int GetStyle() const { return m_style; }

    void SetImageList(const std::vector<QPixmap> &images);

    // Geometry: the strip band, the page area, tab n's rectangle in widget
    // coordinates, and the tab under a point (-1 when none).
    int GetStripHeight() const;
    QRect GetStripRect() const;
    QRect GetPageRect() const;
    QRect GetTabRect(int index) const;
    int HitTest(const QPoint &pos) const;

    // Horizontal scroll offset of the strip, clamped to 0 .. max.
    int GetScrollOffset() const { return m_offset; }
    int GetMaxScrollOffset() const;
    void SetScrollOffset(int offset);
    // One scroll step as done by a scroll button (id TABBTN_*); false when
    // the strip could not move that way.
    bool ScrollBy(int buttonId);
    bool IsRepeating() const { return m_repeat.isActive(); }

    CMyMiniBtnMgr *MiniButtons() { return &m_btns; }
    bool HasFocusFlag() const { return m_focus; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The owner may set *veto to forbid the change / closing.
    void paneChanging(int newIndex, int oldIndex, bool *veto);
    void paneChanged(int newIndex);
    void paneClosing(int index, bool *veto);
    // Mini button events the control does not handle itself.
    void miniBtn(int event, int id);

protected:
    // Hooks for subclasses; the defaults emit the signals above.
    // Return true to forbid.
    virtual bool OnPaneChanging(int newIndex, int oldIndex);
    virtual void OnPaneChanged(int newIndex);
    virtual bool OnPaneClosing(int index);

    void paintEvent(QPaintEvent *ev) override;
    void resizeEvent(QResizeEvent *ev) override;
    void mousePressEvent(QMouseEvent *ev) override;
    void keyPressEvent(QKeyEvent *ev) override;
    void changeEvent(QEvent *ev) override;
    bool event(QEvent *ev) override;

private:
    void OnMiniBtn(int event, int id);
    void OnRepeat();
    void OnFocusChanged();
    void Measure();
    void Layout();
    void EnsureVisible(int index);
    void PlacePage();
    int StripContentHeight() const;
    int VisibleStripWidth() const;
    int TotalWidth() const;
    void DrawStrip(QPainter &p);

    int m_style;
    std::vector<CTab> m_tabs;
    std::vector<QPixmap> m_images;
    int m_cur = -1;
    int m_offset = 0;
    bool m_focus = false;
    int m_repeatBtn = 0;
    QTimer m_repeat;
    CMyMiniBtnMgr m_btns;
};
