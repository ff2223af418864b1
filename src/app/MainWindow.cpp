#include "app/MainWindow.h"

#include "app/AppTexts.h"
#include "app/BusyIndicator.h"
#include "app/CommandError.h"
#include "app/Icons.h"
#include "app/MessageBox.h"
#include "browser/PageControl.h"

#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QSplitter>
#include <QTableView>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

constexpr int ProgressPanelHeight = 24;
constexpr int StatusBarHeight = 19;
constexpr int StatusTextWidth = 451;
constexpr int StatusProgressWidth = 163;

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
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromUtf8(AppTexts::WindowTitle));
    setFont(windowFont(11));
    buildMenus();
    buildLayout();

    resize(ClientWidth, ClientHeight + menuBar()->sizeHint().height());
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());

    startUp();
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

    m_tree = new QTreeView(m_mainSplitter);
    m_tree->setObjectName(QStringLiteral("tvtreervf"));
    m_tree->setFrameShape(QFrame::NoFrame);
    m_tree->setHeaderHidden(true);
    m_tree->setIndentation(5 + 11);

    m_rightSplitter = new QSplitter(Qt::Vertical, m_mainSplitter);
    m_rightSplitter->setObjectName(QStringLiteral("rightSplitter"));
    m_rightSplitter->setHandleWidth(SplitterBar);
    m_rightSplitter->setChildrenCollapsible(false);

    auto* upperPane = new QWidget(m_rightSplitter);
    upperPane->setObjectName(QStringLiteral("gridPane"));
    auto* upperLayout = new QVBoxLayout(upperPane);
    upperLayout->setContentsMargins(0, 0, 0, 0);
    upperLayout->setSpacing(0);
    m_historyGrid = new QTableView(upperPane);
    m_historyGrid->setObjectName(QStringLiteral("nxtgrd1"));
    m_historyGrid->verticalHeader()->hide();
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

    m_pages = new PageControl(m_rightSplitter);
    m_pages->setObjectName(QStringLiteral("rzpgcntrl1"));
    m_pages->addPage(buildBrowserPage(0), QString::fromUtf8(AppTexts::MainPage));
    m_pages->addPage(buildBrowserPage(1), QString::fromUtf8(AppTexts::NextPage));
    m_pages->setActivePage(1);

    // Only the right and lower panes grow with the window.
    m_mainSplitter->setStretchFactor(0, 0);
    m_mainSplitter->setStretchFactor(1, 1);
    m_mainSplitter->setSizes({TreeWidth, ClientWidth - TreeWidth - SplitterBar});
    m_rightSplitter->setStretchFactor(0, 0);
    m_rightSplitter->setStretchFactor(1, 1);
    m_rightSplitter->setSizes({GridPaneHeight, ClientHeight - GridPaneHeight - SplitterBar});
    setCentralWidget(m_mainSplitter);
}

QWidget* MainWindow::buildBrowserPage(int index)
{
    static const char* const pageNames[] = {"rztbshtmain", "rztbshtnext"};
    static const char* const browserNames[] = {"embdwb1", "embdwb2"};
    static const char* const statusBarNames[] = {"rzstsbr1", "RzStatusBar1"};
    static const char* const statusTextNames[] = {"rzstspn1", "rzstspn2"};
    static const char* const progressNames[] = {"rzprgrsts1", "rzprgrsts2"};

    auto* page = new QWidget;
    page->setObjectName(QLatin1String(pageNames[index]));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* browser = new QWidget(page);
    browser->setObjectName(QLatin1String(browserNames[index]));
    browser->setAutoFillBackground(true);
    QPalette palette = browser->palette();
    palette.setColor(QPalette::Window, Qt::white);
    browser->setPalette(palette);
    layout->addWidget(browser, 1);

    auto* statusBar = new QWidget(page);
    statusBar->setObjectName(QLatin1String(statusBarNames[index]));
    statusBar->setFixedHeight(StatusBarHeight);
    auto* statusLayout = new QHBoxLayout(statusBar);
    statusLayout->setContentsMargins(0, 0, 0, 0);
    statusLayout->setSpacing(0);
    auto* statusText = new QLabel(statusBar);
    statusText->setObjectName(QLatin1String(statusTextNames[index]));
    statusText->setFixedWidth(StatusTextWidth);
    statusText->setFrameShape(QFrame::StyledPanel);
    statusText->setFrameShadow(QFrame::Sunken);
    auto* progress = new QProgressBar(statusBar);
    progress->setObjectName(QLatin1String(progressNames[index]));
    progress->setFixedWidth(StatusProgressWidth);
    progress->setTextVisible(false);
    progress->setRange(0, 100);
    progress->setValue(0);
    statusLayout->addWidget(statusText);
    statusLayout->addWidget(progress);
    statusLayout->addStretch(1);
    layout->addWidget(statusBar);
    return page;
}

void MainWindow::startUp()
{
    // The steps run in this order; the first error is shown and the rest are skipped, and
    // the window still opens.
    runCommand([this] {
        m_database.open(m_folder.databaseFile());
        m_database.openTable(QStringLiteral("master"));
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
