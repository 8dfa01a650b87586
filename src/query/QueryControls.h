#pragma once

#include "query/QueryBuilder.h"
#include "query/QueryParameters.h"
#include "query/SiteMatch.h"

#include <optional>
#include <QString>
#include <QStringList>

namespace tarnwick {

// The rules of the query pages that need no window.

// The query pages in the order of their tabs: the five of the catalogue's criteria, then the
// search by site values.
enum class QueryPage {
    Books,
    TotalLoading,
    SizeClassLoading,
    LiveLoading,
    FuelModels,
    BySiteValues
};
inline constexpr int queryPageCount = 6;

// Captions of the query pages, in order.
QStringList queryPageCaptions();

// What brought a code list's caption up to date.
enum class CaptionEvent {
    RowToggled,     // a row was checked or unchecked (or the list clicked)
    ClosedByButton, // the list was closed through its button, its focus loss or Close List
    CriteriaReset,  // the Reset command or a switch of model set
};

// The caption of a code list's label. The activity list words the count differently when a row
// is toggled and when the list is closed; users know both wordings, so both are kept.
QString codeListCaption(CodeListId list, CaptionEvent event, int chosenRows);

// The search a page's button runs: kinds 0, 1, 2 and 5 for the books and loading pages; the fuel
// model page searches only when both of its lists hold rows, and runs nothing otherwise.
std::optional<QueryKind> searchKindOfPage(QueryPage page, bool fireListHasRows,
                                          bool dangerListHasRows);

// The key filter of the woody range combos: typed characters other than the digits and
// backspace are discarded. Keys that type nothing (arrows, Home, End, Delete, Tab) and editing
// commands held with Ctrl (select all, undo) are not filtered. key is a Qt::Key, text what the
// key types.
bool woodyRangeKeyAccepted(int key, Qt::KeyboardModifiers modifiers, const QString& text);

// What a search button asks the main window to do.
struct SearchRequest {
    QueryPage page = QueryPage::Books;
    std::optional<QueryCriteria> criteria; // empty: the page had nothing to search
    bool eraseDisplayed = false;           // the page's "Erase Displayed Photo(s)" box
    std::optional<SiteSearch> site = {};   // the site values page's search
    QString problem = {};                  // why the page cannot search (text that is no number)
};

} // namespace tarnwick
