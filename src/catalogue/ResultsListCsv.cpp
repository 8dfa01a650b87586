#include "catalogue/ResultsListCsv.h"

#include "catalogue/ResultsListModel.h"

namespace tarnwick {

namespace {

constexpr qsizetype chunkSize = 1 << 20;

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

void writeResultsListCsv(const ResultsListModel& list,
                         const std::function<void(const QByteArray& chunk)>& write) {
    QByteArray out;
    out.reserve(chunkSize + 4096);
    for (const ResultsColumn& column : resultsColumns()) {
        appendField(out, column.key);
        out += ',';
    }
    out += "Key\r\n";
    for (int position = 0; position < list.rowCount(); ++position) {
        const ResultsRow row = list.rowAt(position);
        for (const QString& cell : row.cells) {
            appendField(out, cell);
            out += ',';
        }
        appendField(out, row.key);
        out += "\r\n";
        if (out.size() >= chunkSize) {
            write(out);
            out.resize(0);
        }
    }
    if (!out.isEmpty())
        write(out);
}

QByteArray resultsListCsv(const ResultsListModel& list) {
    QByteArray all;
    writeResultsListCsv(list, [&all](const QByteArray& chunk) { all += chunk; });
    return all;
}

} // namespace tarnwick
