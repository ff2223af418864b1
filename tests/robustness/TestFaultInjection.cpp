#include "catalogue/SiteDatabase.h"
#include "query/HttpFetcher.h"
#include "query/QueryRunner.h"
#include "support/FaultServer.h"
#include "support/TempProgramFolder.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

Q_DECLARE_METATYPE(FaultServer::Fault)

class TestFaultInjection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { HttpFetcher::globalInit(); }
    void everyQueryEnds_data();
    void everyQueryEnds();
};

void TestFaultInjection::everyQueryEnds_data()
{
    using F = FaultServer::Fault;
    QTest::addColumn<F>("fault");
    QTest::addColumn<int>("status");
    // Expected: -1 = every value its failure value; 0 = a page without the expected text.
    QTest::addColumn<int>("expected");
    QTest::newRow("refused") << F::Status << -100 << -1;
    QTest::newRow("reset mid-body") << F::ResetMidBody << 0 << -1;
    QTest::newRow("stall") << F::Stall << 0 << -1;
    QTest::newRow("one byte a second") << F::Trickle << 0 << -1;
    for (const int status : {301, 302, 304, 401, 407, 500, 503})
        QTest::newRow(qPrintable(QStringLiteral("status %1").arg(status))) << F::Status << status << -1;
    QTest::newRow("20 MB") << F::Huge << 0 << -1;
    QTest::newRow("20 MB in chunks") << F::HugeChunked << 0 << -1;
    QTest::newRow("truncated chunks") << F::TruncatedChunked << 0 << -1;
    QTest::newRow("closed before headers") << F::CloseBeforeHeaders << 0 << -1;
    QTest::newRow("binary junk") << F::BinaryJunk << 0 << 0;
    QTest::newRow("invalid UTF-8") << F::InvalidUtf8 << 0 << 0;
}

void TestFaultInjection::everyQueryEnds()
{
    QFETCH(FaultServer::Fault, fault);
    QFETCH(int, status);
    QFETCH(int, expected);
    TempProgramFolder folder;
    SiteDatabase database;
    database.open(folder.folder().databaseFile());
    FaultServer server(fault, status < 0 ? 200 : status);

    QueryRunner runner(database);
    ServiceHosts hosts;
    hosts.setAll(status == -100 ? QByteArray("127.0.0.1:1") : server.hostAndPort());
    runner.setHosts(hosts);
    FetchLimits limits;
    limits.connectTimeoutMs = 2000;
    limits.totalTimeoutMs = 4000;
    limits.lowSpeedSeconds = 2;
    runner.setLimits(limits);

    // The UI thread stays free: a timer keeps ticking while the query runs.
    qint64 longestGap = 0;
    QElapsedTimer sinceTick;
    sinceTick.start();
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
    ticker.start(20);

    QSignalSpy finished(&runner, &QueryRunner::finished);
    runner.launch(1, QStringLiteral("example.com"));
    QVERIFY(finished.wait(30000));
    QVERIFY2(longestGap < 500, qPrintable(QString::number(longestGap)));

    const QList<DetailsRecord> rows = database.history(1);
    QCOMPARE(rows.size(), 1);
    for (int i = 0; i < MetricCount; ++i) {
        const int value = rows.first().values[size_t(i)];
        if (expected == -1)
            QCOMPARE(value, i == metricIndex("yahoobacklinks") ? 0 : -1);
        else
            QCOMPARE(value, 0);
    }
}

QTEST_GUILESS_MAIN(TestFaultInjection)
#include "TestFaultInjection.moc"
