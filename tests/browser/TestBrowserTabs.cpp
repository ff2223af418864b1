#include "browser/BrowserTabs.h"
#include "browser/PageControl.h"
#include "browser/ProgressPane.h"
#include "query/Gbk.h"
#include "support/FakeProviders.h"
#include "support/GuiTestMain.h"

#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

QByteArray html(const QString& title, const QString& body = {})
{
    return (QStringLiteral("<html><head><meta charset=\"utf-8\"><title>%1</title></head><body>%2</body></html>")
                .arg(title, body))
        .toUtf8();
}

} // namespace

class TestBrowserTabs : public QObject
{
    Q_OBJECT

private slots:
    void captionForTitle_data();
    void captionForTitle();
    void progressClamping();
    void openInMainTabCaptionsFromTitle();
    void blankTitleKeepsCaption();
    void newWindowsGoToTheOtherBrowser();
    void closeButtonBlanksAndHidesTabs();

private:
    // /first links to /second and /second to /third, each opening a new window.
    void serveLinkedPages();
    static void clickLink(BrowserTabs& tabs, int page);
    QUrl url(const QByteArray& path) const { return QUrl(QStringLiteral("http://%1%2").arg(QString::fromLatin1(m_server.hostAndPort()), QString::fromLatin1(path))); }
    FakeProviders m_server;
};

void TestBrowserTabs::serveLinkedPages()
{
    const QString link = QStringLiteral("<a id=\"l\" href=\"%1\" target=\"_blank\">x</a>");
    m_server.setPage("/first", html(QStringLiteral("First"), link.arg(QStringLiteral("/second"))));
    m_server.setPage("/second", html(QStringLiteral("Second"), link.arg(QStringLiteral("/third"))));
    m_server.setPage("/third", html(QStringLiteral("Third")));
}

void TestBrowserTabs::clickLink(BrowserTabs& tabs, int page)
{
    tabs.view(page)->page()->runJavaScript(QStringLiteral("document.getElementById('l').click()"));
}

void TestBrowserTabs::captionForTitle_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("hint");
    QTest::newRow("short") << "Example" << "Example" << "Example";
    QTest::newRow("long ascii") << QString(30, QLatin1Char('a')) << QString(23, QLatin1Char('a')) << QString(30, QLatin1Char('a'));
    QTest::newRow("twelve chinese") << "一二三四五六七八九十百千" << "一二三四五六七八九十百" << "一二三四五六七八九十百千";
    QTest::newRow("letter and chinese") << "a一二三四五六七八九十百千" << "a一二三四五六七八九十百" << "a一二三四五六七八九十百千";
    QTest::newRow("leading spaces kept") << "  spaced" << "  spaced" << "  spaced";
    QTest::newRow("blank") << "  \t " << "-" << "-";
    QTest::newRow("empty") << "" << "-" << "-";
}

void TestBrowserTabs::captionForTitle()
{
    QFETCH(QString, title);
    QFETCH(QString, caption);
    QFETCH(QString, hint);
    const auto result = BrowserTabs::captionForTitle(title);
    QCOMPARE(result ? result->first : QStringLiteral("-"), caption);
    QCOMPARE(result ? result->second : QStringLiteral("-"), hint);
}

void TestBrowserTabs::progressClamping()
{
    ProgressPane pane;
    pane.setTotal(100);
    pane.setDone(-1); // the browser's "finished": a full bar
    QCOMPARE(pane.percent(), 100);
    pane.setTotal(200); // a new total empties the bar
    QCOMPARE(pane.percent(), 0);
    QCOMPARE(pane.done(), 0u);
    pane.setDone(50);
    QCOMPARE(pane.percent(), 25);
    pane.setDone(1);
    QCOMPARE(pane.percent(), 1); // 0.5 % rounds to the nearest whole percent
    ProgressPane empty;
    empty.setTotal(0);
    empty.setDone(30);
    QCOMPARE(empty.percent(), 0);
}

void TestBrowserTabs::openInMainTabCaptionsFromTitle()
{
    const QString title = QStringLiteral("中文标题很长的页面用于测试标签页的截断显示");
    m_server.setPage("/long", html(title));
    BrowserTabs tabs;
    tabs.show();
    PageControl* pages = tabs.pageControl();
    QCOMPARE(pages->activePage(), int(BrowserTabs::NextPage));
    QVERIFY(!pages->isTabStripVisible());

    tabs.openInMainTab(url("/long"));
    QCOMPARE(pages->activePage(), int(BrowserTabs::MainPage));
    QCOMPARE(pages->caption(BrowserTabs::MainPage), QStringLiteral("正在打开..."));
    QVERIFY(!pages->isTabStripVisible());
    QTRY_COMPARE_WITH_TIMEOUT(pages->caption(BrowserTabs::MainPage), QStringLiteral("中文标题很长的页面用于"), 15000);
    QCOMPARE(tabs.hint(BrowserTabs::MainPage), title);
    QTRY_COMPARE(tabs.progress(BrowserTabs::MainPage).percent(), 100);
}

void TestBrowserTabs::blankTitleKeepsCaption()
{
    m_server.setPage("/blank", html(QStringLiteral("   ")));
    BrowserTabs tabs;
    tabs.show();
    bool completed = false;
    connect(&tabs, &BrowserTabs::mainDocumentComplete, this, [&] { completed = true; });
    tabs.openInMainTab(url("/blank"));
    QTRY_VERIFY_WITH_TIMEOUT(completed, 15000);
    QTest::qWait(300);
    QCOMPARE(tabs.pageControl()->caption(BrowserTabs::MainPage), QStringLiteral("正在打开..."));
}

void TestBrowserTabs::newWindowsGoToTheOtherBrowser()
{
    serveLinkedPages();
    BrowserTabs tabs;
    tabs.show();
    PageControl* pages = tabs.pageControl();
    tabs.openInMainTab(url("/first"));
    QTRY_COMPARE_WITH_TIMEOUT(pages->caption(BrowserTabs::MainPage), QStringLiteral("First"), 15000);

    // From the first browser: loads in the second, both tabs show, page 1 active.
    clickLink(tabs, BrowserTabs::MainPage);
    QTRY_COMPARE_WITH_TIMEOUT(pages->activePage(), int(BrowserTabs::NextPage), 15000);
    QVERIFY(pages->isTabVisible(BrowserTabs::MainPage));
    QVERIFY(pages->isTabVisible(BrowserTabs::NextPage));
    QTRY_COMPARE_WITH_TIMEOUT(pages->caption(BrowserTabs::NextPage), QStringLiteral("Second"), 15000);
    QCOMPARE(tabs.view(BrowserTabs::NextPage)->url().path(), QStringLiteral("/second"));

    // From the second browser: replaces the first browser's page, page 0 active.
    clickLink(tabs, BrowserTabs::NextPage);
    QTRY_COMPARE_WITH_TIMEOUT(pages->activePage(), int(BrowserTabs::MainPage), 15000);
    QTRY_COMPARE_WITH_TIMEOUT(pages->caption(BrowserTabs::MainPage), QStringLiteral("Third"), 15000);
    QCOMPARE(tabs.view(BrowserTabs::MainPage)->url().path(), QStringLiteral("/third"));
}

void TestBrowserTabs::closeButtonBlanksAndHidesTabs()
{
    serveLinkedPages();
    BrowserTabs tabs;
    tabs.show();
    PageControl* pages = tabs.pageControl();
    tabs.openInMainTab(url("/first"));
    QTRY_COMPARE_WITH_TIMEOUT(pages->caption(BrowserTabs::MainPage), QStringLiteral("First"), 15000);
    clickLink(tabs, BrowserTabs::MainPage);
    QTRY_COMPARE_WITH_TIMEOUT(pages->caption(BrowserTabs::NextPage), QStringLiteral("Second"), 15000);

    // Closing page 1: the second browser goes blank, page 0 shows without tabs.
    emit pages->closeClicked();
    QCOMPARE(pages->activePage(), int(BrowserTabs::MainPage));
    QVERIFY(!pages->isTabStripVisible());
    QTRY_COMPARE_WITH_TIMEOUT(tabs.view(BrowserTabs::NextPage)->url().toString(), QStringLiteral("about:blank"), 15000);
    QCOMPARE(pages->caption(BrowserTabs::NextPage), QStringLiteral("Second")); // keeps its last caption
    QVERIFY(tabs.view(BrowserTabs::MainPage)->isVisible());

    // Closing page 0: the first browser goes blank, page 1 shows.
    emit pages->closeClicked();
    QCOMPARE(pages->activePage(), int(BrowserTabs::NextPage));
    QTRY_COMPARE_WITH_TIMEOUT(tabs.view(BrowserTabs::MainPage)->url().toString(), QStringLiteral("about:blank"), 15000);
}

KORVANI_GUI_TEST_MAIN(TestBrowserTabs)
#include "TestBrowserTabs.moc"
