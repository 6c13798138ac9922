// Owner-drawn push button used to pick colours: its caption above a swatch of
// its colour, a drop-down arrow at the right, and a border that rises while
// the pointer is over it. Clicking is handled by the owner.
#pragma once

#include <QPushButton>
#include <cstdint>

// Look flags of CMyBtn.
enum : unsigned {
    MYBTN_HOTTRACK = 0x1,       // raised border only while hot
    MYBTN_BORDER = 0x2,         // draw a border
    MYBTN_CAPTION_MASK = 0x3C,  // caption position
    MYBTN_CAPTION_TOP = 0x10,   // caption at the top, swatch below
    MYBTN_FOCUSRECT = 0x40,     // focus rectangle when focused
    MYBTN_COLOR = 0x20000,      // colour look
    MYBTN_DROPDOWN = 0x40000,   // drop-down part with an arrow
    MYBTN_COLOR_LOOK = 0x60053, // the colour pickers' flags
};

class CMyBtn : public QPushButton {
    Q_OBJECT
public:
    explicit CMyBtn(QWidget *parent = nullptr);
    explicit CMyBtn(const QString &caption, QWidget *parent = nullptr);

    // Colour as 0x00BBGGRR; -1 stands for the button-text colour.
    void SetColor(int64_t colorref) { m_color = colorref; }
    int64_t GetColor() const { return m_color; }
    void SetFlags(unsigned flags) { m_flags = flags; }
    unsigned GetFlags() const { return m_flags; }
    bool IsHot() const { return m_hot; }
    // Repaints at once.
    void Redraw();

    // Geometry of the colour look inside rect (for drawing and tests).
    struct Parts {
        QRect caption;
        QRect swatch;    // already shrunk by 4
        QRect separator; // 2 wide, shrunk by 4 at top and bottom
        QRect arrow;     // already shrunk by 4
    };
    Parts ColorLookParts(const QRect &rect) const;

    static QColor FromColorRef(uint32_t colorref);
    static uint32_t ToColorRef(const QColor &color);

protected:
    void paintEvent(QPaintEvent *ev) override;
    void enterEvent(QEnterEvent *ev) override;
    void leaveEvent(QEvent *ev) override;
    void mouseMoveEvent(QMouseEvent *ev) override;
    void mouseReleaseEvent(QMouseEvent *ev) override;
    void focusOutEvent(QFocusEvent *ev) override;

private:
    void SetHot(bool hot);
    void DrawColorLook(QPainter &p);

    bool m_hot = false;
    int64_t m_color = 0;
    unsigned m_flags = 0;
};
