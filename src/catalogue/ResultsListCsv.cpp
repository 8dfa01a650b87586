#include "catalogue/ResultsListCsv.h"

#include "catalogue/ResultsListModel.h"

#include <algorithm>
#include <future>

namespace tarnwick {

namespace {

bool needsQuotes(QStringView text) {
    for (QChar c : text)
        if (c == u',' || c == u'"' || c == u'\r' || c == u'\n')
            return true;
    return false;
}

void appendUtf8(QByteArray& out, QStringView text) {
    // Catalogue text is nearly always ASCII: copy it straight, convert only what is not.
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            out += text.toUtf8();
            return;
        }
    }
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char* to = out.data() + start;
    for (QChar c : text)
        *to++ = char(c.unicode());
}

void appendField(QByteArray& out, QStringView text) {
    if (!needsQuotes(text)) {
        appendUtf8(out, text);
        return;
    }
    out += '"';
    qsizetype from = 0;
    for (qsizetype quote = text.indexOf(u'"'); quote >= 0; quote = text.indexOf(u'"', from)) {
        appendUtf8(out, text.mid(from, quote + 1 - from));
        out += '"';
        from = quote + 1;
    }
    appendUtf8(out, text.mid(from));
    out += '"';
}

} // namespace

namespace {

// Rows formatted together; two blocks at a time, the second on a worker thread.
constexpr int blockRows = 8192;

QByteArray formatRows(const ResultsListModel& list, int from, int to) {
    QByteArray out;
    out.reserve(qsizetype(to - from) * 160);
    for (int position = from; position < to; ++position) {
        const ResultsRow row = list.rowAt(position);
        for (const QString& cell : row.cells) {
            appendField(out, cell);
            out += ',';
        }
        appendField(out, row.key);
        out += "\r\n";
    }
    return out;
}

} // namespace

void writeResultsListCsv(const ResultsListModel& list,
                         const std::function<void(const QByteArray& chunk)>& write) {
    QByteArray header;
    for (const ResultsColumn& column : resultsColumns()) {
        appendField(header, column.key);
        header += ',';
    }
    header += "Key\r\n";
    write(header);
    // Composing the cells is nearly all the cost, and reading the list is safe from any thread.
    const int rows = list.rowCount();
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
