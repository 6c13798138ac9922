// The workspace pane at the left of the main window: the file list as its
// single tab "文件". Until the file list exists the tab holds an empty page.
#pragma once

#include "toolkit/pane.h"

class CPaneWorkspace : public CPaneBase {
    Q_OBJECT
public:
    // Docked at the left; 200 wide, 300 high when docked at the top/bottom.
    explicit CPaneWorkspace(QWidget *parent = nullptr);

    // The page of the tab "文件".
    QWidget *GetPage() const { return m_page; }
    // Replaces the page (the file list, when it arrives).
    void SetFilePage(QWidget *page);

private:
    QWidget *m_page;
};
