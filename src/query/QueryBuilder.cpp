#include "query/QueryBuilder.h"

#include "catalogue/DatabaseError.h"
#include "query/CodeList.h"

#include <array>
#include <QRegularExpression>

namespace tarnwick {

namespace {

const QString fineSum =
    QStringLiteral("([TonsPerAcreBreak1]+[TonsPerAcreBreak2]+[TonsPerAcreBreak3])");
const QString coarseSum = QStringLiteral(
    "([TonsPerAcreBreak4]+[TonsPerAcreBreak5]+[TonsPerAcreBreak6]+[TonsPerAcreBreak7])");

// The vegetation and activity clause. Kind 1 writes it plain, kinds 2 and 5 in brackets; the
// doubled blank after "and" is part of the statements as they have always been written.
QString vegetationActivityClause(const QueryCriteria& c, bool bracketed) {
    QString clause;
    if (!c.vegTypes.isEmpty())
        clause =
            bracketed
                ? QStringLiteral("(Vegtype in (") + quotedCodeSet(c.vegTypes) + QStringLiteral("))")
                : QStringLiteral("Vegtype in (") + quotedCodeSet(c.vegTypes) + QStringLiteral(")");
    if (!c.activities.isEmpty()) {
        if (!clause.isEmpty())
            clause += QStringLiteral(" and ");
        clause += bracketed ? QStringLiteral(" (Activity in (") + quotedCodeSet(c.activities) +
                                  QStringLiteral("))")
                            : QStringLiteral(" Activity in (") + quotedCodeSet(c.activities) +
                                  QStringLiteral(")");
    }
    return clause;
}

QString booksStatement(const QueryCriteria& c) {
    if (c.bookRow == allBooksRow)
        return QStringLiteral("SELECT * FROM qryactive");
    // Book labels never hold a comma: the row's text up to its first comma is the label.
    QString label = c.bookRow.left(c.bookRow.indexOf(QLatin1Char(',')));
    label.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QStringLiteral("SELECT * ") + QStringLiteral("FROM qryactive where BookLabel = ") +
           QLatin1Char('"') + label + QLatin1Char('"');
}

QString totalLoadingStatement(const QueryCriteria& c) {
    const QString clause = vegetationActivityClause(c, false);
    if (!clause.isEmpty())
        return QStringLiteral("SELECT * ") + QStringLiteral("From qryactive WHERE ([TotalFL]>= ") +
               c.totalLow + QStringLiteral(" And [TotalFL]<= ") + c.totalHigh +
               QStringLiteral(") And ") + clause + QStringLiteral(";");
    return QStringLiteral("SELECT * ") + QStringLiteral("From qryactive WHERE ((([TotalFL])>= ") +
           c.totalLow + QStringLiteral(" And ([TotalFL])<= ") + c.totalHigh + QStringLiteral("))") +
           QStringLiteral(";");
}

QString sizeClassStatement(const QueryCriteria& c) {
    const QString clause = vegetationActivityClause(c, true);
    QString s = QStringLiteral("SELECT * ") + QStringLiteral("From qryactive WHERE ((") + fineSum +
                QStringLiteral(">= ") + c.fineLow + QStringLiteral(" And ") + fineSum +
                QStringLiteral("<= ") + c.fineHigh + QStringLiteral(")) AND ") +
                QStringLiteral("(") + coarseSum + QStringLiteral(">= ") + c.coarseLow +
                QStringLiteral(" And ") + coarseSum + QStringLiteral("<= ") + c.coarseHigh;
    if (!clause.isEmpty())
        s += QStringLiteral(" and ") + clause;
    return s + QStringLiteral(");");
}

QString liveLoadingStatement(const QueryCriteria& c) {
    const QString clause = vegetationActivityClause(c, true);
    QString s = QStringLiteral("SELECT * ") +
                QStringLiteral("From qryactive WHERE ((([herbtonsperacre])>= ") + c.herbLow +
                QStringLiteral(" And ([herbtonsperacre])<= ") + c.herbHigh +
                QStringLiteral(")) AND ") + QStringLiteral("(([Woodytonsperacre])>= ") +
                c.shrubLow + QStringLiteral(" And ([woodytonsperacre])<= ") + c.shrubHigh;
    if (!clause.isEmpty())
        s += QStringLiteral(" and ") + clause;
    return s + QStringLiteral(");");
}

QString fuelModelStatement(const QueryCriteria& c) {
    QString clause;
    if (!c.dangerModels.isEmpty())
        clause = QStringLiteral("(DangerRatingFM in(") + quotedCodeSet(c.dangerModels) +
                 QStringLiteral("))");
    if (!c.fireModels.isEmpty()) {
        if (!clause.isEmpty())
            clause += QStringLiteral(" and ");
        clause += c.use2005Models ? QStringLiteral(" (FireBehaveFM in (")
                                  : QStringLiteral(" (FireBehaveFM2 in (");
        clause += quotedCodeSet(c.fireModels) + QStringLiteral("))");
    }
    if (clause.isEmpty())
        return QStringLiteral("SELECT * From qryactive");
    return QStringLiteral("SELECT * From qryactive where ") + clause + QStringLiteral(";");
}

std::pair<const QString&, const QString&> boundsOf(const QueryCriteria& c, RangeQuantity q) {
    switch (q) {
    case RangeQuantity::Total:
        return {c.totalLow, c.totalHigh};
    case RangeQuantity::Fine:
        return {c.fineLow, c.fineHigh};
    case RangeQuantity::Coarse:
        return {c.coarseLow, c.coarseHigh};
    case RangeQuantity::Herb:
        return {c.herbLow, c.herbHigh};
    case RangeQuantity::Shrub:
        break;
    }
    return {c.shrubLow, c.shrubHigh};
}

bool boundsAreNumbers(const QueryCriteria& c) {
    for (const RangeQuantity q : boundedQuantities(c.kind)) {
        const auto [low, high] = boundsOf(c, q);
        if (!isPlainDecimalNumber(low) || !isPlainDecimalNumber(high))
            return false;
    }
    return true;
}

} // namespace

// A quote in a stored code is doubled so it stays one literal.
QString quotedCodeSet(const QStringList& rows) {
    QStringList quoted;
    quoted.reserve(rows.size());
    for (const QString& row : rows) {
        QString code = codeOfListRow(row);
        code.replace(QLatin1Char('\''), QStringLiteral("''"));
        quoted << QLatin1Char('\'') + code + QLatin1Char('\'');
    }
    return quoted.join(QLatin1Char(','));
}

bool isPlainDecimalNumber(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral("\\A[+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)\\z"));
    return number.match(text.trimmed()).hasMatch();
}

std::vector<RangeQuantity> boundedQuantities(QueryKind kind) {
    switch (kind) {
    case QueryKind::TotalLoading:
        return {RangeQuantity::Total};
    case QueryKind::SizeClassLoading:
        return {RangeQuantity::Fine, RangeQuantity::Coarse};
    case QueryKind::LiveLoading:
        return {RangeQuantity::Herb, RangeQuantity::Shrub};
    default:
        return {};
    }
}

QString reversedRangeNotice(const QueryCriteria& criteria) {
    for (const RangeQuantity q : boundedQuantities(criteria.kind)) {
        const auto [low, high] = boundsOf(criteria, q);
        if (!isPlainDecimalNumber(low) || !isPlainDecimalNumber(high) ||
            low.trimmed().toDouble() <= high.trimmed().toDouble())
            continue;
        static const std::array<const char*, rangeQuantityCount> names{
            "total loading", "0 to 3 inch loading", "3.1 inch and over loading", "herb loading",
            "shrub loading"};
        return QStringLiteral("No photo can match: the lower %1 bound (%2) is above the upper "
                              "one (%3)")
            .arg(QString::fromLatin1(names[size_t(q)]), low.trimmed(), high.trimmed());
    }
    return {};
}

std::optional<QString> composeQueryStatement(const QueryCriteria& criteria) {
    if (!boundsAreNumbers(criteria))
        return std::nullopt;
    switch (criteria.kind) {
    case QueryKind::Books:
        return booksStatement(criteria);
    case QueryKind::TotalLoading:
        return totalLoadingStatement(criteria);
    case QueryKind::SizeClassLoading:
        return sizeClassStatement(criteria);
    case QueryKind::FuelModels:
        return fuelModelStatement(criteria);
    case QueryKind::AllPhotos:
        return QStringLiteral("SELECT * FROM qryactive;");
    case QueryKind::LiveLoading:
        return liveLoadingStatement(criteria);
    }
    return QStringLiteral("SELECT * FROM qryactive;");
}

} // namespace tarnwick
