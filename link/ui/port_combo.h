// The port box of the device toolbar: a drop-down list that keeps its width
// and shows a name too long for it with its middle left out, so that ports
// whose names differ only at the end ("虚拟终端 (qelsim-a)", "虚拟终端
// (qelsim-b)") stay apart. The open list is as wide as its longest name.
#pragma once

#include <QComboBox>

class CPortCombo : public QComboBox {
    Q_OBJECT
public:
    explicit CPortCombo(QWidget *parent = nullptr);

    // The text the box shows for its current entry.
    QString ShownText() const;
    void showPopup() override;

protected:
    void paintEvent(QPaintEvent *event) override;
};
