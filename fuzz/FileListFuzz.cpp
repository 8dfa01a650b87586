// The suite's file list as other programs may leave it, behind a record of the saved file whose
// line ends in a lone CR: entering the file again must rewrite that record in place and carry
// every other byte over as it was, whatever the line ends.
#include "suite/FileList.h"
#include "text/Windows1252.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace tarnwick;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    return file.readAll();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const QByteArray others(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString list = dir.filePath(fileListName);
    const QString path = QStringLiteral("/fuzz/profile.pr3");
    const QByteArray saved = "\"pr3\",\"/fuzz/profile.pr3\",\"1/1/2020 0:00:00 AM\"\r";
    {
        QFile file(list);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(saved + others) != saved.size() + others.size())
            std::abort();
    }
    const QDateTime when(QDate(2026, 12, 8), QTime(13, 5, 9));
    if (const std::optional<QString> problem = addToFileList(dir.path(), path, "pr3", when)) {
        std::fprintf(stderr, "entering a file failed: %s\n", qPrintable(*problem));
        std::abort();
    }
    const QByteArray after = readAll(list);
    const QByteArray record =
        "\"pr3\",\"/fuzz/profile.pr3\",\"" + fileListTime(when).toLatin1() + "\"\r\n";
    if (!after.startsWith(record)) {
        std::fprintf(stderr, "the saved file's record is not rewritten in its place\n");
        std::abort();
    }
    if (QDir(dir.path()).entryList(QDir::Files | QDir::Hidden) != QStringList{fileListName}) {
        std::fprintf(stderr, "the scratch file or the lock is left behind\n");
        std::abort();
    }
    // Records naming the file again are rewritten too; every other record must come through.
    if (decodeWindows1252(others).contains(QStringLiteral("profile.pr3"), Qt::CaseInsensitive))
        return 0;
    // A LF right after the first record's CR makes its line end CR LF.
    QByteArray rest = others.startsWith('\n') ? others.mid(1) : others;
    if (!rest.isEmpty() && !rest.endsWith('\n') && !rest.endsWith('\r'))
        rest += "\r\n";
    if (after != record + rest) {
        std::fprintf(stderr, "another program's record was not carried over as it was\n");
        std::abort();
    }
    return 0;
}
