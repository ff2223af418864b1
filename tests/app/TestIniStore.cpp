#include "app/CommandError.h"
#include "app/IniStore.h"
#include "query/Gbk.h"
#include "support/TempProgramFolder.h"

#include <QFile>
#include <QTest>

#include <thread>

namespace {

QByteArray gbk(const char* utf8)
{
    return Gbk::encode(QString::fromUtf8(utf8));
}

} // namespace

class TestIniStore : public QObject
{
    Q_OBJECT

private slots:
    void readsAsTheFormatSays_data();
    void readsAsTheFormatSays();
    void missingFileReadsDefault();
    void writesNewFileInWrittenForm();
    void appendsSectionAndKeysInOrder();
    void replacesEntryInPlaceAndKeepsTheRest();
    void readSeesChangesMadeByHand();
    void writeIntoMissingFolderFails();
    void directoryInPlaceOfFileFails();
    void newFilePermissions();
    void survivesJunkAndHugeLines();
    void rewriteKeepsOddSectionLines();
    void concurrentWritersLoseNothing();
};

void TestIniStore::readsAsTheFormatSays_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    const QString cfg = QStringLiteral("cfg");
    const QString run = QStringLiteral("51larun");
    QTest::newRow("plain") << QByteArray("[cfg]\r\n51larun=1\r\n\r\n") << cfg << run << "1";
    QTest::newRow("blanks around") << QByteArray("  [ cfg ]  \r\n\t51larun =  1 \r\n") << cfg << run << "1";
    QTest::newRow("capital letters") << QByteArray("[CFG]\r\n51LaRun=1\r\n") << cfg << run << "1";
    QTest::newRow("LF line ends") << QByteArray("[cfg]\n51larun=1\n") << cfg << run << "1";
    QTest::newRow("CR line ends") << QByteArray("[x]\ra=2\r[cfg]\r51larun=1\r") << cfg << run << "1";
    QTest::newRow("first section wins") << QByteArray("[cfg]\r\na=1\r\n[Cfg]\r\n51larun=2\r\n") << cfg << run << "-";
    QTest::newRow("first key wins") << QByteArray("[cfg]\r\n51larun=1\r\n51LARUN=2\r\n") << cfg << run << "1";
    QTest::newRow("comment is no entry") << QByteArray("[cfg]\r\n;51larun=1\r\n") << cfg << run << "-";
    QTest::newRow("before first section") << QByteArray("51larun=1\r\n[cfg]\r\n") << cfg << run << "-";
    QTest::newRow("line without equals") << QByteArray("[cfg]\r\n51larun\r\n") << cfg << run << "-";
    QTest::newRow("value holds equals") << QByteArray("[cfg]\r\n51larun=a=b\r\n") << cfg << run << "a=b";
    QTest::newRow("empty value") << QByteArray("[cfg]\r\n51larun=\r\n") << cfg << run << "";
    QTest::newRow("missing section") << QByteArray("[other]\r\n51larun=1\r\n") << cfg << run << "-";
    QTest::newRow("GBK section and value")
        << gbk("[我的网站]\r\nlaid=编号12\r\n") << QStringLiteral("我的网站") << QStringLiteral("laid") << QStringLiteral("编号12");
    // 0x81 0x5D is one GBK character whose second byte is the code of "]": no section line.
    QTest::newRow("trail byte is no bracket") << QByteArray("[cfg]\r\n[\x81\x5D\r\n51larun=1\r\n") << cfg << run << "1";
}

void TestIniStore::readsAsTheFormatSays()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    TempProgramFolder folder;
    folder.write(QStringLiteral("cfg.ini"), file);
    IniStore store;
    store.setPath(folder.file(QStringLiteral("cfg.ini")));
    QCOMPARE(store.readString(section, key, QStringLiteral("-")), expected);
}

void TestIniStore::missingFileReadsDefault()
{
    TempProgramFolder folder;
    IniStore store;
    store.setPath(folder.file(QStringLiteral("cfg.ini")));
    QCOMPARE(store.readString(QStringLiteral("cfg"), QStringLiteral("51larun"), QString()), QString());
    QVERIFY(!QFile::exists(store.path()));
}

void TestIniStore::writesNewFileInWrittenForm()
{
    TempProgramFolder folder;
    IniStore store;
    store.setPath(folder.file(QStringLiteral("cfg.ini")));
    store.writeString(QStringLiteral("cfg"), QStringLiteral("51larun"), QStringLiteral("1"));
    QCOMPARE(folder.read(QStringLiteral("cfg.ini")), QByteArray("[cfg]\r\n51larun=1\r\n\r\n"));
    store.writeString(QStringLiteral("CFG"), QStringLiteral("51LARUN"), QStringLiteral("0"));
    QCOMPARE(folder.read(QStringLiteral("cfg.ini")), QByteArray("[cfg]\r\n51larun=0\r\n\r\n"));
}

void TestIniStore::appendsSectionAndKeysInOrder()
{
    TempProgramFolder folder;
    folder.write(QStringLiteral("plugin/51la.ini"), gbk("[甲站]\nlaid=1\nlapassword=p\n"));
    IniStore store;
    store.setPath(folder.file(QStringLiteral("plugin/51la.ini")));
    store.writeString(QStringLiteral("乙站"), QStringLiteral("laid"), QStringLiteral("42"));
    QCOMPARE(folder.read(QStringLiteral("plugin/51la.ini")),
             gbk("[甲站]\r\nlaid=1\r\nlapassword=p\r\n\r\n[乙站]\r\nlaid=42\r\n\r\n"));
    store.writeString(QStringLiteral("乙站"), QStringLiteral("lapassword"), QStringLiteral("密码"));
    QCOMPARE(folder.read(QStringLiteral("plugin/51la.ini")),
             gbk("[甲站]\r\nlaid=1\r\nlapassword=p\r\n\r\n[乙站]\r\nlaid=42\r\nlapassword=密码\r\n\r\n"));
}

void TestIniStore::replacesEntryInPlaceAndKeepsTheRest()
{
    TempProgramFolder folder;
    folder.write(QStringLiteral("cfg.ini"),
                 "; made by hand\n[cfg]\n  51LaRun = 0  \n; keep me\nother = x\n\n\n[hosts]\nbaidu=127.0.0.1:8080\n");
    IniStore store;
    store.setPath(folder.file(QStringLiteral("cfg.ini")));
    store.writeString(QStringLiteral("cfg"), QStringLiteral("51larun"), QStringLiteral("1"));
    QCOMPARE(folder.read(QStringLiteral("cfg.ini")),
             QByteArray("; made by hand\r\n[cfg]\r\n51LaRun=1\r\n; keep me\r\nother=x\r\n\r\n"
                        "[hosts]\r\nbaidu=127.0.0.1:8080\r\n\r\n"));
}

void TestIniStore::readSeesChangesMadeByHand()
{
    TempProgramFolder folder;
    IniStore store;
    store.setPath(folder.file(QStringLiteral("cfg.ini")));
    store.writeString(QStringLiteral("s"), QStringLiteral("laid"), QStringLiteral("1"));
    folder.write(QStringLiteral("cfg.ini"), "[s]\r\nlaid=2\r\n");
    QCOMPARE(store.readString(QStringLiteral("s"), QStringLiteral("laid"), QString()), QStringLiteral("2"));
}

void TestIniStore::writeIntoMissingFolderFails()
{
    TempProgramFolder folder;
    IniStore store;
    const QString path = folder.file(QStringLiteral("plugin/51la.ini"));
    store.setPath(path);
    try {
        store.writeString(QStringLiteral("s"), QStringLiteral("laid"), QStringLiteral("1"));
        QFAIL("write into a missing folder succeeded");
    } catch (const CommandError& error) {
        QCOMPARE(error.message(), QStringLiteral("Cannot create file \"%1\". No such file or directory").arg(path));
    }
    QVERIFY(!QFile::exists(folder.file(QStringLiteral("plugin"))));
}

void TestIniStore::directoryInPlaceOfFileFails()
{
    TempProgramFolder folder;
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("cfg.ini")));
    IniStore store;
    const QString path = folder.file(QStringLiteral("cfg.ini"));
    store.setPath(path);
    try {
        store.readString(QStringLiteral("cfg"), QStringLiteral("51larun"), QString());
        QFAIL("reading a directory succeeded");
    } catch (const CommandError& error) {
        QVERIFY2(error.message().startsWith(QStringLiteral("Cannot open file \"%1\". ").arg(path)), qPrintable(error.message()));
    }
    QVERIFY_THROWS_EXCEPTION(CommandError,
                             store.writeString(QStringLiteral("cfg"), QStringLiteral("51larun"), QStringLiteral("1")));
    QVERIFY(QFileInfo(path).isDir());
}

void TestIniStore::newFilePermissions()
{
    TempProgramFolder folder;
    IniStore store;
    store.setPath(folder.file(QStringLiteral("secret.ini")));
    store.setNewFilePermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    store.writeString(QStringLiteral("s"), QStringLiteral("lapassword"), QStringLiteral("p"));
    const auto all = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
    QCOMPARE(QFile::permissions(store.path()) & all, QFileDevice::Permissions());
    store.writeString(QStringLiteral("s"), QStringLiteral("laid"), QStringLiteral("1"));
    QCOMPARE(QFile::permissions(store.path()) & all, QFileDevice::Permissions());
}

void TestIniStore::survivesJunkAndHugeLines()
{
    TempProgramFolder folder;
    const QByteArray junk("\xFF\x81\r\x80garbage\x00=\xFE", 14);
    const QByteArray longLine = "[cfg]\r\nnoise=" + QByteArray(100000, 'x') + "\r\n";
    QByteArray big;
    for (int i = 0; i < 200000; ++i)
        big += "k" + QByteArray::number(i) + "=" + QByteArray(40, 'v') + "\r\n";
    folder.write(QStringLiteral("cfg.ini"), junk + "\r\n" + longLine + big + "51larun=1\r\n");
    IniStore store;
    store.setPath(folder.file(QStringLiteral("cfg.ini")));
    QCOMPARE(store.readString(QStringLiteral("cfg"), QStringLiteral("51larun"), QString()), QStringLiteral("1"));
    QCOMPARE(store.readString(QStringLiteral("cfg"), QStringLiteral("noise"), QString()).size(), 100000);

    store.writeString(QStringLiteral("cfg"), QStringLiteral("51larun"), QStringLiteral("0"));
    const QByteArray written = folder.read(QStringLiteral("cfg.ini"));
    // The junk before the first section is kept byte for byte.
    QVERIFY(written.startsWith(QByteArray("\xFF\x81\r\n\x80garbage\x00=\xFE\r\n", 17)));
    QVERIFY(written.endsWith("51larun=0\r\n\r\n"));
}

void TestIniStore::rewriteKeepsOddSectionLines()
{
    // A name ending in a lone GBK lead byte before a blank: stripping the blank on rewrite
    // would glue the lead byte to "]" and the line would stop being a section (found by fuzzing).
    TempProgramFolder folder;
    folder.write(QStringLiteral("cfg.ini"), "[cfg\x83 ]\rk=v\r");
    IniStore store;
    store.setPath(folder.file(QStringLiteral("cfg.ini")));
    store.writeString(QStringLiteral("cfg"), QStringLiteral("51larun"), QStringLiteral("1"));
    QCOMPARE(store.readString(QStringLiteral("cfg"), QStringLiteral("51larun"), QString()), QStringLiteral("1"));
    QCOMPARE(store.readString(QStringLiteral("cfg"), QStringLiteral("k"), QString()), QStringLiteral("v"));
    QCOMPARE(folder.read(QStringLiteral("cfg.ini")), QByteArray("[cfg\x83 ]\r\nk=v\r\n51larun=1\r\n\r\n"));
}

void TestIniStore::concurrentWritersLoseNothing()
{
    TempProgramFolder folder;
    const QString path = folder.file(QStringLiteral("cfg.ini"));
    auto writer = [path](const QString& prefix) {
        IniStore store;
        store.setPath(path);
        for (int i = 0; i < 40; ++i)
            store.writeString(QStringLiteral("s"), prefix + QString::number(i), QStringLiteral("v"));
    };
    std::thread first(writer, QStringLiteral("a"));
    std::thread second(writer, QStringLiteral("b"));
    first.join();
    second.join();
    IniStore store;
    store.setPath(path);
    for (const QString& prefix : {QStringLiteral("a"), QStringLiteral("b")}) {
        for (int i = 0; i < 40; ++i)
            QCOMPARE(store.readString(QStringLiteral("s"), prefix + QString::number(i), QString()), QStringLiteral("v"));
    }
}

QTEST_GUILESS_MAIN(TestIniStore)
#include "TestIniStore.moc"
