#include "app/MessageBox.h"
#include "support/FakeProviders.h"
#include "support/TempProgramFolder.h"
#include "upgrade/UpgradeChecker.h"
#include "upgrade/UpgradeInfo.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QSignalSpy>
#include <QTest>

class TestUpgrade : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void compareVersions_data();
    void compareVersions();
    void parseRefusesWhatIsNotTheMakers_data();
    void parseRefusesWhatIsNotTheMakers();
    void newerVersionIsInstalledAfterConsent();
    void answersOfTheServer_data();
    void answersOfTheServer();
    void fileThatDiffersCountsAsMissing();
    void replayedInformationIsRefused();
    void secondCheckWhileBusyDoesNothing();
    void automaticCheckWaitsUntilOnlineAndStaysQuiet();

private:
    QByteArray info(const QString& version, qint64 sequence, const QList<QPair<QString, QByteArray>>& files,
                    const QString& notes = QStringLiteral("修复若干问题")) const;
    std::unique_ptr<UpgradeChecker> checker(const QByteArray& host = {});
    bool runCheck(UpgradeChecker& checker);

    QByteArray m_publicKey;
    QByteArray m_secretKey;
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<FakeProviders> m_server;
};

void TestUpgrade::initTestCase()
{
    QVERIFY(UpgradeInfo::generateKeys(&m_publicKey, &m_secretKey));
}

void TestUpgrade::init()
{
    MessageBox::setRecording(true);
    m_folder = std::make_unique<TempProgramFolder>();
    m_server = std::make_unique<FakeProviders>();
}

void TestUpgrade::cleanup()
{
    m_server.reset();
    m_folder.reset();
}

QByteArray TestUpgrade::info(const QString& version, qint64 sequence, const QList<QPair<QString, QByteArray>>& files,
                             const QString& notes) const
{
    QByteArray text = "korvani-upgrade 1\nversion " + version.toUtf8() + "\nsequence " + QByteArray::number(sequence)
                      + "\nnotes " + notes.toUtf8().toPercentEncoding() + "\n";
    for (const auto& [path, bytes] : files)
        text += "file " + QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex() + ' '
                + QByteArray::number(bytes.size()) + ' ' + path.toUtf8() + '\n';
    return UpgradeInfo::sign(text, m_secretKey);
}

std::unique_ptr<UpgradeChecker> TestUpgrade::checker(const QByteArray& host)
{
    auto result = std::make_unique<UpgradeChecker>(host.isEmpty() ? m_server->hostAndPort() : host,
                                                   m_folder->file(QStringLiteral("cfg.ini")), nullptr);
    result->setPublicKey(m_publicKey);
    result->setInstallFolder(m_folder->file(QStringLiteral("program")));
    return result;
}

bool TestUpgrade::runCheck(UpgradeChecker& upgrade)
{
    QSignalSpy finished(&upgrade, &UpgradeChecker::checkFinished);
    upgrade.checkNow();
    return finished.wait(10000);
}

void TestUpgrade::compareVersions_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("order");
    QTest::newRow("1.10 newer than 1.4") << "1.10" << "1.4" << 1;
    QTest::newRow("equal") << "1.4" << "1.4" << 0;
    QTest::newRow("trailing zero") << "1.4.0" << "1.4" << 0;
    QTest::newRow("older") << "1.3.9" << "1.4" << -1;
    QTest::newRow("major") << "2" << "1.99" << 1;
}

void TestUpgrade::compareVersions()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, order);
    QCOMPARE(UpgradeInfo::compareVersions(a, b), order);
}

void TestUpgrade::parseRefusesWhatIsNotTheMakers_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");
    const QByteArray good = info(QStringLiteral("1.5"), 3, {{QStringLiteral("bin/korvani"), "new"}});
    QByteArray tampered = good;
    tampered.replace("version 1.5", "version 9.9");
    QByteArray otherPublic, otherSecret;
    UpgradeInfo::generateKeys(&otherPublic, &otherSecret);
    const QByteArray foreign = UpgradeInfo::sign("korvani-upgrade 1\nversion 1.5\nsequence 3\n", otherSecret);
    QTest::newRow("signed by the maker") << good << true;
    QTest::newRow("changed after signing") << tampered << false;
    QTest::newRow("signed by another key") << foreign << false;
    QTest::newRow("unsigned") << QByteArray("korvani-upgrade 1\nversion 1.5\nsequence 3\n") << false;
    QTest::newRow("path leaves the folder") << info(QStringLiteral("1.5"), 3, {{QStringLiteral("../evil"), "x"}}) << false;
    QTest::newRow("absolute path") << info(QStringLiteral("1.5"), 3, {{QStringLiteral("/etc/passwd"), "x"}}) << false;
    QTest::newRow("dot dot inside") << info(QStringLiteral("1.5"), 3, {{QStringLiteral("a/../../b"), "x"}}) << false;
    QTest::newRow("too large") << info(QStringLiteral("1.5"), 3, {}, QString(70000, QLatin1Char('x'))) << false;
}

void TestUpgrade::parseRefusesWhatIsNotTheMakers()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    const std::optional<UpgradeInfo::Info> parsed = UpgradeInfo::parse(bytes, m_publicKey);
    QCOMPARE(parsed.has_value(), valid);
    if (valid) {
        QCOMPARE(parsed->version, QStringLiteral("1.5"));
        QCOMPARE(parsed->notes, QStringLiteral("修复若干问题"));
        QCOMPARE(parsed->files.size(), 1);
    }
}

void TestUpgrade::newerVersionIsInstalledAfterConsent()
{
    m_folder->write(QStringLiteral("program/korvani"), "old program");
    m_folder->write(QStringLiteral("program/keep.txt"), "untouched");
    m_server->setPage("/wmkit/upgrade.inf", info(QStringLiteral("1.10"), 5,
                                                 {{QStringLiteral("korvani"), "new program"}, {QStringLiteral("lib/extra.so"), "extra"}},
                                                 QStringLiteral("<b>不是HTML</b>")));
    m_server->setPage("/wmkit/korvani", "new program");
    m_server->setPage("/wmkit/lib/extra.so", "extra");
    auto upgrade = checker();
    QSignalSpy restart(upgrade.get(), &UpgradeChecker::restartRequested);
    MessageBox::setNextAnswer(QMessageBox::Yes);
    QVERIFY(runCheck(*upgrade));
    const QStringList shown = MessageBox::takeShown();
    QCOMPARE(shown.size(), 1);
    QVERIFY(shown.first().contains(QStringLiteral("1.10")));
    QVERIFY(shown.first().contains(QStringLiteral("<b>不是HTML</b>")));
    QCOMPARE(m_folder->read(QStringLiteral("program/korvani")), QByteArray("new program"));
    QCOMPARE(m_folder->read(QStringLiteral("program/lib/extra.so")), QByteArray("extra"));
    QCOMPARE(m_folder->read(QStringLiteral("program/keep.txt")), QByteArray("untouched"));
    QVERIFY(!QFile::exists(m_folder->file(QStringLiteral("program/korvani.upgrade-old"))));
    QCOMPARE(restart.size(), 1);
    QCOMPARE(restart.first().first().toStringList(), QStringList{QStringLiteral("/afterupgrade")});
    QVERIFY(m_folder->read(QStringLiteral("cfg.ini")).contains("sequence=5"));
}

void TestUpgrade::answersOfTheServer_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("message");
    QTest::newRow("same version") << 200 << "1.4" << "当前已是最新版本。";
    QTest::newRow("older version") << 200 << "1.3" << "当前已是最新版本。";
    QTest::newRow("no information") << 404 << "" << "没有找到有效的升级信息。";
    QTest::newRow("bad signature") << 200 << "bad" << "没有找到有效的升级信息。";
    QTest::newRow("password") << 401 << "" << "升级服务器要求输入密码，无法继续升级。";
    QTest::newRow("unreachable") << 0 << "" << "无法连接升级服务器，请检查网络连接。";
}

void TestUpgrade::answersOfTheServer()
{
    QFETCH(int, status);
    QFETCH(QString, version);
    QFETCH(QString, message);
    QByteArray body = version == QLatin1String("bad") ? QByteArray("korvani-upgrade 1\nversion 2.0\nsequence 9\nsignature AAAA\n")
                                                      : info(version, 1, {});
    m_server->setAnswer("/wmkit/upgrade.inf", {status == 0 ? 200 : status, body, {}, 0});
    auto upgrade = checker(status == 0 ? QByteArray("127.0.0.1:1") : QByteArray());
    QVERIFY(runCheck(*upgrade));
    QCOMPARE(MessageBox::takeShown(), QStringList{message});
}

void TestUpgrade::fileThatDiffersCountsAsMissing()
{
    m_folder->write(QStringLiteral("program/korvani"), "old program");
    m_folder->write(QStringLiteral("program/data.txt"), "old data");
    m_server->setPage("/wmkit/upgrade.inf", info(QStringLiteral("1.5"), 2,
                                                 {{QStringLiteral("korvani"), "new program"}, {QStringLiteral("data.txt"), "new data"}}));
    m_server->setPage("/wmkit/korvani", "tampered!!!");
    m_server->setPage("/wmkit/data.txt", "new data");
    // Not skipped: nothing at all is replaced.
    auto upgrade = checker();
    MessageBox::setNextAnswer(QMessageBox::Yes);
    MessageBox::setNextAnswer(QMessageBox::No);
    QVERIFY(runCheck(*upgrade));
    QCOMPARE(MessageBox::takeShown().last(), QStringLiteral("升级文件“korvani”不存在、无法访问或已损坏。\n是否跳过该文件继续升级？"));
    QCOMPARE(m_folder->read(QStringLiteral("program/korvani")), QByteArray("old program"));
    QCOMPARE(m_folder->read(QStringLiteral("program/data.txt")), QByteArray("old data"));

    // Skipped: the other file goes in, the tampered one never.
    MessageBox::setNextAnswer(QMessageBox::Yes);
    MessageBox::setNextAnswer(QMessageBox::Yes);
    QVERIFY(runCheck(*upgrade));
    QCOMPARE(m_folder->read(QStringLiteral("program/korvani")), QByteArray("old program"));
    QCOMPARE(m_folder->read(QStringLiteral("program/data.txt")), QByteArray("new data"));
}

void TestUpgrade::replayedInformationIsRefused()
{
    m_folder->write(QStringLiteral("cfg.ini"), "[upgrade]\r\nsequence=7\r\n");
    m_server->setPage("/wmkit/upgrade.inf", info(QStringLiteral("1.5"), 7, {}));
    auto upgrade = checker();
    QVERIFY(runCheck(*upgrade));
    QCOMPARE(MessageBox::takeShown(), QStringList{QStringLiteral("没有找到有效的升级信息。")});
}

void TestUpgrade::secondCheckWhileBusyDoesNothing()
{
    m_server->setAnswer("/wmkit/upgrade.inf", {200, info(QStringLiteral("1.4"), 1, {}), {}, 300});
    auto upgrade = checker();
    QSignalSpy finished(upgrade.get(), &UpgradeChecker::checkFinished);
    upgrade->checkNow();
    upgrade->checkNow();
    QVERIFY(finished.wait(10000));
    QTest::qWait(400);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(m_server->requests().size(), 1);
}

void TestUpgrade::automaticCheckWaitsUntilOnlineAndStaysQuiet()
{
    m_server->setPage("/wmkit/upgrade.inf", info(QStringLiteral("1.4"), 1, {}));
    auto upgrade = checker();
    bool online = false;
    upgrade->setOnlineTest([&online] { return online; });
    upgrade->setAutoCheckInterval(50);
    QSignalSpy finished(upgrade.get(), &UpgradeChecker::checkFinished);
    upgrade->startAutomaticCheck();
    QTest::qWait(300);
    QVERIFY(m_server->requests().isEmpty());
    online = true;
    QVERIFY(finished.wait(5000));
    QTest::qWait(300);
    QCOMPARE(m_server->requests().size(), 1); // once only
    QCOMPARE(MessageBox::takeShown(), QStringList()); // nothing newer: silent

    // Host unreachable: silent, and it tries again.
    auto unreachable = checker("127.0.0.1:1");
    unreachable->setOnlineTest([] { return true; });
    unreachable->setAutoCheckInterval(50);
    QSignalSpy again(unreachable.get(), &UpgradeChecker::checkFinished);
    unreachable->startAutomaticCheck();
    QTRY_VERIFY_WITH_TIMEOUT(again.size() >= 2, 5000);
    QCOMPARE(MessageBox::takeShown(), QStringList());
}

QTEST_MAIN(TestUpgrade)
#include "TestUpgrade.moc"
