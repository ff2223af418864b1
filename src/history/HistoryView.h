#pragma once

#include <QTableView>

class HistoryModel;

// The history grid: fixed row and header heights, grid lines, a pointing hand over the linked
// columns, rows the user can drag to another place, and a spin editor in the Baidu column.
class HistoryView final : public QTableView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HistoryView)

public:
    explicit HistoryView(QWidget* parent = nullptr);
    void setHistoryModel(HistoryModel* model);
    // -1 when no row is selected.
    int selectedRow() const;

signals:
    // Raised before the grid acts on the press.
    void pressed(Qt::MouseButton button, const QPoint& globalPosition);
    void cellClicked(int column, int row);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void onHeaderClicked(int column);

    HistoryModel* m_model = nullptr;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};
