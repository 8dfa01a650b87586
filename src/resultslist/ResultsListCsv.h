#pragma once

#include <functional>
#include <QByteArray>

namespace tarnwick {

class ResultsListModel;

// The list as comma-separated text in UTF-8 (RFC 4180: CRLF line ends, a field holding a comma,
// double quote or line break is quoted, its quotes doubled): a header of the 28 column keys and
// "Key", then one line per row in the order the list shows, every cell as shown (hidden columns
// included) and the row key last. After a ranking, the Match comes first. The text is handed to
// `write` in chunks, so a large list is never held twice.
// rowLimit, when 0 or more, stops after that many rows.
void writeResultsListCsv(const ResultsListModel& list,
                         const std::function<void(const QByteArray& chunk)>& write,
                         int rowLimit = -1);

QByteArray resultsListCsv(const ResultsListModel& list);

} // namespace tarnwick
