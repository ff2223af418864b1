#include "app/CommandError.h"
#include "catalogue/SiteDatabase.h"
#include "query/HttpFetcher.h"
#include "query/QueryRunner.h"
#include "support/FakeProviders.h"
#include "support/TempProgramFolder.h"
#include "query/Gbk.h"

#include <QSignalSpy>
#include <QSqlQuery>
#include <QTest>

namespace {

const QByteArray Domain = "example.com";
const QString Address = QStringLiteral("http://www.example.com/");

QList<int> valuesOf(const DetailsRecord& record)
{
    return QList<int>(record.values.begin(), record.values.end());
}

QList<int> failureValues()
{
    QList<int> values(MetricCount, -1);
    values[metricIndex("yahoobacklinks")] = 0;
    return values;
}

} // namespace

class TestQueryRunner : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { HttpFetcher::globalInit(); }
    void init();
    void cleanup();

    void wholeQueryStoresRow();
    void requestsAreExact();
    void everyFailureStoresFailureValues_data();
    void everyFailureStoresFailureValues();
    void sharedPageRules();
    void cookiesStayWithTheirStep();
    void stalledProviderTimesOut();
    void oversizedAnswerFails();
    void launchRefusals();
    void unusualAddresses_data();
    void unusualAddresses();
    void cancelStoresNothing();
    void storeFailureIsReported();

private:
    // Runs one query to its end; returns the stored row, or nullopt when storing failed.
    std::optional<DetailsRecord> runQuery(const QString& address = Address, int siteId = 3);

    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<SiteDatabase> m_database;
    std::unique_ptr<FakeProviders> m_server;
    std::unique_ptr<QueryRunner> m_runner;
    QMap<int, int> m_cells;
    QStringList m_statusTexts;
};

void TestQueryRunner::init()
{
    m_folder = std::make_unique<TempProgramFolder>();
    m_database = std::make_unique<SiteDatabase>();
    m_database->open(m_folder->folder().databaseFile());
    m_server = std::make_unique<FakeProviders>();
    m_runner = std::make_unique<QueryRunner>(*m_database);
    ServiceHosts hosts;
    hosts.setAll(m_server->hostAndPort());
    m_runner->setHosts(hosts);
    FetchLimits limits;
    limits.totalTimeoutMs = 2000;
    m_runner->setLimits(limits);
    m_cells.clear();
    m_statusTexts.clear();
    connect(m_runner.get(), &QueryRunner::cellValue, this, [this](int column, int value) { m_cells[column] = value; });
    connect(m_runner.get(), &QueryRunner::statusText, this, [this](const QString& text) { m_statusTexts << text; });
}

void TestQueryRunner::cleanup()
{
    m_runner.reset();
    m_server.reset();
    m_database.reset();
    m_folder.reset();
}

std::optional<DetailsRecord> TestQueryRunner::runQuery(const QString& address, int siteId)
{
    QSignalSpy finished(m_runner.get(), &QueryRunner::finished);
    QSignalSpy failed(m_runner.get(), &QueryRunner::storeFailed);
    m_runner->launch(siteId, address);
    if (!QTest::qWaitFor([&] { return !finished.isEmpty() || !failed.isEmpty(); }, 20000))
        return std::nullopt;
    if (finished.isEmpty())
        return std::nullopt;
    const QList<DetailsRecord> rows = m_database->history(siteId);
    for (const DetailsRecord& row : rows) {
        if (row.autoid == finished.first().first().toInt())
            return row;
    }
    return std::nullopt;
}

void TestQueryRunner::wholeQueryStoresRow()
{
    m_server->serveSite(Domain);
    const QDateTime before = QDateTime::currentDateTime();
    const std::optional<DetailsRecord> row = runQuery();
    QVERIFY(row);
    QCOMPARE(valuesOf(*row), FakeSite::expectedValues());
    QCOMPARE(row->prId, 3);
    QCOMPARE(row->autoid, 1);
    QCOMPARE(m_runner->predictedAutoId(), 1);
    QVERIFY(row->addtime >= before.addMSecs(-1000));
    QVERIFY(!m_runner->isRunning());
    // Every value went to its column of the grid.
    for (int column = 2; column <= 20; ++column)
        QCOMPARE(m_cells.value(column), FakeSite::expectedValues().at(column - 2));
    QVERIFY(m_statusTexts.contains(QStringLiteral("正在执行【Alexa中国排名】查询...")));
    QVERIFY(m_statusTexts.contains(QStringLiteral("正在执行【搜狗PR】查询...")));
    QCOMPARE(m_statusTexts.size(), 19);

    // The next query's row is numbered one above.
    QCOMPARE(runQuery()->autoid, 2);
}

void TestQueryRunner::requestsAreExact()
{
    m_server->serveSite(Domain);
    QVERIFY(runQuery());
    const QList<FakeProviders::Request> requests = m_server->requests();
    QCOMPARE(requests.size(), 17);
    QSet<QByteArray> targets;
    for (const FakeProviders::Request& request : requests) {
        targets << request.target;
        QCOMPARE(request.version, QByteArray("HTTP/1.1"));
        QCOMPARE(request.headers.value("user-agent"), QByteArray("MMM"));
        QCOMPARE(request.headers.value("referer"), m_server->hostAndPort());
        QCOMPARE(request.headers.value("accept"), QByteArray("text/html, */*"));
        QVERIFY(!request.headers.contains("accept-encoding"));
    }
    QCOMPARE(targets.size(), 17);
    QVERIFY(targets.contains("/s?cl=3&wd=domain:example.com"));
    QVERIFY(targets.contains("/search?p=example.com&bwm=i"));
    QVERIFY(targets.contains("/web?query=link%3Aexample.com"));
}

void TestQueryRunner::everyFailureStoresFailureValues_data()
{
    QTest::addColumn<int>("status");
    QTest::newRow("not found") << 404;
    QTest::newRow("redirect") << 302;
    QTest::newRow("moved") << 301;
    QTest::newRow("server error") << 500;
    QTest::newRow("proxy auth") << 407;
    QTest::newRow("connection refused") << 0;
}

void TestQueryRunner::everyFailureStoresFailureValues()
{
    QFETCH(int, status);
    if (status == 0) {
        ServiceHosts hosts;
        hosts.setAll("127.0.0.1:1");
        m_runner->setHosts(hosts);
    } else {
        // The pages hold every expression, but the status says they failed.
        m_server->serveSite(Domain);
        m_server->setStatusForAll(status);
    }
    const std::optional<DetailsRecord> row = runQuery();
    QVERIFY(row);
    QCOMPARE(valuesOf(*row), failureValues());
    // Failed values are not written into the grid, except the Sogou rating's -1.
    QCOMPARE(m_cells, (QMap<int, int>{{6, -1}}));
}

void TestQueryRunner::sharedPageRules()
{
    m_server->serveSite(Domain);
    // Alexa: the world rank reads, the China rank does not convert: both fail, the world
    // rank's cell keeps its number.
    m_server->setPage("/siteinfo/" + Domain, Gbk::encode(QStringLiteral(
        "style=\"margin-bottom:-2px;\"/>12,345</a> alt=\"China Flag\"/>n/a</div>")));
    // Sogou: the rating has a tag around its digit, the back links read.
    m_server->setPage("/web?query=link%3A" + Domain, Gbk::encode(QStringLiteral("找到1,357<b> 搜狗评级:<b>5</b>/100")));
    std::optional<DetailsRecord> row = runQuery();
    QVERIFY(row);
    QCOMPARE(row->values[metricIndex("alexaworld")], -1);
    QCOMPARE(row->values[metricIndex("alexachina")], -1);
    QCOMPARE(m_cells.value(2), 12345);
    QVERIFY(!m_cells.contains(3));
    QCOMPARE(row->values[metricIndex("sogoubacklinks")], 1357);
    QCOMPARE(row->values[metricIndex("sogoupr")], -1);
    QCOMPARE(m_cells.value(6), -1);

    // Sogou's link search fails: back links and rating both -1.
    m_cells.clear();
    m_server->setAnswer("/web?query=link%3A" + Domain, {503, "", {}, 0});
    row = runQuery();
    QCOMPARE(row->values[metricIndex("sogoubacklinks")], -1);
    QCOMPARE(row->values[metricIndex("sogoupr")], -1);
    QCOMPARE(m_cells.value(6), -1);
    QCOMPARE(row->values[metricIndex("sogourecord")], 2468);
}

void TestQueryRunner::cookiesStayWithTheirStep()
{
    m_server->serveSite(Domain);
    m_server->setAnswer("/web?query=site:" + Domain,
                        {200, Gbk::encode(QStringLiteral("找到9<")), {{"Set-Cookie", "SUV=abc123; Path=/"}}, 0});
    QVERIFY(runQuery());
    int withCookie = 0;
    for (const FakeProviders::Request& request : m_server->requests()) {
        if (request.headers.value("cookie").contains("SUV=abc123")) {
            ++withCookie;
            QCOMPARE(request.target, "/web?query=link%3A" + Domain);
        }
    }
    QCOMPARE(withCookie, 1);
}

void TestQueryRunner::stalledProviderTimesOut()
{
    m_server->serveSite(Domain);
    m_server->setAnswer("/getpr.asp?queryurl=" + Domain, {200, "PageRank(5/10)", {}, 10000});
    QElapsedTimer timer;
    timer.start();
    const std::optional<DetailsRecord> row = runQuery();
    QVERIFY(row);
    QVERIFY2(timer.elapsed() < 6000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(row->values[metricIndex("googlepr")], -1);
    QCOMPARE(row->values[metricIndex("googlerecord")], 34567);
}

void TestQueryRunner::oversizedAnswerFails()
{
    m_server->serveSite(Domain);
    FetchLimits limits;
    limits.maxBodyBytes = 4096;
    m_runner->setLimits(limits);
    m_server->setPage("/overview/Info.do?url=" + Domain,
                      QByteArray(8192, ' ') + "class=\"rank_font_y2\">9,012</span>");
    const std::optional<DetailsRecord> row = runQuery();
    QVERIFY(row);
    QCOMPARE(row->values[metricIndex("chinarank")], -1);
    QCOMPARE(row->values[metricIndex("googlepr")], 5);
}

void TestQueryRunner::launchRefusals()
{
    m_server->serveSite(Domain);
    m_server->setDelayForAll(200);
    for (const QString& blank : {QString(), QStringLiteral("   "), QStringLiteral(" \t\r\n")}) {
        try {
            m_runner->launch(1, blank);
            QFAIL("blank address launched");
        } catch (const CommandError& error) {
            QCOMPARE(error.message(), QStringLiteral("网址不能为空"));
        }
        QVERIFY(!m_runner->isRunning());
    }
    m_runner->launch(1, Address);
    QVERIFY(m_runner->isRunning());
    try {
        m_runner->launch(1, Address);
        QFAIL("second query launched");
    } catch (const CommandError& error) {
        QCOMPARE(error.message(), QStringLiteral("上次查询未结束"));
    }
    QTRY_VERIFY_WITH_TIMEOUT(!m_runner->isRunning(), 10000);
    QCOMPARE(m_database->history(1).size(), 1);
}

void TestQueryRunner::unusualAddresses_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QByteArray>("domain");
    QTest::newRow("comma") << QStringLiteral("a,b.com") << QByteArray("a,b.com");
    // The domain goes out as GBK bytes, unescaped.
    QTest::newRow("chinese") << QStringLiteral("http://www.中文.com/") << QByteArray("\xD6\xD0\xCE\xC4.com");
    // Line breaks cannot smuggle a header into the request.
    QTest::newRow("line breaks") << QStringLiteral("a.com\r\nX-Evil: 1") << QByteArray("a.com%0D%0AX-Evil:%201");
}

void TestQueryRunner::unusualAddresses()
{
    QFETCH(QString, address);
    QFETCH(QByteArray, domain);
    m_server->serveSite(domain);
    const std::optional<DetailsRecord> row = runQuery(address);
    QVERIFY(row);
    QCOMPARE(valuesOf(*row), FakeSite::expectedValues());
    for (const FakeProviders::Request& request : m_server->requests())
        QVERIFY(!request.headers.contains("x-evil"));
}

void TestQueryRunner::cancelStoresNothing()
{
    m_server->serveSite(Domain);
    m_server->setDelayForAll(5000);
    m_runner->launch(3, Address);
    QTest::qWait(100);
    QElapsedTimer timer;
    timer.start();
    m_runner->cancel();
    QVERIFY(timer.elapsed() < 2000);
    QVERIFY(!m_runner->isRunning());
    QTest::qWait(50);
    QVERIFY(m_database->history(3).isEmpty());
}

void TestQueryRunner::storeFailureIsReported()
{
    m_server->serveSite(Domain);
    m_server->setDelayForAll(300);
    QSignalSpy failed(m_runner.get(), &QueryRunner::storeFailed);
    m_runner->launch(3, Address);
    QSqlQuery(m_database->connection()).exec(QStringLiteral("ALTER TABLE details RENAME TO moved"));
    QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, 10000);
    QVERIFY2(failed.first().first().toString().contains(QStringLiteral("details")), qPrintable(failed.first().first().toString()));
    QVERIFY(!m_runner->isRunning());
    QSqlQuery count(m_database->connection());
    QVERIFY(count.exec(QStringLiteral("select count(*) from moved")) && count.next());
    QCOMPARE(count.value(0).toInt(), 0);
}

QTEST_GUILESS_MAIN(TestQueryRunner)
#include "TestQueryRunner.moc"
