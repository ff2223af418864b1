#include "app/MainWindow.h"
#include "app/MessageBox.h"
#include "query/QueryRunner.h"
#include "app/CommandError.h"
#include "browser/PageControl.h"
#include "support/GuiTestMain.h"
#include "support/TempProgramFolder.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>
#include <QMenu>
#include <QSplitter>
#include <QTableView>
#include <QTest>
#include <QTreeView>

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init() { MessageBox::setRecording(true); }
    void firstStartCreatesCatalogue();
    void pluginSwitchAtStart_data();
    void pluginSwitchAtStart();
    void databaseErrorSkipsRemainingSteps();
    void detailsErrorStillFillsTree();
    void layoutKeepsFixedPanes();
    void menusCarryTheirCommands_data();
    void menusCarryTheirCommands();
    void commandErrorIsShownAndProgramGoesOn();
    void pluginSwitchWritesAndKeepsFolder();
    void pluginSwitchWriteFailureKeepsState();
};

void TestMainWindow::firstStartCreatesCatalogue()
{
    TempProgramFolder folder;
    MainWindow window(folder.folder());
    QCOMPARE(MessageBox::takeShown(), QStringList());
    QVERIFY(QFile::exists(folder.file(QStringLiteral("data.db"))));
    QVERIFY(window.database().isOpen());
    QCOMPARE(window.windowTitle(), QStringLiteral("Korvani站长工具包"));
    QCOMPARE(window.queryRunner()->queryStepCount(), 0);
    QVERIFY(!window.queryRunner()->isRunning());
    QVERIFY(window.state().laLoginPending.isEmpty());
}

void TestMainWindow::pluginSwitchAtStart_data()
{
    QTest::addColumn<QByteArray>("cfg");
    QTest::addColumn<bool>("on");
    QTest::newRow("no file") << QByteArray() << false;
    QTest::newRow("one") << QByteArray("[cfg]\r\n51larun=1\r\n") << true;
    QTest::newRow("blanks around") << QByteArray("[CFG]\n 51LARUN = 1 \n") << true;
    QTest::newRow("zero") << QByteArray("[cfg]\r\n51larun=0\r\n") << false;
    QTest::newRow("true") << QByteArray("[cfg]\r\n51larun=true\r\n") << false;
    QTest::newRow("two") << QByteArray("[cfg]\r\n51larun=2\r\n") << false;
    QTest::newRow("01") << QByteArray("[cfg]\r\n51larun=01\r\n") << false;
    QTest::newRow("empty") << QByteArray("[cfg]\r\n51larun=\r\n") << false;
    QTest::newRow("no key") << QByteArray("[cfg]\r\nother=1\r\n") << false;
}

void TestMainWindow::pluginSwitchAtStart()
{
    QFETCH(QByteArray, cfg);
    QFETCH(bool, on);
    TempProgramFolder folder;
    if (!cfg.isEmpty())
        folder.write(QStringLiteral("cfg.ini"), cfg);
    MainWindow window(folder.folder());
    QCOMPARE(MessageBox::takeShown(), QStringList());
    auto* toggle = window.findChild<QAction*>(QStringLiteral("N51La1"));
    QVERIFY(toggle);
    QCOMPARE(toggle->isChecked(), on);
    auto* pluginMenu = window.findChild<QMenu*>(QStringLiteral("N27"));
    QCOMPARE(pluginMenu->actions().size(), on ? 2 : 1);
    if (on)
        QCOMPARE(pluginMenu->actions().at(1)->text(), QStringLiteral("修改51啦统计登陆参数"));
}

void TestMainWindow::databaseErrorSkipsRemainingSteps()
{
    TempProgramFolder folder;
    folder.write(QStringLiteral("data.db"), QByteArray(4096, 'x'));
    folder.write(QStringLiteral("cfg.ini"), "[cfg]\r\n51larun=1\r\n");
    MainWindow window(folder.folder());
    const QStringList shown = MessageBox::takeShown();
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown.first().contains(QStringLiteral("not a database")), qPrintable(shown.first()));
    // cfg.ini was not read: the plug-in stays off.
    QVERIFY(!window.findChild<QAction*>(QStringLiteral("N51La1"))->isChecked());
    QCOMPARE(folder.read(QStringLiteral("data.db")), QByteArray(4096, 'x'));
}

void TestMainWindow::detailsErrorStillFillsTree()
{
    TempProgramFolder folder;
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        raw.setDatabaseName(folder.folder().databaseFile());
        QVERIFY(raw.open());
        QSqlQuery(raw).exec(QStringLiteral("CREATE TABLE master (pr_id INTEGER, pr_name TEXT, pr_parent INTEGER, pr_url TEXT)"));
        QSqlQuery(raw).exec(QStringLiteral("CREATE TABLE details (autoid INTEGER PRIMARY KEY, pr_id INTEGER)"));
        raw.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    folder.write(QStringLiteral("cfg.ini"), "[cfg]\r\n51larun=1\r\n");
    MainWindow window(folder.folder());
    QCOMPARE(MessageBox::takeShown(), QStringList{QStringLiteral("Field 'addtime' not found")});
    QVERIFY(!window.findChild<QAction*>(QStringLiteral("N51La1"))->isChecked());
}

void TestMainWindow::layoutKeepsFixedPanes()
{
    TempProgramFolder folder;
    MainWindow window(folder.folder());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QWidget* central = window.centralWidget();
    QCOMPARE(central->size(), QSize(MainWindow::ClientWidth, MainWindow::ClientHeight));

    auto* tree = window.findChild<QTreeView*>(QStringLiteral("tvtreervf"));
    auto* gridPane = window.findChild<QWidget*>(QStringLiteral("gridPane"));
    QCOMPARE(tree->width(), MainWindow::TreeWidth);
    QCOMPARE(gridPane->height(), MainWindow::GridPaneHeight);

    window.resize(window.width() + 300, window.height() + 200);
    QTRY_COMPARE(central->width(), MainWindow::ClientWidth + 300);
    QCOMPARE(tree->width(), MainWindow::TreeWidth);
    QCOMPARE(gridPane->height(), MainWindow::GridPaneHeight);

    QVERIFY(window.findChild<QWidget*>(QStringLiteral("rzpnl1"))->isHidden());
    QVERIFY(window.findChild<QWidget*>(QStringLiteral("advcrclrprgrs1"))->isHidden());
    auto* pages = window.findChild<PageControl*>(QStringLiteral("rzpgcntrl1"));
    QVERIFY(pages);
    QCOMPARE(pages->activePage(), 1);
    QVERIFY(!pages->isTabStripVisible());
    QCOMPARE(pages->caption(0), QStringLiteral("首页"));
    QCOMPARE(pages->caption(1), QStringLiteral("次页"));
    QVERIFY(window.findChild<QWidget*>(QStringLiteral("rztbshtnext"))->isVisible());
    QCOMPARE(window.findChild<QWidget*>(QStringLiteral("rzstspn2"))->width(), 451);
    QCOMPARE(window.findChild<QWidget*>(QStringLiteral("rzprgrsts2"))->width(), 163);
    QCOMPARE(window.findChild<QWidget*>(QStringLiteral("RzStatusBar1"))->height(), 19);
}

void TestMainWindow::menusCarryTheirCommands_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("items");
    // Item name and caption; "-" is a separator.
    QTest::newRow("file") << "N1" << QStringList{"N11 添加节点", "N12 添加子节点", "-", "N14 重命名", "N15 上移", "-",
                                                 "N18 编辑", "N17 删除", "-", "N20 查询"};
    QTest::newRow("plug-in") << "N27" << QStringList{"N51La1 开启/关闭51La自动登录插件"};
    QTest::newRow("help") << "N21" << QStringList{"N22 在线帮助", "N23 在线升级"};
    QTest::newRow("tree pop-up") << "pm1" << QStringList{"MenuItem1 添加节点", "N2 添加子节点", "-", "N3 重命名", "N5 上移",
                                                         "-", "N8 参数设置", "N25 打开网站", "-", "N4 删除", "-", "N9 查询"};
    QTest::newRow("grid pop-up") << "pm2" << QStringList{"N24 删除"};
}

void TestMainWindow::menusCarryTheirCommands()
{
    QFETCH(QString, menu);
    QFETCH(QStringList, items);
    TempProgramFolder folder;
    MainWindow window(folder.folder());
    auto* found = window.findChild<QMenu*>(menu);
    QVERIFY(found);
    QStringList actual;
    for (const QAction* action : found->actions())
        actual << (action->isSeparator() ? QStringLiteral("-") : action->objectName() + QLatin1Char(' ') + action->text());
    QCOMPARE(actual, items);
    for (const char* withIcon : {"MenuItem1", "N5", "N8", "N4", "N9", "N24"}) {
        if (auto* action = found->findChild<QAction*>(QLatin1String(withIcon)))
            QVERIFY(!action->icon().isNull());
    }
}

void TestMainWindow::commandErrorIsShownAndProgramGoesOn()
{
    TempProgramFolder folder;
    MainWindow window(folder.folder());
    bool after = false;
    QVERIFY(!window.runCommand([&] {
        throw CommandError(QStringLiteral("磁盘已满"));
        after = true;
    }));
    QVERIFY(!after);
    QCOMPARE(MessageBox::takeShown(), QStringList{QStringLiteral("磁盘已满")});
    QVERIFY(window.runCommand([] {}));
}

void TestMainWindow::pluginSwitchWritesAndKeepsFolder()
{
    TempProgramFolder folder;
    MainWindow window(folder.folder());
    auto* toggle = window.findChild<QAction*>(QStringLiteral("N51La1"));
    toggle->trigger();
    QVERIFY(toggle->isChecked());
    QCOMPARE(folder.read(QStringLiteral("cfg.ini")), QByteArray("[cfg]\r\n51larun=1\r\n\r\n"));
    QVERIFY(QFileInfo(folder.file(QStringLiteral("plugin"))).isDir());
    folder.write(QStringLiteral("plugin/51la.ini"), "[site]\r\nlaid=1\r\n");
    folder.write(QStringLiteral("plugin/notes/mine.txt"), "x");

    // Off: the whole folder goes, the user's own files in it too.
    toggle->trigger();
    QVERIFY(!toggle->isChecked());
    QCOMPARE(folder.read(QStringLiteral("cfg.ini")), QByteArray("[cfg]\r\n51larun=0\r\n\r\n"));
    QVERIFY(!QFileInfo::exists(folder.file(QStringLiteral("plugin"))));

    // On again: an empty folder; the edit item came only with the start-up, never twice.
    toggle->trigger();
    QVERIFY(QDir(folder.file(QStringLiteral("plugin"))).isEmpty());
    QCOMPARE(window.findChild<QMenu*>(QStringLiteral("N27"))->actions().size(), 1);
    QCOMPARE(MessageBox::takeShown(), QStringList());
}

void TestMainWindow::pluginSwitchWriteFailureKeepsState()
{
    TempProgramFolder folder;
    MainWindow window(folder.folder());
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("cfg.ini"))); // cannot be written
    auto* toggle = window.findChild<QAction*>(QStringLiteral("N51La1"));
    toggle->trigger();
    QVERIFY(!toggle->isChecked());
    QVERIFY(!QFileInfo::exists(folder.file(QStringLiteral("plugin"))));
    const QStringList shown = MessageBox::takeShown();
    QCOMPARE(shown.size(), 1);
    QVERIFY(shown.first().startsWith(QStringLiteral("Cannot ")));
}

KORVANI_GUI_TEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
