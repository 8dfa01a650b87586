#include "catalogue/CatalogueSchema.h"

#include <QStringList>

namespace tarnwick {

namespace {

QStringList statementsOf(const char* sql) {
    QStringList statements;
    for (const QString& part : QString::fromUtf8(sql).split(u';')) {
        const QString trimmed = part.trimmed();
        if (!trimmed.isEmpty())
            statements << trimmed;
    }
    return statements;
}

} // namespace

QStringList catalogueSchemaStatements() {
    return statementsOf(catalogueSchemaSql);
}

QStringList serverCatalogueSchemaStatements() {
    return statementsOf(serverCatalogueSchemaSql);
}

const std::vector<RequiredColumns>& requiredCatalogueColumns() {
    static const std::vector<RequiredColumns> required = [] {
        // One row of qryactive: the photo record.
        QStringList photo{QStringLiteral("ID"), QStringLiteral("BookLabel"),
                          QStringLiteral("PhotoLabel"), QStringLiteral("GroupLabel")};
        for (int k = 1; k <= 7; ++k)
            photo << QStringLiteral("TonsPerAcreBreak%1").arg(k);
        photo << QStringLiteral("TotalFL") << QStringLiteral("Oto3FL")
              << QStringLiteral("AverageDuffDepth") << QStringLiteral("AverageFuelbedDepth")
              << QStringLiteral("HerbTonsPerAcre") << QStringLiteral("WoodyTonsPerAcre")
              << QStringLiteral("CanopyClosure") << QStringLiteral("TreesPerAcre")
              << QStringLiteral("VegType") << QStringLiteral("Activity")
              << QStringLiteral("FireBehaveFM") << QStringLiteral("FireBehaveFM2")
              << QStringLiteral("DangerRatingFM") << QStringLiteral("PhotoPic")
              << QStringLiteral("DataPic");
        QStringList book{QStringLiteral("id"), QStringLiteral("BookLabel"),
                         QStringLiteral("BookDescription"), QStringLiteral("active")};
        for (int k = 1; k <= 6; ++k)
            book << QStringLiteral("BreakInches%1").arg(k);
        // Slidekeep keeps the photos' own active flags in Photos.
        return std::vector<RequiredColumns>{
            {QStringLiteral("Books"), book},
            {QStringLiteral("Photos"), photo + QStringList{QStringLiteral("active")}},
            {QStringLiteral("qryactive"), photo},
        };
    }();
    return required;
}

} // namespace tarnwick
