#include "toolkit/tab_ctrl.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <algorithm>

#include "res/string_ids.h"
#include "res/strings.h"

namespace {

constexpr int kStripMargin = 2; // free pixels before the first tab
constexpr int kButtonGap = 2;   // free pixels between the tabs and the buttons

// Colour between the highlight and the window colour that marks the strip of
// a focused control (the gradient's far end).
QColor FocusTint(const QPalette &pal)
{
    const QColor a = pal.color(QPalette::Active, QPalette::Highlight);
    const QColor b = pal.color(QPalette::Active, QPalette::Base);
    return QColor((a.red() + 3 * b.red()) / 4, (a.green() + 3 * b.green()) / 4, (a.blue() + 3 * b.blue()) / 4);
}

} // namespace

CMyTabCtrl::CMyTabCtrl(int style, QWidget *parent) : QWidget(parent), m_style(style & 0x3F), m_btns(this)
{
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    m_repeat.setInterval(kRepeatMs);
    connect(&m_repeat, &QTimer::timeout, this, &CMyTabCtrl::OnRepeat);
    connect(&m_btns, &CMyMiniBtnMgr::miniBtn, this, &CMyTabCtrl::OnMiniBtn);
    if (m_style & TABS_SCROLL_PAGE)
        m_btns.AddButton(TABBTN_PAGE_LEFT, false, LoadStr(IDS_TK_TAB_SCROLL_LEFT));
    if (m_style & TABS_SCROLL_STEP) {
        m_btns.AddButton(TABBTN_LEFT, false, LoadStr(IDS_TK_TAB_SCROLL_LEFT));
        m_btns.AddButton(TABBTN_RIGHT, false, LoadStr(IDS_TK_TAB_SCROLL_RIGHT));
    }
    if (m_style & TABS_SCROLL_PAGE)
        m_btns.AddButton(TABBTN_PAGE_RIGHT, false, LoadStr(IDS_TK_TAB_SCROLL_RIGHT));
    if (m_style & TABS_CLOSE)
        m_btns.AddButton(TABBTN_CLOSE, false, LoadStr(IDS_TK_TAB_CLOSE));
    if (qApp)
        connect(qApp, &QApplication::focusChanged, this, &CMyTabCtrl::OnFocusChanged);
    Layout();
}

CMyTabCtrl::~CMyTabCtrl()
{
    m_repeat.stop();
    // QWidget's destructor clears focus, which emits focusChanged after this
    // object is no longer a CMyTabCtrl.
    if (qApp)
        disconnect(qApp, &QApplication::focusChanged, this, &CMyTabCtrl::OnFocusChanged);
}

int CMyTabCtrl::AddTab(QWidget *page, const QString &title, int image)
{
    CTab tab;
    tab.page = page;
    tab.image = image;
    tab.title = title;
    if (page) {
        page->hide();
        page->setParent(this);
        page->hide();
    }
    m_tabs.insert(m_tabs.begin(), tab);
    if (m_cur >= 0)
        ++m_cur; // the same page stays current
    Layout();
    return 0;
}

bool CMyTabCtrl::RemoveTab(int index)
{
    if (index < 0 || index >= GetTabCount())
        return false;
    QWidget *page = m_tabs[static_cast<size_t>(index)].page;
    m_tabs.erase(m_tabs.begin() + index);
    if (index == m_cur) {
        m_cur = -1;
        if (page)
            page->hide();
    } else if (index < m_cur) {
        --m_cur;
    }
    Layout();
    return true;
}

bool CMyTabCtrl::SelectTab(int index)
{
    if (index < 0 || index >= GetTabCount())
        return false;
    if (index == m_cur)
        return true;
    if (OnPaneChanging(index, m_cur))
        return false;
    if (index >= GetTabCount())
        return false; // the owner removed tabs while asked
    QWidget *old = m_cur >= 0 ? m_tabs[static_cast<size_t>(m_cur)].page : nullptr;
    m_cur = index;
    Layout();
    EnsureVisible(index);
    OnPaneChanged(index);
    if (m_cur < 0 || m_cur >= GetTabCount())
        return false;
    QWidget *page = m_tabs[static_cast<size_t>(m_cur)].page;
    PlacePage();
    if (page)
        page->show();
    if (old && old != page)
        old->hide();
    if (page && page->isEnabled() && page->isVisible())
        page->setFocus(Qt::OtherFocusReason);
    return m_cur == index;
}

QWidget *CMyTabCtrl::GetPage(int index) const
{
    return index >= 0 && index < GetTabCount() ? m_tabs[static_cast<size_t>(index)].page : nullptr;
}

QString CMyTabCtrl::GetTitle(int index) const
{
    return index >= 0 && index < GetTabCount() ? m_tabs[static_cast<size_t>(index)].title : QString();
}

int CMyTabCtrl::FindPage(const QWidget *page) const
{
    for (int i = 0; i < GetTabCount(); ++i)
        if (m_tabs[static_cast<size_t>(i)].page == page)
            return i;
    return -1;
}

void CMyTabCtrl::SetImageList(const std::vector<QPixmap> &images)
{
    m_images = images;
    Layout();
}

bool CMyTabCtrl::OnPaneChanging(int newIndex, int oldIndex)
{
    bool veto = false;
    emit paneChanging(newIndex, oldIndex, &veto);
    return veto;
}

void CMyTabCtrl::OnPaneChanged(int newIndex)
{
    emit paneChanged(newIndex);
}

bool CMyTabCtrl::OnPaneClosing(int index)
{
    bool veto = false;
    emit paneClosing(index, &veto);
    return veto;
}

// ---- geometry ----

int CMyTabCtrl::GetStripHeight() const
{
    int content = fontMetrics().boundingRect(QStringLiteral("X")).height();
    content = std::max(content, fontMetrics().height());
    if (!m_images.empty())
        content = std::max(content, m_images.front().height());
    if (m_btns.GetCount() > 0)
        content = std::max(content, m_btns.ButtonSize().height());
    return kPadTop + kPadBottom + content;
}

int CMyTabCtrl::StripContentHeight() const
{
    return GetStripHeight() - kPadTop - kPadBottom;
}

QRect CMyTabCtrl::GetStripRect() const
{
    const int h = GetStripHeight();
    if (m_style & TABS_TOP)
        return QRect(0, 0, width(), h);
    return QRect(0, height() - h, width(), h);
}

QRect CMyTabCtrl::GetPageRect() const
{
    const int h = GetStripHeight();
    // The border ring shares its line with the strip's inner edge.
    QRect frame = (m_style & TABS_TOP) ? QRect(0, h - 1, width(), height() - h + 1)
                                       : QRect(0, 0, width(), height() - h + 1);
    QRect page = frame.adjusted(kBorder, kBorder, -kBorder, -kBorder);
    if (m_style & TABS_INSET)
        page.adjust(2, 2, -2, -2);
    if (page.width() < 0)
        page.setWidth(0);
    if (page.height() < 0)
        page.setHeight(0);
    return page;
}

int CMyTabCtrl::VisibleStripWidth() const
{
    int right = width();
    for (const CMyMiniBtn &b : m_btns.Buttons())
        if (!b.hidden && !b.rect.isEmpty())
            right = std::min(right, b.rect.left() - kButtonGap);
    return std::max(0, right - kStripMargin);
}

int CMyTabCtrl::TotalWidth() const
{
    return m_tabs.empty() ? 0 : m_tabs.back().right;
}

int CMyTabCtrl::GetMaxScrollOffset() const
{
    return std::max(0, TotalWidth() - VisibleStripWidth());
}

QRect CMyTabCtrl::GetTabRect(int index) const
{
    if (index < 0 || index >= GetTabCount())
        return QRect();
    const CTab &t = m_tabs[static_cast<size_t>(index)];
    const QRect strip = GetStripRect();
    return QRect(strip.left() + kStripMargin + t.left - m_offset, strip.top(), t.width, strip.height());
}

int CMyTabCtrl::HitTest(const QPoint &pos) const
{
    const QRect strip = GetStripRect();
    if (!strip.contains(pos) || m_tabs.empty())
        return -1;
    const int x = pos.x() - strip.left() - kStripMargin;
    if (x < 0 || x >= VisibleStripWidth())
        return -1;
    const int sx = x + m_offset;
    // Binary search over the right edges: the first tab whose right edge
    // lies beyond sx.
    auto it = std::upper_bound(m_tabs.begin(), m_tabs.end(), sx,
                               [](int v, const CTab &t) { return v < t.right; });
    if (it == m_tabs.end() || sx < it->left)
        return -1;
    return static_cast<int>(it - m_tabs.begin());
}

void CMyTabCtrl::Measure()
{
    const QFontMetrics fm = fontMetrics();
    const int content = StripContentHeight();
    int left = 0;
    for (int i = 0; i < GetTabCount(); ++i) {
        CTab &t = m_tabs[static_cast<size_t>(i)];
        int w = kPadLeft + fm.horizontalAdvance(t.title) + kPadRight;
        if (t.image >= 0 && t.image < static_cast<int>(m_images.size()))
            w += m_images[static_cast<size_t>(t.image)].width() + kImageGap;
        if (i == m_cur)
            w += content; // room for the sloping edge
        t.left = left;
        t.width = w;
        t.right = left + w;
        left = t.right;
    }
}

void CMyTabCtrl::Layout()
{
    Measure();
    const QRect strip = GetStripRect();
    const QSize bs = m_btns.ButtonSize();
    const bool scrollBtns = (m_style & (TABS_SCROLL_STEP | TABS_SCROLL_PAGE)) != 0;

    auto place = [&](bool withScroll) {
        int x = strip.right() - 1;
        const int y = strip.top() + (strip.height() - bs.height()) / 2;
        static const int order[] = {TABBTN_CLOSE, TABBTN_PAGE_RIGHT, TABBTN_RIGHT, TABBTN_LEFT,
                                    TABBTN_PAGE_LEFT};
        for (int id : order) {
            if (!m_btns.Find(id))
                continue;
            const bool isScroll = id != TABBTN_CLOSE;
            if (isScroll && !withScroll) {
                m_btns.SetRect(id, QRect());
                m_btns.SetHidden(id, true);
                continue;
            }
            m_btns.SetRect(id, QRect(x - bs.width() + 1, y, bs.width(), bs.height()));
            m_btns.SetHidden(id, false);
            x -= bs.width();
        }
    };
    bool withScroll = scrollBtns;
    if (scrollBtns && (m_style & TABS_AUTOHIDE)) {
        // Hidden while the strip cannot scroll at all, judged with only the
        // close button at the right end. Worked out without touching the
        // buttons, so a held scroll button is never released by a relayout.
        const int others = m_btns.Find(TABBTN_CLOSE) ? 1 : 0;
        const int room = others ? strip.width() - 1 - others * bs.width() - kButtonGap - kStripMargin
                                : strip.width() - kStripMargin;
        withScroll = TotalWidth() > std::max(0, room);
    }
    place(withScroll);
    m_offset = std::clamp(m_offset, 0, GetMaxScrollOffset());
    const bool left = m_offset > 0;
    const bool right = m_offset < GetMaxScrollOffset();
    m_btns.SetEnabled(TABBTN_LEFT, left);
    m_btns.SetEnabled(TABBTN_PAGE_LEFT, left);
    m_btns.SetEnabled(TABBTN_RIGHT, right);
    m_btns.SetEnabled(TABBTN_PAGE_RIGHT, right);
    m_btns.SetEnabled(TABBTN_CLOSE, m_cur >= 0);
    PlacePage();
    update();
}

void CMyTabCtrl::PlacePage()
{
    if (QWidget *page = GetPage(m_cur))
        page->setGeometry(GetPageRect());
}

void CMyTabCtrl::EnsureVisible(int index)
{
    if (index < 0 || index >= GetTabCount())
        return;
    const CTab &t = m_tabs[static_cast<size_t>(index)];
    const int vis = VisibleStripWidth();
    int off = m_offset;
    if (t.right > off + vis)
        off = t.right - vis;
    if (t.left < off)
        off = t.left;
    SetScrollOffset(off);
}

void CMyTabCtrl::SetScrollOffset(int offset)
{
    offset = std::clamp(offset, 0, GetMaxScrollOffset());
    if (offset == m_offset)
        return;
    m_offset = offset;
    Layout();
}

bool CMyTabCtrl::ScrollBy(int buttonId)
{
    int delta = 0;
    switch (buttonId) {
    case TABBTN_LEFT:
        delta = -StripContentHeight();
        break;
    case TABBTN_RIGHT:
        delta = StripContentHeight();
        break;
    case TABBTN_PAGE_LEFT:
        delta = -VisibleStripWidth();
        break;
    case TABBTN_PAGE_RIGHT:
        delta = VisibleStripWidth();
        break;
    default:
        return false;
    }
    const int before = m_offset;
    SetScrollOffset(m_offset + delta);
    return m_offset != before;
}

void CMyTabCtrl::OnMiniBtn(int event, int id)
{
    const bool scroll = id == TABBTN_LEFT || id == TABBTN_RIGHT || id == TABBTN_PAGE_LEFT ||
                        id == TABBTN_PAGE_RIGHT;
    if (scroll && event == MINIBTN_PRESSED) {
        if (ScrollBy(id)) {
            m_repeatBtn = id;
            m_repeat.start();
        }
        return;
    }
    if (scroll && event == MINIBTN_RELEASED) {
        m_repeat.stop();
        m_repeatBtn = 0;
        Layout();
        return;
    }
    if (scroll && event == MINIBTN_CLICKED)
        return; // already scrolled on the press
    if (id == TABBTN_CLOSE && event == MINIBTN_CLICKED) {
        const int cur = m_cur;
        if (cur >= 0 && !OnPaneClosing(cur))
            RemoveTab(cur);
        return;
    }
    if (id == TABBTN_CLOSE)
        return;
    emit miniBtn(event, id);
}

void CMyTabCtrl::OnRepeat()
{
    if (!m_repeatBtn || !m_btns.IsPressed(m_repeatBtn))
        return; // the pointer is off the held button: wait
    if (!ScrollBy(m_repeatBtn))
        m_repeat.stop();
}

void CMyTabCtrl::OnFocusChanged()
{
    QWidget *fw = QApplication::focusWidget();
    const bool focus = fw && (fw == this || isAncestorOf(fw));
    if (focus != m_focus) {
        m_focus = focus;
        update(GetStripRect());
    }
}

QSize CMyTabCtrl::sizeHint() const
{
    return QSize(200, GetStripHeight() + 100);
}

QSize CMyTabCtrl::minimumSizeHint() const
{
    return QSize(GetStripHeight() * 2, GetStripHeight() + 4);
}

// ---- events ----

void CMyTabCtrl::resizeEvent(QResizeEvent *ev)
{
    QWidget::resizeEvent(ev);
    Layout();
    EnsureVisible(m_cur);
}

void CMyTabCtrl::mousePressEvent(QMouseEvent *ev)
{
    if (ev->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(ev);
        return;
    }
    const int hit = HitTest(ev->position().toPoint());
    if (hit < 0)
        return;
    if (hit == m_cur) {
        if (QWidget *page = GetPage(hit); page && page->isEnabled() && page->isVisible())
            page->setFocus(Qt::MouseFocusReason);
        return;
    }
    SelectTab(hit);
}

void CMyTabCtrl::keyPressEvent(QKeyEvent *ev)
{
    const int n = GetTabCount();
    if (n > 0 && (ev->key() == Qt::Key_Left || ev->key() == Qt::Key_Right)) {
        int next;
        if (ev->key() == Qt::Key_Left)
            next = m_cur <= 0 ? n - 1 : m_cur - 1;
        else
            next = m_cur < 0 || m_cur >= n - 1 ? 0 : m_cur + 1;
        SelectTab(next);
        ev->accept();
        return;
    }
    QWidget::keyPressEvent(ev);
}

void CMyTabCtrl::changeEvent(QEvent *ev)
{
    QWidget::changeEvent(ev);
    // Colours and metrics follow the system.
    if (ev->type() == QEvent::FontChange || ev->type() == QEvent::PaletteChange ||
        ev->type() == QEvent::StyleChange)
        Layout();
}

bool CMyTabCtrl::event(QEvent *ev)
{
    if (ev->type() == QEvent::ApplicationPaletteChange || ev->type() == QEvent::ApplicationFontChange) {
        Layout();
    }
    return QWidget::event(ev);
}

// ---- painting ----

void CMyTabCtrl::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    DrawStrip(p);
}

void CMyTabCtrl::DrawStrip(QPainter &p)
{
    const QPalette &pal = palette();
    const QColor face = pal.color(QPalette::Button);
    const QColor shadow = pal.color(QPalette::Dark);
    const QColor light = pal.color(QPalette::Light);
    const QColor text = pal.color(QPalette::ButtonText);
    const bool top = (m_style & TABS_TOP) != 0;
    const QRect strip = GetStripRect();
    const int content = StripContentHeight();

    p.fillRect(strip, face);

    // Border ring around the page area; its strip-side line is the base on
    // which the current tab stands.
    QRect frame = GetPageRect();
    if (m_style & TABS_INSET)
        frame.adjust(-2, -2, 2, 2);
    frame.adjust(-kBorder, -kBorder, kBorder, kBorder);
    if (m_style & TABS_INSET)
        p.fillRect(frame.adjusted(1, 1, -1, -1), face);
    p.setPen(shadow);
    p.setBrush(Qt::NoBrush);
    p.drawRect(frame.adjusted(0, 0, -1, -1));

    const int visRight = strip.left() + kStripMargin + VisibleStripWidth();
    p.save();
    p.setClipRect(QRect(strip.left(), strip.top(), visRight - strip.left(), strip.height()));
    const int baseY = top ? strip.bottom() : strip.top(); // the shared border line
    const int farY = top ? strip.top() + 1 : strip.bottom() - 1;

    for (int i = 0; i < GetTabCount(); ++i) {
        const CTab &t = m_tabs[static_cast<size_t>(i)];
        const QRect r = GetTabRect(i);
        if (r.right() < strip.left() || r.left() > visRight)
            continue;
        if (i == m_cur) {
            const int x0 = r.left();
            const int x1 = r.left() + r.width() - 1;
            const int dy = top ? 1 : -1;
            QPolygon poly;
            poly << QPoint(x0, baseY) << QPoint(x0, farY + dy * kCorner) << QPoint(x0 + kCorner, farY)
                 << QPoint(x1 - content, farY) << QPoint(x1, baseY);
            QLinearGradient g(0, farY, 0, baseY);
            g.setColorAt(0, light);
            g.setColorAt(1, m_focus ? FocusTint(pal) : face);
            p.setPen(Qt::NoPen);
            p.setBrush(g);
            p.drawPolygon(poly);
            p.setBrush(Qt::NoBrush);
            p.setPen(shadow);
            p.drawPolyline(poly);
            // Open the border line under the current tab.
            p.setPen(m_focus ? FocusTint(pal) : face);
            p.drawLine(x0 + 1, baseY, x1 - 1, baseY);
        } else if (i + 1 != m_cur) {
            p.setPen(shadow);
            const int xr = r.left() + r.width() - 1;
            p.drawLine(xr, strip.top() + kPadTop + 1, xr, strip.bottom() - kPadBottom - 1);
        }
        int x = r.left() + kPadLeft;
        if (t.image >= 0 && t.image < static_cast<int>(m_images.size())) {
            const QPixmap &img = m_images[static_cast<size_t>(t.image)];
            p.drawPixmap(x, r.top() + (r.height() - img.height()) / 2, img);
            x += img.width() + kImageGap;
        }
        p.setPen(text);
        const int textRight = r.left() + r.width() - kPadRight - (i == m_cur ? content : 0);
        p.drawText(QRect(x, r.top(), std::max(0, textRight - x), r.height()),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, t.title);
    }
    p.restore();
    m_btns.Paint(p);
}
