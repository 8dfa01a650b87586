// Bytes read as an Access database, as a damaged or foreign Photo3.mdb would be: every table's
// rows and every stored query are read. A refusal is a DatabaseError; anything else (a crash, a
// hang, memory read out of bounds in our decoding of the rows) is a fault.
#include "catalogue/AccessFile.h"
#include "catalogue/DatabaseError.h"

#include <cstdint>

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        const auto file =
            AccessFile::openBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)),
                                  QStringLiteral("Photo3.mdb"));
        for (const AccessTable& table : file->tables())
            file->readRows(table.name, [](const QVariantList&) {});
        for (const QString& query : file->storedQueries())
            (void)file->storedQuerySql(query);
    } catch (const DatabaseError&) {
    }
    return 0;
}
