#pragma once

#include "resultslist/ResultsRows.h"

#include <optional>
#include <QAbstractTableModel>
#include <vector>

namespace tarnwick {

class RecordSet;

// The closeness of each photo to a site's values, after a search by site values: a column of the
// list beyond its 28, shown only then.
inline constexpr int MatchColumn = resultsColumnCount;

// The results list: the rows of the current photo set in the order the user sees them. The rows
// are those of the set itself, their cells composed when shown; sorting permutes an index, so a
// header click on a large catalogue costs a sort of integers, not a rebuild.
//
// Ordering follows the old list control: one column's text, compared without regard to case,
// ascending right after every fill; each header click moves to the clicked column (or its
// zero-padded companion) and toggles the direction, whatever column was clicked before. The
// chosen column survives refills. Ties keep the order they had before the sort.
class ResultsListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Data role giving a row's key ("P" + ID) in any column, and a column's key in headerData.
    static constexpr int KeyRole = Qt::UserRole + 1;

    explicit ResultsListModel(QObject* parent = nullptr);

    // A fill worked out apart from the model, on any thread: the set's rows in the order a fill
    // ordered by column gives them. Costly on a large set; adopting it costs nothing.
    struct PreparedFill {
        ResultsRowSource source;
        int column = BookPhotoIdColumn;
        std::vector<int> order;
        std::vector<quint32> ranks;
        // A ranking: each row's Match (0 to 100), and order is the ranking, nearest first, kept
        // as it is rather than sorted by a column.
        std::vector<quint8> matchPercent;
    };
    static PreparedFill prepareFill(const RecordSet& set, int column);

    // Whether the rows carry a Match: the last fill was a ranking.
    bool hasMatch() const { return !matchPercent_.empty(); }

    // Replaces every row with those of the set and sorts them ascending by the current sort column.
    void fill(const RecordSet& set);
    // The same, with the work done beforehand; a fill prepared for another column is ordered again.
    void fill(PreparedFill prepared);
    // Adds a row at the end, outside the current order (the list is sorted again only by a
    // header click or the next fill).
    void appendRow(ResultsRow row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The row shown at a position, 0 ≤ position < rowCount().
    ResultsRow rowAt(int position) const;
    QString cellAt(int position, int column) const;
    QString keyAt(int position) const;
    // cellAt() and keyAt() as UTF-8, appended to `out`: the list written out makes no QString.
    void appendCellUtf8(QByteArray& out, int position, int column) const;
    void appendKeyUtf8(QByteArray& out, int position) const;
    // Position of the row with this key, or with this row text; -1 when there is none.
    int positionOfKey(const QString& key) const;
    int positionOfText(const QString& text) const;
    std::optional<ResultsRow> rowWithKey(const QString& key) const;

    // The header click on a column (zero-based).
    void columnClicked(int column);
    // A header click in two halves: the costly ordering, which may run on another thread while
    // the list is painted, and its adoption. The job holds its own copy of what it orders, taken
    // on the model's thread; a plan made for rows the list no longer holds is not adopted.
    struct SortPlan {
        int column = BookPhotoIdColumn;
        Qt::SortOrder order = Qt::AscendingOrder;
        std::vector<int> rowOrder;
        std::vector<quint32> ranks;
        quint64 rowsVersion = 0;
    };
    class SortJob {
    public:
        SortPlan run() const;

    private:
        friend class ResultsListModel;
        ResultsRowSource source_;
        std::vector<ResultsRow> extras_;
        SortPlan start_;
    };
    SortJob sortJob(int column) const;
    void adoptSort(SortPlan plan);
    // Orders the rows by a column in a given order, as header clicks would have left them: the
    // order a planner left the list in at the end of the last run.
    void sortBy(int column, Qt::SortOrder order);
    // The column the rows are ordered by (zero-based; may be a hidden sort-key column); -1 while
    // they are in the order of a ranking.
    int sortColumn() const { return rankedOrder_ ? -1 : sortColumn_; }
    // The column the next ordinary fill orders by: the one chosen last, a ranking aside.
    int fillColumn() const {
        return sortColumn_ < resultsColumnCount ? sortColumn_ : BookPhotoIdColumn;
    }
    Qt::SortOrder sortOrder() const { return sortOrder_; }

Q_SIGNALS:
    // After every fill and header click; column -1 after a ranking.
    void sortChanged(int column, Qt::SortOrder order);

private:
    // Rows by their own index: first the set's, then those appended.
    int listedCount() const;
    QString listedCell(int listed, int column) const;
    QString matchText(int listed) const;
    // Ranks by Match: the nearest highest, so the first click (descending) restores the ranking.
    std::vector<quint32> matchRanks() const;
    qint64 listedId(int listed) const;
    // Where each row's cell in a column stands in the list's text order; kept for the column
    // sorted by last, until the rows change.
    const std::vector<quint32>& ranksOf(int column) const;
    void rowsChanged();
    void applySort();
    void updatePositions();

    ResultsRowSource source_;
    std::vector<ResultsRow> extras_;
    std::vector<int> order_;                              // display position → row
    std::vector<int> positionOfRow_;                      // row → display position
    mutable std::vector<std::pair<qint64, int>> rowById_; // sorted, built on the first look-up
    mutable int rankedColumn_ = -1;
    mutable std::vector<quint32> ranks_;
    quint64 rowsVersion_ = 0; // counts the changes of rows, so a plan knows its own
    int sortColumn_ = BookPhotoIdColumn;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    std::vector<quint8> matchPercent_; // by set row; empty without a ranking
    std::vector<quint32> matchRanks_;  // by set row: rows after it in the ranking, plus one
    bool rankedOrder_ = false;         // the rows stand in the ranking's order
};

} // namespace tarnwick
