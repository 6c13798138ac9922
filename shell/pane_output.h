// The output pane at the bottom of the main window: the communication log as
// its single tab "日志".
#pragma once

#include "toolkit/pane.h"

class CMyOutput;

class CPaneOutput : public CPaneBase {
    Q_OBJECT
public:
    // Docked at the bottom; 300 wide when docked at a side, 100 high.
    explicit CPaneOutput(QWidget *parent = nullptr);

    CMyOutput *GetOutput() const { return m_output; }

private:
    CMyOutput *m_output;
};
