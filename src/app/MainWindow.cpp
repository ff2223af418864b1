#include "app/MainWindow.h"

#include "app/AppTexts.h"
#include "app/BusyIndicator.h"
#include "app/CommandError.h"
#include "app/Icons.h"
#include "app/MessageBox.h"
#include "browser/BrowserTabs.h"
#include "browser/PageControl.h"
#include "catalogue/SiteAddressDialog.h"
#include "catalogue/SiteCatalogue.h"
#include "catalogue/SiteTreeModel.h"
#include "catalogue/SiteTreeView.h"
#include "history/HistoryColumns.h"
#include "history/HistoryModel.h"
#include "history/HistoryView.h"
#include "history/SearchLinks.h"
#include "query/Gbk.h"
#include "query/QueryRunner.h"
#include "query/ServiceHosts.h"
#include "query/TextUtils.h"
#include "plugins/la/CredentialsDialog.h"
#include "plugins/la/LaLogin.h"
#include "plugins/la/LaTexts.h"
#include "upgrade/UpgradeChecker.h"

#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QSplitter>
#include <QTableView>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QPointer>
#include <QProcess>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QVBoxLayout>

namespace {

constexpr int ProgressPanelHeight = 24;

QFont windowFont(int pixelHeight)
{
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Noto Sans CJK SC")});
    font.setPixelSize(pixelHeight);
    return font;
}

} // namespace

MainWindow::MainWindow(const ProgramFolder& folder, QWidget* parent)
    : QMainWindow(parent)
    , m_folder(folder)
    , m_treeModel(std::make_unique<SiteTreeModel>(m_database))
    , m_catalogue(std::make_unique<SiteCatalogue>(m_database, *m_treeModel))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromUtf8(AppTexts::WindowTitle));
    setFont(windowFont(11));
    buildMenus();
    buildLayout();

    resize(ClientWidth, ClientHeight + menuBar()->sizeHint().height());
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());

    m_queryRunner = new QueryRunner(m_database, this);
    connect(m_queryRunner, &QueryRunner::statusText, m_progressLabel, &QLabel::setText);
    connect(m_queryRunner, &QueryRunner::cellValue, this,
            [this](int column, int value) { m_historyModel->setValue(m_runningRow, column, value); });
    connect(m_queryRunner, &QueryRunner::refreshRequested, m_historyGrid->viewport(), qOverload<>(&QWidget::update));
    connect(m_queryRunner, &QueryRunner::finished, this, [this](int autoid) { endQuery(autoid); });
    connect(m_queryRunner, &QueryRunner::storeFailed, this, [this](const QString& error) {
        endQuery(std::nullopt);
        MessageBox::information(this, QString::fromUtf8(AppTexts::StoreFailed).arg(error));
    });

    m_settings.setPath(m_folder.settingsFile());
    startUp();

    m_upgrade = new UpgradeChecker(hosts().host(HostRole::Maker), m_folder.settingsFile(), this);
    connect(m_upgrade, &UpgradeChecker::restartRequested, this, [this](const QStringList& arguments) {
        QProcess::startDetached(QCoreApplication::applicationFilePath(),
                                arguments + QStringList{QStringLiteral("--data-dir"), m_folder.path()});
        close();
    });
    m_upgrade->startAutomaticCheck();
}

MainWindow::~MainWindow() = default;

bool MainWindow::runCommand(const std::function<void()>& command)
{
    try {
        command();
        return true;
    } catch (const CommandError& error) {
        MessageBox::information(this, error.message());
    } catch (const std::exception& error) {
        MessageBox::information(this, QString::fromLocal8Bit(error.what()));
    }
    return false;
}

QAction* MainWindow::addCommand(QMenu* menu, const char* name, const char* caption,
                                void (MainWindow::*handler)(), int icon)
{
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(QLatin1String(name));
    if (icon >= 0)
        action->setIcon(Icons::menuIcon(icon));
    connect(action, &QAction::triggered, this, [this, handler] { runCommand([this, handler] { (this->*handler)(); }); });
    return action;
}

void MainWindow::buildMenus()
{
    using namespace AppTexts;
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("mm1"));

    QMenu* file = bar->addMenu(QString::fromUtf8(FileMenu));
    file->setObjectName(QStringLiteral("N1"));
    file->menuAction()->setObjectName(QStringLiteral("N1"));
    addCommand(file, "N11", AddNode, &MainWindow::addNode);
    addCommand(file, "N12", AddChildNode, &MainWindow::addChildNode);
    file->addSeparator()->setObjectName(QStringLiteral("N13"));
    addCommand(file, "N14", Rename, &MainWindow::renameNode);
    addCommand(file, "N15", MoveUp, &MainWindow::moveNodeUp);
    file->addSeparator()->setObjectName(QStringLiteral("N16"));
    addCommand(file, "N18", Edit, &MainWindow::editSite);
    addCommand(file, "N17", Delete, &MainWindow::deleteNode);
    file->addSeparator()->setObjectName(QStringLiteral("N19"));
    addCommand(file, "N20", Query, &MainWindow::runQuery);

    m_pluginMenu = bar->addMenu(QString::fromUtf8(PluginMenu));
    m_pluginMenu->setObjectName(QStringLiteral("N27"));
    m_pluginToggle = addCommand(m_pluginMenu, "N51La1", PluginToggle, &MainWindow::togglePlugin);
    m_pluginToggle->setCheckable(true);
    // The check mark shows the plug-in's state; only the command changes it.
    m_pluginToggle->setChecked(false);

    QMenu* help = bar->addMenu(QString::fromUtf8(HelpMenu));
    help->setObjectName(QStringLiteral("N21"));
    addCommand(help, "N22", OnlineHelp, &MainWindow::openHelp);
    addCommand(help, "N23", OnlineUpgrade, &MainWindow::checkForUpgrade);

    m_treeMenu = new QMenu(this);
    m_treeMenu->setObjectName(QStringLiteral("pm1"));
    addCommand(m_treeMenu, "MenuItem1", AddNode, &MainWindow::addNode, 10);
    addCommand(m_treeMenu, "N2", AddChildNode, &MainWindow::addChildNode);
    m_treeMenu->addSeparator()->setObjectName(QStringLiteral("N7"));
    addCommand(m_treeMenu, "N3", Rename, &MainWindow::renameNode);
    addCommand(m_treeMenu, "N5", MoveUp, &MainWindow::moveNodeUp, 8);
    m_treeMenu->addSeparator()->setObjectName(QStringLiteral("N6"));
    addCommand(m_treeMenu, "N8", SiteSettings, &MainWindow::editSite, 6);
    addCommand(m_treeMenu, "N25", OpenSite, &MainWindow::openSite);
    m_treeMenu->addSeparator()->setObjectName(QStringLiteral("N26"));
    addCommand(m_treeMenu, "N4", Delete, &MainWindow::deleteNode, 2);
    m_treeMenu->addSeparator()->setObjectName(QStringLiteral("N10"));
    addCommand(m_treeMenu, "N9", Query, &MainWindow::runQuery, 4);

    m_gridMenu = new QMenu(this);
    m_gridMenu->setObjectName(QStringLiteral("pm2"));
    addCommand(m_gridMenu, "N24", Delete, &MainWindow::deleteHistoryRow, 2);
}

void MainWindow::buildLayout()
{
    m_mainSplitter = new QSplitter(Qt::Horizontal, this);
    m_mainSplitter->setObjectName(QStringLiteral("mainSplitter"));
    m_mainSplitter->setHandleWidth(SplitterBar);
    m_mainSplitter->setChildrenCollapsible(false);

    m_tree = new SiteTreeView(m_mainSplitter);
    m_tree->setSiteModel(m_treeModel.get());
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (current.isValid())
            runCommand([this, current] { m_catalogue->setCurrent(m_treeModel->idOf(current)); });
    });
    connect(m_tree, &SiteTreeView::popupRequested, this, &MainWindow::showTreeMenu);
    connect(m_tree, &SiteTreeView::treeClicked, this, [this] { runCommand([this] { loadHistory(); }); });
    connect(m_tree, &SiteTreeView::treeDoubleClicked, this, [this] {
        const QModelIndex node = selectedNode();
        if (node.isValid() && m_treeModel->isLeaf(node) && !m_treeModel->isFirstNode(node))
            runCommand([this] { runQuery(); });
    });
    connect(m_tree, &SiteTreeView::commandFailed, this, [this](const QString& error) { MessageBox::information(this, error); });

    m_rightSplitter = new QSplitter(Qt::Vertical, m_mainSplitter);
    m_rightSplitter->setObjectName(QStringLiteral("rightSplitter"));
    m_rightSplitter->setHandleWidth(SplitterBar);
    m_rightSplitter->setChildrenCollapsible(false);

    auto* upperPane = new QWidget(m_rightSplitter);
    upperPane->setObjectName(QStringLiteral("gridPane"));
    auto* upperLayout = new QVBoxLayout(upperPane);
    upperLayout->setContentsMargins(0, 0, 0, 0);
    upperLayout->setSpacing(0);
    m_historyModel = new HistoryModel(this);
    m_historyGrid = new HistoryView(upperPane);
    m_historyGrid->setHistoryModel(m_historyModel);
    m_historyGrid->setFont(windowFont(11));
    connect(m_historyGrid, &HistoryView::pressed, this, [this](Qt::MouseButton button, const QPoint& at) {
        // The menu needs rows, not a selection.
        if (button == Qt::RightButton && m_historyModel->rowCount() > 0)
            m_gridMenu->popup(at);
    });
    connect(m_historyGrid, &HistoryView::cellClicked, this,
            [this](int column, int row) { runCommand([=] { openCellLink(column, row); }); });
    upperLayout->addWidget(m_historyGrid, 1);

    m_progressPanel = new QWidget(upperPane);
    m_progressPanel->setObjectName(QStringLiteral("rzpnl1"));
    m_progressPanel->setFixedHeight(ProgressPanelHeight);
    m_busyIndicator = new BusyIndicator(m_progressPanel);
    m_busyIndicator->setObjectName(QStringLiteral("advcrclrprgrs1"));
    m_busyIndicator->setGeometry(0, 0, 29, ProgressPanelHeight);
    m_busyIndicator->hide();
    m_progressLabel = new QLabel(m_progressPanel);
    m_progressLabel->setObjectName(QStringLiteral("lbl1"));
    m_progressLabel->setGeometry(35, 4, 318, 18);
    m_progressLabel->setFont(windowFont(13));
    upperLayout->addWidget(m_progressPanel);
    m_progressPanel->hide();

    m_browser = new BrowserTabs(m_rightSplitter);
    m_browser->setObjectName(QStringLiteral("browserTabs"));
    connect(m_browser, &BrowserTabs::mainDocumentComplete, this, &MainWindow::autoFillLogin);

    // Only the right and lower panes grow with the window.
    m_mainSplitter->setStretchFactor(0, 0);
    m_mainSplitter->setStretchFactor(1, 1);
    m_mainSplitter->setSizes({TreeWidth, ClientWidth - TreeWidth - SplitterBar});
    m_rightSplitter->setStretchFactor(0, 0);
    m_rightSplitter->setStretchFactor(1, 1);
    m_rightSplitter->setSizes({GridPaneHeight, ClientHeight - GridPaneHeight - SplitterBar});
    setCentralWidget(m_mainSplitter);
}

void MainWindow::startUp()
{
    // The steps run in this order; the first error is shown and the rest are skipped, and
    // the window still opens.
    runCommand([this] {
        m_database.open(m_folder.databaseFile());
        m_database.openTable(QStringLiteral("master"));
        m_treeModel->fill();
        m_database.openTable(QStringLiteral("details"));
        m_tree->expandAll();
        m_settings.setPath(m_folder.settingsFile());
        if (m_settings.readString(QStringLiteral("cfg"), QStringLiteral("51larun"), QString()) == QLatin1String("1"))
            switchPluginOnInMenus();
    });
}

void MainWindow::switchPluginOnInMenus()
{
    m_pluginToggle->setChecked(true);
    addCommand(m_pluginMenu, "LaEditItem", AppTexts::PluginEdit, &MainWindow::editCredentialsFile);
}

QModelIndex MainWindow::selectedNode() const
{
    const QModelIndexList selected = m_tree->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? QModelIndex() : selected.first();
}

void MainWindow::selectNode(const QModelIndex& index, bool edit)
{
    if (!index.isValid())
        return;
    m_tree->expand(index.parent());
    m_tree->setCurrentIndex(index);
    m_tree->scrollTo(index);
    if (edit)
        m_tree->edit(index);
}

void MainWindow::showTreeMenu(const QPoint& globalPosition)
{
    offerLoginItem();
    m_treeMenu->popup(globalPosition);
}

ServiceHosts MainWindow::hosts() const
{
    IniStore settings;
    settings.setPath(m_folder.settingsFile());
    return ServiceHosts::fromSettings(settings);
}

void MainWindow::addNode()
{
    selectNode(m_treeModel->addSibling(selectedNode(), QString::fromUtf8(AppTexts::NewNode)), true);
}

void MainWindow::addChildNode()
{
    const QModelIndex parent = selectedNode();
    if (!parent.isValid())
        return;
    const QString text = parent.data(Qt::DisplayRole).toString() + QString::fromUtf8(AppTexts::ChildSuffix);
    selectNode(m_treeModel->addChild(parent, text), true);
}

void MainWindow::renameNode()
{
    const QModelIndex node = selectedNode();
    if (node.isValid())
        m_tree->edit(node);
}

void MainWindow::moveNodeUp()
{
    const QModelIndex node = selectedNode();
    if (!node.isValid() || !node.parent().isValid())
        return;
    selectNode(m_treeModel->moveUp(node), false);
}

void MainWindow::deleteNode()
{
    const QModelIndex node = selectedNode();
    if (!node.isValid())
        return;
    if (!m_treeModel->isLeaf(node)) {
        MessageBox::information(this, QString::fromUtf8(AppTexts::HasChildren));
        return;
    }
    const QString question = QString::fromUtf8(AppTexts::ConfirmDeleteNode).arg(node.data(Qt::DisplayRole).toString());
    if (!MessageBox::confirm(this, question))
        return;
    const std::optional<SiteRecord> current = m_catalogue->current();
    if (current && current->id == 1) {
        MessageBox::information(this, QString::fromUtf8(AppTexts::RootNotDeletable));
        return;
    }
    m_catalogue->discardPending();
    const QModelIndex neighbour = m_treeModel->remove(node);
    if (neighbour.isValid())
        selectNode(neighbour, false);
}

void MainWindow::openSite()
{
    const std::optional<SiteRecord> current = m_catalogue->current();
    // The address as stored, completed the way a browser's address bar completes it.
    m_browser->openInMainTab(QUrl::fromUserInput(current ? current->url : QString()));
}

void MainWindow::editSite()
{
    SiteAddressDialog dialog(*m_catalogue, *m_tree, this);
    dialog.exec();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // A change left pending in the site dialog is stored, not lost.
    runCommand([this] { m_catalogue->flushPending(); });
    QMainWindow::closeEvent(event);
}

void MainWindow::runQuery()
{
    const std::optional<SiteRecord> site = m_catalogue->current();
    m_queryRunner->setHosts(hosts());
    // Refusals (a query running, a blank address) and database errors stop here.
    m_queryRunner->launch(site ? site->id : 0, site ? site->url : QString());
    m_busyIndicator->show();
    m_progressPanel->show();
    m_progressLabel->setText(QString::fromUtf8(AppTexts::QueryStarting));
    m_runningRow = m_historyModel->insertRunningRow(QDateTime::currentDateTime(), site->url,
                                                    m_queryRunner->predictedAutoId());
}

void MainWindow::endQuery(std::optional<int> storedAutoId)
{
    m_busyIndicator->hide();
    m_progressPanel->hide();
    m_historyModel->finishRow(m_runningRow, storedAutoId);
    m_runningRow = 0;
}

void MainWindow::loadHistory()
{
    if (m_queryRunner->isRunning()) {
        MessageBox::information(this, QString::fromUtf8(AppTexts::WaitForQuery));
        return;
    }
    const QModelIndex node = selectedNode();
    if (!node.isValid() || !m_treeModel->isLeaf(node) || m_treeModel->isFirstNode(node))
        return;
    const std::optional<SiteRecord> site = m_catalogue->current();
    if (!site)
        return;
    // Read first: a failed read leaves the grid as it was.
    const QList<DetailsRecord> rows = m_database.history(site->id);
    m_historyModel->load(rows, site->url);
}

void MainWindow::deleteHistoryRow()
{
    const int row = m_historyGrid->selectedRow();
    if (row < 0)
        return;
    // The running query's row has no stored row yet.
    if (m_runningRow != 0 && m_historyModel->keyOfRow(row) == m_runningRow) {
        MessageBox::information(this, QString::fromUtf8(AppTexts::WaitForQuery));
        return;
    }
    if (!MessageBox::confirm(this, QString::fromUtf8(AppTexts::ConfirmDeleteRow)))
        return;
    const quint64 key = m_historyModel->keyOfRow(row);
    m_database.deleteDetail(m_historyModel->intValue(row, HistoryColumns::AutoId));
    m_historyModel->removeRowAt(m_historyModel->rowOfKey(key));
}

void MainWindow::openCellLink(int column, int row)
{
    const QByteArray address = Gbk::encode(m_historyModel->address(row));
    if (const std::optional<QByteArray> url = SearchLinks::url(column, address, hosts())) {
        m_browser->openInMainTab(QUrl(Gbk::decode(*url), QUrl::TolerantMode));
        return;
    }
    m_browser->showMainPageOpening();
}

void MainWindow::togglePlugin()
{
    // The action has flipped its check mark already; it is turned back if the write fails.
    const bool switchingOn = m_pluginToggle->isChecked();
    m_settings.setPath(m_folder.settingsFile());
    try {
        m_settings.writeString(QStringLiteral("cfg"), QStringLiteral("51larun"),
                               switchingOn ? QStringLiteral("1") : QStringLiteral("0"));
    } catch (...) {
        m_pluginToggle->setChecked(!switchingOn);
        throw;
    }
    const QString pluginFolder = m_folder.pluginFolder();
    if (switchingOn) {
        QDir().mkdir(pluginFolder); // one level; a failure only means no login item is offered
    } else if (QFileInfo(pluginFolder).isDir()) {
        DeleteTree(pluginFolder); // with every stored credential in it
    }
}

void MainWindow::openHelp()
{
    m_browser->openInMainTab(QUrl(QStringLiteral("http://%1/wmkit").arg(QString::fromLatin1(hosts().host(HostRole::Maker)))));
}

void MainWindow::checkForUpgrade()
{
    m_upgrade->checkNow();
}

void MainWindow::editCredentialsFile()
{
    // The user's own program for the file type; never through a shell.
    QDesktopServices::openUrl(QUrl::fromLocalFile(m_folder.credentialsFile()));
}

void MainWindow::offerLoginItem()
{
    // Once per run, at the first right press after the plug-in folder exists.
    if (m_state.laMenuAdded == QString::fromUtf8(AppTexts::Yes) || !QFileInfo(m_folder.pluginFolder()).isDir())
        return;
    m_treeMenu->addSeparator();
    addCommand(m_treeMenu, "LaLoginItem", LaTexts::LoginItem, &MainWindow::loginToLa);
    m_state.laMenuAdded = QString::fromUtf8(AppTexts::Yes);
}

void MainWindow::loginToLa()
{
    const QModelIndex node = selectedNode();
    if (!node.isValid())
        return;
    const QString nodeText = node.data(Qt::DisplayRole).toString();
    if (const std::optional<LaLogin::Credentials> found = LaLogin::find(m_folder.credentialsFile(), nodeText)) {
        m_state.laSiteId = found->siteId;
        m_state.laPassword = found->password;
    } else {
        CredentialsDialog dialog(nodeText, m_folder.credentialsFile(), this);
        const bool confirmed = dialog.exec() == QDialog::Accepted;
        m_state.laDialogAnswer = QString::fromUtf8(confirmed ? AppTexts::Yes : AppTexts::No);
        if (!confirmed)
            return;
        m_state.laSiteId = dialog.siteId();
        m_state.laPassword = dialog.password();
    }
    m_browser->navigateMainTab(LaLogin::loginUrl(hosts().host(HostRole::La51), m_state.laSiteId));
    m_state.laLoginPending = QString::fromUtf8(AppTexts::Yes);
}

void MainWindow::autoFillLogin()
{
    if (m_state.laLoginPending != QString::fromUtf8(AppTexts::Yes))
        return;
    QWebEnginePage* page = m_browser->view(BrowserTabs::MainPage)->page();
    if (!LaLogin::isLoginPage(page->url(), hosts().host(HostRole::La51)))
        return; // the password goes to 51La only
    QPointer<MainWindow> self(this);
    page->runJavaScript(LaLogin::autoFillScript(m_state.laPassword), QWebEngineScript::ApplicationWorld,
                        [self](const QVariant& result) {
                            if (self && result.toBool())
                                self->m_state.laLoginPending = QString::fromUtf8(AppTexts::No);
                        });
}
