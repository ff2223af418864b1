#pragma once

#include <QWidget>

class QStackedWidget;
class QTabBar;
class QToolButton;

// A page control whose tabs can be hidden one by one while their pages still show: the
// active page is kept apart from the tab bar, which moves its own current tab when a tab
// is hidden. The tab strip disappears when no tab is visible.
class PageControl final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PageControl)

public:
    static constexpr int TabWidth = 180;

    explicit PageControl(QWidget* parent = nullptr);

    int addPage(QWidget* page, const QString& caption);
    int count() const;
    QWidget* page(int index) const;

    int activePage() const { return m_active; }
    void setActivePage(int index);
    bool isTabVisible(int index) const;
    void setTabVisible(int index, bool visible);
    bool isTabStripVisible() const;
    QString caption(int index) const;
    void setCaption(int index, const QString& caption);

signals:
    // The close button on the active tab was clicked; the control closes nothing itself.
    void closeClicked();

private:
    void syncTabBar();

    QTabBar* m_tabBar = nullptr;
    QStackedWidget* m_stack = nullptr;
    QToolButton* m_closeButton = nullptr;
    int m_active = -1;
};
