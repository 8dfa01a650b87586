#pragma once

#include "query/QueryParameters.h"

#include <optional>
#include <QString>
#include <QStringList>
#include <vector>

namespace tarnwick {

// What a search asks for; the numbers are the ones callers have always passed.
enum class QueryKind {
    Books = 0,
    TotalLoading = 1,
    SizeClassLoading = 2,
    FuelModels = 3,
    AllPhotos = 4,
    LiveLoading = 5,
};

// The criteria of one query page as plain values: bound texts exactly as the range combos show
// them, chosen code-list rows top to bottom.
struct QueryCriteria {
    QueryKind kind = QueryKind::AllPhotos;
    QString bookRow; // "All Books" or BookLabel, ", ", BookDescription
    QString totalLow, totalHigh;
    QString fineLow, fineHigh;     // 0 to 3 inch woody loading
    QString coarseLow, coarseHigh; // 3.1 inch and over
    QString herbLow, herbHigh;
    QString shrubLow, shrubHigh;
    QStringList vegTypes;
    QStringList activities;
    QStringList dangerModels;
    QStringList fireModels;
    bool use2005Models = true; // false: fire models are matched on the 1982 set
};

inline const QString allBooksRow = QStringLiteral("All Books");
inline const QString rangeValuesMustBeNumbers = QStringLiteral("Range values must be numbers");

// True for text that, trimmed, is a plain decimal number: digits with at most one decimal
// point and an optional sign. Nothing else may be written into a statement as a bound.
bool isPlainDecimalNumber(const QString& text);

// The codes of code-list rows as the statements write a set of them: each in single quotes (a
// quote in a code doubled), joined by ",".
QString quotedCodeSet(const QStringList& rows);

// The quantities whose bounds a kind's statement holds: the total for kind 1, the two woody size
// classes for kind 2, herb and shrub for kind 5, none for the others.
std::vector<RangeQuantity> boundedQuantities(QueryKind kind);

// What the status line says after a search whose lower bound of a quantity lies above its
// upper bound (the search runs as composed and finds nothing there); empty when every bound of
// the kind is in order.
QString reversedRangeNotice(const QueryCriteria& criteria);

// The statement for the criteria, composed to the character as the catalogue has always been
// queried. Only the kind's own bounds and lists take part. Codes and the book label are quoted so
// that any stored text reaches the catalogue as a literal. nullopt when a bound of the kind is
// not a number.
std::optional<QString> composeQueryStatement(const QueryCriteria& criteria);

} // namespace tarnwick
