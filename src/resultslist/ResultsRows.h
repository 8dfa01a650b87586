#pragma once

#include "catalogue/RecordSet.h"

#include <array>
#include <memory>
#include <optional>
#include <QString>
#include <QStringView>
#include <Qt>
#include <vector>

namespace tarnwick {

inline constexpr int resultsColumnCount = 28;

// Zero-based positions of the list's columns. Other parts of the program address a row's cells by
// column key; these names are for the code that composes and sorts them.
enum ResultsColumnIndex : int {
    BookPhotoIdColumn = 0,
    DescriptionColumn,
    ZeroToThreeColumn,
    ThreePlusColumn,
    TotalColumn,
    HerbColumn,
    ShrubColumn,
    DuffDepthColumn,
    FuelBedDepthColumn,
    CanopyClosureColumn,
    TreesPerAcreColumn,
    VegTypeColumn,
    ActTypeColumn,
    FbModelColumn,
    FbModel2Column,
    DrModelColumn,
    PictureColumn,
    DataColumn,
    ZeroToThreeSortColumn,
    ThreePlusSortColumn,
    TotalSortColumn,
    DirColumn,
    DuffSortColumn,
    FuelBedSortColumn,
    FbModelSortColumn,
    HerbSortColumn,
    ShrubSortColumn,
    FbModel2SortColumn,
};

struct ResultsColumn {
    QStringView header;
    QStringView key;
    int widthTwips; // 0 hides the column
    Qt::Alignment alignment;

    bool hidden() const { return widthTwips == 0; }
};

// The list's columns in display order.
const std::array<ResultsColumn, resultsColumnCount>& resultsColumns();

// Zero-based position of the column with this key (exact spelling), or -1.
int resultsColumnIndex(QStringView key);

// The column a click on `column` orders by: its hidden zero-padded companion where it has one,
// so numbers order as numbers; otherwise the column itself.
int sortKeyColumn(int column);

// Pixels for a width in twips on a device with the given logical resolution.
int twipsToPixels(int twips, double logicalDpi);

// One listed photo: key "P" + ID and the text of every column.
struct ResultsRow {
    QString key;
    std::array<QString, resultsColumnCount> cells;

    // The row text, BookLabel/PhotoLabel.
    const QString& text() const { return cells[BookPhotoIdColumn]; }
    // The cell of the column with this key; an empty string for an unknown key.
    const QString& cell(QStringView columnKey) const;
    // The photo's ID taken from the key; 0 when the key carries no number.
    qint64 photoId() const;
};

// The rows the list shows for a set of photo records, in the set's order; a record without a
// book or photo label is left out. The cells are composed when they are asked for, so a list of
// a million photos holds no text of its own. Throws DatabaseError when the set lacks a field the
// list reads.
class ResultsRowSource {
public:
    ResultsRowSource() = default;
    explicit ResultsRowSource(const RecordSet& set);

    int rowCount() const { return int(records_.size()); }
    bool isOf(const RecordSet& set) const { return set_.sharesRowsWith(set); }
    qint64 photoId(int row) const;
    // The set's record a listed row shows.
    int record(int row) const { return records_[size_t(row)]; }
    QString key(int row) const;
    QString cell(int row, int column) const;
    ResultsRow row(int row) const;
    // key() and cell() as UTF-8, appended to `out`, for output that needs no QString.
    void appendKeyUtf8(QByteArray& out, int row) const;
    void appendCellUtf8(QByteArray& out, int row, int column) const;

    // Equal identities in a column give equal cells, so a column's texts need composing and
    // ordering once per distinct value. Unique columns (the row text) have none.
    bool hasIdentities(int column) const;
    quint64 cellIdentity(int row, int column) const;

private:
    struct Fields;

    std::optional<double> classSum(int record, int first, int last) const;
    // The cell of a column of numbers (loadings and measurements).
    void appendNumberCell(QByteArray& out, int record, int column) const;

    RecordSet set_;
    std::shared_ptr<const Fields> fields_;
    std::vector<int> records_; // listed row → record of the set
};

// Every row composed, in the set's order.
std::vector<ResultsRow> composeResultsRows(const RecordSet& set);

} // namespace tarnwick
