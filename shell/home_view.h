// The home view: the client view that holds the home page, which covers its
// whole client area. It has no scroll range.
#pragma once

#include "toolkit/view.h"

#include <QUrl>

class CAppFrame;
class CMyHomePage;

class CMyHomeView : public CMyView
{
    Q_OBJECT
  public:
    explicit CMyHomeView(CAppFrame &frame, QWidget *parent = nullptr,
                         const QUrl &pageUrl = QUrl(QStringLiteral("qrc:/home/index.htm")));

    CMyHomePage *GetPage() const { return m_page; }

  protected:
    void resizeEvent(QResizeEvent *event) override;

  private:
    CMyHomePage *m_page;
};
