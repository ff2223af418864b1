#include "catalogue/SiteTreeView.h"

#include "app/CommandError.h"
#include "catalogue/SiteDatabase.h"
#include "catalogue/SiteTreeModel.h"

#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QStyledItemDelegate>

namespace {

class NameDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            line->setMaxLength(SiteDatabase::NameLength);
        return editor;
    }
};

} // namespace

SiteTreeView::SiteTreeView(QWidget* parent)
    : QTreeView(parent)
{
    setObjectName(QStringLiteral("tvtreervf"));
    setHeaderHidden(true);
    setFrameShape(QFrame::NoFrame);
    setIndentation(5 + 12);
    setIconSize(QSize(16, 16));
    setItemDelegate(new NameDelegate(this));
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setExpandsOnDoubleClick(true);
    // The selection stays visible when the tree loses the focus.
    QPalette palette = this->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText, palette.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(palette);
}

void SiteTreeView::setSiteModel(SiteTreeModel* model)
{
    m_model = model;
    setModel(model);
}

void SiteTreeView::refill()
{
    QList<int> expanded;
    std::function<void(const QModelIndex&)> collect = [&](const QModelIndex& parent) {
        for (int row = 0; row < m_model->rowCount(parent); ++row) {
            const QModelIndex index = m_model->index(row, 0, parent);
            if (isExpanded(index))
                expanded << m_model->idOf(index);
            collect(index);
        }
    };
    collect({});
    const int selected = m_model->idOf(currentIndex());
    m_model->fill();
    for (const int id : std::as_const(expanded))
        expand(m_model->indexOf(id));
    const QModelIndex again = m_model->indexOf(selected);
    if (again.isValid())
        setCurrentIndex(again);
}

void SiteTreeView::mousePressEvent(QMouseEvent* event)
{
    if (!m_model || m_model->isEmpty())
        return;
    if (event->button() == Qt::RightButton) {
        const QModelIndex under = indexAt(event->position().toPoint());
        if (under.isValid())
            setCurrentIndex(under);
        emit popupRequested(event->globalPosition().toPoint());
        return;
    }
    QTreeView::mousePressEvent(event);
}

void SiteTreeView::mouseReleaseEvent(QMouseEvent* event)
{
    QTreeView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        emit treeClicked();
}

void SiteTreeView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit treeDoubleClicked();
}

QModelIndex SiteTreeView::draggedIndex(const QMimeData* mime) const
{
    if (!mime || !mime->hasFormat(QLatin1String(SiteTreeModel::MimeType)))
        return {};
    return m_model->indexOf(mime->data(QLatin1String(SiteTreeModel::MimeType)).toInt());
}

bool SiteTreeView::acceptDrop(QDropEvent* event)
{
    // Only onto another node that is not inside the dragged one; Ctrl copies.
    const QModelIndex target = indexAt(event->position().toPoint());
    const bool ok = target.isValid() && m_model->canDrop(draggedIndex(event->mimeData()), target);
    if (ok) {
        event->setDropAction(event->modifiers() & Qt::ControlModifier ? Qt::CopyAction : Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
    return ok;
}

void SiteTreeView::dragEnterEvent(QDragEnterEvent* event)
{
    if (draggedIndex(event->mimeData()).isValid())
        event->acceptProposedAction();
    else
        event->ignore();
}

void SiteTreeView::dragMoveEvent(QDragMoveEvent* event)
{
    QTreeView::dragMoveEvent(event);
    acceptDrop(event);
}

void SiteTreeView::dropEvent(QDropEvent* event)
{
    if (!acceptDrop(event))
        return;
    const QModelIndex dragged = draggedIndex(event->mimeData());
    const QModelIndex target = indexAt(event->position().toPoint());
    const bool copy = event->dropAction() == Qt::CopyAction;
    try {
        const QModelIndex result = copy ? m_model->copyTo(dragged, target) : m_model->moveTo(dragged, target);
        expand(target);
        if (result.isValid())
            setCurrentIndex(result);
    } catch (const CommandError& error) {
        emit commandFailed(error.message());
    }
    // The model has moved the node itself; the view must not remove the dragged row.
    event->setDropAction(Qt::CopyAction);
    event->accept();
}
