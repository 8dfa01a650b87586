#include "resultslist/ResultsListCsv.h"

#include "resultslist/ResultsListModel.h"

#include <algorithm>
#include <future>

namespace tarnwick {

namespace {

bool needsQuotes(QByteArrayView text) {
    for (const char c : text)
        if (c == ',' || c == '"' || c == '\r' || c == '\n')
            return true;
    return false;
}

// Quotes the field that ends `out` from `start` on when it holds a comma, quote or line break,
// doubling its quotes. Fields are written in place first: hardly any needs quoting.
void quoteFieldIfNeeded(QByteArray& out, qsizetype start) {
    const QByteArrayView written = QByteArrayView(out).sliced(start);
    if (!needsQuotes(written))
        return;
    const QByteArray field = written.toByteArray();
    out.truncate(start);
    out += '"';
    for (const char c : field) {
        out += c;
        if (c == '"')
            out += '"';
    }
    out += '"';
}

void appendField(QByteArray& out, QStringView text) {
    const qsizetype start = out.size();
    out += text.toUtf8();
    quoteFieldIfNeeded(out, start);
}

// Rows formatted together; two blocks at a time, the second on a worker thread.
constexpr int blockRows = 8192;

QByteArray formatRows(const ResultsListModel& list, int from, int to) {
    QByteArray out;
    out.reserve(qsizetype(to - from) * 160);
    for (int position = from; position < to; ++position) {
        if (list.hasMatch()) {
            list.appendCellUtf8(out, position, MatchColumn);
            out += ',';
        }
        for (int column = 0; column < resultsColumnCount; ++column) {
            const qsizetype start = out.size();
            list.appendCellUtf8(out, position, column);
            quoteFieldIfNeeded(out, start);
            out += ',';
        }
        const qsizetype start = out.size();
        list.appendKeyUtf8(out, position);
        quoteFieldIfNeeded(out, start);
        out += "\r\n";
    }
    return out;
}

} // namespace

void writeResultsListCsv(const ResultsListModel& list,
                         const std::function<void(const QByteArray& chunk)>& write, int rowLimit) {
    QByteArray header;
    if (list.hasMatch())
        header += "Match,";
    for (const ResultsColumn& column : resultsColumns()) {
        appendField(header, column.key);
        header += ',';
    }
    header += "Key\r\n";
    write(header);
    // Composing the cells is nearly all the cost, and reading the list is safe from any thread.
    const int rows = rowLimit >= 0 ? std::min(rowLimit, list.rowCount()) : list.rowCount();
    for (int from = 0; from < rows; from += 2 * blockRows) {
        const int middle = std::min(rows, from + blockRows);
        const int to = std::min(rows, middle + blockRows);
        std::future<QByteArray> second;
        if (middle < to)
            second = std::async(std::launch::async, formatRows, std::cref(list), middle, to);
        write(formatRows(list, from, middle));
        if (second.valid())
            write(second.get());
    }
}

QByteArray resultsListCsv(const ResultsListModel& list) {
    QByteArray all;
    writeResultsListCsv(list, [&all](const QByteArray& chunk) { all += chunk; });
    return all;
}

} // namespace tarnwick
