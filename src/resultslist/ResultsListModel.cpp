#include "resultslist/ResultsListModel.h"

#include "catalogue/PhotoLabels.h"
#include "catalogue/RecordSet.h"
#include "text/TextOrder.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

namespace tarnwick {

ResultsListModel::ResultsListModel(QObject* parent) : QAbstractTableModel(parent) {}

namespace {

// Where each row's cell in a column stands in the list's text order: the set's rows, then the
// rows appended. Each distinct cell is composed and placed once; rows share its place.
std::vector<quint32> ranksOfColumn(const ResultsRowSource& source,
                                   const std::vector<ResultsRow>& extras, int column) {
    const int setRows = source.rowCount();
    const size_t rows = size_t(setRows) + extras.size();
    if (setRows == 0 || !source.hasIdentities(column))
        return textRanks(rows, [&](size_t listed, QByteArray& text) {
            if (listed < size_t(setRows))
                source.appendCellUtf8(text, int(listed), column);
            else
                text += extras[listed - size_t(setRows)].cells[size_t(column)].toUtf8();
        });
    std::vector<quint32> slotOfRow(rows);
    std::vector<QString> texts;
    std::unordered_map<quint64, quint32> slotOfIdentity;
    for (int listed = 0; listed < setRows; ++listed) {
        const auto [slot, isNew] =
            slotOfIdentity.try_emplace(source.cellIdentity(listed, column), quint32(texts.size()));
        if (isNew)
            texts.push_back(source.cell(listed, column));
        slotOfRow[size_t(listed)] = slot->second;
    }
    for (size_t extra = 0; extra < extras.size(); ++extra) {
        slotOfRow[size_t(setRows) + extra] = quint32(texts.size());
        texts.push_back(extras[extra].cells[size_t(column)]);
    }
    const std::vector<quint32> slotRanks = textRanks(texts);
    std::vector<quint32> ranks(rows);
    for (size_t listed = 0; listed < rows; ++listed)
        ranks[listed] = slotRanks[slotOfRow[listed]];
    return ranks;
}

// A counting sort: ranks are small dense numbers, so placing each row by its rank's count is
// stable, as the list's ties need, and several times faster than comparing.
void sortByRanks(std::vector<int>& order, const std::vector<quint32>& ranks,
                 Qt::SortOrder direction) {
    if (order.empty())
        return;
    const quint32 top = *std::max_element(ranks.begin(), ranks.end());
    const auto keyOf = [&](int row) {
        const quint32 rank = ranks[size_t(row)];
        return direction == Qt::AscendingOrder ? rank : top - rank;
    };
    std::vector<size_t> start(size_t(top) + 2, 0);
    for (const int row : order)
        ++start[keyOf(row) + 1];
    std::partial_sum(start.begin(), start.end(), start.begin());
    std::vector<int> sorted(order.size());
    for (const int row : order)
        sorted[start[keyOf(row)]++] = row;
    order = std::move(sorted);
}

} // namespace

ResultsListModel::PreparedFill ResultsListModel::prepareFill(const RecordSet& set, int column) {
    if (column < 0 || column >= resultsColumnCount)
        column = BookPhotoIdColumn;
    PreparedFill prepared{ResultsRowSource(set), column, {}, {}, {}};
    prepared.ranks = ranksOfColumn(prepared.source, {}, column);
    prepared.order.resize(size_t(prepared.source.rowCount()));
    std::iota(prepared.order.begin(), prepared.order.end(), 0);
    sortByRanks(prepared.order, prepared.ranks, Qt::AscendingOrder);
    return prepared;
}

void ResultsListModel::fill(const RecordSet& set) {
    fill(prepareFill(set, sortColumn_));
}

void ResultsListModel::fill(PreparedFill prepared) {
    beginResetModel();
    source_ = std::move(prepared.source);
    extras_.clear();
    order_ = std::move(prepared.order);
    rowsChanged();
    sortOrder_ = Qt::AscendingOrder;
    matchPercent_ = std::move(prepared.matchPercent);
    matchRanks_.assign(matchPercent_.size(), 0);
    for (size_t position = 0; position < order_.size() && !matchPercent_.empty(); ++position)
        matchRanks_[size_t(order_[position])] = quint32(order_.size() - position);
    rankedOrder_ = !matchPercent_.empty();
    if (sortColumn_ >= resultsColumnCount)
        sortColumn_ = BookPhotoIdColumn;
    if (rankedOrder_) {
        // The ranking is the order; the column chosen last waits for the next ordinary fill.
    } else if (prepared.column == sortColumn_) {
        rankedColumn_ = prepared.column;
        ranks_ = std::move(prepared.ranks);
    } else {
        // Ties keep the set's order, not the other column's.
        std::iota(order_.begin(), order_.end(), 0);
        applySort();
    }
    endResetModel();
    Q_EMIT sortChanged(sortColumn(), sortOrder_);
}

void ResultsListModel::appendRow(ResultsRow row) {
    const int position = listedCount();
    beginInsertRows(QModelIndex(), position, position);
    extras_.push_back(std::move(row));
    order_.push_back(position);
    rowsChanged();
    endInsertRows();
}

void ResultsListModel::rowsChanged() {
    ++rowsVersion_;
    rowById_.clear();
    rankedColumn_ = -1;
    ranks_ = {};
    positionOfRow_.resize(order_.size());
    updatePositions();
}

int ResultsListModel::listedCount() const {
    return source_.rowCount() + int(extras_.size());
}

QString ResultsListModel::matchText(int listed) const {
    if (size_t(listed) >= matchPercent_.size())
        return QString();
    return QString::number(matchPercent_[size_t(listed)]) + QStringLiteral(" %");
}

std::vector<quint32> ResultsListModel::matchRanks() const {
    std::vector<quint32> ranks = matchRanks_;
    ranks.resize(size_t(listedCount()), 0); // appended rows have no Match
    return ranks;
}

QString ResultsListModel::listedCell(int listed, int column) const {
    if (column == MatchColumn)
        return matchText(listed);
    if (listed < source_.rowCount())
        return source_.cell(listed, column);
    return extras_[size_t(listed - source_.rowCount())].cells[size_t(column)];
}

qint64 ResultsListModel::listedId(int listed) const {
    if (listed < source_.rowCount())
        return source_.photoId(listed);
    return extras_[size_t(listed - source_.rowCount())].photoId();
}

int ResultsListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(order_.size());
}

int ResultsListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : resultsColumnCount + 1;
}

QVariant ResultsListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return cellAt(index.row(), index.column());
    case Qt::TextAlignmentRole:
        if (index.column() == MatchColumn)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return int(resultsColumns()[size_t(index.column())].alignment | Qt::AlignVCenter);
    case KeyRole:
        return keyAt(index.row());
    default:
        return {};
    }
}

QVariant ResultsListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && section == MatchColumn) {
        if (role == Qt::DisplayRole || role == KeyRole)
            return QStringLiteral("Match");
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    }
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

ResultsRow ResultsListModel::rowAt(int position) const {
    const int listed = order_[size_t(position)];
    if (listed < source_.rowCount())
        return source_.row(listed);
    return extras_[size_t(listed - source_.rowCount())];
}

QString ResultsListModel::cellAt(int position, int column) const {
    return listedCell(order_[size_t(position)], column);
}

QString ResultsListModel::keyAt(int position) const {
    const int listed = order_[size_t(position)];
    if (listed < source_.rowCount())
        return source_.key(listed);
    return extras_[size_t(listed - source_.rowCount())].key;
}

void ResultsListModel::appendCellUtf8(QByteArray& out, int position, int column) const {
    const int listed = order_[size_t(position)];
    if (column == MatchColumn)
        out += matchText(listed).toUtf8();
    else if (listed < source_.rowCount())
        source_.appendCellUtf8(out, listed, column);
    else
        out += extras_[size_t(listed - source_.rowCount())].cells[size_t(column)].toUtf8();
}

void ResultsListModel::appendKeyUtf8(QByteArray& out, int position) const {
    const int listed = order_[size_t(position)];
    if (listed < source_.rowCount())
        source_.appendKeyUtf8(out, listed);
    else
        out += extras_[size_t(listed - source_.rowCount())].key.toUtf8();
}

int ResultsListModel::positionOfKey(const QString& key) const {
    const std::optional<qint64> keyed = photoIdOfListKey(key);
    if (!keyed)
        return -1;
    const qint64 id = *keyed;
    if (rowById_.empty() && listedCount() > 0) {
        rowById_.reserve(size_t(listedCount()));
        for (int listed = 0; listed < listedCount(); ++listed)
            rowById_.emplace_back(listedId(listed), listed);
        std::sort(rowById_.begin(), rowById_.end());
    }
    const auto found =
        std::lower_bound(rowById_.begin(), rowById_.end(), std::pair<qint64, int>(id, -1));
    if (found == rowById_.end() || found->first != id)
        return -1;
    const int position = positionOfRow_[size_t(found->second)];
    // An ID written another way ("P07") is another key.
    return keyAt(position) == key ? position : -1;
}

int ResultsListModel::positionOfText(const QString& text) const {
    for (int position = 0; position < rowCount(); ++position)
        if (cellAt(position, BookPhotoIdColumn) == text)
            return position;
    return -1;
}

std::optional<ResultsRow> ResultsListModel::rowWithKey(const QString& key) const {
    const int position = positionOfKey(key);
    return position < 0 ? std::nullopt : std::optional<ResultsRow>(rowAt(position));
}

const std::vector<quint32>& ResultsListModel::ranksOf(int column) const {
    if (rankedColumn_ != column) {
        ranks_ = column == MatchColumn ? matchRanks() : ranksOfColumn(source_, extras_, column);
        rankedColumn_ = column;
    }
    return ranks_;
}

void ResultsListModel::sortBy(int column, Qt::SortOrder order) {
    if (column < 0 || column > MatchColumn)
        return;
    // A click toggles the order: start from the other one.
    sortOrder_ = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    columnClicked(column);
}

void ResultsListModel::columnClicked(int column) {
    if (column < 0 || column > MatchColumn)
        return;
    adoptSort(sortJob(column).run());
}

ResultsListModel::SortJob ResultsListModel::sortJob(int column) const {
    SortJob job;
    job.source_ = source_;
    job.extras_ = extras_;
    SortPlan& plan = job.start_;
    plan.column = sortKeyColumn(column);
    plan.order = sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    plan.rowOrder = order_;
    if (plan.column == MatchColumn)
        plan.ranks = matchRanks();
    else if (rankedColumn_ == plan.column)
        plan.ranks = ranks_;
    plan.rowsVersion = rowsVersion_;
    return job;
}

ResultsListModel::SortPlan ResultsListModel::SortJob::run() const {
    SortPlan plan = start_;
    if (plan.ranks.empty())
        plan.ranks = ranksOfColumn(source_, extras_, plan.column);
    sortByRanks(plan.rowOrder, plan.ranks, plan.order);
    return plan;
}

void ResultsListModel::adoptSort(SortPlan plan) {
    if (plan.rowsVersion != rowsVersion_)
        return;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> rowsBefore;
    rowsBefore.reserve(size_t(before.size()));
    for (const QModelIndex& index : before)
        rowsBefore.push_back(order_[size_t(index.row())]);

    sortColumn_ = plan.column;
    sortOrder_ = plan.order;
    rankedOrder_ = false;
    order_ = std::move(plan.rowOrder);
    rankedColumn_ = plan.column;
    ranks_ = std::move(plan.ranks);
    updatePositions();

    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        after << index(positionOfRow_[size_t(rowsBefore[size_t(i)])], before[i].column());
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    Q_EMIT sortChanged(sortColumn_, sortOrder_);
}

void ResultsListModel::applySort() {
    sortByRanks(order_, ranksOf(sortColumn_), sortOrder_);
    updatePositions();
}

void ResultsListModel::updatePositions() {
    for (size_t position = 0; position < order_.size(); ++position)
        positionOfRow_[size_t(order_[position])] = int(position);
}

} // namespace tarnwick
