#include "link/ui/port_combo.h"

#include <QAbstractItemView>
#include <QStyleOptionComboBox>
#include <QStylePainter>

CPortCombo::CPortCombo(QWidget *parent) : QComboBox(parent) {}

QString CPortCombo::ShownText() const
{
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
    return fontMetrics().elidedText(currentText(), Qt::ElideMiddle, field.width());
}

void CPortCombo::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    painter.drawComplexControl(QStyle::CC_ComboBox, opt);
    opt.currentText = ShownText();
    painter.drawControl(QStyle::CE_ComboBoxLabel, opt);
}

void CPortCombo::showPopup()
{
    view()->setMinimumWidth(view()->sizeHintForColumn(0) + 2 * view()->frameWidth() + 8);
    QComboBox::showPopup();
}
