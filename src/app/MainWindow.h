#pragma once

#include "app/IniStore.h"
#include "app/ProgramFolder.h"
#include "catalogue/SiteDatabase.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>

class BrowserTabs;
class ServiceHosts;
class HistoryModel;
class HistoryView;
class QueryRunner;
class UpgradeChecker;
class BusyIndicator;
class SiteCatalogue;
class SiteTreeModel;
class SiteTreeView;
class QAction;
class QLabel;
class QMenu;
class QSplitter;
class QWidget;

// State that several commands share while the program runs. Flags are "是" or "否";
// an empty text counts as "否".
// The query's own state (running, completions counted) lives in its QueryRunner.
struct WindowState
{
    QString laLoginPending;
    QString laSiteId;
    QString laPassword;
    QString laDialogAnswer;
    QString laMenuAdded;
};

// The program's only top-level window. It lays out and wires the parts; their logic lives
// in the classes of each subsystem.
class MainWindow final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    static constexpr int ClientWidth = 1035;
    static constexpr int ClientHeight = 665;
    static constexpr int TreeWidth = 193;
    static constexpr int GridPaneHeight = 307;
    static constexpr int SplitterBar = 4;

    explicit MainWindow(const ProgramFolder& folder, QWidget* parent = nullptr);
    ~MainWindow() override;

    const WindowState& state() const { return m_state; }
    SiteDatabase& database() { return m_database; }
    const ProgramFolder& folder() const { return m_folder; }
    SiteCatalogue& catalogue() { return *m_catalogue; }
    SiteTreeView* tree() const { return m_tree; }
    BrowserTabs* browser() const { return m_browser; }
    HistoryView* historyGrid() const { return m_historyGrid; }
    HistoryModel* history() const { return m_historyModel; }
    QueryRunner* queryRunner() const { return m_queryRunner; }
    UpgradeChecker* upgradeChecker() const { return m_upgrade; }

    // Runs a command: an error it raises is shown in a message box, and the command stops
    // there. Returns false when it failed.
    bool runCommand(const std::function<void()>& command);

private:
    void buildMenus();
    void buildLayout();
    QAction* addCommand(QMenu* menu, const char* name, const char* caption,
                        void (MainWindow::*handler)(), int icon = -1);
    void startUp();
    void switchPluginOnInMenus();

    void closeEvent(QCloseEvent* event) override;
    QModelIndex selectedNode() const;
    void selectNode(const QModelIndex& index, bool edit);
    void showTreeMenu(const QPoint& globalPosition);

    // Site tree commands
    void addNode();
    void addChildNode();
    void renameNode();
    void moveNodeUp();
    void editSite();
    void deleteNode();
    void openSite();
    // Query and history
    void runQuery();
    void loadHistory();
    void deleteHistoryRow();
    void openCellLink(int column, int row);
    void endQuery(std::optional<int> storedAutoId);
    void togglePlugin();
    void editCredentialsFile();
    void offerLoginItem();
    void loginToLa();
    void autoFillLogin();
    ServiceHosts hosts() const;
    void openHelp();
    void checkForUpgrade();

    ProgramFolder m_folder;
    SiteDatabase m_database;
    IniStore m_settings;
    WindowState m_state;

    QMenu* m_pluginMenu = nullptr;
    QAction* m_pluginToggle = nullptr;
    QMenu* m_treeMenu = nullptr;
    QMenu* m_gridMenu = nullptr;
    QSplitter* m_mainSplitter = nullptr;
    QSplitter* m_rightSplitter = nullptr;
    std::unique_ptr<SiteTreeModel> m_treeModel;
    std::unique_ptr<SiteCatalogue> m_catalogue;
    SiteTreeView* m_tree = nullptr;
    BrowserTabs* m_browser = nullptr;
    HistoryView* m_historyGrid = nullptr;
    HistoryModel* m_historyModel = nullptr;
    QueryRunner* m_queryRunner = nullptr;
    quint64 m_runningRow = 0;
    UpgradeChecker* m_upgrade = nullptr;
    QWidget* m_progressPanel = nullptr;
    BusyIndicator* m_busyIndicator = nullptr;
    QLabel* m_progressLabel = nullptr;
};
