#pragma once

#include "app/IniStore.h"
#include "app/ProgramFolder.h"
#include "catalogue/SiteDatabase.h"

#include <QMainWindow>

#include <functional>

class BusyIndicator;
class PageControl;
class QAction;
class QLabel;
class QMenu;
class QSplitter;
class QTableView;
class QTreeView;
class QWidget;

// State that several commands share while the program runs. Flags are "是" or "否";
// an empty text counts as "否".
struct WindowState
{
    int queryStepCount = 0;
    bool queryRunning = false;
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

    // Runs a command: an error it raises is shown in a message box, and the command stops
    // there. Returns false when it failed.
    bool runCommand(const std::function<void()>& command);

private:
    void buildMenus();
    void buildLayout();
    QWidget* buildBrowserPage(int index);
    QAction* addCommand(QMenu* menu, const char* name, const char* caption,
                        void (MainWindow::*handler)(), int icon = -1);
    void startUp();
    void switchPluginOnInMenus();

    // Commands; the issues that build each subsystem fill them in.
    void addNode() {}
    void addChildNode() {}
    void renameNode() {}
    void moveNodeUp() {}
    void editSite() {}
    void deleteNode() {}
    void runQuery() {}
    void openSite() {}
    void togglePlugin() {}
    void editCredentialsFile() {}
    void openHelp() {}
    void checkForUpgrade() {}
    void deleteHistoryRow() {}

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
    QTreeView* m_tree = nullptr;
    QTableView* m_historyGrid = nullptr;
    QWidget* m_progressPanel = nullptr;
    BusyIndicator* m_busyIndicator = nullptr;
    QLabel* m_progressLabel = nullptr;
    PageControl* m_pages = nullptr;
};
