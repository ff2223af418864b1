#include "browser/BrowserTabs.h"

#include "browser/PageControl.h"
#include "browser/WebPage.h"
#include "query/Gbk.h"
#include "query/TextUtils.h"

#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

constexpr int StatusBarHeight = 19;
constexpr int StatusTextWidth = 451;
constexpr int StatusProgressWidth = 163;
const char* const Opening = "正在打开...";

const char* const PageNames[] = {"rztbshtmain", "rztbshtnext"};
const char* const BrowserNames[] = {"embdwb1", "embdwb2"};
const char* const StatusBarNames[] = {"rzstsbr1", "RzStatusBar1"};
const char* const StatusTextNames[] = {"rzstspn1", "rzstspn2"};
const char* const ProgressNames[] = {"rzprgrsts1", "rzprgrsts2"};

} // namespace

BrowserTabs::BrowserTabs(QWidget* parent)
    : QWidget(parent)
    , m_profile(new QWebEngineProfile(this)) // off the record: nothing written to disk
    , m_pages(new PageControl(this))
{
    m_pages->setObjectName(QStringLiteral("rzpgcntrl1"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pages);

    m_pages->addPage(buildPage(MainPage), QStringLiteral("首页"));
    m_pages->addPage(buildPage(NextPage), QStringLiteral("次页"));
    m_browsers[MainPage].page->setNewWindowTarget(m_browsers[NextPage].page);
    m_browsers[NextPage].page->setNewWindowTarget(m_browsers[MainPage].page);
    m_pages->setActivePage(NextPage);
    connect(m_pages, &PageControl::closeClicked, this, &BrowserTabs::closeActivePage);
}

BrowserTabs::~BrowserTabs()
{
    // Pages must go before the profile they belong to.
    for (Browser& browser : m_browsers) {
        delete browser.view;
        delete browser.page;
    }
}

QWidget* BrowserTabs::buildPage(int index)
{
    Browser& browser = m_browsers.at(size_t(index));
    auto* page = new QWidget;
    page->setObjectName(QLatin1String(PageNames[index]));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    browser.view = new QWebEngineView(page);
    browser.view->setObjectName(QLatin1String(BrowserNames[index]));
    browser.page = new WebPage(m_profile);
    browser.page->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
    browser.view->setPage(browser.page);
    browser.view->installEventFilter(this);
    layout->addWidget(browser.view, 1);

    browser.statusBar = new QWidget(page);
    browser.statusBar->setObjectName(QLatin1String(StatusBarNames[index]));
    browser.statusBar->setFixedHeight(StatusBarHeight);
    auto* statusLayout = new QHBoxLayout(browser.statusBar);
    statusLayout->setContentsMargins(0, 0, 0, 0);
    statusLayout->setSpacing(0);
    browser.statusText = new QLabel(browser.statusBar);
    browser.statusText->setObjectName(QLatin1String(StatusTextNames[index]));
    browser.statusText->setFixedWidth(StatusTextWidth);
    browser.statusText->setFrameShape(QFrame::StyledPanel);
    browser.statusText->setFrameShadow(QFrame::Sunken);
    browser.progressBar = new QProgressBar(browser.statusBar);
    browser.progressBar->setObjectName(QLatin1String(ProgressNames[index]));
    browser.progressBar->setFixedWidth(StatusProgressWidth);
    browser.progressBar->setTextVisible(false);
    browser.progressBar->setRange(0, 100);
    browser.progressBar->setValue(0);
    statusLayout->addWidget(browser.statusText);
    statusLayout->addWidget(browser.progressBar);
    statusLayout->addStretch(1);
    layout->addWidget(browser.statusBar);

    connect(browser.page, &QWebEnginePage::loadStarted, this, [this, index] { onProgress(index, 0, 100); });
    connect(browser.page, &QWebEnginePage::loadProgress, this, [this, index](int percent) { onProgress(index, percent, 100); });
    connect(browser.page, &QWebEnginePage::loadFinished, this, [this, index] { onLoadFinished(index); });
    connect(browser.page, &QWebEnginePage::linkHovered, this, [this, index](const QString& url) {
        m_browsers.at(size_t(index)).statusText->setText(Gbk::decode(Gbk::encode(url)));
    });
    connect(browser.page, &WebPage::newWindowOpened, this, [this, index] { onNewWindow(index); });
    return page;
}

bool BrowserTabs::eventFilter(QObject* watched, QEvent* event)
{
    // No new window by keyboard.
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_N && key->modifiers() == Qt::ControlModifier) {
            event->accept();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void BrowserTabs::openInMainTab(const QUrl& url)
{
    navigateMainTab(url);
    m_pages->setCaption(MainPage, QString::fromUtf8(Opening));
}

void BrowserTabs::showMainPageOpening()
{
    m_pages->setActivePage(MainPage);
    m_pages->setCaption(MainPage, QString::fromUtf8(Opening));
}

void BrowserTabs::navigateMainTab(const QUrl& url)
{
    m_browsers[MainPage].view->load(url);
    m_pages->setActivePage(MainPage);
}

QString BrowserTabs::hint(int page) const
{
    return m_browsers.at(size_t(page)).statusBar->toolTip();
}

QString BrowserTabs::statusText(int page) const
{
    return m_browsers.at(size_t(page)).statusText->text();
}

void BrowserTabs::onProgress(int index, int done, int total)
{
    Browser& browser = m_browsers.at(size_t(index));
    browser.progress.setTotal(total);
    browser.progress.setDone(done);
    browser.progressBar->setValue(browser.progress.percent());
}

std::optional<std::pair<QString, QString>> BrowserTabs::captionForTitle(const QString& title)
{
    bool blank = true;
    for (const QChar c : title)
        blank = blank && (c.isSpace() || c.unicode() < 32);
    if (blank)
        return std::nullopt;
    // Captions are 23 bytes of GBK text at most, never half a character.
    const QByteArray gbk = Gbk::encode(title);
    return std::make_pair(Gbk::decode(TruncateTitle(gbk)), Gbk::decode(gbk));
}

void BrowserTabs::onLoadFinished(int index)
{
    onProgress(index, -1, 100);
    if (index == MainPage)
        emit mainDocumentComplete();
    // The page's own title, not the address the engine shows for a page without one.
    QWebEnginePage* page = m_browsers.at(size_t(index)).page;
    page->runJavaScript(QStringLiteral("[document.contentType || '', document.title || '']"),
                        QWebEngineScript::ApplicationWorld, [this, index](const QVariant& result) {
                            const QVariantList values = result.toList();
                            if (values.size() != 2 || !values.at(0).toString().contains(QLatin1String("html")))
                                return;
                            const auto caption = captionForTitle(values.at(1).toString());
                            if (!caption)
                                return;
                            m_pages->setCaption(index, caption->first);
                            m_browsers.at(size_t(index)).statusBar->setToolTip(caption->second);
                        });
}

void BrowserTabs::onNewWindow(int fromPage)
{
    if (fromPage == MainPage) {
        m_pages->setActivePage(NextPage);
        m_pages->setTabVisible(NextPage, true);
        m_pages->setTabVisible(MainPage, true);
        m_pages->setCaption(NextPage, QString::fromUtf8(Opening));
    } else {
        m_pages->setActivePage(MainPage);
        m_pages->setCaption(MainPage, QString::fromUtf8(Opening));
    }
}

void BrowserTabs::closeActivePage()
{
    const int closing = m_pages->activePage();
    m_browsers.at(size_t(closing)).view->load(QUrl(QStringLiteral("about:blank")));
    m_pages->setActivePage(closing == NextPage ? MainPage : NextPage);
    m_pages->setTabVisible(NextPage, false);
    m_pages->setTabVisible(MainPage, false);
}
