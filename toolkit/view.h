// Base of the main window's client views: a scrolling view with a thin
// border. Subclasses draw in OnDraw with the painter already translated by
// the scroll position (one unit = one pixel).
#pragma once

#include <QAbstractScrollArea>
#include <QPoint>
#include <QSize>

class CMyView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit CMyView(QWidget *parent = nullptr);

    // extent: the scrollable size; page and line default to a tenth of the
    // extent and a tenth of the page (empty sizes take the default).
    void SetScrollSizes(const QSize &extent, const QSize &page = QSize(), const QSize &line = QSize());
    QSize GetTotalSize() const { return m_extent; }
    QSize GetPageSize() const { return m_page; }
    QSize GetLineSize() const { return m_line; }

    // Scrolls to pt, clamped to the scroll range.
    void ScrollToPosition(const QPoint &pt);
    QPoint GetScrollPosition() const;
    // Largest scroll position in each direction (0 when it all fits).
    QPoint GetMaxScrollPosition() const;

    int GetBorderWidth() const { return m_border; }
    int GetWheelLines() const { return m_wheelLines; }
    void SetWheelLines(int lines) { m_wheelLines = lines; }

    // Draws the view (its visible part) into the painter.
    void PrintClient(QPainter &p);

protected:
    virtual void OnDraw(QPainter &p);

    bool event(QEvent *ev) override;
    void paintEvent(QPaintEvent *ev) override;
    void resizeEvent(QResizeEvent *ev) override;
    void wheelEvent(QWheelEvent *ev) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void UpdateBars();
    void PaintBorder();

    QSize m_extent;
    QSize m_page;
    QSize m_line;
    int m_border = 1;
    int m_wheelLines = 3;
};
