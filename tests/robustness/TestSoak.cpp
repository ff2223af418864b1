#include "catalogue/SiteDatabase.h"
#include "query/HttpFetcher.h"
#include "query/QueryRunner.h"
#include "support/FakeProviders.h"
#include "support/TempProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <unistd.h>

namespace {

qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    return statm.readAll().split(' ').value(1).toLongLong() * ::sysconf(_SC_PAGESIZE);
}

qsizetype openDescriptors()
{
    return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot).size();
}

} // namespace

class TestSoak : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { HttpFetcher::globalInit(); }
    void threeHundredQueriesInARow();
};

void TestSoak::threeHundredQueriesInARow()
{
    TempProgramFolder folder;
    SiteDatabase database;
    database.open(folder.folder().databaseFile());
    FakeProviders server;
    server.serveSite("example.com");
    server.setRecordRequests(false); // the server's own memory is not the program's
    QueryRunner runner(database);
    ServiceHosts hosts;
    hosts.setAll(server.hostAndPort());
    runner.setHosts(hosts);

    qint64 memoryAt30 = 0;
    qsizetype descriptorsAt30 = 0;
    for (int query = 1; query <= 300; ++query) {
        QSignalSpy finished(&runner, &QueryRunner::finished);
        runner.launch(1, QStringLiteral("www.example.com"));
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished.first().first().toInt(), query);
        if (query == 30) {
            QTest::qWait(50); // the workers of the query end and go
            memoryAt30 = residentBytes();
            descriptorsAt30 = openDescriptors();
        }
    }
    QTest::qWait(50);
    QCOMPARE(database.history(1).size(), 300);
#ifndef __SANITIZE_ADDRESS__
    const qint64 memoryAtEnd = residentBytes();
    // (AddressSanitizer holds freed memory back on purpose; its leak check covers that build.)
    QVERIFY2(memoryAtEnd <= memoryAt30 * 11 / 10,
             qPrintable(QStringLiteral("RSS %1 KiB after 30, %2 KiB after 300").arg(memoryAt30 / 1024).arg(memoryAtEnd / 1024)));
#else
    Q_UNUSED(memoryAt30)
#endif
    QCOMPARE(openDescriptors(), descriptorsAt30);
}

QTEST_GUILESS_MAIN(TestSoak)
#include "TestSoak.moc"
