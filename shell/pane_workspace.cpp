#include "shell/pane_workspace.h"

#include "res/resource.h"
#include "res/string_ids.h"
#include "res/strings.h"
#include "toolkit/tab_ctrl.h"

CPaneWorkspace::CPaneWorkspace(QWidget *parent)
    : CPaneBase(IDW_PANE_WORKSPACE, LoadStr(IDS_TK_PANE_WORKSPACE), Qt::LeftDockWidgetArea, 200, 300, parent)
{
    m_page = new QWidget;
    m_page->setAutoFillBackground(true);
    m_page->setBackgroundRole(QPalette::Base);
    SetPage(m_page, LoadStr(IDS_TK_TAB_FILES));
}

void CPaneWorkspace::SetFilePage(QWidget *page)
{
    if (!page || page == m_page)
        return;
    CMyTabCtrl *tabs = GetTabCtrl();
    const int old = tabs->FindPage(m_page);
    if (old >= 0)
        tabs->RemoveTab(old);
    delete m_page;
    m_page = page;
    SetPage(m_page, LoadStr(IDS_TK_TAB_FILES));
}
