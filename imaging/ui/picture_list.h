// The slot list: a small pop-up list under the send-picture button with one
// item "发送并保存到 %d 区" per picture slot; choosing item i posts command
// 32900 + i to the main window.
#pragma once

#include <QFrame>
#include <QRect>
#include <functional>

class QListView;
class QAbstractListModel;

enum : int { MAX_SLOT_ITEMS = 300 };

// Items of the list for a terminal with maxPictures slots: min(maxPictures,
// 300), never negative.
int SlotItemCount(int maxPictures);

// Where a list of the given size goes for a button rectangle (screen
// coordinates) on a monitor's work area: below the button, aligned with its
// left edge but moved left to stay inside, never past the left edge; above
// the button when it does not fit below and fits above or has more room
// there; clipped to the work area shrunk by 10 pixels on every side.
QRect PlaceSlotList(const QRect &button, const QSize &size, const QRect &workArea);

class CMyPictureList : public QFrame {
    Q_OBJECT
public:
    // post gets the command id of a chosen item.
    CMyPictureList(int maxPictures, std::function<void(int id)> post, QWidget *owner);
    ~CMyPictureList() override;

    // Sizes and places the list against the button and shows it.
    void Popup(const QRect &buttonOnScreen);
    // The size the rules give for the items.
    QSize ListSize() const;

    int Count() const;
    QString ItemText(int index) const;
    QListView *List() const { return m_list; }

    // Hides the list, posts 32900 + index when index >= 0, and deletes the
    // list once control returns to the event loop.
    void Finish(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QListView *m_list;
    QAbstractListModel *m_model;
    std::function<void(int)> m_post;
    bool m_finished = false;
};
