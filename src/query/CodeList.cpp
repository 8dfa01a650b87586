#include "query/CodeList.h"

#include "text/CommaDelimitedInput.h"
#include "text/TextOrder.h"
#include "text/Windows1252.h"

#include <algorithm>
#include <QFile>

namespace tarnwick {

namespace {

// Only spaces count: the old runtime's LTrim and Trim left tabs alone.
QString withoutLeadingSpaces(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    return text.mid(i);
}

QString withoutSurroundingSpaces(const QString& text) {
    QString result = withoutLeadingSpaces(text);
    qsizetype end = result.size();
    while (end > 0 && result[end - 1] == u' ')
        --end;
    result.truncate(end);
    return result;
}

} // namespace

CodeList CodeList::read(const QString& path) {
    CodeList list;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return list;
    CommaDelimitedInput input(decodeWindows1252(file.readAll()));
    // A record without its description ends the reading, as reading past the end of the file
    // did: what came before still counts.
    while (true) {
        const std::optional<QString> code = input.readField();
        if (!code)
            break;
        const std::optional<QString> description = input.readField();
        if (!description)
            break;
        ++list.records_;
        const QString key = withoutLeadingSpaces(*code).toUpper();
        if (!list.rowByKey_.contains(key))
            list.rowByKey_.insert(key, *code + QLatin1Char('-') + *description);
    }
    return list;
}

QString CodeList::rowFor(const QString& code) const {
    const auto found = rowByKey_.constFind(withoutSurroundingSpaces(code).toUpper());
    if (found != rowByKey_.cend())
        return *found;
    return code + QStringLiteral("- ");
}

QString lookupCodeDescription(const QString& path, const QString& code) {
    return CodeList::read(path).rowFor(code);
}

QString codeOfListRow(const QString& row) {
    const QString trimmed = withoutLeadingSpaces(row);
    const qsizetype dash = trimmed.indexOf(QLatin1Char('-'));
    return dash < 0 ? trimmed : trimmed.left(dash);
}

QStringList sortedListRows(QStringList rows) {
    const QCollator order = textOrder();
    std::stable_sort(rows.begin(), rows.end(),
                     [&order](const QString& a, const QString& b) { return order(a, b); });
    return rows;
}

} // namespace tarnwick
