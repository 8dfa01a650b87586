#pragma once

#include <array>
#include <optional>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace tarnwick {

class AppPaths;
class PhotoDatabase;

inline const QString noModelsAvailable = QStringLiteral("No Models Available");

// The five loading quantities a query can bound, in the order the query pages show them.
enum class RangeQuantity { Total = 0, Fine = 1, Coarse = 2, Herb = 3, Shrub = 4 };
inline constexpr int rangeQuantityCount = 5;

// The four code lists of the query pages.
enum class CodeListId { Vegetation = 0, Activity = 1, DangerRating = 2, FireBehaviour = 3 };
inline constexpr int codeListCount = 4;

struct BookChoice {
    QString text; // BookLabel, ", ", BookDescription
    QVariant id;  // the book's id
};

struct CodeListRows {
    QStringList found;  // one row per non-Null code, in the order the catalogue returned them
    QStringList sorted; // the rows as the list shows them
};

// The two sets of fire behaviour fuel models a planner searches by, and their descriptions in
// that order.
enum class FuelModelSet { Models2005, Models1982 };
using ModelDescriptionSets = std::array<QStringList, 2>;

// Everything the query pages offer, computed from the catalogue and the code-list files without
// any window. Messages say what could not be loaded; the rest loads all the same.
struct QueryParameters {
    std::vector<BookChoice> books; // the active books; the "All Books" row is not among them
    std::array<QStringList, rangeQuantityCount> rangeRows;
    std::array<CodeListRows, codeListCount> codeLists; // fire behaviour: the 2005 set
    // The two fire behaviour description sets, one entry per group the catalogue returned
    // (empty where the group's code is Null), by FuelModelSet.
    ModelDescriptionSets fireBehaviourModelNames;
    QStringList messages;

    const QStringList& rangeRowsOf(RangeQuantity q) const { return rangeRows[size_t(q)]; }
    const CodeListRows& codeList(CodeListId id) const { return codeLists[size_t(id)]; }
};

// Range combos hold this many rows in steps of 2 at most, and about as many above them,
// whatever the catalogue holds.
inline constexpr int maxRangeRows = 300;

// The rows of a range combo for the largest value present: "0", then " 0", " 2", ... up to the
// whole part of (largest + headroom). Above a few hundred rows in steps of 2 the step widens.
QStringList rangeComboRows(double largest, double headroom);

// Computes every choice in the order the pages have always been filled. A part whose statement
// fails, or a quantity without a largest value (no active photo has one), is reported in
// messages; such a range pair offers its first row only, and every other part still loads.
QueryParameters computeQueryParameters(const PhotoDatabase& database, const AppPaths& paths);

// Only the range rows, and the messages of their part: all a query lacking some of its bounds
// needs.
QueryParameters computeRangeParameters(const PhotoDatabase& database);

// The rows of the fire behaviour list after a switch of model set: every entry of the set,
// empty ones included, sorted as the lists are.
QStringList fuelModelSetRows(const QStringList& descriptionSet);

// How a list grows to fit a row's text, in twips; a list never shrinks. Each list was written
// with its own margin, kept so the lists look as they always did.
enum class ListWidthRule {
    Vegetation,    // narrower than the text: text + 600
    Wide,          // text - 400 wider than the list: text + 400 (activity, danger rating)
    FireBehaviour, // list - 400 narrower than the text: text + 400
    Exact,         // narrower than the text: text (the model switch)
};
int grownListWidth(ListWidthRule rule, int listWidth, int textWidth);
ListWidthRule loadWidthRule(CodeListId list);

} // namespace tarnwick
