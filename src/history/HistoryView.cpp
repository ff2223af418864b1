#include "history/HistoryView.h"

#include "history/HistoryColumns.h"
#include "history/HistoryModel.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QSpinBox>
#include <QStyledItemDelegate>

namespace {

constexpr int HeaderHeight = 26;
constexpr int RowHeight = 20;

// A whole-number spin box with step 1 for the editable column.
class CountDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        auto* spin = new QSpinBox(parent);
        spin->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        spin->setSingleStep(1);
        spin->setFrame(false);
        return spin;
    }
};

} // namespace

HistoryView::HistoryView(QWidget* parent)
    : QTableView(parent)
{
    setObjectName(QStringLiteral("nxtgrd1"));
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(RowHeight);
    horizontalHeader()->setFixedHeight(HeaderHeight);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSortIndicatorShown(false);
    horizontalHeader()->setSectionsClickable(true);
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::AnyKeyPressed);
    setItemDelegateForColumn(HistoryColumns::EditableColumn, new CountDelegate(this));
    setMouseTracking(true);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(true);
    // No selection shown while the grid does not have the focus.
    QPalette palette = this->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Base));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText, palette.color(QPalette::Active, QPalette::Text));
    setPalette(palette);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &HistoryView::onHeaderClicked);
    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { emit cellClicked(index.column(), index.row()); });
}

void HistoryView::setHistoryModel(HistoryModel* model)
{
    m_model = model;
    setModel(model);
    for (int column = 0; column < HistoryColumns::Count; ++column) {
        setColumnWidth(column, HistoryColumns::column(column).width);
        setColumnHidden(column, column >= HistoryColumns::AutoId);
    }
}

int HistoryView::selectedRow() const
{
    const QModelIndexList rows = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void HistoryView::onHeaderClicked(int column)
{
    // A further click on the same header reverses; the date sorts newest first at first.
    if (column == m_sortColumn)
        m_sortOrder = m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    else
        m_sortOrder = column == HistoryColumns::Time ? Qt::DescendingOrder : Qt::AscendingOrder;
    m_sortColumn = column;
    m_model->sort(column, m_sortOrder);
}

void HistoryView::mousePressEvent(QMouseEvent* event)
{
    emit pressed(event->button(), event->globalPosition().toPoint());
    QTableView::mousePressEvent(event);
}

void HistoryView::mouseMoveEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    viewport()->setCursor(index.isValid() && HistoryColumns::isMetric(index.column()) ? Qt::PointingHandCursor
                                                                                      : Qt::ArrowCursor);
    QTableView::mouseMoveEvent(event);
}

void HistoryView::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->source() == this)
        event->acceptProposedAction();
    else
        event->ignore();
}

void HistoryView::dragMoveEvent(QDragMoveEvent* event)
{
    QTableView::dragMoveEvent(event);
    if (event->source() == this) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    }
}

void HistoryView::dropEvent(QDropEvent* event)
{
    if (event->source() != this)
        return;
    const int from = selectedRow();
    const QModelIndex target = indexAt(event->position().toPoint());
    int to = target.isValid() ? target.row() : m_model->rowCount();
    if (target.isValid() && dropIndicatorPosition() == QAbstractItemView::BelowItem)
        ++to;
    m_model->moveRowTo(from, to);
    // The model moved the row itself; the view must not remove anything.
    event->setDropAction(Qt::CopyAction);
    event->accept();
}
