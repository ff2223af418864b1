#include "app/MainWindow.h"
#include "app/MessageBox.h"
#include "catalogue/SiteCatalogue.h"
#include "catalogue/SiteTreeModel.h"
#include "catalogue/SiteTreeView.h"
#include "support/GuiTestMain.h"
#include "support/SqlFixture.h"
#include "support/TempProgramFolder.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QLineEdit>
#include <QMenu>

using SqlFixture::column;
using SqlFixture::exec;

class TestSiteTree : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void fillsFromAnyOrderAndBadParents();
    void addNodesNumberAndPlaceThem();
    void renameStoresAndSorts();
    void moveUpMakesTopLevelOwnParent();
    void deleteRules();
    void dragMovesAndCopiesSubtrees();
    void databaseErrorLeavesTreeAsItWas();
    void popupOnlyOnTreeWithNodes();
    void editorIsLimitedToTheFieldLength();

private:
    void start(const QStringList& rows);
    void trigger(const char* action);
    QString shape(const QModelIndex& parent = {}) const;
    QModelIndex node(int id) const { return m_model->indexOf(id); }

    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<MainWindow> m_window;
    SiteTreeModel* m_model = nullptr;
};

void TestSiteTree::init()
{
    MessageBox::setRecording(true);
    m_folder = std::make_unique<TempProgramFolder>();
}

void TestSiteTree::cleanup()
{
    m_window.reset();
    m_folder.reset();
}

// Starts the window on a master table holding the rows given as "id,parent,name,url".
void TestSiteTree::start(const QStringList& rows)
{
    m_window.reset();
    {
        SiteDatabase database(QStringLiteral("setup"));
        database.open(m_folder->folder().databaseFile());
        exec(database, QStringLiteral("DELETE FROM master"));
        for (const QString& row : rows) {
            const QStringList f = row.split(QLatin1Char(','));
            exec(database, QStringLiteral("INSERT INTO master VALUES (%1, '%2', %3, '%4')").arg(f[0], f[2], f[1], f.value(3)));
        }
    }
    m_window = std::make_unique<MainWindow>(m_folder->folder());
    m_model = m_window->tree()->siteModel();
    new QAbstractItemModelTester(m_model, QAbstractItemModelTester::FailureReportingMode::QtTest, m_model);
    QCOMPARE(MessageBox::takeShown(), QStringList());
}

void TestSiteTree::trigger(const char* action)
{
    m_window->findChild<QAction*>(QLatin1String(action))->trigger();
}

// The tree as text: "name(child,child)" per node, siblings in order.
QString TestSiteTree::shape(const QModelIndex& parent) const
{
    QStringList parts;
    for (int row = 0; row < m_model->rowCount(parent); ++row) {
        const QModelIndex index = m_model->index(row, 0, parent);
        const QString children = shape(index);
        parts << index.data().toString() + (children.isEmpty() ? QString() : QLatin1Char('(') + children + QLatin1Char(')'));
    }
    return parts.join(QLatin1Char(','));
}

void TestSiteTree::fillsFromAnyOrderAndBadParents()
{
    // Children before parents, a null parent, a parent of its own, a missing parent, a loop,
    // and a node hanging below a loop.
    start({"7,3,c2,", "5,3,c1,", "3,1,b,", "1,1,a,", "8,null,n,", "9,42,m,", "10,11,x,", "11,10,y,", "12,10,z,",
           "20,21,s,", "21,22,p,", "22,21,q,"});
    QCOMPARE(shape(), QStringLiteral("a(b(c1,c2)),m,n,p(q,s),x(y,z)"));
    QCOMPARE(m_model->imageOf(node(1)), int(SiteTreeModel::HouseImage));
    QCOMPARE(m_model->imageOf(node(3)), int(SiteTreeModel::FolderImage));
    QCOMPARE(m_model->imageOf(node(5)), int(SiteTreeModel::GlobeImage));
    QVERIFY(m_window->tree()->isExpanded(node(3)));
}

void TestSiteTree::addNodesNumberAndPlaceThem()
{
    start({});
    trigger("N11");
    m_window->tree()->closePersistentEditor(m_window->tree()->currentIndex());
    trigger("N11");
    QCOMPARE(column(m_window->database(), QStringLiteral("SELECT pr_id || ':' || pr_parent || ':' || pr_name FROM master ORDER BY pr_id")),
             QStringLiteral("0:0:新节点,1:1:新节点"));

    start({"1,1,root,", "4,1,zz,http://z/", "5,1,aa,"});
    m_window->tree()->setCurrentIndex(node(5));
    trigger("MenuItem1");
    // A new node stands after its last sibling until its text changes.
    QCOMPARE(shape(), QStringLiteral("root(aa,zz,新节点)"));
    QCOMPARE(m_window->catalogue().currentId(), 6);
    trigger("N2");
    QCOMPARE(shape(), QStringLiteral("root(aa,zz,新节点(新节点-子节点))"));
    QCOMPARE(column(m_window->database(), QStringLiteral("SELECT pr_parent FROM master WHERE pr_id=7")), QStringLiteral("6"));
    QVERIFY(column(m_window->database(), QStringLiteral("SELECT pr_url FROM master WHERE pr_id=7")) == QStringLiteral("null"));
    QCOMPARE(m_model->imageOf(node(6)), int(SiteTreeModel::FolderImage));
}

void TestSiteTree::renameStoresAndSorts()
{
    start({"1,1,root,", "2,1,b,", "3,1,c,"});
    QVERIFY(m_model->setData(node(3), QStringLiteral("a"), Qt::EditRole));
    QCOMPARE(shape(), QStringLiteral("root(a,b)"));
    QCOMPARE(column(m_window->database(), QStringLiteral("SELECT pr_name FROM master WHERE pr_id=3")), QStringLiteral("a"));
}

void TestSiteTree::moveUpMakesTopLevelOwnParent()
{
    start({"1,1,root,", "2,1,mid,", "3,2,leaf,"});
    m_window->tree()->setCurrentIndex(node(3));
    trigger("N5");
    // Placed last among its new siblings, whatever its text.
    QCOMPARE(shape(), QStringLiteral("root(mid,leaf)"));
    trigger("N5");
    QCOMPARE(column(m_window->database(), QStringLiteral("SELECT pr_parent FROM master WHERE pr_id=3")), QStringLiteral("3"));
    QCOMPARE(shape(), QStringLiteral("root(mid),leaf"));
    trigger("N5"); // top level: nothing
    QCOMPARE(shape(), QStringLiteral("root(mid),leaf"));
    QCOMPARE(m_model->imageOf(node(2)), int(SiteTreeModel::GlobeImage)); // its last child left
}

void TestSiteTree::deleteRules()
{
    start({"1,1,root,", "2,1,site,", "3,3,other,"});
    SiteDatabase& db = m_window->database();
    exec(db, QStringLiteral("INSERT INTO details (pr_id, addtime) VALUES (2, '2026-01-01'), (2, '2026-01-02'), (3, '2026-01-03')"));

    m_window->tree()->setCurrentIndex(node(1));
    trigger("N4");
    QCOMPARE(MessageBox::takeShown(), QStringList{QStringLiteral("有子节点，不允许删除\r请先删除子节点")});

    m_window->tree()->setCurrentIndex(node(2));
    MessageBox::setNextAnswer(QMessageBox::No);
    trigger("N17");
    QCOMPARE(MessageBox::takeShown(), QStringList{QStringLiteral("确定删除【site】吗？")});
    QCOMPARE(shape(), QStringLiteral("other,root(site)"));

    MessageBox::setNextAnswer(QMessageBox::Yes);
    trigger("N4");
    MessageBox::takeShown();
    QCOMPARE(shape(), QStringLiteral("other,root"));
    QCOMPARE(column(db, QStringLiteral("SELECT pr_id FROM details")), QStringLiteral("3"));
    QCOMPARE(column(db, QStringLiteral("SELECT pr_id FROM master ORDER BY pr_id")), QStringLiteral("1,3"));

    // The root, once a leaf, is refused after the question.
    m_window->tree()->setCurrentIndex(node(1));
    MessageBox::setNextAnswer(QMessageBox::Yes);
    trigger("N4");
    QCOMPARE(MessageBox::takeShown(), (QStringList{QStringLiteral("确定删除【root】吗？"), QStringLiteral("根目录不允许删除")}));
    QCOMPARE(column(db, QStringLiteral("SELECT pr_id FROM master ORDER BY pr_id")), QStringLiteral("1,3"));
}

void TestSiteTree::dragMovesAndCopiesSubtrees()
{
    start({"1,1,root,", "2,1,folder,", "3,2,site,http://s/", "4,3,deep,http://d/", "5,1,target,"});
    // Onto its own parent: nothing; onto itself or a descendant: refused.
    QCOMPARE(m_model->moveTo(node(3), node(2)), node(3));
    QVERIFY(!m_model->canDrop(node(2), node(2)));
    QVERIFY(!m_model->canDrop(node(2), node(4)));
    QVERIFY(!m_model->canDrop(node(2), QModelIndex()));

    m_model->moveTo(node(3), node(5));
    QCOMPARE(shape(), QStringLiteral("root(folder,target(site(deep)))"));
    QCOMPARE(column(m_window->database(), QStringLiteral("SELECT pr_parent FROM master WHERE pr_id IN (3,4) ORDER BY pr_id")),
             QStringLiteral("5,3"));

    const QModelIndex copy = m_model->copyTo(node(3), node(2));
    QCOMPARE(m_model->idOf(copy), 6);
    QCOMPARE(shape(), QStringLiteral("root(folder(site(deep)),target(site(deep)))"));
    QCOMPARE(column(m_window->database(), QStringLiteral("SELECT pr_id || ':' || pr_parent || ':' || pr_name || ':' || pr_url"
                                                         " FROM master WHERE pr_id > 5 ORDER BY pr_id")),
             QStringLiteral("6:2:site:http://s/,7:6:deep:http://d/"));
}

void TestSiteTree::databaseErrorLeavesTreeAsItWas()
{
    start({"1,1,root,", "2,1,site,"});
    exec(m_window->database(), QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON master BEGIN SELECT RAISE(ABORT, 'disk says no'); END"));
    m_window->tree()->setCurrentIndex(node(2));
    trigger("N5");
    QCOMPARE(shape(), QStringLiteral("root(site)"));
    const QStringList shown = MessageBox::takeShown();
    QCOMPARE(shown.size(), 1);
    QVERIFY(shown.first().contains(QStringLiteral("disk says no")));
}

void TestSiteTree::popupOnlyOnTreeWithNodes()
{
    start({});
    auto* menu = m_window->findChild<QMenu*>(QStringLiteral("pm1"));
    QTest::mouseClick(m_window->tree()->viewport(), Qt::RightButton, {}, QPoint(20, 10));
    QVERIFY(!menu->isVisible());

    start({"1,1,root,", "2,1,site,"});
    menu = m_window->findChild<QMenu*>(QStringLiteral("pm1"));
    m_window->show();
    m_window->tree()->expandAll();
    const QRect siteRect = m_window->tree()->visualRect(node(2));
    QTest::mouseClick(m_window->tree()->viewport(), Qt::RightButton, {}, siteRect.center());
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(m_window->tree()->currentIndex(), node(2));
    QCOMPARE(m_window->catalogue().currentId(), 2);
    menu->hide();
}

void TestSiteTree::editorIsLimitedToTheFieldLength()
{
    start({"1,1,root,"});
    m_window->show();
    m_window->tree()->setCurrentIndex(node(1));
    trigger("N3");
    auto* editor = m_window->tree()->findChild<QLineEdit*>();
    QVERIFY(editor);
    QCOMPARE(editor->maxLength(), SiteDatabase::NameLength);
    QCOMPARE(editor->text(), QStringLiteral("root"));
}

KORVANI_GUI_TEST_MAIN(TestSiteTree)
#include "TestSiteTree.moc"
