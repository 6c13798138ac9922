#include "toolkit/status_bar.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <algorithm>

#include "link/host.h"
#include "res/string_ids.h"
#include "res/strings.h"

namespace {

constexpr int kPaneMargin = 6; // a pane is its text width + 6
constexpr int kTextIndent = 3;

qint64 MonotonicMs()
{
    static QElapsedTimer timer;
    if (!timer.isValid())
        timer.start();
    return timer.elapsed();
}

} // namespace

CMyStatusBar::CMyStatusBar(QWidget *parent) : QStatusBar(parent), m_clock(MonotonicMs)
{
    m_timer.setInterval(kTickMs);
    // A coarse timer may fire a little early and miss the age by a few
    // milliseconds, which would keep a message a whole tick longer. The
    // message's time is stamped before the timer starts, so a precise tick
    // finds it at least one interval older.
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setObjectName(QStringLiteral("statusTimer%1").arg(kTimerId));
    connect(&m_timer, &QTimer::timeout, this, &CMyStatusBar::OnTimerTick);
    connect(this, &QStatusBar::messageChanged, this, &CMyStatusBar::OnFrameworkMessage);
    SetPanes({0});
}

bool CMyStatusBar::SetPanes(const std::vector<int> &ids)
{
    if (ids.size() > static_cast<size_t>(kMaxPanes))
        return false;
    m_panes.clear();
    for (int id : ids)
        AddPane(id);
    RecalcLayout();
    return true;
}

bool CMyStatusBar::AddPane(int id)
{
    if (GetPaneCount() >= kMaxPanes)
        return false;
    CPane pane;
    pane.id = id;
    pane.stretch = id == 0;
    pane.text = (id == 0 ? LoadStr(IDS_TK_READY) : LoadStr(id)).left(kMaxText);
    pane.textColor = Qt::white;
    MeasurePane(pane);
    m_panes.push_back(pane);
    RecalcLayout();
    return true;
}

bool CMyStatusBar::RemovePane(int id)
{
    const int index = CommandToIndex(id);
    if (index < 0)
        return false;
    m_panes.erase(m_panes.begin() + index);
    RecalcLayout();
    return true;
}

int CMyStatusBar::GetVisiblePaneCount() const
{
    return static_cast<int>(std::count_if(m_panes.begin(), m_panes.end(), [](const CPane &p) { return !p.hidden; }));
}

int CMyStatusBar::CommandToIndex(int id) const
{
    for (int i = 0; i < GetPaneCount(); ++i)
        if (m_panes[static_cast<size_t>(i)].id == id)
            return i;
    return -1;
}

int CMyStatusBar::GetPaneId(int index) const
{
    return ValidIndex(index) ? m_panes[static_cast<size_t>(index)].id : -1;
}

QString CMyStatusBar::GetPaneText(int index) const
{
    return ValidIndex(index) ? m_panes[static_cast<size_t>(index)].text : QString();
}

QRect CMyStatusBar::GetItemRect(int index) const
{
    return ValidIndex(index) ? m_panes[static_cast<size_t>(index)].rect : QRect();
}

void CMyStatusBar::MeasurePane(CPane &pane)
{
    pane.textWidth = fontMetrics().horizontalAdvance(pane.text);
}

void CMyStatusBar::SetPaneText(int index, const QString &text)
{
    if (!ValidIndex(index))
        return;
    CPane &pane = m_panes[static_cast<size_t>(index)];
    if (pane.progress)
        return;
    const QString t = text.left(kMaxText);
    if (t == pane.text && !pane.message)
        return;
    pane.text = t;
    pane.message = false;
    MeasurePane(pane);
    if (!pane.stretch && !m_notConnected)
        RecalcLayout();
    update();
    emit paneTextChanged(index);
}

void CMyStatusBar::SetPaneMessage(int index, const QString &text, const QColor &color1, const QColor &color2)
{
    if (!ValidIndex(index))
        return;
    CPane &pane = m_panes[static_cast<size_t>(index)];
    pane.text = text.left(kMaxText);
    pane.progress = false;
    pane.message = true;
    pane.setTime = Now();
    pane.textColor = Qt::white;
    pane.color1 = color1;
    pane.color2 = color2;
    MeasurePane(pane);
    StartTimer();
    if (!pane.stretch && !m_notConnected)
        RecalcLayout();
    repaint();
    emit paneTextChanged(index);
}

void CMyStatusBar::SetPaneProgress(int index, int value, const QString &text)
{
    if (!ValidIndex(index))
        return;
    CPane &pane = m_panes[static_cast<size_t>(index)];
    pane.text = text.left(kMaxText);
    pane.message = false;
    // -1 or 100 ends the bar (any value outside 0..99 is taken as the end,
    // so a bad value cannot draw past the bar).
    pane.progress = value >= 0 && value < 100;
    pane.value = pane.progress ? value : 0;
    MeasurePane(pane);
    repaint();
    emit paneTextChanged(index);
}

void CMyStatusBar::KindColors(int kind, QColor *color1, QColor *color2)
{
    switch (kind) {
    case STATUS_INFO:
        *color1 = QColor(0, 84, 227);
        *color2 = QColor(61, 149, 255);
        break;
    case STATUS_SUCCESS:
        *color1 = QColor(25, 100, 25);
        *color2 = QColor(120, 220, 150);
        break;
    case STATUS_FAILURE:
        *color1 = QColor(180, 0, 30);
        *color2 = QColor(250, 130, 150);
        break;
    default:
        *color1 = QColor();
        *color2 = QColor();
        break;
    }
}

void CMyStatusBar::ShowStatusMessage(int kind, const QString &text)
{
    const int index = CommandToIndex(0);
    if (index < 0)
        return;
    // A new message replaces the command prompt at once; the prompt comes
    // back with the next hover.
    ClearTip();
    HoldAgainstPrompt();
    if (kind == STATUS_INFO || kind == STATUS_SUCCESS || kind == STATUS_FAILURE) {
        QColor c1, c2;
        KindColors(kind, &c1, &c2);
        SetPaneMessage(index, text, c1, c2);
        return;
    }
    SetPaneText(index, text.isEmpty() ? LoadStr(IDS_TK_READY) : text);
}

void CMyStatusBar::ShowStatusProgress(const QString &text, int percent)
{
    ClearTip();
    HoldAgainstPrompt();
    const int index = CommandToIndex(0);
    if (index >= 0)
        SetPaneProgress(index, percent, text);
}

void CMyStatusBar::ClearTip()
{
    if (m_tip.isEmpty())
        return;
    m_tip.clear();
    // Forget the prompt so that hovering the same command shows it again.
    clearMessage();
    update();
}

void CMyStatusBar::HoldAgainstPrompt()
{
    m_messagePointer = QCursor::pos();
    m_messageUnder = QApplication::widgetAt(m_messagePointer);
    m_holding = true;
}

void CMyStatusBar::OnFrameworkMessage(const QString &text)
{
    if (text == m_tip)
        return;
    // A prompt while the pointer has not moved from the item it was on when
    // the last message came is that hover announced again (a modal window
    // that closes gives the item under the pointer a fresh one), not a new
    // one: the message stays.
    if (m_holding && !text.isEmpty()) {
        const QPoint pointer = QCursor::pos();
        if (pointer == m_messagePointer && QApplication::widgetAt(pointer) == m_messageUnder) {
            clearMessage();
            return;
        }
        m_holding = false;
    }
    m_tip = text.left(kMaxText);
    update();
}

// ---- timer ----

void CMyStatusBar::SetClock(StatusClock clock)
{
    m_clock = clock ? std::move(clock) : StatusClock(MonotonicMs);
}

qint64 CMyStatusBar::Now() const
{
    return m_clock();
}

void CMyStatusBar::StartTimer()
{
    if (m_timer.isActive())
        return;
    m_timer.start();
    ++m_timerStarts;
}

void CMyStatusBar::OnTimerTick()
{
    const qint64 now = Now();
    bool left = false;
    for (int i = 0; i < GetPaneCount(); ++i) {
        CPane &pane = m_panes[static_cast<size_t>(i)];
        if (!pane.message)
            continue;
        if (now - pane.setTime >= kMessageAgeMs) {
            pane.message = false;
            if (pane.id == 0) {
                pane.text = LoadStr(IDS_TK_READY);
                MeasurePane(pane);
            }
            emit paneTextChanged(i);
        } else {
            left = true;
        }
    }
    if (!left)
        m_timer.stop();
    update();
}

// ---- layout ----

void CMyStatusBar::SetNotConnectedLayout(bool notConnected)
{
    if (notConnected == m_notConnected)
        return;
    m_notConnected = notConnected;
    RecalcLayout();
}

void CMyStatusBar::RecalcLayout()
{
    QRect area = rect();
    // Room for the size grip unless the window is maximised.
    if (isSizeGripEnabled() && !(window() && window()->isMaximized()))
        area.setRight(area.right() - (1 + style()->pixelMetric(QStyle::PM_ScrollBarExtent)));
    const int gap = 2;
    int fixed = 0;
    int stretchers = 0;
    bool messageSeen = false;
    for (CPane &pane : m_panes) {
        // Not connected: only the (first) message pane is shown.
        pane.hidden = m_notConnected && (pane.id != 0 || messageSeen);
        if (pane.id == 0)
            messageSeen = true;
        if (pane.hidden)
            continue;
        if (pane.stretch)
            ++stretchers;
        else
            fixed += pane.textWidth + kPaneMargin;
    }
    const int shown = GetVisiblePaneCount();
    const int gaps = shown > 1 ? (shown - 1) * gap : 0;
    const int rest = std::max(0, area.width() - fixed - gaps);
    int share = stretchers ? rest / stretchers : 0;
    int extra = stretchers ? rest % stretchers : 0;
    int x = area.left();
    for (CPane &pane : m_panes) {
        if (pane.hidden) {
            pane.rect = QRect();
            continue;
        }
        int w = pane.stretch ? share + (extra-- > 0 ? 1 : 0) : pane.textWidth + kPaneMargin;
        pane.rect = QRect(x, area.top(), w, area.height());
        x += w + gap;
    }
    update();
}

QSize CMyStatusBar::sizeHint() const
{
    return QSize(QStatusBar::sizeHint().width(), fontMetrics().height() + 8);
}

QSize CMyStatusBar::minimumSizeHint() const
{
    return QSize(0, fontMetrics().height() + 8);
}

void CMyStatusBar::resizeEvent(QResizeEvent *ev)
{
    QStatusBar::resizeEvent(ev);
    RecalcLayout();
}

void CMyStatusBar::changeEvent(QEvent *ev)
{
    QStatusBar::changeEvent(ev);
    if (ev->type() == QEvent::FontChange || ev->type() == QEvent::StyleChange) {
        for (CPane &pane : m_panes)
            MeasurePane(pane);
        RecalcLayout();
        updateGeometry();
    }
}

// ---- painting ----

void CMyStatusBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    for (const CPane &pane : m_panes)
        if (!pane.hidden && !pane.rect.isEmpty())
            DrawPane(p, pane);
}

void CMyStatusBar::DrawPane(QPainter &p, const CPane &pane)
{
    const QPalette &pal = palette();
    const QRect r = pane.rect;
    p.save();
    p.setClipRect(r);
    if (!pane.stretch) {
        p.setPen(pal.color(QPalette::Mid));
        p.drawLine(r.topLeft(), r.bottomLeft());
    }
    const bool tip = pane.id == 0 && !m_tip.isEmpty() && &pane == &m_panes[static_cast<size_t>(CommandToIndex(0))];
    if (tip) {
        p.setPen(pal.color(QPalette::WindowText));
        p.drawText(r.adjusted(kTextIndent, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_tip);
    } else if (pane.message) {
        QLinearGradient g(r.left(), 0, r.right(), 0);
        g.setColorAt(0, pane.color1);
        g.setColorAt(1, pane.color2);
        p.fillRect(r, g);
        p.setPen(pane.textColor);
        p.drawText(r.adjusted(kTextIndent, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   pane.text);
    } else if (pane.progress) {
        const QString pct = QString::asprintf("%d%%", pane.value);
        const int barW = std::min(r.width(), std::max(kMinBarWidth, fontMetrics().horizontalAdvance(pct) + 6));
        const QRect textRect(r.left() + kTextIndent, r.top(), std::max(0, r.width() - barW - kTextIndent * 2),
                             r.height());
        p.setPen(pal.color(QPalette::ButtonText));
        p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, pane.text);
        const QRect bar(r.right() - barW + 1, r.top() + 2, barW - 2, r.height() - 4);
        const int filled = bar.width() * pane.value / 100;
        const QRect done(bar.left(), bar.top(), filled, bar.height());
        p.fillRect(bar, pal.color(QPalette::Base));
        p.fillRect(done, pal.color(QPalette::Highlight));
        p.setPen(pal.color(QPalette::Mid));
        p.drawRect(bar.adjusted(0, 0, -1, -1));
        // The percentage: highlight text on the filled part, button text
        // elsewhere.
        p.save();
        p.setClipRect(done);
        p.setPen(pal.color(QPalette::HighlightedText));
        p.drawText(bar, Qt::AlignCenter | Qt::TextSingleLine, pct);
        p.restore();
        p.save();
        p.setClipRect(QRect(done.right() + 1, bar.top(), bar.right() - done.right(), bar.height()));
        p.setPen(pal.color(QPalette::ButtonText));
        p.drawText(bar, Qt::AlignCenter | Qt::TextSingleLine, pct);
        p.restore();
    } else {
        p.setPen(pal.color(QPalette::WindowText));
        p.drawText(r.adjusted(kTextIndent, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   pane.text);
    }
    p.restore();
}
