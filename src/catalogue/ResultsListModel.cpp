#include "catalogue/ResultsListModel.h"

#include "catalogue/RecordSet.h"
#include "catalogue/TextOrder.h"

#include <algorithm>
#include <numeric>

namespace tarnwick {

ResultsListModel::ResultsListModel(QObject* parent) : QAbstractTableModel(parent) {}

void ResultsListModel::fill(const RecordSet& set) {
    std::vector<ResultsRow> rows = composeResultsRows(set);
    beginResetModel();
    rows_ = std::move(rows);
    order_.resize(rows_.size());
    std::iota(order_.begin(), order_.end(), 0);
    rowByKey_.clear();
    sortOrder_ = Qt::AscendingOrder;
    applySort();
    endResetModel();
    Q_EMIT sortChanged(sortColumn_, sortOrder_);
}

void ResultsListModel::appendRow(ResultsRow row) {
    const int position = int(rows_.size());
    beginInsertRows(QModelIndex(), position, position);
    if (!rowByKey_.isEmpty())
        rowByKey_.insert(row.key, position);
    rows_.push_back(std::move(row));
    order_.push_back(position);
    positionOfRow_.push_back(position);
    endInsertRows();
}

int ResultsListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int ResultsListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : resultsColumnCount;
}

QVariant ResultsListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return rowAt(index.row()).cells[size_t(index.column())];
    case Qt::TextAlignmentRole:
        return int(resultsColumns()[size_t(index.column())].alignment | Qt::AlignVCenter);
    case KeyRole:
        return rowAt(index.row()).key;
    default:
        return {};
    }
}

QVariant ResultsListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= resultsColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    const ResultsColumn& column = resultsColumns()[size_t(section)];
    switch (role) {
    case Qt::DisplayRole:
        return column.header.toString();
    case Qt::TextAlignmentRole:
        return int(column.alignment | Qt::AlignVCenter);
    case KeyRole:
        return column.key.toString();
    default:
        return {};
    }
}

int ResultsListModel::positionOfKey(const QString& key) const {
    if (rowByKey_.isEmpty() && !rows_.empty()) {
        rowByKey_.reserve(qsizetype(rows_.size()));
        for (size_t i = 0; i < rows_.size(); ++i)
            rowByKey_.insert(rows_[i].key, int(i));
    }
    const auto found = rowByKey_.constFind(key);
    return found == rowByKey_.cend() ? -1 : positionOfRow_[size_t(*found)];
}

const ResultsRow* ResultsListModel::rowWithKey(const QString& key) const {
    const int position = positionOfKey(key);
    return position < 0 ? nullptr : &rowAt(position);
}

void ResultsListModel::sortBy(int column, Qt::SortOrder order) {
    if (column < 0 || column >= resultsColumnCount)
        return;
    // A click toggles the order: start from the other one.
    sortOrder_ = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    columnClicked(column);
}

void ResultsListModel::columnClicked(int column) {
    if (column < 0 || column >= resultsColumnCount)
        return;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> rowsBefore;
    rowsBefore.reserve(size_t(before.size()));
    for (const QModelIndex& index : before)
        rowsBefore.push_back(order_[size_t(index.row())]);

    sortColumn_ = sortKeyColumn(column);
    sortOrder_ = sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    applySort();

    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        after << index(positionOfRow_[size_t(rowsBefore[size_t(i)])], before[i].column());
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    Q_EMIT sortChanged(sortColumn_, sortOrder_);
}

void ResultsListModel::applySort() {
    // The old control compared as the user's language does, without regard to case: one sort
    // key per row, then plain comparisons of keys.
    const QCollator order = textOrder();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(rows_.size());
    for (const ResultsRow& row : rows_)
        keys.push_back(order.sortKey(row.cells[size_t(sortColumn_)]));
    if (sortOrder_ == Qt::AscendingOrder)
        std::stable_sort(order_.begin(), order_.end(), [&keys](int a, int b) {
            return keys[size_t(a)].compare(keys[size_t(b)]) < 0;
        });
    else
        std::stable_sort(order_.begin(), order_.end(), [&keys](int a, int b) {
            return keys[size_t(b)].compare(keys[size_t(a)]) < 0;
        });
    positionOfRow_.resize(order_.size());
    for (size_t position = 0; position < order_.size(); ++position)
        positionOfRow_[size_t(order_[position])] = int(position);
}

} // namespace tarnwick
