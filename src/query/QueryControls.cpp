#include "query/QueryControls.h"

#include <Qt>

namespace tarnwick {

QStringList queryPageCaptions() {
    return {QStringLiteral("Query by Books"),
            QStringLiteral("Query by DDW Total Loading"),
            QStringLiteral("Query by DDW 0\"-3\" and 3.1\"+ Loading"),
            QStringLiteral("Query by Live Loading"),
            QStringLiteral("Query by Fuel Models"),
            QStringLiteral("Query by Site Values")};
}

QString codeListCaption(CodeListId list, CaptionEvent event, int chosenRows) {
    const QString n = QString::number(chosenRows);
    const bool some = chosenRows > 0 && event != CaptionEvent::CriteriaReset;
    switch (list) {
    case CodeListId::Vegetation:
        return some ? n + QStringLiteral(" Veg Types Selected")
                    : QStringLiteral("All Vegetation Types");
    case CodeListId::Activity:
        if (event == CaptionEvent::ClosedByButton)
            return some ? n + QStringLiteral(" Act Types Selected")
                        : QStringLiteral("All Activities");
        return some ? n + QStringLiteral(" Activities Selected")
                    : QStringLiteral("All Activity Types");
    case CodeListId::DangerRating:
        if (event == CaptionEvent::CriteriaReset)
            return QStringLiteral("All Danger Models");
        return some ? n + QStringLiteral(" Models Selected")
                    : QStringLiteral("All Danger Rating Models");
    case CodeListId::FireBehaviour:
        return some ? n + QStringLiteral(" Models Selected")
                    : QStringLiteral("All Fire Behavior Models");
    }
    return QString();
}

std::optional<QueryKind> searchKindOfPage(QueryPage page, bool fireListHasRows,
                                          bool dangerListHasRows) {
    switch (page) {
    case QueryPage::Books:
        return QueryKind::Books;
    case QueryPage::TotalLoading:
        return QueryKind::TotalLoading;
    case QueryPage::SizeClassLoading:
        return QueryKind::SizeClassLoading;
    case QueryPage::LiveLoading:
        return QueryKind::LiveLoading;
    case QueryPage::FuelModels:
        if (fireListHasRows && dangerListHasRows)
            return QueryKind::FuelModels;
        return std::nullopt;
    case QueryPage::BySiteValues:
        break;
    }
    return std::nullopt;
}

bool woodyRangeKeyAccepted(int key, Qt::KeyboardModifiers modifiers, const QString& text) {
    // With Ctrl a key is an editing command (select all, undo), never text, whatever it sends.
    if (modifiers & (Qt::ControlModifier | Qt::MetaModifier))
        return true;
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Delete ||
        key == Qt::Key_Backspace || text.isEmpty())
        return true;
    if (text.size() != 1)
        return false;
    const QChar c = text.front();
    return (c >= u'0' && c <= u'9') || c == QChar(8);
}

} // namespace tarnwick
