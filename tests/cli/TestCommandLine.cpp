#include "support/FakeProviders.h"
#include "support/TempProgramFolder.h"

#include <QProcess>
#include <QTest>

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void wholeQueryThroughTheCommandLine();
    void terminationAbortsTheQuery();
    void errorsGiveClearMessages_data();
    void errorsGiveClearMessages();

private:
    struct Result
    {
        int exitCode = -1;
        QString out;
        QString err;
    };
    static Result cli(const TempProgramFolder& folder, const QStringList& arguments);
};

TestCommandLine::Result TestCommandLine::cli(const TempProgramFolder& folder, const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(KORVANI_CLI), QStringList{QStringLiteral("--data-dir"), folder.path()} + arguments);
    if (!process.waitForFinished(30000))
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

void TestCommandLine::wholeQueryThroughTheCommandLine()
{
    TempProgramFolder folder;
    FakeProviders server;
    server.serveSite("example.com");
    QByteArray hosts = "[hosts]\r\n";
    for (const char* role : {"baidu", "alexa", "alexa_referer", "chinarank", "pagerank", "google", "yahoo", "sogou",
                             "soso", "bing", "bing_referer", "youdao"})
        hosts += QByteArray(role) + "=" + server.hostAndPort() + "\r\n";
    folder.write(QStringLiteral("cfg.ini"), hosts);

    Result added = cli(folder, {QStringLiteral("add-site"), QStringLiteral("示例"), QStringLiteral("www.example.com"),
                                QStringLiteral("--parent"), QStringLiteral("1")});
    QCOMPARE(added.exitCode, 0);
    QCOMPARE(added.out, QStringLiteral("2\n"));

    const Result sites = cli(folder, {QStringLiteral("sites")});
    QCOMPARE(sites.out, QStringLiteral("1\t1\t我的网站\t\n2\t1\t示例\twww.example.com\n"));

    const Result query = cli(folder, {QStringLiteral("query"), QStringLiteral("2")});
    QCOMPARE(query.exitCode, 0);
    QVERIFY(query.err.contains(QStringLiteral("正在执行【baidu收录】查询...")));
    const QStringList lines = query.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 20);
    QCOMPARE(lines.at(0), QStringLiteral("alexaworld\t12345"));
    QCOMPARE(lines.at(18), QStringLiteral("youdaobacklinks\t55"));
    QCOMPARE(lines.at(19), QStringLiteral("autoid\t1"));

    const Result csv = cli(folder, {QStringLiteral("history"), QStringLiteral("2"), QStringLiteral("--csv")});
    QCOMPARE(csv.exitCode, 0);
    const QStringList rows = csv.out.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(rows.size(), 2);
    QVERIFY(rows.at(0).startsWith(QStringLiteral("autoid,addtime,alexaworld,alexachina,")));
    QVERIFY(rows.at(1).startsWith(QStringLiteral("1,")));
    QVERIFY(rows.at(1).endsWith(QStringLiteral(",12345,678,9012,5,7,1201,3502,34567,89,4321,765,11111,222,3333,444,2468,1357,1230,55")));
}

void TestCommandLine::terminationAbortsTheQuery()
{
    TempProgramFolder folder;
    FakeProviders server;
    server.serveSite("example.com");
    server.setDelayForAll(20000);
    folder.write(QStringLiteral("cfg.ini"), "[hosts]\r\nbaidu=" + server.hostAndPort() + "\r\n");
    QCOMPARE(cli(folder, {QStringLiteral("add-site"), QStringLiteral("s"), QStringLiteral("example.com")}).exitCode, 0);

    QProcess process;
    process.start(QStringLiteral(KORVANI_CLI), {QStringLiteral("--data-dir"), folder.path(), QStringLiteral("query"),
                                                QStringLiteral("2")});
    QVERIFY(process.waitForStarted());
    QTRY_VERIFY(!server.requests().isEmpty());
    QElapsedTimer timer;
    timer.start();
    process.terminate();
    QVERIFY(process.waitForFinished(5000));
    QVERIFY(timer.elapsed() < 3000);
    QCOMPARE(process.exitCode(), 130);
    QCOMPARE(cli(folder, {QStringLiteral("history"), QStringLiteral("2")}).out, QString());
}

void TestCommandLine::errorsGiveClearMessages_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown id") << QStringList{"query", "99"} << 1 << "没有编号为 99 的节点";
    QTest::newRow("blank address") << QStringList{"query", "1"} << 1 << "网址不能为空";
    QTest::newRow("not a number") << QStringList{"history", "x"} << 2 << "not a pr_id: x";
    QTest::newRow("unknown command") << QStringList{"frobnicate"} << 2 << "unknown command: frobnicate";
    QTest::newRow("missing parent") << QStringList{"add-site", "a", "b", "--parent", "7"} << 1 << "没有编号为 7 的节点";
}

void TestCommandLine::errorsGiveClearMessages()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    TempProgramFolder folder;
    const Result result = cli(folder, arguments);
    QCOMPARE(result.exitCode, exitCode);
    QVERIFY2(result.err.contains(message), qPrintable(result.err));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "TestCommandLine.moc"
