#include "browser/PageControl.h"

#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

PageControl::PageControl(QWidget* parent)
    : QWidget(parent)
    , m_tabBar(new QTabBar(this))
    , m_stack(new QStackedWidget(this))
    , m_closeButton(new QToolButton(this))
{
    m_tabBar->setObjectName(QStringLiteral("pageTabs"));
    m_tabBar->setExpanding(false);
    m_tabBar->setDrawBase(false);
    m_tabBar->setElideMode(Qt::ElideRight);
    m_tabBar->setStyleSheet(QStringLiteral(
        "QTabBar::tab { width: %1px; height: 20px; padding: 0 4px; margin-right: 2px;"
        " border: 1px solid #7a96c0; border-bottom: none;"
        " border-top-left-radius: 6px; border-top-right-radius: 6px;"
        " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #eef4fc, stop:1 #c9daf2); }"
        "QTabBar::tab:selected { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
        " stop:0 #fff6d8, stop:1 #ffd98a); }")
                                .arg(TabWidth - 10));
    m_tabBar->hide();

    m_closeButton->setObjectName(QStringLiteral("pageCloseButton"));
    m_closeButton->setText(QStringLiteral("×"));
    m_closeButton->setAutoRaise(true);
    m_closeButton->setFixedSize(16, 16);
    m_closeButton->hide();
    connect(m_closeButton, &QToolButton::clicked, this, &PageControl::closeClicked);

    // Only a click on a tab changes the page; the bar's own moves of its current tab
    // (when a tab is hidden) are made with its signals blocked.
    connect(m_tabBar, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0)
            setActivePage(index);
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_tabBar);
    layout->addWidget(m_stack, 1);
}

int PageControl::addPage(QWidget* page, const QString& caption)
{
    const QSignalBlocker blocker(m_tabBar);
    const int index = m_stack->addWidget(page);
    m_tabBar->addTab(caption);
    m_tabBar->setTabVisible(index, false);
    if (m_active < 0)
        setActivePage(index);
    syncTabBar();
    return index;
}

int PageControl::count() const
{
    return m_stack->count();
}

QWidget* PageControl::page(int index) const
{
    return m_stack->widget(index);
}

void PageControl::setActivePage(int index)
{
    if (index < 0 || index >= count())
        return;
    m_active = index;
    m_stack->setCurrentIndex(index);
    syncTabBar();
}

bool PageControl::isTabVisible(int index) const
{
    return m_tabBar->isTabVisible(index);
}

void PageControl::setTabVisible(int index, bool visible)
{
    const QSignalBlocker blocker(m_tabBar);
    m_tabBar->setTabVisible(index, visible);
    syncTabBar();
}

bool PageControl::isTabStripVisible() const
{
    return !m_tabBar->isHidden();
}

QString PageControl::caption(int index) const
{
    return m_tabBar->tabText(index);
}

void PageControl::setCaption(int index, const QString& caption)
{
    m_tabBar->setTabText(index, caption);
}

void PageControl::syncTabBar()
{
    const QSignalBlocker blocker(m_tabBar);
    bool anyVisible = false;
    for (int i = 0; i < m_tabBar->count(); ++i)
        anyVisible = anyVisible || m_tabBar->isTabVisible(i);
    m_tabBar->setVisible(anyVisible);

    for (int i = 0; i < m_tabBar->count(); ++i)
        m_tabBar->setTabButton(i, QTabBar::RightSide, nullptr);
    if (m_active >= 0 && m_tabBar->isTabVisible(m_active)) {
        m_tabBar->setCurrentIndex(m_active);
        // The close button is drawn on the active tab only.
        m_tabBar->setTabButton(m_active, QTabBar::RightSide, m_closeButton);
        m_closeButton->show();
    } else {
        m_closeButton->hide();
    }
}
