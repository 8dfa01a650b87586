#pragma once

#include "app/AppState.h"
#include "app/commands/PhotoDisplayCommands.h"
#include "app/commands/ReportCommands.h"
#include "app/commands/ResultsListCommands.h"
#include "app/commands/Startup.h"
#include "support/ScriptedDialogs.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QColor>
#include <QDir>
#include <QImage>
#include <QVariantMap>

#include <memory>
#include <utility>

namespace tarnwick::test {

using namespace tarnwick::commands;

// Two books, one with four classes above 3 inches (a plate of 19 rows), one with a single open
// one (16 rows); photos with and without their picture file.
class ReportFixture : public ::testing::Test {
protected:
    void SetUp() override {
        {
            TestCatalogue catalogue(installation.cataloguePath());
            catalogue.addBook(QStringLiteral("B1"), true, {0.25, 1.0, 3.0, 6.0, 9.0, 20.0});
            catalogue.addBook(QStringLiteral("B2"), true, {0.25, 1.0, 3.0, 0.0, 0.0, 0.0});
            const auto photo = [&](qint64 id, const QString& book, const QString& label) {
                QVariantMap fields{{QStringLiteral("PhotoPic"), QStringLiteral("p%1.jpg").arg(id)},
                                   {QStringLiteral("DataPic"), QStringLiteral("d%1.jpg").arg(id)},
                                   {QStringLiteral("Oto3FL"), 3.0},
                                   {QStringLiteral("TotalFL"), 12.5},
                                   {QStringLiteral("HerbTonsPerAcre"), 0.5}};
                for (int k = 1; k <= 7; ++k)
                    fields.insert(QStringLiteral("TonsPerAcreBreak%1").arg(k), 0.5 * k + 0.25);
                catalogue.addPhoto(id, book, label, fields);
            };
            photo(1, QStringLiteral("B1"), QStringLiteral("P1"));
            photo(2, QStringLiteral("B2"), QStringLiteral("P2"));
            photo(3, QStringLiteral("B2"), QStringLiteral("P3")); // its picture file is missing
        }
        for (const auto& [book, id] :
             {std::pair{QStringLiteral("B1"), 1}, std::pair{QStringLiteral("B2"), 2}}) {
            const QString folder = installation.paths().photoImagesDir() + u'/' + book;
            QDir().mkpath(folder);
            QImage picture(600, 400, QImage::Format_RGB32);
            picture.fill(QColor(40 * id, 120, 60));
            ASSERT_TRUE(picture.save(folder + QStringLiteral("/p%1.jpg").arg(id), "JPG"));
        }
        ASSERT_TRUE(initialiseCatalogue(state, dialogs));
        fillResultsList(state);
        list = resultsListAccess(state.resultsList, {});
    }

    void show(int slot, qint64 id) {
        state.currentSlot = slot;
        ASSERT_EQ(showPhotoById(state, id, PhotoDisplayHooks{}).outcome, ShowPhotoOutcome::Shown);
    }

    FuelProfile profileFrom(const QString& a, const QString& b, const QString& c,
                            const QString& d) const {
        FuelProfile profile;
        profile.name = QStringLiteral("Ridge 7");
        profile.break1 = 1.5;
        profile.break2 = 2.25;
        profile.break3 = 0.75;
        profile.value3Plus = 10;
        profile.source0to3 = a;
        profile.source3Plus = b;
        profile.duffSource = c;
        profile.fuelBedSource = d;
        profile.herbValue = QStringLiteral("0.5");
        profile.woodyValue = QStringLiteral("1.2");
        profile.duffValue = QStringLiteral("1.0");
        profile.fuelBedValue = QStringLiteral("2.5");
        return profile;
    }

    std::shared_ptr<const ComposedReport> profileReport(const FuelProfile& profile) {
        state.fuelProfile = profile;
        return fuelProfileReportOf(state, list);
    }

    TestInstallation installation;
    AppState state{installation.paths()};
    ScriptedDialogs dialogs;
    ResultsListAccess list;
};

} // namespace tarnwick::test
