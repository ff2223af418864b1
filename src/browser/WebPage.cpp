#include "browser/WebPage.h"

#include <QTimer>

WebPage::WebPage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent)
{
}

QWebEnginePage* WebPage::createWindow(WebWindowType)
{
    if (!m_newWindowTarget)
        return nullptr;
    // The routing (page switch, tabs, caption) follows once the engine has handed over.
    QTimer::singleShot(0, this, &WebPage::newWindowOpened);
    return m_newWindowTarget;
}
