// The terminal's window: its screen dimmed by the backlight, a status line,
// the stored slots as thumbnails and a restart button.
#pragma once

#include "sim_engine.h"

#include <QWidget>
#include <atomic>

class QLabel;
class QListWidget;

namespace qelsim
{

class CScreenView : public QWidget
{
    Q_OBJECT
  public:
    explicit CScreenView(QSize screenSize, QWidget *parent = nullptr);
    void SetScreen(const QImage &image, bool backlightOn, int brightness);
    QSize sizeHint() const override { return shown_; }

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    QImage image_;
    QSize shown_;
    bool backlightOn_ = true;
    int brightness_ = 255;
};

class CSimWindow : public QWidget
{
    Q_OBJECT
  public:
    CSimWindow(CSimEngine *engine, const SimConfig &config);
    // Asks for a refresh from any thread; several requests become one.
    void PostRefresh();

  public slots:
    void Refresh();

  private:
    CSimEngine *engine_;
    SimConfig config_;
    CScreenView *screen_;
    QLabel *status_;
    QListWidget *slots_;
    std::map<int, qint64> thumbKeys_;
    std::atomic<bool> refreshPosted_{false};
};

} // namespace qelsim
