#pragma once

#include <QPointer>
#include <QWebEnginePage>

// The page of both browsers. A new window a page asks for opens in the other browser's
// page, so there are never more than two.
class WebPage final : public QWebEnginePage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WebPage)

public:
    explicit WebPage(QWebEngineProfile* profile, QObject* parent = nullptr);

    void setNewWindowTarget(WebPage* target) { m_newWindowTarget = target; }

signals:
    // The page asked for a new window, which is loading in the target page now.
    void newWindowOpened();

protected:
    QWebEnginePage* createWindow(WebWindowType type) override;

private:
    QPointer<WebPage> m_newWindowTarget;
};
