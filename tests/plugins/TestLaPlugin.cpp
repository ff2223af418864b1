#include "app/MainWindow.h"
#include "app/MessageBox.h"
#include "browser/BrowserTabs.h"
#include "browser/PageControl.h"
#include "catalogue/SiteTreeModel.h"
#include "catalogue/SiteTreeView.h"
#include "plugins/la/CredentialsDialog.h"
#include "plugins/la/LaLogin.h"
#include "query/Gbk.h"
#include "support/FakeProviders.h"
#include "support/GuiTestMain.h"
#include "support/SqlFixture.h"
#include "support/TempProgramFolder.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QWebEngineView>

class TestLaPlugin : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void findsCredentialsBySectionName_data();
    void findsCredentialsBySectionName();
    void passwordGoesOnlyTo51La_data();
    void passwordGoesOnlyTo51La();
    void scriptEscapesThePassword();
    void loginItemIsAppendedOnce();
    void dialogStoresOrWritesNothing();
    void dialogKeepsOpenWhenStoringFails();
    void autoFillFillsAndSubmits_data();
    void autoFillFillsAndSubmits();

private:
    void startWindow();
    void rightPress();

    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<FakeProviders> m_server;
    std::unique_ptr<MainWindow> m_window;
};

void TestLaPlugin::init()
{
    MessageBox::setRecording(true);
    m_folder = std::make_unique<TempProgramFolder>();
    m_server = std::make_unique<FakeProviders>();
    m_folder->write(QStringLiteral("cfg.ini"), "[hosts]\r\n51la=" + m_server->hostAndPort() + "\r\n");
    SiteDatabase database(QStringLiteral("setup"));
    database.open(m_folder->folder().databaseFile());
    SqlFixture::exec(database, QStringLiteral("INSERT INTO master VALUES (2, ' 我的博客 ', 1, 'blog.cn')"));
}

void TestLaPlugin::cleanup()
{
    m_window.reset();
    m_server.reset();
    m_folder.reset();
}

void TestLaPlugin::startWindow()
{
    m_window = std::make_unique<MainWindow>(m_folder->folder());
    m_window->show();
    m_window->tree()->expandAll();
    m_window->tree()->setCurrentIndex(m_window->tree()->siteModel()->indexOf(2));
}

void TestLaPlugin::rightPress()
{
    const QRect rect = m_window->tree()->visualRect(m_window->tree()->siteModel()->indexOf(2));
    QTest::mouseClick(m_window->tree()->viewport(), Qt::RightButton, {}, rect.center());
    m_window->findChild<QMenu*>(QStringLiteral("pm1"))->hide();
}

void TestLaPlugin::findsCredentialsBySectionName_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("site");
    QTest::addColumn<QString>("siteId");
    QTest::newRow("exact") << QByteArray("[blog]\r\nlaid=7\r\nlapassword=p\r\n") << "blog" << "7";
    QTest::newRow("blanks around the name") << QByteArray("[blog]\r\nlaid=7\r\n") << "  blog\t" << "7";
    QTest::newRow("letter case") << QByteArray("[Blog]\r\nlaid=7\r\n") << "blog" << "7";
    QTest::newRow("inside a longer name") << QByteArray("[abc]\r\nlaid=7\r\n") << "ab" << "-";
    QTest::newRow("dot is no wildcard") << QByteArray("[axb]\r\nlaid=7\r\n") << "a.b" << "-";
    QTest::newRow("pattern characters") << QByteArray("[a(b]\r\nlaid=8\r\n") << "a(b" << "8";
    QTest::newRow("named only in a value") << QByteArray("[x]\r\nnote=blog\r\n") << "blog" << "-";
    QTest::newRow("section without keys") << QByteArray("[blog]\r\n") << "blog" << "";
}

void TestLaPlugin::findsCredentialsBySectionName()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, site);
    QFETCH(QString, siteId);
    m_folder->write(QStringLiteral("plugin/51la.ini"), file);
    const auto found = LaLogin::find(m_folder->folder().credentialsFile(), site);
    QCOMPARE(found ? found->siteId : QStringLiteral("-"), siteId);
}

void TestLaPlugin::passwordGoesOnlyTo51La_data()
{
    QTest::addColumn<QByteArray>("host");
    QTest::addColumn<QString>("page");
    QTest::addColumn<bool>("fill");
    QTest::newRow("its page") << QByteArray("www.51.la") << "http://www.51.la/?123" << true;
    QTest::newRow("capital letters") << QByteArray("www.51.la") << "http://WWW.51.LA/login" << true;
    QTest::newRow("other scheme") << QByteArray("www.51.la") << "https://www.51.la/" << false;
    QTest::newRow("longer host") << QByteArray("www.51.la") << "http://www.51.la.evil.com/" << false;
    QTest::newRow("user part") << QByteArray("www.51.la") << "http://www.51.la@evil.com/" << false;
    QTest::newRow("in the path") << QByteArray("www.51.la") << "http://evil.com/www.51.la" << false;
    QTest::newRow("other port") << QByteArray("www.51.la") << "http://www.51.la:8080/" << false;
    QTest::newRow("configured port") << QByteArray("127.0.0.1:8080") << "http://127.0.0.1:8080/?1" << true;
    QTest::newRow("port missing") << QByteArray("127.0.0.1:8080") << "http://127.0.0.1/?1" << false;
}

void TestLaPlugin::passwordGoesOnlyTo51La()
{
    QFETCH(QByteArray, host);
    QFETCH(QString, page);
    QFETCH(bool, fill);
    QCOMPARE(LaLogin::isLoginPage(QUrl(page), host), fill);
}

void TestLaPlugin::scriptEscapesThePassword()
{
    const QString script = LaLogin::autoFillScript(QStringLiteral("a'b\"c\\d</script>\n"));
    QVERIFY(script.contains(QStringLiteral("field.value = \"a'b\\\"c\\\\d</script>\\n\";")));
}

void TestLaPlugin::loginItemIsAppendedOnce()
{
    startWindow();
    auto* menu = m_window->findChild<QMenu*>(QStringLiteral("pm1"));
    const int items = int(menu->actions().size());
    rightPress(); // no plug-in folder: nothing
    QCOMPARE(menu->actions().size(), items);
    QVERIFY(m_window->state().laMenuAdded.isEmpty());

    QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("plugin")));
    QTest::mouseClick(m_window->tree()->viewport(), Qt::LeftButton, {}, QPoint(5, 5)); // left presses never
    QCOMPARE(menu->actions().size(), items);
    rightPress();
    QCOMPARE(menu->actions().size(), items + 2);
    QVERIFY(menu->actions().at(items)->isSeparator());
    QCOMPARE(menu->actions().at(items + 1)->text(), QStringLiteral("51拉统计登陆"));
    QCOMPARE(m_window->state().laMenuAdded, QStringLiteral("是"));
    rightPress();
    QCOMPARE(menu->actions().size(), items + 2);
}

void TestLaPlugin::dialogStoresOrWritesNothing()
{
    QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("plugin")));
    const QString file = m_folder->folder().credentialsFile();
    {
        CredentialsDialog dialog(QStringLiteral(" 我的博客 "), file);
        dialog.findChild<QLineEdit*>(QStringLiteral("edt2"))->setText(QStringLiteral(" 42 "));
        dialog.findChild<QLineEdit*>(QStringLiteral("edt3"))->setText(QStringLiteral("secret"));
        dialog.findChild<QPushButton*>(QStringLiteral("btn2"))->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!QFile::exists(file));
    }
    CredentialsDialog dialog(QStringLiteral(" 我的博客 "), file);
    QVERIFY(dialog.findChild<QLineEdit*>(QStringLiteral("edt1"))->isReadOnly());
    dialog.findChild<QLineEdit*>(QStringLiteral("edt2"))->setText(QStringLiteral(" 42 "));
    dialog.findChild<QLineEdit*>(QStringLiteral("edt3"))->setText(QStringLiteral("secret"));
    dialog.findChild<QPushButton*>(QStringLiteral("btn1"))->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.siteId(), QStringLiteral("42"));
    QCOMPARE(m_folder->read(QStringLiteral("plugin/51la.ini")),
             Gbk::encode(QStringLiteral("[我的博客]\r\nlaid=42\r\nlapassword=secret\r\n\r\n")));
    const auto others = QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    QCOMPARE(QFile::permissions(file) & others, QFileDevice::Permissions());
}

void TestLaPlugin::dialogKeepsOpenWhenStoringFails()
{
    CredentialsDialog dialog(QStringLiteral("blog"), m_folder->folder().credentialsFile()); // no plug-in folder
    dialog.show();
    dialog.findChild<QPushButton*>(QStringLiteral("btn1"))->click();
    QVERIFY(dialog.isVisible());
    QVERIFY(dialog.siteId().isEmpty());
    const QStringList shown = MessageBox::takeShown();
    QCOMPARE(shown.size(), 1);
    QVERIFY(shown.first().startsWith(QStringLiteral("Cannot create file")));
}

void TestLaPlugin::autoFillFillsAndSubmits_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<bool>("submitted");
    const QByteArray field = "<form></form><form action=\"/done\"><input name=\"lookpass\" type=\"password\"></form>";
    QTest::newRow("two forms") << field << true;
    QTest::newRow("field by id") << QByteArray("<form></form><form action=\"/done\"><input id=\"lookpass\" name=\"p\"></form>") << true;
    QTest::newRow("one form") << QByteArray("<form action=\"/done\"><input name=\"lookpass\"></form>") << false;
    QTest::newRow("no field") << QByteArray("<form></form><form action=\"/done\"><input name=\"x\"></form>") << false;
}

void TestLaPlugin::autoFillFillsAndSubmits()
{
    QFETCH(QByteArray, page);
    QFETCH(bool, submitted);
    m_server->setPage("/?42", "<html><head><title>51La</title></head><body>" + page + "</body></html>");
    m_server->setPage("/done?lookpass=s%22cret", "<html><head><title>done</title></head></html>");
    m_server->setPage("/done?p=s%22cret", "<html><head><title>done</title></head></html>");
    m_folder->write(QStringLiteral("plugin/51la.ini"), Gbk::encode(QStringLiteral("[我的博客]\r\nlaid=42\r\nlapassword=s\"cret\r\n")));
    startWindow();
    rightPress();
    m_window->findChild<QAction*>(QStringLiteral("LaLoginItem"))->trigger();
    QCOMPARE(m_window->state().laLoginPending, QStringLiteral("是"));
    // The login address is the 51La host with the site ID as its query.
    QTRY_VERIFY_WITH_TIMEOUT(!m_server->requests().isEmpty(), 15000);
    QCOMPARE(m_server->requests().first().target, QByteArray("/?42"));

    if (submitted) {
        QTRY_COMPARE_WITH_TIMEOUT(m_window->state().laLoginPending, QStringLiteral("否"), 15000);
        QTRY_COMPARE_WITH_TIMEOUT(m_window->browser()->view(BrowserTabs::MainPage)->url().path(), QStringLiteral("/done"), 15000);
    } else {
        QTest::qWait(500);
        QCOMPARE(m_window->state().laLoginPending, QStringLiteral("是"));
    }
    // The caption step ran after the fill, in any case.
    QTRY_VERIFY_WITH_TIMEOUT(m_window->browser()->pageControl()->caption(BrowserTabs::MainPage) != QStringLiteral("首页"), 15000);
}

KORVANI_GUI_TEST_MAIN(TestLaPlugin)
#include "TestLaPlugin.moc"
