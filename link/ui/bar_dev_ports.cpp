#include "link/ui/bar_dev_ports.h"

#include <QComboBox>

#include "link/ui/bar_dev.h"

void CBarDevPorts::Refresh()
{
    m_bar->RefreshPorts();
    m_bar->FillBaudList();
}

bool CBarDevPorts::SelectPort(int index)
{
    return m_bar->SelectPort(index) >= 0;
}

int CBarDevPorts::BaudCount() const
{
    return m_bar->GetBaudList()->count();
}

bool CBarDevPorts::SelectBaud(int index)
{
    QComboBox *list = m_bar->GetBaudList();
    if (index < 0 || index >= list->count())
        return false;
    list->setCurrentIndex(index);
    return list->currentIndex() == index;
}

bool CBarDevPorts::GetPortSelection(CPortSelection *selection)
{
    int rate = 0;
    QString name;
    QString path;
    const bool usable = m_bar->GetPortSelection(&rate, &name, &path);
    selection->rate = rate;
    selection->displayName = name;
    selection->path = path;
    return usable;
}
