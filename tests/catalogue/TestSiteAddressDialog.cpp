#include "app/MainWindow.h"
#include "app/MessageBox.h"
#include "catalogue/SiteAddressDialog.h"
#include "catalogue/SiteCatalogue.h"
#include "catalogue/SiteTreeModel.h"
#include "catalogue/SiteTreeView.h"
#include "support/GuiTestMain.h"
#include "support/SqlFixture.h"
#include "support/TempProgramFolder.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QToolButton>

using SqlFixture::column;
using SqlFixture::exec;

class TestSiteAddressDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void layoutAndFocus();
    void postStoresAndRenamesNode();
    void cancelRestoresStoredValues();
    void refreshStoresPendingChange();
    void closeBoxLeavesChangePendingUntilCursorMoves();
    void pendingChangeIsStoredAtProgramEnd();

private:
    std::unique_ptr<SiteAddressDialog> openDialog();
    void type(SiteAddressDialog& dialog, const char* field, const QString& text);
    QString stored(const char* field, int id);

    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<MainWindow> m_window;
};

void TestSiteAddressDialog::init()
{
    MessageBox::setRecording(true);
    m_folder = std::make_unique<TempProgramFolder>();
    {
        SiteDatabase database(QStringLiteral("setup"));
        database.open(m_folder->folder().databaseFile());
        exec(database, QStringLiteral("INSERT INTO master VALUES (2, 'b-site', 1, 'http://b/'), (3, 'c-site', 1, 'http://c/')"));
    }
    m_window = std::make_unique<MainWindow>(m_folder->folder());
    m_window->tree()->setCurrentIndex(m_window->tree()->siteModel()->indexOf(2));
}

void TestSiteAddressDialog::cleanup()
{
    m_window.reset();
    m_folder.reset();
}

std::unique_ptr<SiteAddressDialog> TestSiteAddressDialog::openDialog()
{
    auto dialog = std::make_unique<SiteAddressDialog>(m_window->catalogue(), *m_window->tree(), m_window.get());
    dialog->show();
    return dialog;
}

void TestSiteAddressDialog::type(SiteAddressDialog& dialog, const char* field, const QString& text)
{
    auto* edit = dialog.findChild<QLineEdit*>(QLatin1String(field));
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    // Leaving the field writes it into the row.
    emit edit->editingFinished();
}

QString TestSiteAddressDialog::stored(const char* field, int id)
{
    return column(m_window->database(), QStringLiteral("SELECT %1 FROM master WHERE pr_id=%2").arg(QLatin1String(field)).arg(id));
}

void TestSiteAddressDialog::layoutAndFocus()
{
    auto dialog = openDialog();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("设置网址"));
    QCOMPARE(dialog->size(), QSize(515, 229));
    QCOMPARE(dialog->findChild<QGroupBox*>()->geometry(), QRect(40, 32, 425, 145));
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("edt1"));
    auto* url = dialog->findChild<QLineEdit*>(QStringLiteral("edt2"));
    QCOMPARE(name->geometry(), QRect(108, 29, 209, 21));
    QCOMPARE(url->geometry(), QRect(108, 63, 209, 21));
    QCOMPARE(name->text(), QStringLiteral("b-site"));
    QCOMPARE(url->text(), QStringLiteral("http://b/"));
    QCOMPARE(dialog->focusWidget(), url);
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), name);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), url);
    QVERIFY(!dialog->findChild<QToolButton*>(QStringLiteral("postButton"))->isEnabled());
    QVERIFY(!dialog->findChild<QToolButton*>(QStringLiteral("cancelButton"))->isEnabled());
    QVERIFY(dialog->findChild<QToolButton*>(QStringLiteral("refreshButton"))->isEnabled());
}

void TestSiteAddressDialog::postStoresAndRenamesNode()
{
    auto dialog = openDialog();
    type(*dialog, "edt1", QStringLiteral("a-site"));
    type(*dialog, "edt2", QStringLiteral("www.a.com"));
    auto* post = dialog->findChild<QToolButton*>(QStringLiteral("postButton"));
    QVERIFY(post->isEnabled());
    QTest::mouseClick(post, Qt::LeftButton);
    QVERIFY(!post->isEnabled());
    QCOMPARE(stored("pr_name", 2), QStringLiteral("a-site"));
    QCOMPARE(stored("pr_url", 2), QStringLiteral("www.a.com"));
    // The node shows the stored name at once, sorted among its siblings.
    const QModelIndex root = m_window->tree()->siteModel()->indexOf(1);
    QCOMPARE(root.model()->index(0, 0, root).data().toString(), QStringLiteral("a-site"));
}

void TestSiteAddressDialog::cancelRestoresStoredValues()
{
    auto dialog = openDialog();
    type(*dialog, "edt1", QStringLiteral("zzz"));
    QCOMPARE(m_window->tree()->currentIndex().data().toString(), QStringLiteral("zzz"));
    QTest::mouseClick(dialog->findChild<QToolButton*>(QStringLiteral("cancelButton")), Qt::LeftButton);
    QCOMPARE(dialog->findChild<QLineEdit*>(QStringLiteral("edt1"))->text(), QStringLiteral("b-site"));
    QCOMPARE(m_window->tree()->currentIndex().data().toString(), QStringLiteral("b-site"));
    QCOMPARE(stored("pr_name", 2), QStringLiteral("b-site"));
}

void TestSiteAddressDialog::refreshStoresPendingChange()
{
    auto dialog = openDialog();
    type(*dialog, "edt2", QStringLiteral("http://new/"));
    exec(m_window->database(), QStringLiteral("UPDATE master SET pr_name='c-renamed-elsewhere' WHERE pr_id=3"));
    QTest::mouseClick(dialog->findChild<QToolButton*>(QStringLiteral("refreshButton")), Qt::LeftButton);
    QCOMPARE(stored("pr_url", 2), QStringLiteral("http://new/"));
    // Re-read: the tree shows what another program wrote.
    QCOMPARE(m_window->tree()->siteModel()->indexOf(3).data().toString(), QStringLiteral("c-renamed-elsewhere"));
    QCOMPARE(m_window->catalogue().currentId(), 2);
}

void TestSiteAddressDialog::closeBoxLeavesChangePendingUntilCursorMoves()
{
    auto dialog = openDialog();
    type(*dialog, "edt2", QStringLiteral("http://pending/"));
    dialog->reject();
    QCOMPARE(stored("pr_url", 2), QStringLiteral("http://b/"));
    QCOMPARE(m_window->catalogue().current()->url, QStringLiteral("http://pending/"));
    // Reopened, the dialog shows the pending change ready to post.
    auto again = openDialog();
    QCOMPARE(again->findChild<QLineEdit*>(QStringLiteral("edt2"))->text(), QStringLiteral("http://pending/"));
    QVERIFY(again->findChild<QToolButton*>(QStringLiteral("postButton"))->isEnabled());
    again->reject();

    m_window->tree()->setCurrentIndex(m_window->tree()->siteModel()->indexOf(3));
    QCOMPARE(stored("pr_url", 2), QStringLiteral("http://pending/"));
}

void TestSiteAddressDialog::pendingChangeIsStoredAtProgramEnd()
{
    auto dialog = openDialog();
    type(*dialog, "edt1", QStringLiteral("kept"));
    dialog->reject();
    m_window->close();
    QCOMPARE(stored("pr_name", 2), QStringLiteral("kept"));
}

KORVANI_GUI_TEST_MAIN(TestSiteAddressDialog)
#include "TestSiteAddressDialog.moc"
