#include "query/QueryParameters.h"

#include "catalogue/DatabaseError.h"
#include "catalogue/PhotoDatabase.h"
#include "platform/AppPaths.h"
#include "query/CodeList.h"
#include "text/NumberFormat.h"
#include "text/TextOrder.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <future>
#include <numeric>

namespace tarnwick {

namespace {

const QString activeBooksStatement =
    QStringLiteral("SELECT * FROM Books where active = True order by BookLabel;");

struct RangeSource {
    const char* expression;
    double headroom;
    const char* name; // for the message when the catalogue has no largest value
};

// Step 2 tons per acre throughout; the woody pairs get more headroom than the live ones.
constexpr std::array<RangeSource, rangeQuantityCount> rangeSources{{
    {"Max([totalFL])", 4, "total loading"},
    {"Max([TonsPerAcreBreak1] +[TonsPerAcreBreak2] +[TonsPerAcreBreak3])", 4, "0-3\" loading"},
    {"Max([TonsPerAcreBreak4] +[TonsPerAcreBreak5] +[TonsPerAcreBreak6] +[TonsPerAcreBreak7])", 4,
     "3.1\"+ loading"},
    {"Max([HerbTonsPerAcre])", 2, "herb loading"},
    {"Max([WoodyTonsPerAcre])", 2, "shrub loading"},
}};

// The five largest values in one pass over the active photos rather than one pass each: on a
// large catalogue every pass costs as much as the whole rest of the loading.
QString largestValuesStatement() {
    QStringList columns;
    for (size_t q = 0; q < rangeSources.size(); ++q)
        columns << QStringLiteral("%1 AS Expr%2")
                       .arg(QString::fromLatin1(rangeSources[q].expression))
                       .arg(q + 1);
    return QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) +
           QStringLiteral(" From qryactive");
}

struct CodeListSource {
    const char* field;
    const QString* file;
};

const std::array<CodeListSource, codeListCount> codeListSources{{
    {"VegType", &codeListFile::vegetation},
    {"Activity", &codeListFile::activity},
    {"DangerRatingFM", &codeListFile::dangerRating},
    {"FireBehaveFM", &codeListFile::fireBehaviour},
}};

QString groupStatement(const QString& field) {
    return QStringLiteral("SELECT %1 From qryactive GROUP BY Photos.%1").arg(field);
}

void loadBooks(const PhotoDatabase& database, QueryParameters& parameters) {
    const RecordSet books = database.run(activeBooksStatement);
    // The engine orders the labels by its own rule; the combo orders them as the list does.
    std::vector<int> rows(size_t(books.recordCount()));
    std::iota(rows.begin(), rows.end(), 0);
    const QCollator order = textOrder();
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
        return order.compare(books.text(a, u"BookLabel"), books.text(b, u"BookLabel")) < 0;
    });
    parameters.books.reserve(rows.size());
    for (const int row : rows)
        parameters.books.push_back({books.text(row, u"BookLabel") + QStringLiteral(", ") +
                                        books.text(row, u"BookDescription"),
                                    books.value(row, u"id")});
}

// The largest numeric value of one quantity and how many active photos hold text where a number
// belongs: the catalogue's engine keeps such text, and it must count as no value, as Null does.
struct NumericLargest {
    std::optional<double> largest;
    qint64 textRows = 0;
};

NumericLargest numericLargest(const PhotoDatabase& database, const RangeSource& source) {
    const QString value = QString::fromLatin1(source.expression).mid(4).chopped(1); // in Max(...)
    const QString isNumber = QStringLiteral("typeof(%1) in ('integer', 'real')").arg(value);
    const RecordSet set = database.run(
        QStringLiteral("SELECT Max(CASE WHEN %1 THEN %2 END) AS Expr1, "
                       "Sum(CASE WHEN %2 IS NOT NULL AND NOT %1 THEN 1 ELSE 0 END) AS Expr2 "
                       "From qryactive")
            .arg(isNumber, value));
    if (set.isEmpty())
        return {};
    return {set.number(0, u"expr1"), set.value(0, u"expr2").toLongLong()};
}

void loadRanges(const PhotoDatabase& database, QueryParameters& parameters) {
    const RecordSet set = database.run(largestValuesStatement());
    for (size_t q = 0; q < rangeSources.size(); ++q) {
        const RangeSource& source = rangeSources[q];
        const QString name = QString::fromLatin1(source.name);
        const QString column = QStringLiteral("expr%1").arg(q + 1);
        const QVariant found = set.isEmpty() ? QVariant() : set.value(0, column);
        bool isNumber = false;
        double largest = found.isNull() ? 0.0 : found.toDouble(&isNumber);
        if (!found.isNull() && !isNumber) {
            const NumericLargest numeric = numericLargest(database, source);
            isNumber = numeric.largest.has_value();
            largest = numeric.largest.value_or(0.0);
            parameters.messages << QStringLiteral("%1 active photos hold text where their %2 "
                                                  "belongs; they count as having none. Let "
                                                  "Slidekeep correct the catalogue.")
                                       .arg(numeric.textRows)
                                       .arg(name);
        }
        if (!isNumber || !std::isfinite(largest)) {
            // The pair offers its first row only; every other choice still loads.
            parameters.rangeRows[q] = QStringList{QStringLiteral("0")};
            parameters.messages
                << QStringLiteral("No active photo has a %1 value to search by.").arg(name);
            continue;
        }
        parameters.rangeRows[q] = rangeComboRows(largest, source.headroom);
    }
}

// The rows of one grouping query, looked up in its code list; entries (one per group, empty
// for a Null code) are returned for the description sets.
QStringList loadCodeRows(const PhotoDatabase& database, const AppPaths& paths, const QString& field,
                         const QString& file, CodeListRows* rows) {
    const RecordSet groups = database.run(groupStatement(field));
    const CodeList codes = CodeList::read(paths.file(file));
    QStringList entries;
    entries.reserve(groups.recordCount());
    for (int row = 0; row < groups.recordCount(); ++row) {
        if (groups.isNull(row, field)) {
            entries << QString();
            continue;
        }
        const QString text = codes.rowFor(groups.text(row, field));
        entries << text;
        if (rows)
            rows->found << text;
    }
    if (rows)
        rows->sorted = sortedListRows(rows->found);
    return entries;
}

} // namespace

QStringList rangeComboRows(double largest, double headroom) {
    QStringList rows{QStringLiteral("0")};
    const double top = std::floor(largest + headroom);
    // Steps of 2 as the pages always had, over the range real loadings take.
    const double usualTop = 2.0 * (maxRangeRows - 1);
    double v = 0;
    for (; v <= std::min(top, usualTop); v += 2)
        rows << strNumber(v);
    if (top <= usualTop)
        return rows;
    // A catalogue holding an absurd value would make that millions of rows: above the usual
    // range the step widens to 5, 10, 20, 50, 100 ..., the rows below it kept as they are.
    double step = 5;
    for (int widening = 1; (top - usualTop) / step >= maxRangeRows; ++widening)
        step =
            std::array<double, 3>{5, 10, 20}[size_t(widening % 3)] * std::pow(10.0, widening / 3);
    double last = v - 2;
    for (v = std::ceil(v / step) * step; v <= top; v += step)
        rows << strNumber(last = v);
    // Widened steps may end below the largest value; the last row must still take it in.
    if (last < largest)
        rows << strNumber(v);
    return rows;
}

namespace {

// Each part loads on its own: a part that fails is reported and leaves only its own controls
// empty.
void loadPart(QueryParameters& parameters, const std::function<void()>& load) {
    try {
        load();
    } catch (const DatabaseError& error) {
        parameters.messages << error.message();
    }
}

// The groupings behind the code lists: one a list, then the names of the 1982 models.
constexpr size_t codeListPartCount = size_t(codeListCount) + 1;
// As many as balance the books and the ranges with the other groupings.
constexpr size_t codeListPartsOnSecondThread = 3;

// One grouping of the whole catalogue, into a set of its own so that the parts may load side by
// side.
void loadCodeListPart(const PhotoDatabase& database, const AppPaths& paths, size_t part,
                      QueryParameters& into) {
    loadPart(into, [&] {
        if (part == size_t(codeListCount)) {
            into.fireBehaviourModelNames[1] =
                loadCodeRows(database, paths, QStringLiteral("FireBehaveFM2"),
                             codeListFile::fireBehaviour, nullptr);
            return;
        }
        const CodeListSource& source = codeListSources[part];
        QStringList entries = loadCodeRows(database, paths, QString::fromLatin1(source.field),
                                           *source.file, &into.codeLists[part]);
        if (part == size_t(CodeListId::FireBehaviour))
            into.fireBehaviourModelNames[0] = std::move(entries);
    });
}

void takeCodeListPart(QueryParameters& parameters, size_t part, QueryParameters& loaded) {
    if (part == size_t(codeListCount))
        parameters.fireBehaviourModelNames[1] = std::move(loaded.fireBehaviourModelNames[1]);
    else
        parameters.codeLists[part] = std::move(loaded.codeLists[part]);
    if (part == size_t(CodeListId::FireBehaviour))
        parameters.fireBehaviourModelNames[0] = std::move(loaded.fireBehaviourModelNames[0]);
    parameters.messages << loaded.messages;
}

} // namespace

QueryParameters computeQueryParameters(const PhotoDatabase& database, const AppPaths& paths) {
    // Each code list groups the whole catalogue, as long as the ranges' one scan takes: a second
    // thread takes three of the groupings, this one the books, the ranges and the rest. More
    // threads only make the groupings contend.
    std::array<QueryParameters, codeListPartCount> parts;
    const size_t aside = codeListPartsOnSecondThread;
    std::future<void> loadingAside = std::async(std::launch::async, [&] {
        for (size_t part = 0; part < aside; ++part)
            loadCodeListPart(database, paths, part, parts[part]);
    });
    QueryParameters parameters;
    loadPart(parameters, [&] { loadBooks(database, parameters); });
    loadPart(parameters, [&] { loadRanges(database, parameters); });
    for (size_t part = aside; part < parts.size(); ++part)
        loadCodeListPart(database, paths, part, parts[part]);
    loadingAside.get();
    for (size_t part = 0; part < parts.size(); ++part)
        takeCodeListPart(parameters, part, parts[part]);
    return parameters;
}

QueryParameters computeRangeParameters(const PhotoDatabase& database) {
    QueryParameters parameters;
    loadPart(parameters, [&] { loadRanges(database, parameters); });
    return parameters;
}

QStringList fuelModelSetRows(const QStringList& descriptionSet) {
    return sortedListRows(descriptionSet);
}

int grownListWidth(ListWidthRule rule, int listWidth, int textWidth) {
    switch (rule) {
    case ListWidthRule::Vegetation:
        return listWidth < textWidth ? textWidth + 600 : listWidth;
    case ListWidthRule::Wide:
        return textWidth - 400 > listWidth ? textWidth + 400 : listWidth;
    case ListWidthRule::FireBehaviour:
        return listWidth - 400 < textWidth ? textWidth + 400 : listWidth;
    case ListWidthRule::Exact:
        return listWidth < textWidth ? textWidth : listWidth;
    }
    return listWidth;
}

ListWidthRule loadWidthRule(CodeListId list) {
    switch (list) {
    case CodeListId::Vegetation:
        return ListWidthRule::Vegetation;
    case CodeListId::Activity:
    case CodeListId::DangerRating:
        return ListWidthRule::Wide;
    case CodeListId::FireBehaviour:
        return ListWidthRule::FireBehaviour;
    }
    return ListWidthRule::Wide;
}

} // namespace tarnwick
