// The suite's file list as other programs may leave it: entering a file must keep every other
// record byte for byte and list the new file exactly once.
#include "suite/FileList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString list = dir.filePath(fileListName);
    {
        QFile file(list);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(bytes);
    }
    const QString path = QStringLiteral("/fuzz/profile.pr3");
    if (addToFileList(dir.path(), path, QStringLiteral("pr3"))) {
        std::fprintf(stderr, "entering a file failed\n");
        std::abort();
    }
    QFile file(list);
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    const QByteArray after = file.readAll();
    if (!after.contains("\"" + path.toUtf8() + "\"") && !bytes.contains(path.toUtf8())) {
        std::fprintf(stderr, "the file is not in the list\n");
        std::abort();
    }
    if (after.size() > bytes.size() + 4096)
        std::abort(); // one record more, never more than that
    return 0;
}
