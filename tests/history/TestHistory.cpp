#include "app/MainWindow.h"
#include "app/MessageBox.h"
#include "browser/BrowserTabs.h"
#include "browser/PageControl.h"
#include "catalogue/SiteTreeModel.h"
#include "catalogue/SiteTreeView.h"
#include "history/HistoryColumns.h"
#include "history/HistoryModel.h"
#include "history/HistoryView.h"
#include "history/SearchLinks.h"
#include "query/QueryRunner.h"
#include "query/ServiceHosts.h"
#include "support/FakeProviders.h"
#include "support/GuiTestMain.h"
#include "support/SqlFixture.h"
#include "support/TempProgramFolder.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>

using SqlFixture::column;
using SqlFixture::exec;

class TestHistory : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadShowsNewestFirst();
    void loadIsRefusedOrSkipped();
    void deleteRow();
    void popupNeedsRows();
    void wholeQueryInTheWindow();
    void runningRowFollowsSortingAndDragging();
    void closingDuringAQueryStoresNothing();
    void searchLinks_data();
    void searchLinks();
    void everyCellClickShowsFirstPage();

private:
    void click(int siteId);
    QList<int> columnValues(int column) const;
    HistoryModel* model() const { return m_window->history(); }

    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<FakeProviders> m_server;
    std::unique_ptr<MainWindow> m_window;
};

void TestHistory::init()
{
    MessageBox::setRecording(true);
    m_folder = std::make_unique<TempProgramFolder>();
    m_server = std::make_unique<FakeProviders>();
    m_server->serveSite("example.com");
    QByteArray hosts = "[hosts]\r\n";
    for (const char* role : {"baidu", "alexa", "alexa_referer", "chinarank", "pagerank", "google", "yahoo", "sogou",
                             "soso", "bing", "bing_referer", "youdao"})
        hosts += QByteArray(role) + "=" + m_server->hostAndPort() + "\r\n";
    m_folder->write(QStringLiteral("cfg.ini"), hosts);
    {
        SiteDatabase database(QStringLiteral("setup"));
        database.open(m_folder->folder().databaseFile());
        exec(database, QStringLiteral("INSERT INTO master VALUES (2, 'site', 1, 'http://www.example.com/'),"
                                      " (3, 'empty', 1, 'empty.com'), (4, 'folder', 4, ''), (5, 'inner', 4, 'x')"));
        exec(database, QStringLiteral("INSERT INTO details (autoid, pr_id, addtime, alexaworld, youdaobacklinks) VALUES"
                                      " (1, 2, '2026-01-01T10:00:00.000', 11, 1), (2, 2, '2026-03-01T10:00:00.000', -1, 3),"
                                      " (3, 2, '2026-02-01T00:00:00.000', 22, 2), (4, 5, '2026-02-01T00:00:00.000', 9, 9)"));
    }
    // No QAbstractItemModelTester here: column 0 numbers the rows, so by design a row's
    // neighbours change their data when a row is inserted or removed.
    m_window = std::make_unique<MainWindow>(m_folder->folder());
}

void TestHistory::cleanup()
{
    m_window.reset();
    m_server.reset();
    m_folder.reset();
}

void TestHistory::click(int siteId)
{
    m_window->tree()->setCurrentIndex(m_window->tree()->siteModel()->indexOf(siteId));
    emit m_window->tree()->treeClicked();
}

QList<int> TestHistory::columnValues(int column) const
{
    QList<int> values;
    for (int row = 0; row < model()->rowCount(); ++row)
        values << model()->intValue(row, column);
    return values;
}

void TestHistory::loadShowsNewestFirst()
{
    click(2);
    QCOMPARE(columnValues(HistoryColumns::AutoId), (QList<int>{2, 3, 1}));
    QCOMPARE(columnValues(HistoryColumns::Increment), (QList<int>{1, 2, 3}));
    QCOMPARE(model()->index(0, 2).data().toString(), QStringLiteral("-1"));
    QCOMPARE(model()->index(0, 3).data().toString(), QStringLiteral("0")); // never filled
    QCOMPARE(model()->address(2), QStringLiteral("http://www.example.com/"));
    // Exactly midnight shows the date alone.
    QVERIFY(!model()->index(1, 1).data().toString().contains(QLatin1Char(':')));
    QVERIFY(model()->index(0, 1).data().toString().contains(QStringLiteral("10:00:00")));

    click(3);
    QCOMPARE(model()->rowCount(), 0);
}

void TestHistory::loadIsRefusedOrSkipped()
{
    click(2);
    click(4); // a folder: the grid keeps what it shows
    QCOMPARE(model()->rowCount(), 3);
    click(1); // the first node
    QCOMPARE(model()->rowCount(), 3);
    QCOMPARE(MessageBox::takeShown(), QStringList());
}

void TestHistory::deleteRow()
{
    click(2);
    m_window->findChild<QAction*>(QStringLiteral("N24"))->trigger(); // nothing selected
    QCOMPARE(MessageBox::takeShown(), QStringList());

    m_window->historyGrid()->selectRow(1);
    MessageBox::setNextAnswer(QMessageBox::No);
    m_window->findChild<QAction*>(QStringLiteral("N24"))->trigger();
    QCOMPARE(MessageBox::takeShown(), QStringList{QStringLiteral("确定删除吗？")});
    QCOMPARE(model()->rowCount(), 3);

    MessageBox::setNextAnswer(QMessageBox::Yes);
    m_window->findChild<QAction*>(QStringLiteral("N24"))->trigger();
    QCOMPARE(columnValues(HistoryColumns::AutoId), (QList<int>{2, 1}));
    QCOMPARE(columnValues(HistoryColumns::Increment), (QList<int>{1, 2}));
    QCOMPARE(column(m_window->database(), QStringLiteral("SELECT autoid FROM details ORDER BY autoid")), QStringLiteral("1,2,4"));
}

void TestHistory::popupNeedsRows()
{
    m_window->show();
    auto* menu = m_window->findChild<QMenu*>(QStringLiteral("pm2"));
    QWidget* grid = m_window->historyGrid()->viewport();
    QTest::mouseClick(grid, Qt::RightButton, {}, QPoint(300, 150));
    QVERIFY(!menu->isVisible());
    click(2);
    QTest::mouseClick(grid, Qt::RightButton, {}, QPoint(300, 150)); // below the rows
    QTRY_VERIFY(menu->isVisible());
    menu->hide();
}

void TestHistory::wholeQueryInTheWindow()
{
    m_server->setDelayForAll(150);
    click(2);
    m_window->findChild<QAction*>(QStringLiteral("N20"))->trigger();
    QCOMPARE(MessageBox::takeShown(), QStringList());
    QVERIFY(m_window->queryRunner()->isRunning());
    QVERIFY(!m_window->findChild<QWidget*>(QStringLiteral("rzpnl1"))->isHidden());
    QCOMPARE(model()->rowCount(), 4);
    QCOMPARE(model()->background(0), HistoryColumns::RunningColour);
    QCOMPARE(model()->intValue(0, HistoryColumns::AutoId), 5);
    QCOMPARE(model()->address(0), QStringLiteral("http://www.example.com/"));

    // A second query and a history load wait for this one.
    m_window->findChild<QAction*>(QStringLiteral("N9"))->trigger();
    click(3);
    QCOMPARE(MessageBox::takeShown(), (QStringList{QStringLiteral("上次查询未结束"), QStringLiteral("上次查询未结束,请等待查询结束")}));
    QCOMPARE(model()->rowCount(), 4);

    QTRY_VERIFY_WITH_TIMEOUT(!m_window->queryRunner()->isRunning(), 15000);
    QVERIFY(m_window->findChild<QWidget*>(QStringLiteral("rzpnl1"))->isHidden());
    QCOMPARE(model()->background(0), QColor(Qt::white));
    QList<int> shown;
    for (int column = HistoryColumns::FirstMetric; column <= HistoryColumns::LastMetric; ++column)
        shown << model()->intValue(0, column);
    QCOMPARE(shown, FakeSite::expectedValues());
    // The stored row is the one shown.
    const QList<DetailsRecord> stored = m_window->database().history(2);
    QCOMPARE(stored.first().autoid, 5);
    QCOMPARE(QList<int>(stored.first().values.begin(), stored.first().values.end()), shown);
}

void TestHistory::runningRowFollowsSortingAndDragging()
{
    m_server->setDelayForAll(300);
    click(2);
    m_window->findChild<QAction*>(QStringLiteral("N20"))->trigger();
    const quint64 running = model()->keyOfRow(0);
    // Sorting by time (newest first, then reversed) puts the running row last; dragging moves it.
    m_window->historyGrid()->horizontalHeader()->sectionClicked(HistoryColumns::Time);
    QCOMPARE(model()->rowOfKey(running), 0);
    m_window->historyGrid()->horizontalHeader()->sectionClicked(HistoryColumns::Time);
    QCOMPARE(model()->rowOfKey(running), 3);
    QVERIFY(model()->moveRowTo(3, 1));
    QCOMPARE(model()->rowOfKey(running), 1);

    // Deleting the running row is refused: it has no stored row yet.
    m_window->historyGrid()->selectRow(1);
    m_window->findChild<QAction*>(QStringLiteral("N24"))->trigger();
    QCOMPARE(MessageBox::takeShown(), QStringList{QStringLiteral("上次查询未结束,请等待查询结束")});

    QTRY_VERIFY_WITH_TIMEOUT(!m_window->queryRunner()->isRunning(), 15000);
    QCOMPARE(model()->intValue(1, 2), FakeSite::expectedValues().first());
    QCOMPARE(model()->background(1), QColor(Qt::white));
    QCOMPARE(model()->intValue(0, 2), 11); // the oldest stored row, untouched
}

void TestHistory::closingDuringAQueryStoresNothing()
{
    m_server->setDelayForAll(20000);
    click(2);
    m_window->findChild<QAction*>(QStringLiteral("N20"))->trigger();
    QTRY_VERIFY(!m_server->requests().isEmpty());
    QElapsedTimer timer;
    timer.start();
    m_window->close();
    m_window.reset(); // the transfers are aborted and the workers waited for
    QVERIFY(timer.elapsed() < 3000);
    SiteDatabase database(QStringLiteral("check"));
    database.open(m_folder->folder().databaseFile());
    QCOMPARE(database.history(2).size(), 3);
}

void TestHistory::searchLinks_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<QByteArray>("url");
    QTest::newRow("scheme www slash") << 7 << QByteArray("http://www.h.cn/") << QByteArray("http://www.baidu.com/s?wd=site%3Ah.cn");
    QTest::newRow("www only") << 8 << QByteArray("www.h.cn") << QByteArray("http://www.baidu.com/s?cl=3&wd=domain:h.cn");
    QTest::newRow("path glued") << 17 << QByteArray("http://h.cn/bbs/") << QByteArray("http://www.sogou.com/web?query=site:h.cnbbs");
    QTest::newRow("upper case") << 2 << QByteArray("HTTP://WWW.h.cn") << QByteArray("http://cn.alexa.com/siteinfo/HTTP:WWW.h.cn");
    QTest::newRow("https") << 4 << QByteArray("https://www.h.cn") << QByteArray("http://www.chinarank.org.cn/overview/Info.do?url=https:h.cn");
    QTest::newRow("other pagerank") << 5 << QByteArray("h.cn") << QByteArray("http://www.checkpagerank.net/google_pagerank/?q=h.cn");
    QTest::newRow("sogou rating") << 6 << QByteArray("h.cn") << QByteArray("http://www.sogou.com/web?query=link%3Ah.cn");
    QTest::newRow("yahoo links") << 12 << QByteArray("h.cn") << QByteArray("http://sitemap.cn.yahoo.com/search?p=h.cn&bwm=i");
    QTest::newRow("empty address") << 19 << QByteArray() << QByteArray("http://www.youdao.com/search?q=site%3A&ue=utf8&keyfrom=web.index");
    QTest::newRow("no link") << 1 << QByteArray("h.cn") << QByteArray();
}

void TestHistory::searchLinks()
{
    QFETCH(int, column);
    QFETCH(QByteArray, address);
    QFETCH(QByteArray, url);
    QCOMPARE(SearchLinks::url(column, address, ServiceHosts()).value_or(QByteArray()), url);
}

void TestHistory::everyCellClickShowsFirstPage()
{
    click(2);
    PageControl* pages = m_window->browser()->pageControl();
    QCOMPARE(pages->activePage(), int(BrowserTabs::NextPage));
    emit m_window->historyGrid()->cellClicked(1, 0);
    QCOMPARE(pages->activePage(), int(BrowserTabs::MainPage));
    QCOMPARE(pages->caption(BrowserTabs::MainPage), QStringLiteral("正在打开..."));
}

KORVANI_GUI_TEST_MAIN(TestHistory)
#include "TestHistory.moc"
