#include "query/Gbk.h"
#include "query/TextUtils.h"
#include "support/TempProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QTest>

class TestTextUtils : public QObject
{
    Q_OBJECT

private slots:
    void splitText_data();
    void splitText();
    void utf8ToCodePage_data();
    void utf8ToCodePage();
    void truncateTitle_data();
    void truncateTitle();
    void deleteTreeRemovesNestedFolders_data();
    void deleteTreeRemovesNestedFolders();
    void deleteTreeDoesNotFollowLinks();
};

void TestTextUtils::splitText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QList<QByteArray>>("items");
    QTest::newRow("task") << QByteArray("12,abc,baidu") << QList<QByteArray>{"12", "abc", "baidu"};
    QTest::newRow("empty middle") << QByteArray("a,,b") << QList<QByteArray>{"a", "", "b"};
    QTest::newRow("trailing delimiter") << QByteArray("a,") << QList<QByteArray>{"a", ""};
    QTest::newRow("empty text") << QByteArray() << QList<QByteArray>{""};
    QTest::newRow("no delimiter") << QByteArray("abc") << QList<QByteArray>{"abc"};
}

void TestTextUtils::splitText()
{
    QFETCH(QByteArray, text);
    QFETCH(QList<QByteArray>, items);
    QCOMPARE(SplitText(text, ','), items);
}

void TestTextUtils::utf8ToCodePage_data()
{
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<QByteArray>("gbk");
    QTest::newRow("ascii") << QByteArray("abc <b>123</b>") << QByteArray("abc <b>123</b>");
    QTest::newRow("chinese") << QByteArray("\xE4\xB8\xAD") << QByteArray("\xD6\xD0");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("stray continuation swallows two") << QByteArray("\x80" "abc") << QByteArray("?c");
    QTest::newRow("zero byte ends") << QByteArray("ab\0cd", 5) << QByteArray("ab");
    QTest::newRow("overlong zero ends") << QByteArray("ab\xC0\x80" "cd") << QByteArray("ab");
    QTest::newRow("cut two-byte lead") << QByteArray("a\xD0") << QByteArray("a?");
    QTest::newRow("four-byte sequence") << QByteArray("\xF0\x9F\x98\x80") << QByteArray("?");
    QTest::newRow("character GBK lacks") << QByteArray("\xE0\xB8\x81") << QByteArray("?");
    QTest::newRow("combining mark composed") << QByteArray("e\xCC\x81") << QByteArray("\xA8\xA6");
    QTest::newRow("mark without precomposed form") << QByteArray("q\xCC\x81") << QByteArray("q?");
    QTest::newRow("result count text") << QByteArray("\xE5\x85\xB1 1,230 \xE6\x9D\xA1")
                                       << Gbk::encode(QString::fromUtf8("共 1,230 条"));
}

void TestTextUtils::utf8ToCodePage()
{
    QFETCH(QByteArray, utf8);
    QFETCH(QByteArray, gbk);
    QCOMPARE(Utf8ToCodePage(utf8, 936).toHex(' '), gbk.toHex(' '));
}

void TestTextUtils::truncateTitle_data()
{
    QTest::addColumn<QByteArray>("title");
    QTest::addColumn<QByteArray>("caption");
    const QByteArray twelveChinese = Gbk::encode(QString::fromUtf8("一二三四五六七八九十百千"));
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("30 ascii") << QByteArray(30, 'a') << QByteArray(23, 'a');
    QTest::newRow("22 bytes unchanged") << QByteArray(22, 'b') << QByteArray(22, 'b');
    QTest::newRow("twelve chinese") << twelveChinese << twelveChinese.left(22);
    QTest::newRow("letter and twelve chinese") << "a" + twelveChinese << "a" + twelveChinese.left(22);
    QTest::newRow("22 bytes ending in lead byte") << QByteArray(21, 'c') + '\xB0' << QByteArray(21, 'c') + '\xB0';
}

void TestTextUtils::truncateTitle()
{
    QFETCH(QByteArray, title);
    QFETCH(QByteArray, caption);
    QCOMPARE(TruncateTitle(title), caption);
}

void TestTextUtils::deleteTreeRemovesNestedFolders_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::newRow("without trailing slash") << QString();
    QTest::newRow("with trailing slash") << QStringLiteral("/");
}

void TestTextUtils::deleteTreeRemovesNestedFolders()
{
    QFETCH(QString, suffix);
    TempProgramFolder folder;
    folder.write(QStringLiteral("plugin/51la.ini"), "[a]\r\n");
    folder.write(QStringLiteral("plugin/.hidden"), "x");
    folder.write(QStringLiteral("plugin/sub/deeper/file.txt"), "x");
    QFile::setPermissions(folder.file(QStringLiteral("plugin/sub/deeper/file.txt")), QFileDevice::ReadOwner);
    QVERIFY(DeleteTree(folder.file(QStringLiteral("plugin")) + suffix));
    QVERIFY(!QFileInfo::exists(folder.file(QStringLiteral("plugin"))));
    QVERIFY(QFileInfo::exists(folder.path()));
}

void TestTextUtils::deleteTreeDoesNotFollowLinks()
{
    TempProgramFolder folder;
    folder.write(QStringLiteral("outside/keep.txt"), "keep");
    folder.write(QStringLiteral("plugin/51la.ini"), "x");
    QVERIFY(QFile::link(folder.file(QStringLiteral("outside")), folder.file(QStringLiteral("plugin/dirlink"))));
    QVERIFY(QFile::link(folder.file(QStringLiteral("outside/keep.txt")), folder.file(QStringLiteral("plugin/filelink"))));
    QVERIFY(DeleteTree(folder.file(QStringLiteral("plugin"))));
    QVERIFY(!QFileInfo::exists(folder.file(QStringLiteral("plugin"))));
    QCOMPARE(folder.read(QStringLiteral("outside/keep.txt")), QByteArray("keep"));

    // The folder itself being a link: the link goes, its target stays.
    QVERIFY(QFile::link(folder.file(QStringLiteral("outside")), folder.file(QStringLiteral("plugin"))));
    QVERIFY(DeleteTree(folder.file(QStringLiteral("plugin"))));
    QVERIFY(!QFileInfo(folder.file(QStringLiteral("plugin"))).isSymLink());
    QCOMPARE(folder.read(QStringLiteral("outside/keep.txt")), QByteArray("keep"));
}

QTEST_GUILESS_MAIN(TestTextUtils)
#include "TestTextUtils.moc"
