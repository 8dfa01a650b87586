#pragma once

#include "catalogue/CatalogueStatements.h"
#include "catalogue/PhotoDatabase.h"
#include "resultslist/ResultsListModel.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QStringList>
#include <QVariantMap>

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>

namespace tarnwick::test {

// Size classes 1..7 as stored fields.
inline QVariantMap classes(std::initializer_list<QVariant> loadings) {
    QVariantMap fields;
    int k = 1;
    for (const QVariant& loading : loadings)
        fields.insert(QStringLiteral("TonsPerAcreBreak%1").arg(k++), loading);
    return fields;
}

inline QVariantMap with(QVariantMap fields, const QVariantMap& more) {
    fields.insert(more);
    return fields;
}

// A catalogue of one book, B1, built by each test, and the list of its start-up set, on either
// engine.
class ResultsListFixture : public ::testing::TestWithParam<CatalogueEngine> {
protected:
    void SetUp() override { TARNWICK_SKIP_WITHOUT_ENGINE(installation); }

    // Builds the catalogue, then lists its start-up set.
    void list(const std::function<void(TestCatalogue&)>& build) {
        {
            TestCatalogue catalogue(installation.cataloguePath());
            catalogue.addBook(QStringLiteral("B1"));
            build(catalogue);
        }
        database = installation.openCatalogue();
        refill();
    }
    void refill() { model.fill(database->run(statements::activePhotosAtStartUp)); }

    QString cell(const QString& key, QStringView column) const {
        const std::optional<ResultsRow> row = model.rowWithKey(key);
        return row ? row->cell(column) : QStringLiteral("<no row>");
    }
    // The keys in the order shown.
    QStringList order() const {
        QStringList keys;
        for (int i = 0; i < model.rowCount(); ++i)
            keys << model.rowAt(i).key;
        return keys;
    }

    TestInstallation installation{GetParam()};
    std::unique_ptr<PhotoDatabase> database;
    ResultsListModel model;
};

} // namespace tarnwick::test
