#include "query/QueryParameters.h"

#include "catalogue/DatabaseError.h"
#include "catalogue/NumberFormat.h"
#include "catalogue/PhotoDatabase.h"
#include "platform/AppPaths.h"
#include "query/CodeList.h"

#include <cmath>

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

class StopLoading {
public:
    explicit StopLoading(QString why) : why_(std::move(why)) {}
    const QString& why() const { return why_; }

private:
    QString why_;
};

void loadBooks(const PhotoDatabase& database, QueryParameters& parameters) {
    const RecordSet books = database.run(activeBooksStatement);
    parameters.books.reserve(size_t(books.recordCount()));
    for (int row = 0; row < books.recordCount(); ++row)
        parameters.books.push_back({books.text(row, u"BookLabel") + QStringLiteral(", ") +
                                        books.text(row, u"BookDescription"),
                                    books.value(row, u"id")});
}

void loadRanges(const PhotoDatabase& database, QueryParameters& parameters) {
    const RecordSet set = database.run(largestValuesStatement());
    for (size_t q = 0; q < rangeSources.size(); ++q) {
        const RangeSource& source = rangeSources[q];
        const std::optional<double> largest =
            set.isEmpty() ? std::nullopt : set.number(0, QStringLiteral("expr%1").arg(q + 1));
        if (!largest)
            throw StopLoading(
                QStringLiteral("Can't load the query choices: no active photo has a %1 value")
                    .arg(QString::fromLatin1(source.name)));
        parameters.rangeRows[q] = rangeComboRows(*largest, source.headroom);
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

// Grouping the active photos by a code sorts the whole catalogue; an index that holds the code
// with the columns of the active-photo join lets the engine read the groups in order instead.
// The catalogue works without it, so a catalogue that cannot take one is left as it is.
void addCodeIndex(const PhotoDatabase& database, const QString& field) {
    try {
        database.run(QStringLiteral("CREATE INDEX IF NOT EXISTS PhotosBy%1 ON Photos (%1 COLLATE "
                                    "NOCASE, BookLabel, active)")
                         .arg(field));
    } catch (const DatabaseError&) {
    }
}

} // namespace

QStringList rangeComboRows(double largest, double headroom) {
    QStringList rows{QStringLiteral("0")};
    const double top = std::floor(largest + headroom);
    for (double v = 0; v <= top; v += 2)
        rows << strNumber(v);
    return rows;
}

QueryParameters computeQueryParameters(const PhotoDatabase& database, const AppPaths& paths) {
    QueryParameters parameters;
    try {
        loadBooks(database, parameters);
        loadRanges(database, parameters);
        for (size_t list = 0; list < codeListSources.size(); ++list) {
            const CodeListSource& source = codeListSources[list];
            QStringList entries = loadCodeRows(database, paths, QString::fromLatin1(source.field),
                                               *source.file, &parameters.codeLists[list]);
            if (list == size_t(CodeListId::FireBehaviour))
                parameters.fireBehaviourModelNames[0] = std::move(entries);
        }
        parameters.fireBehaviourModelNames[1] = loadCodeRows(
            database, paths, QStringLiteral("FireBehaveFM2"), codeListFile::fireBehaviour, nullptr);
    } catch (const DatabaseError& error) {
        parameters.failure = error.message();
    } catch (const StopLoading& stop) {
        parameters.failure = stop.why();
    }
    return parameters;
}

void addQueryIndexes(const PhotoDatabase& database) {
    for (const CodeListSource& source : codeListSources)
        addCodeIndex(database, QString::fromLatin1(source.field));
    addCodeIndex(database, QStringLiteral("FireBehaveFM2"));
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
