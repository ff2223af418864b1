#pragma once

#include <QTreeView>

class SiteTreeModel;

// The site tree's view: a press selects the node under the mouse (a right press then asks
// for the pop-up menu), drags move nodes or, with Ctrl, copy them, and the in-place editor
// takes no more text than pr_name holds.
class SiteTreeView final : public QTreeView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SiteTreeView)

public:
    explicit SiteTreeView(QWidget* parent = nullptr);

    void setSiteModel(SiteTreeModel* model);
    SiteTreeModel* siteModel() const { return m_model; }
    // Refills from the table, keeping the selection and the open folders.
    void refill();

signals:
    // A right press on a tree with nodes, after the node under the mouse became selected.
    void popupRequested(const QPoint& globalPosition);
    void treeClicked();
    void treeDoubleClicked();
    // A drop failed (a database error); the text is the engine's.
    void commandFailed(const QString& error);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QModelIndex draggedIndex(const QMimeData* mime) const;
    bool acceptDrop(QDropEvent* event);

    SiteTreeModel* m_model = nullptr;
};
