#pragma once

#include "catalogue/DetailsRecord.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QDateTime>

#include <array>

// The rows of the history grid: a site's stored queries, newest first, and on top the row of a
// query while it runs. Rows keep a key of their own, so the running query finds its row
// wherever sorting or dragging has put it.
class HistoryModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HistoryModel)

public:
    explicit HistoryModel(QObject* parent = nullptr);

    // Replaces all rows at once.
    void load(const QList<DetailsRecord>& records, const QString& address);
    // A new top row in the running colour; returns its key.
    quint64 insertRunningRow(const QDateTime& launchTime, const QString& address, int predictedAutoId);
    void setValue(quint64 key, int column, int value);
    // The query is over: the row turns white and carries the autoid actually stored.
    void finishRow(quint64 key, std::optional<int> storedAutoId);
    int rowOfKey(quint64 key) const;
    quint64 keyOfRow(int row) const;
    void removeRowAt(int row);
    bool moveRowTo(int from, int to);

    int intValue(int row, int column) const;
    QString address(int row) const;
    QColor background(int row) const { return m_rows.at(row).background; }
    QDateTime time(int row) const { return m_rows.at(row).time; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Column 1 sorts by time, 2 to 20 by number, 0 by its text.
    void sort(int column, Qt::SortOrder order) override;

    // The date column's text: short date and long time, no time at exactly midnight.
    static QString timeText(const QDateTime& time);

private:
    struct Row
    {
        quint64 key = 0;
        QDateTime time;
        std::array<int, MetricCount> values{};
        int autoid = 0;
        QString address;
        QColor background = Qt::white;
    };

    QVariant sortValue(const Row& row, int rowIndex, int column) const;

    QList<Row> m_rows;
    quint64 m_nextKey = 1;
};
