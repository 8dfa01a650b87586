#pragma once

#include "query/QueryBuilder.h"
#include "query/QueryParameters.h"
#include "query/SiteMatch.h"

#include <functional>

namespace tarnwick {

struct AppState;

} // namespace tarnwick

namespace tarnwick::commands {

// Runs a search: "Searching..." with the wait cursor, the statement on the catalogue, the result
// as the new active photo set, refillList, then " ". A bound that is not a number or a statement
// the catalogue rejects is reported as an error on the status line and changes nothing (the
// previous set and list stay), and so is a search stopped with Escape. A reversed range still
// runs as composed; the status line then says which bounds are the wrong way round. Returns
// whether the set was replaced.
bool buildAndRunQuery(AppState& state, const QueryCriteria& criteria,
                      const std::function<void()>& refillList);

inline const QString enterASiteValue =
    QStringLiteral("Enter at least one of the site's values to search by");

// The search by site values: the active photos (of the chosen vegetation types) ranked nearest
// first, as the new active photo set and list, then " ". Without a value, or when the read fails
// or is stopped, the status line says so and nothing changes. Returns whether the set was
// replaced.
bool runSiteSearch(AppState& state, const SiteSearch& search,
                   const std::function<void()>& refillList);

// The command: status line messages around computeQueryParameters, the description sets kept in
// the state for the model switch; what could not be loaded ends on the status line as an error
// instead of the closing " ". Takes the choices started ahead, if any.
QueryParameters loadQueryParameters(AppState& state);

// Starts working out the query choices on a second thread, where the catalogue reads on any
// thread: they read the whole catalogue as a refill of the list does, so beside it they cost no
// time. The next loadQueryParameters takes them.
void startQueryParametersAhead(AppState& state);

} // namespace tarnwick::commands
