#include "catalogue/SiteDatabase.h"
#include "query/HttpFetcher.h"
#include "query/QueryRunner.h"
#include "support/FakeProviders.h"
#include "support/SqlFixture.h"
#include "support/TempProgramFolder.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <csignal>

class TestTwoCopies : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { HttpFetcher::globalInit(); }
    void init();
    void cleanup();

    void rowIsStoredAfterAShortLock();
    void longLockGivesClearErrorAndNoRow();
    void killedWriterLeavesWholeRows();

private:
    QProcess* helper(const QStringList& arguments);

    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<SiteDatabase> m_database;
    std::unique_ptr<FakeProviders> m_server;
    std::unique_ptr<QueryRunner> m_runner;
    QList<QProcess*> m_helpers;
};

void TestTwoCopies::init()
{
    m_folder = std::make_unique<TempProgramFolder>();
    m_database = std::make_unique<SiteDatabase>();
    m_database->open(m_folder->folder().databaseFile());
    m_server = std::make_unique<FakeProviders>();
    m_server->serveSite("example.com");
    m_runner = std::make_unique<QueryRunner>(*m_database);
    ServiceHosts hosts;
    hosts.setAll(m_server->hostAndPort());
    m_runner->setHosts(hosts);
}

void TestTwoCopies::cleanup()
{
    for (QProcess* process : std::as_const(m_helpers)) {
        process->kill();
        process->waitForFinished();
        delete process;
    }
    m_helpers.clear();
    m_runner.reset();
    m_server.reset();
    m_database.reset();
    m_folder.reset();
}

QProcess* TestTwoCopies::helper(const QStringList& arguments)
{
    auto* process = new QProcess;
    m_helpers << process;
    process->start(QStringLiteral(KORVANI_DBHELPER), arguments);
    return process;
}

void TestTwoCopies::rowIsStoredAfterAShortLock()
{
    m_server->setDelayForAll(100);
    QProcess* other = helper({QStringLiteral("lock"), m_folder->folder().databaseFile(), QStringLiteral("2")});
    m_runner->launch(1, QStringLiteral("example.com")); // predicts its autoid before the lock
    QVERIFY(other->waitForReadyRead(10000));
    QSignalSpy finished(m_runner.get(), &QueryRunner::finished);
    QVERIFY(finished.wait(15000));
    QCOMPARE(m_database->history(1).size(), 1);
    QCOMPARE(finished.first().first().toInt(), 1);
}

void TestTwoCopies::longLockGivesClearErrorAndNoRow()
{
    m_server->setDelayForAll(100);
    QProcess* other = helper({QStringLiteral("lock"), m_folder->folder().databaseFile(), QStringLiteral("30")});
    QVERIFY(other->waitForReadyRead(10000));
    QSignalSpy failed(m_runner.get(), &QueryRunner::storeFailed);
    QSignalSpy finished(m_runner.get(), &QueryRunner::finished);
    // The prediction reads; only the store needs the write lock.
    m_runner->launch(1, QStringLiteral("example.com"));
    QVERIFY(failed.wait(20000));
    QVERIFY2(failed.first().first().toString().contains(QStringLiteral("locked")), qPrintable(failed.first().first().toString()));
    QVERIFY(!m_runner->isRunning());
    QVERIFY(finished.isEmpty());
    other->kill();
    other->waitForFinished();
    QVERIFY(m_database->history(1).isEmpty());

    // The program goes on: the next query stores its row.
    m_runner->launch(1, QStringLiteral("example.com"));
    QVERIFY(finished.wait(15000));
    QCOMPARE(m_database->history(1).size(), 1);
}

void TestTwoCopies::killedWriterLeavesWholeRows()
{
    m_database.reset();
    QProcess* writer = helper({QStringLiteral("write"), m_folder->folder().databaseFile()});
    QByteArray output;
    QTRY_VERIFY_WITH_TIMEOUT((output += writer->readAllStandardOutput()).count('\n') >= 200, 20000);
    ::kill(pid_t(writer->processId()), SIGKILL);
    writer->waitForFinished();

    SiteDatabase database(QStringLiteral("check"));
    database.open(m_folder->folder().databaseFile());
    QCOMPARE(SqlFixture::column(database, QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
    QString incomplete = QStringLiteral("SELECT count(*) FROM details WHERE addtime IS NULL");
    for (const char* field : MetricFields)
        incomplete += QStringLiteral(" OR %1 IS NULL OR %1 <> alexaworld").arg(QLatin1String(field));
    QCOMPARE(SqlFixture::column(database, incomplete), QStringLiteral("0"));
    QVERIFY(SqlFixture::column(database, QStringLiteral("SELECT count(*) FROM details")).toInt() >= 200);
}

QTEST_GUILESS_MAIN(TestTwoCopies)
#include "TestTwoCopies.moc"
