#include "app/CommandError.h"
#include "catalogue/SiteDatabase.h"
#include "support/TempProgramFolder.h"

#include <QSqlQuery>
#include <QTest>

#include <thread>

namespace {

DetailsRecord record(int prId, const QDateTime& addtime, int value)
{
    DetailsRecord row;
    row.prId = prId;
    row.addtime = addtime;
    row.values.fill(value);
    return row;
}

QString errorOf(const std::function<void()>& work)
{
    try {
        work();
    } catch (const CommandError& error) {
        return error.message();
    }
    return {};
}

} // namespace

class TestSiteDatabase : public QObject
{
    Q_OBJECT

private slots:
    void createsMissingFile();
    void autoidIsLargestPlusOne();
    void historyNewestFirstAndDeletes();
    void missingFolderGivesMissingFileError();
    void foreignFileIsReportedAndLeftAlone();
    void missingTableOrField_data();
    void missingTableOrField();
    void waitsForAnotherWriter();
};

void TestSiteDatabase::createsMissingFile()
{
    TempProgramFolder folder;
    {
        SiteDatabase db;
        db.open(folder.folder().databaseFile());
        db.openTable(QStringLiteral("master"));
        db.openTable(QStringLiteral("details"));
        QCOMPARE(db.journalMode(), QStringLiteral("wal"));
        QSqlQuery query(db.connection());
        QVERIFY(query.exec(QStringLiteral("select pr_id, pr_name, pr_parent, pr_url from master")));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toInt(), 1);
        QCOMPARE(query.value(1).toString(), QStringLiteral("我的网站"));
        QCOMPARE(query.value(2).toInt(), 1);
        QVERIFY(query.value(3).isNull());
        QVERIFY(!query.next());
    }
    // A second start opens what the first made, without adding a root row again.
    SiteDatabase again;
    again.open(folder.folder().databaseFile());
    QSqlQuery count(again.connection());
    QVERIFY(count.exec(QStringLiteral("select count(*) from master")) && count.next());
    QCOMPARE(count.value(0).toInt(), 1);
}

void TestSiteDatabase::autoidIsLargestPlusOne()
{
    TempProgramFolder folder;
    SiteDatabase db;
    db.open(folder.folder().databaseFile());
    const QDateTime now = QDateTime::currentDateTime();
    QCOMPARE(db.maxAutoId(), 0);
    QCOMPARE(db.storeDetails(record(7, now, 1)), 1);
    QCOMPARE(db.storeDetails(record(8, now, 2)), 2);
    QCOMPARE(db.storeDetails(record(7, now, 3)), 3);
    QCOMPARE(db.maxAutoId(), 3);
    db.deleteDetail(3);
    // The number of a deleted newest row is used again: the launch predicts it so.
    QCOMPARE(db.maxAutoId(), 2);
    QCOMPARE(db.storeDetails(record(7, now, 4)), 3);
    db.deleteDetail(1);
    QCOMPARE(db.storeDetails(record(7, now, 5)), 4);
}

void TestSiteDatabase::historyNewestFirstAndDeletes()
{
    TempProgramFolder folder;
    SiteDatabase db;
    db.open(folder.folder().databaseFile());
    const QDateTime base(QDate(2026, 3, 1), QTime(9, 0));
    db.storeDetails(record(5, base, 10));
    db.storeDetails(record(5, base.addDays(2), -1));
    db.storeDetails(record(6, base.addDays(1), 99));
    db.storeDetails(record(5, base.addDays(1), 0));

    const QList<DetailsRecord> rows = db.history(5);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(0).addtime, base.addDays(2));
    QCOMPARE(rows.at(0).values.at(0), -1);
    QCOMPARE(rows.at(1).autoid, 4);
    QCOMPARE(rows.at(2).values.at(18), 10);
    QVERIFY(db.history(42).isEmpty());

    db.deleteSiteDetails(42); // no rows: no error
    db.deleteSiteDetails(5);
    QVERIFY(db.history(5).isEmpty());
    QCOMPARE(db.history(6).size(), 1);
}

void TestSiteDatabase::missingFolderGivesMissingFileError()
{
    TempProgramFolder folder;
    const QString path = folder.file(QStringLiteral("gone/data.db"));
    SiteDatabase db;
    QCOMPARE(errorOf([&] { db.open(path); }), QStringLiteral("Database file '%1' does not exist").arg(path));
    QVERIFY(!db.isOpen());
    QCOMPARE(errorOf([&] { db.maxAutoId(); }), QStringLiteral("Database file '%1' does not exist").arg(path));
}

void TestSiteDatabase::foreignFileIsReportedAndLeftAlone()
{
    TempProgramFolder folder;
    const QByteArray text = QByteArray("this is no database\n").repeated(300);
    folder.write(QStringLiteral("data.db"), text);
    SiteDatabase db;
    const QString error = errorOf([&] { db.open(folder.folder().databaseFile()); });
    QVERIFY2(error.contains(QStringLiteral("not a database")), qPrintable(error));
    QCOMPARE(folder.read(QStringLiteral("data.db")), text);
    QVERIFY(!QFile::exists(folder.file(QStringLiteral("data.db-wal"))));
}

void TestSiteDatabase::missingTableOrField_data()
{
    QTest::addColumn<QString>("schema");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("error");
    QTest::newRow("field") << "CREATE TABLE master (PR_ID INTEGER, Pr_Name TEXT, pr_parent INTEGER)"
                           << "master" << "Field 'pr_url' not found";
    QTest::newRow("table") << "CREATE TABLE other (x INTEGER)" << "details" << "Table 'details' not found";
    QTest::newRow("fields in any case") << "CREATE TABLE MASTER (PR_ID INTEGER, PR_NAME TEXT, PR_PARENT INTEGER, PR_URL TEXT)"
                                        << "master" << "";
}

void TestSiteDatabase::missingTableOrField()
{
    QFETCH(QString, schema);
    QFETCH(QString, table);
    QFETCH(QString, error);
    TempProgramFolder folder;
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        raw.setDatabaseName(folder.folder().databaseFile());
        QVERIFY(raw.open());
        QSqlQuery(raw).exec(schema);
        raw.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    SiteDatabase db;
    db.open(folder.folder().databaseFile());
    QCOMPARE(errorOf([&] { db.openTable(table); }), error);
}

void TestSiteDatabase::waitsForAnotherWriter()
{
    TempProgramFolder folder;
    SiteDatabase db;
    db.open(folder.folder().databaseFile());

    // Another copy of the program holds the write lock for a while.
    std::atomic<bool> locked{false};
    std::thread other([&] {
        SiteDatabase second(QStringLiteral("second"));
        second.open(folder.folder().databaseFile());
        second.transaction(true, [&] {
            locked = true;
            QThread::msleep(700);
        });
    });
    while (!locked)
        QThread::msleep(5);
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(db.storeDetails(record(1, QDateTime::currentDateTime(), 1)), 1);
    other.join();
    QVERIFY(timer.elapsed() >= 300);
}

QTEST_GUILESS_MAIN(TestSiteDatabase)
#include "TestSiteDatabase.moc"
