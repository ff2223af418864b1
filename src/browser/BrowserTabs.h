#pragma once

#include "browser/ProgressPane.h"

#include <QUrl>
#include <QWidget>

#include <array>

class PageControl;
class QLabel;
class QProgressBar;
class QWebEngineProfile;
class QWebEngineView;
class WebPage;

// The two browser pages under the history grid. The first shows what the program opens;
// the second catches the first one's new windows, and the two hand new windows to each other.
class BrowserTabs final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BrowserTabs)

public:
    static constexpr int MainPage = 0;
    static constexpr int NextPage = 1;

    explicit BrowserTabs(QWidget* parent = nullptr);
    ~BrowserTabs() override;

    // Navigates the first browser, shows its page and captions it "正在打开...".
    void openInMainTab(const QUrl& url);
    // Shows the first page captioned "正在打开..." without navigating.
    void showMainPageOpening();
    // Shows the first page and navigates its browser, leaving the caption alone.
    void navigateMainTab(const QUrl& url);

    PageControl* pageControl() const { return m_pages; }
    QWebEngineView* view(int page) const { return m_browsers.at(size_t(page)).view; }
    QString hint(int page) const;
    QString statusText(int page) const;
    const ProgressPane& progress(int page) const { return m_browsers.at(size_t(page)).progress; }

    // The caption and hint a page title gives, or nothing for a blank title.
    static std::optional<std::pair<QString, QString>> captionForTitle(const QString& title);

signals:
    // The first browser completed a page; runs before its title becomes the caption.
    void mainDocumentComplete();

private:
    struct Browser
    {
        QWebEngineView* view = nullptr;
        WebPage* page = nullptr;
        QWidget* statusBar = nullptr;
        QLabel* statusText = nullptr;
        QProgressBar* progressBar = nullptr;
        ProgressPane progress;
    };

    QWidget* buildPage(int index);
    void onLoadFinished(int index);
    void onProgress(int index, int done, int total);
    void onNewWindow(int fromPage);
    void closeActivePage();
    bool eventFilter(QObject* watched, QEvent* event) override;

    QWebEngineProfile* m_profile = nullptr;
    PageControl* m_pages = nullptr;
    std::array<Browser, 2> m_browsers;
};
