#include "history/HistoryModel.h"

#include "app/Icons.h"
#include "history/HistoryColumns.h"

#include <QFont>
#include <QLocale>

#include <algorithm>

using namespace HistoryColumns;

HistoryModel::HistoryModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

void HistoryModel::load(const QList<DetailsRecord>& records, const QString& address)
{
    beginResetModel();
    m_rows.clear();
    m_rows.reserve(records.size());
    for (const DetailsRecord& record : records) {
        Row row;
        row.key = m_nextKey++;
        row.time = record.addtime;
        row.values = record.values;
        row.autoid = record.autoid;
        row.address = address;
        m_rows.append(std::move(row));
    }
    endResetModel();
}

quint64 HistoryModel::insertRunningRow(const QDateTime& launchTime, const QString& address, int predictedAutoId)
{
    Row row;
    row.key = m_nextKey++;
    row.time = launchTime;
    row.autoid = predictedAutoId;
    row.address = address;
    row.background = RunningColour;
    beginInsertRows({}, 0, 0);
    m_rows.prepend(row);
    endInsertRows();
    // Every row below is numbered one more now.
    if (m_rows.size() > 1)
        emit dataChanged(index(1, Increment), index(int(m_rows.size()) - 1, Increment), {Qt::DisplayRole});
    return row.key;
}

int HistoryModel::rowOfKey(quint64 key) const
{
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows.at(i).key == key)
            return i;
    }
    return -1;
}

quint64 HistoryModel::keyOfRow(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).key : 0;
}

void HistoryModel::setValue(quint64 key, int column, int value)
{
    const int row = rowOfKey(key);
    if (row < 0 || !isMetric(column))
        return; // the row was deleted: the value is shown nowhere else
    m_rows[row].values[size_t(column - FirstMetric)] = value;
    emit dataChanged(index(row, column), index(row, column));
}

void HistoryModel::finishRow(quint64 key, std::optional<int> storedAutoId)
{
    const int row = rowOfKey(key);
    if (row < 0)
        return;
    m_rows[row].background = Qt::white;
    if (storedAutoId)
        m_rows[row].autoid = *storedAutoId;
    emit dataChanged(index(row, 0), index(row, Count - 1));
}

void HistoryModel::removeRowAt(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    beginRemoveRows({}, row, row);
    m_rows.removeAt(row);
    endRemoveRows();
    if (row < m_rows.size())
        emit dataChanged(index(row, Increment), index(int(m_rows.size()) - 1, Increment), {Qt::DisplayRole});
}

bool HistoryModel::moveRowTo(int from, int to)
{
    if (from < 0 || from >= m_rows.size() || to < 0 || to > m_rows.size() || to == from || to == from + 1)
        return false;
    beginMoveRows({}, from, from, {}, to);
    m_rows.move(from, to > from ? to - 1 : to);
    endMoveRows();
    emit dataChanged(index(0, Increment), index(int(m_rows.size()) - 1, Increment), {Qt::DisplayRole});
    return true;
}

int HistoryModel::intValue(int row, int column) const
{
    const Row& r = m_rows.at(row);
    if (isMetric(column))
        return r.values[size_t(column - FirstMetric)];
    if (column == AutoId)
        return r.autoid;
    if (column == Increment)
        return row + 1;
    return 0;
}

QString HistoryModel::address(int row) const
{
    return m_rows.at(row).address;
}

int HistoryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int HistoryModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Count;
}

QString HistoryModel::timeText(const QDateTime& time)
{
    if (!time.isValid())
        return {};
    const QLocale locale;
    const QString date = locale.toString(time.date(), QLocale::ShortFormat);
    if (time.time() == QTime(0, 0))
        return date;
    // The long time format without its time zone.
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return date + QLatin1Char(' ') + locale.toString(time.time(), format.trimmed());
}

QVariant HistoryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const Row& row = m_rows.at(index.row());
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        if (column == Time)
            return timeText(row.time);
        if (column == Address)
            return row.address;
        return intValue(index.row(), column);
    case Qt::EditRole:
        return column == Address ? QVariant(row.address) : QVariant(intValue(index.row(), column));
    case Qt::BackgroundRole:
        return row.background;
    case Qt::ForegroundRole: {
        const QColor colour = HistoryColumns::column(column).colour;
        return colour.isValid() ? QVariant(colour) : QVariant();
    }
    case Qt::FontRole:
        if (HistoryColumns::column(column).bold) {
            QFont font;
            font.setBold(true);
            return font;
        }
        return {};
    case Qt::TextAlignmentRole:
        return column == Time ? int(Qt::AlignLeft | Qt::AlignVCenter) : int(Qt::AlignCenter);
    default:
        return {};
    }
}

bool HistoryModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    // Only the Baidu count can be edited, and only in the grid: nothing is written back.
    if (!index.isValid() || role != Qt::EditRole || index.column() != EditableColumn)
        return false;
    m_rows[index.row()].values[size_t(EditableColumn - FirstMetric)] = value.toInt();
    emit dataChanged(index, index);
    return true;
}

QVariant HistoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= Count)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(HistoryColumns::column(section).caption);
    if (role == Qt::DecorationRole && isMetric(section))
        return Icons::providerBadge(int(HistoryColumns::column(section).provider));
    return {};
}

Qt::ItemFlags HistoryModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled; // rows are dragged to another place
    Qt::ItemFlags flags = QAbstractTableModel::flags(index) | Qt::ItemIsDragEnabled;
    if (index.column() == EditableColumn)
        flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant HistoryModel::sortValue(const Row& row, int rowIndex, int column) const
{
    if (column == Increment)
        return QString::number(rowIndex + 1);
    if (column == Time)
        return row.time;
    if (isMetric(column))
        return row.values[size_t(column - FirstMetric)];
    return {};
}

void HistoryModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= AutoId)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QList<quint64> keys;
    for (const QModelIndex& index : before)
        keys << m_rows.at(index.row()).key;

    QList<std::pair<QVariant, Row>> keyed;
    for (int i = 0; i < m_rows.size(); ++i)
        keyed.append({sortValue(m_rows.at(i), i, column), m_rows.at(i)});
    std::stable_sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) {
        const QPartialOrdering ordering = QVariant::compare(a.first, b.first);
        return order == Qt::AscendingOrder ? ordering == QPartialOrdering::Less : ordering == QPartialOrdering::Greater;
    });
    for (int i = 0; i < keyed.size(); ++i)
        m_rows[i] = keyed.at(i).second;

    QModelIndexList after;
    for (int i = 0; i < before.size(); ++i)
        after << index(rowOfKey(keys.at(i)), before.at(i).column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
