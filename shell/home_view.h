// The home view: the client view that holds the home page, which covers its
// whole client area. It has no scroll range.
#pragma once

#include "toolkit/view.h"

#include <QUrl>

#include "shell/home_page.h"

class CFrameServices;

class CMyHomeView : public CMyView
{
    Q_OBJECT
  public:
    explicit CMyHomeView(CFrameServices &frame, QWidget *parent = nullptr,
                         const QUrl &pageUrl = HomePageUrl());

    CMyHomePage *GetPage() const { return m_page; }

  protected:
    void resizeEvent(QResizeEvent *event) override;

  private:
    CMyHomePage *m_page;
};
