// Code-list files as a user or another tool may leave them, through the field reader and the code
// list built on it. Besides crashes and hangs it checks that the reader always moves on, that the
// list holds the records the reader reads, and that it answers each record's code with that
// record's row when it is the first of its code.
#include "query/CodeList.h"
#include "text/CommaDelimitedInput.h"
#include "text/Windows1252.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QString>
#include <vector>

using namespace tarnwick;

namespace {

[[noreturn]] void fault(const char* what, const QString& text) {
    std::fprintf(stderr, "%s\ntext: %s\n", what, qUtf8Printable(text));
    std::abort();
}

QString fuzzFilePath() {
    return QDir::tempPath() + QStringLiteral("/tarnwick-fuzz-codes-%1.txt")
                                  .arg(QString::number(QCoreApplication::applicationPid()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = decodeWindows1252(bytes);

    std::vector<QString> fields;
    CommaDelimitedInput input(text);
    while (const std::optional<QString> field = input.readField()) {
        if (qsizetype(fields.size()) > text.size())
            fault("more fields than characters: the reader does not move on", text);
        fields.push_back(*field);
    }

    // The same file read as a code list.
    static const QString path = fuzzFilePath();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            fault("cannot write the fuzz input file", path);
        file.write(bytes);
    }
    const CodeList list = CodeList::read(path);
    if (list.recordCount() != int(fields.size() / 2))
        fault("the list counts other records than the reader reads", text);

    QHash<QString, bool> seen;
    for (size_t i = 0; i + 1 < fields.size(); i += 2) {
        const QString& code = fields[i];
        const QString& description = fields[i + 1];
        qsizetype start = 0;
        while (start < code.size() && code[start] == u' ')
            ++start;
        const QString key = code.mid(start).toUpper();
        if (seen.contains(key))
            continue;
        seen.insert(key, true);
        // A file's code with blanks after it can only be matched by a catalogue code with the
        // same blanks, and those are trimmed off the catalogue side.
        if (key.endsWith(u' ') || key.isEmpty())
            continue;
        if (list.rowFor(code.mid(start)) != code + QLatin1Char('-') + description)
            fault("a record's own code does not find its row", text);
    }
    return 0;
}
