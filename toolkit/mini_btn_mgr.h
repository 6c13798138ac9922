// Small square buttons drawn inside another widget (close and scroll buttons
// of the tab strip). The manager owns the buttons, tracks the mouse for them
// and reports pressed / released / clicked.
#pragma once

#include <QColor>
#include <QObject>
#include <QRect>
#include <QSize>
#include <vector>

class QPainter;
class QWidget;

// Events of a mini button.
enum : int { MINIBTN_PRESSED = 1, MINIBTN_RELEASED = 2, MINIBTN_CLICKED = 3 };

// Glyphs of the built-in buttons (button id = glyph).
enum : int {
    MINIBTN_GLYPH_CLOSE = 1,
    MINIBTN_GLYPH_LEFT = 2,
    MINIBTN_GLYPH_RIGHT = 3,
    MINIBTN_GLYPH_PAGE_LEFT = 4,
    MINIBTN_GLYPH_PAGE_RIGHT = 5,
};

class CMyMiniBtn {
public:
    int id = 0;
    QRect rect;
    bool disabled = false;
    bool hot = false;
    bool pressed = false;
    bool checked = false;
    bool hidden = false;
    bool toggle = false; // a toggle button flips `checked` when clicked
    QString tip;
};

class CMyMiniBtnMgr : public QObject {
    Q_OBJECT
public:
    // Installs itself as event filter of the owner, which it also paints on
    // when the owner calls Paint.
    explicit CMyMiniBtnMgr(QWidget *owner);

    // Adds a button; returns its index.
    int AddButton(int id, bool toggle = false, const QString &tip = QString());
    int GetCount() const { return static_cast<int>(m_buttons.size()); }
    CMyMiniBtn *Find(int id);
    const CMyMiniBtn *Find(int id) const;
    const std::vector<CMyMiniBtn> &Buttons() const { return m_buttons; }

    void SetRect(int id, const QRect &rect);
    void SetEnabled(int id, bool enabled);
    void SetHidden(int id, bool hidden);
    void SetChecked(int id, bool checked);
    bool IsEnabled(int id) const;
    bool IsHidden(int id) const;
    bool IsPressed(int id) const;

    // Size of one button (square, a little larger than a glyph).
    QSize ButtonSize() const;
    // Id of the visible button at pos, or 0.
    int HitTest(const QPoint &pos) const;
    // Draws every visible button.
    void Paint(QPainter &p) const;

    // Draws one glyph centred in rect (also used for tests and icons).
    static void DrawGlyph(QPainter &p, int glyph, const QRect &rect, const QColor &color);

signals:
    // event: MINIBTN_PRESSED, MINIBTN_RELEASED or MINIBTN_CLICKED.
    void miniBtn(int event, int id);

protected:
    bool eventFilter(QObject *obj, QEvent *ev) override;

private:
    CMyMiniBtn *FindAt(const QPoint &pos);
    void SetHot(int id);

    QWidget *m_owner;
    std::vector<CMyMiniBtn> m_buttons;
    int m_captured = 0; // id of the button holding the mouse, 0 = none
    int m_hot = 0;
};
