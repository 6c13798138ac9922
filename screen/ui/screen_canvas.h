// The designer's canvas: the shown screen at the terminal's size, drawn as
// the terminal will show it and enlarged 1x to 8x with whole pixels, an
// optional pixel grid, and the mouse and keyboard editing of its items:
// select (Ctrl or Shift adds), drag to move (snapping to the grid and to the
// other items' edges), drag a picture's corner to resize it, double-click a
// text to edit it in place, arrow keys move (Shift: 10 pixels).
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>
#include <vector>

class CScreenEditor;
class QLineEdit;

class CMyScreenCanvas : public QWidget {
    Q_OBJECT
public:
    explicit CMyScreenCanvas(CScreenEditor *editor, QWidget *parent = nullptr);

    int Zoom() const { return m_zoom; }
    void SetZoom(int zoom); // 1..8
    bool ShowGrid() const { return m_grid; }
    void SetShowGrid(bool on);
    bool Snap() const { return m_snap; }
    void SetSnap(bool on) { m_snap = on; }
    // Grid step of the snapping, in screen pixels.
    static constexpr int kGridStep = 8;

    // The next click places a new text there.
    void ArmAddText(bool on);
    bool IsAddTextArmed() const { return m_addText; }

    // Screen pixel under a widget position (may lie outside the screen).
    QPoint ScreenPos(const QPoint &widgetPos) const;
    // Widget rectangle of a screen rectangle.
    QRect WidgetRect(const QRect &screenRect) const;
    // Starts editing a text item in place.
    void EditText(int item);
    QLineEdit *TextEditor() const { return m_textEdit; }

    QSize sizeHint() const override;

signals:
    // The pointer is over screen pixel pos of colour rgb (0xRRGGBB), or has
    // left the screen (inside false).
    void pointerAt(bool inside, const QPoint &pos, unsigned rgb);
    // A text was placed with the armed click; the view makes it.
    void addTextAt(const QPoint &pos);
    void zoomChanged(int zoom);

protected:
    void paintEvent(QPaintEvent *ev) override;
    void mousePressEvent(QMouseEvent *ev) override;
    void mouseMoveEvent(QMouseEvent *ev) override;
    void mouseReleaseEvent(QMouseEvent *ev) override;
    void mouseDoubleClickEvent(QMouseEvent *ev) override;
    void keyPressEvent(QKeyEvent *ev) override;
    void wheelEvent(QWheelEvent *ev) override;
    void leaveEvent(QEvent *ev) override;
    bool eventFilter(QObject *watched, QEvent *ev) override;

private:
    enum Drag { DragNone, DragMove, DragResize, DragBand };
    // Index of the corner handle (0 top-left, 1 top-right, 2 bottom-left,
    // 3 bottom-right) of the one selected picture under pos, -1 when none.
    int HandleAt(const QPoint &widgetPos) const;
    // The drag's offset after snapping the moving rectangle.
    QPoint SnapMove(const QRect &moving, QPoint delta) const;
    int SnapCoord(int value, const std::vector<int> &targets, int *best) const;
    void EndTextEdit(bool commit);
    void ReportPointer(const QPoint &widgetPos);

    CScreenEditor *m_editor;
    int m_zoom = 2;
    bool m_grid = false;
    bool m_snap = true;
    bool m_addText = false;

    Drag m_drag = DragNone;
    QPoint m_pressPos;      // screen pixel of the press
    QPoint m_delta;         // current move offset (screen pixels)
    int m_handle = -1;
    int m_resizeItem = -1;
    QRect m_resizeBox;
    QRect m_band;           // rubber band, screen pixels
    std::vector<int> m_bandBase; // selection before a band with Ctrl/Shift
    QImage m_dragPixels;    // the drawn screen when the drag began

    QLineEdit *m_textEdit = nullptr;
    int m_textItem = -1;
};
