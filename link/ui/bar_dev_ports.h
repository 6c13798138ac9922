// The device toolbar's port and baud lists as detection and the connect
// command see them.
#pragma once

#include "link/detector.h"

class CBarDev;

class CBarDevPorts : public CDetectPorts {
public:
    explicit CBarDevPorts(CBarDev *bar) : m_bar(bar) {}

    void Refresh() override;
    bool SelectPort(int index) override;
    int BaudCount() const override;
    bool SelectBaud(int index) override;
    bool GetPortSelection(CPortSelection *selection) override;

private:
    CBarDev *m_bar;
};
