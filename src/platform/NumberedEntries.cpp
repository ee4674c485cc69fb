#include "platform/NumberedEntries.h"

#include <algorithm>

void NumberedEntries::setCount(int entries)
{
    // Rows added or taken away at the end, as one change: a reset would have every view
    // start over with the whole list.
    entries = std::max(entries, 0);
    if (entries > count)
        insertRows(count, entries - count);
    else if (entries < count)
        removeRows(entries, count - entries);
}

QVariant NumberedEntries::data(const QModelIndex& index, int role) const
{
    if (!holds(index) || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return textAt(index.row());
}

bool NumberedEntries::setData(const QModelIndex& index, const QVariant& value, int role)
{
    // A list adds an entry as a new row and then its text: only the row's own is taken.
    return holds(index) && (role == Qt::DisplayRole || role == Qt::EditRole)
        && value.toString() == textAt(index.row());
}

bool NumberedEntries::insertRows(int row, int rows, const QModelIndex& parent)
{
    if (parent.isValid() || row != count || rows < 1)
        return false;
    beginInsertRows({}, row, row + rows - 1);
    count += rows;
    endInsertRows();
    return true;
}

bool NumberedEntries::removeRows(int row, int rows, const QModelIndex& parent)
{
    if (parent.isValid() || rows < 1 || row < 0 || row + rows != count)
        return false;
    beginRemoveRows({}, row, row + rows - 1);
    count = row;
    endRemoveRows();
    return true;
}

QModelIndexList NumberedEntries::match(const QModelIndex& start, int role, const QVariant& value, int hits,
                                       Qt::MatchFlags flags) const
{
    const bool wholeText = flags == (Qt::MatchExactly | Qt::MatchCaseSensitive) && (role == Qt::DisplayRole || role == Qt::EditRole);
    if (!wholeText || start.row() != 0 || hits == 0)
        return QAbstractListModel::match(start, role, value, hits, flags);
    const QString text = value.toString();
    bool isNumber = false;
    const int row = text.startsWith(prefix) ? text.sliced(prefix.size()).toInt(&isNumber) : -1;
    if (!isNumber || row < 0 || row >= count || text != textAt(row))   // "div07" is no entry's
        return {};
    return {index(row)};
}
