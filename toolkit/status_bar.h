// The status bar: up to four panes by id, coloured messages that fade back
// after a while, and a progress display. Drawn entirely by itself; it is a
// QStatusBar so the main window's status tips reach the message pane.
#pragma once

#include <QColor>
#include <QPointer>
#include <QRect>
#include <QStatusBar>
#include <QString>
#include <QTimer>
#include <functional>
#include <vector>

// Milliseconds of a monotonic clock; injectable so tests need not wait.
using StatusClock = std::function<qint64()>;

class CMyStatusBar : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int kMaxPanes = 4;
    static constexpr int kMaxText = 389;
    static constexpr int kTimerId = 59393;
    static constexpr int kTickMs = 2500;    // message timer interval
    static constexpr int kMessageAgeMs = 5000; // a message older than this fades
    static constexpr int kMinBarWidth = 120;   // progress bar

    struct CPane {
        int id = 0;          // 0 = stretching message pane
        QString text;
        int textWidth = 0;
        QRect rect;
        bool stretch = false;
        bool hidden = false;
        bool message = false;  // shows a coloured message
        bool progress = false; // shows progress
        qint64 setTime = 0;
        QColor textColor;
        QColor color1;
        QColor color2;
        int value = 0;
    };

    explicit CMyStatusBar(QWidget *parent = nullptr);

    // Creates the panes from string-table ids (0 = the message pane, showing
    // "就绪"); each pane shows its id's string. At most four.
    bool SetPanes(const std::vector<int> &ids);
    // Appends / removes one pane (false when full / not found).
    bool AddPane(int id);
    bool RemovePane(int id);

    int GetPaneCount() const { return static_cast<int>(m_panes.size()); }
    // Number of panes currently shown (the layout may hide some).
    int GetVisiblePaneCount() const;
    int CommandToIndex(int id) const;
    int GetPaneId(int index) const;
    const CPane &GetPane(int index) const { return m_panes.at(static_cast<size_t>(index)); }
    QString GetPaneText(int index) const;
    // A command prompt shown over the message pane while the pointer is on
    // a menu item or button (the main window's status tips); the message
    // underneath keeps its state and returns when the prompt goes.
    QString GetTipText() const { return m_tip; }
    QRect GetItemRect(int index) const;

    // Plain text update: ignored while the pane shows progress; otherwise
    // replaces the text (at most 389 characters) and removes the colouring.
    void SetPaneText(int index, const QString &text);
    // Coloured message: white text on a gradient from color1 (left) to
    // color2 (right); stamps the time and starts the timer unless it runs.
    void SetPaneMessage(int index, const QString &text, const QColor &color1, const QColor &color2);
    // Progress 0..100 with a text; -1 or 100 ends the bar and keeps the text.
    void SetPaneProgress(int index, int value, const QString &text);

    // The shell's status facility on the message pane: kind 1 information,
    // 2 success, 3 failure (coloured); any other kind shows plain text, or
    // "就绪" for an empty text.
    void ShowStatusMessage(int kind, const QString &text);
    void ShowStatusProgress(const QString &text, int percent);
    static void KindColors(int kind, QColor *color1, QColor *color2);

    // Layout for a closed connection: only the message pane is shown and
    // spans the whole bar. Lays the panes out again when the flag changes.
    void SetNotConnectedLayout(bool notConnected);
    bool IsNotConnectedLayout() const { return m_notConnected; }
    void RecalcLayout();

    // Clock and timer (for tests and the owner).
    void SetClock(StatusClock clock);
    qint64 Now() const;
    bool IsTimerActive() const { return m_timer.isActive(); }
    Qt::TimerType GetTimerType() const { return m_timer.timerType(); }
    int GetTimerStartCount() const { return m_timerStarts; }
    // One timer tick: fades every message at least 5000 ms old.
    void OnTimerTick();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void paneTextChanged(int index);

protected:
    void paintEvent(QPaintEvent *ev) override;
    void resizeEvent(QResizeEvent *ev) override;
    void changeEvent(QEvent *ev) override;

private:
    void OnFrameworkMessage(const QString &text);
    void ClearTip();
    // Remembers where the pointer is as a message comes (see
    // OnFrameworkMessage).
    void HoldAgainstPrompt();
    void MeasurePane(CPane &pane);
    void StartTimer();
    void DrawPane(QPainter &p, const CPane &pane);
    bool ValidIndex(int index) const { return index >= 0 && index < GetPaneCount(); }

    std::vector<CPane> m_panes;
    bool m_notConnected = false;
    QTimer m_timer;
    int m_timerStarts = 0;
    StatusClock m_clock;
    QString m_tip;
    QPoint m_messagePointer;
    QPointer<QWidget> m_messageUnder;
    bool m_holding = false;
};
