#include "catalogue/CatalogueSchema.h"

#include <QStringList>

namespace tarnwick {

QStringList catalogueSchemaStatements() {
    QStringList statements;
    for (const QString& part : QString::fromUtf8(catalogueSchemaSql).split(u';')) {
        const QString trimmed = part.trimmed();
        if (!trimmed.isEmpty())
            statements << trimmed;
    }
    return statements;
}

} // namespace tarnwick
