#include "shell/pane_output.h"

#include "res/resource.h"
#include "res/string_ids.h"
#include "res/strings.h"
#include "shell/output.h"

CPaneOutput::CPaneOutput(QWidget *parent)
    : CPaneBase(IDW_PANE_OUTPUT, LoadStr(IDS_TK_PANE_OUTPUT), Qt::BottomDockWidgetArea, 300, 100, parent)
{
    m_output = new CMyOutput;
    SetPage(m_output, LoadStr(IDS_TK_TAB_LOG));
}
