#include "shell/home_view.h"

#include "shell/home_page.h"

CMyHomeView::CMyHomeView(CFrameServices &frame, QWidget *parent, const QUrl &pageUrl)
    : CMyView(parent), m_page(new CMyHomePage(frame, viewport(), pageUrl))
{
    setObjectName(QStringLiteral("homeView"));
    SetScrollSizes(QSize());
    m_page->setGeometry(viewport()->rect());
    setFocusProxy(m_page);
}

void CMyHomeView::resizeEvent(QResizeEvent *event)
{
    CMyView::resizeEvent(event);
    m_page->setGeometry(0, 0, viewport()->width(), viewport()->height());
}
