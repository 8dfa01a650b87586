#pragma once

#include "catalogue/CatalogueLocation.h"
#include "catalogue/PhotoDatabase.h"
#include "platform/AppPaths.h"
#include "support/QtPrinting.h"

#include <array>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>

namespace tarnwick::test {

bool testServerRequired();

// A private application directory and settings location for one test: TARNWICK_HOME points at
// the application directory and the suite settings live under the test's own folder.
// Its catalogue is always built as the file; on the PostgreSQL engine serveCatalogue() then
// copies it into a database of its own on the test server and names that in the settings, as an
// office would with tarnwick-cli catalogue push.
class TestInstallation {
public:
    explicit TestInstallation(CatalogueEngine engine = CatalogueEngine::Sqlite);
    ~TestInstallation();

    TestInstallation(const TestInstallation&) = delete;
    TestInstallation& operator=(const TestInstallation&) = delete;

    CatalogueEngine engine() const { return engine_; }
    // Why the engine cannot be tested here; empty when it can.
    QString engineUnavailable() const;

    // The catalogue the programs under test now use: the file, or a fresh copy of it on the
    // server that the settings name. Each call on the server copies the file again.
    CatalogueLocation serveCatalogue();
    std::unique_ptr<PhotoDatabase>
    openCatalogue(CatalogueAccess access = CatalogueAccess::ReadWrite);
    // Changes the catalogue the programs use behind their back: the file, or the served copy.
    bool execOnCatalogue(const QString& sql);

    QString appDir() const;
    AppPaths paths() const { return AppPaths(appDir()); }
    QString cataloguePath() const { return paths().cataloguePath(); }
    QString configDir() const;

private:
    QTemporaryDir root_;
    CatalogueEngine engine_;
    std::optional<QString> servedDatabase_;
    QStringList databases_;
};

std::string engineName(const ::testing::TestParamInfo<CatalogueEngine>& info);

} // namespace tarnwick::test

namespace tarnwick {
// How GoogleTest and CTest name a test's engine.
void PrintTo(CatalogueEngine engine, std::ostream* out);
} // namespace tarnwick

namespace tarnwick::test {

// Skips a test whose engine cannot run here (no server installed), with the reason; where the
// server is required (./dev test, CI) that fails the test instead.
#define TARNWICK_SKIP_WITHOUT_ENGINE(installation)                                                 \
    do {                                                                                           \
        const QString unavailable_ = (installation).engineUnavailable();                           \
        if (!unavailable_.isEmpty()) {                                                             \
            if (::tarnwick::test::testServerRequired())                                            \
                FAIL() << "PostgreSQL is required here: " << unavailable_.toStdString();           \
            GTEST_SKIP() << "PostgreSQL cannot be tested: " << unavailable_.toStdString();         \
        }                                                                                          \
    } while (false)

// A parameterised suite runs once on the embedded file and once on the server.
#define TARNWICK_ON_BOTH_ENGINES(Suite)                                                            \
    INSTANTIATE_TEST_SUITE_P(Engines, Suite,                                                       \
                             ::testing::Values(::tarnwick::CatalogueEngine::Sqlite,                \
                                               ::tarnwick::CatalogueEngine::PostgreSql),           \
                             ::tarnwick::test::engineName)

// Builds a catalogue file with the suite's schema, row by row. The connection closes when the
// builder goes, so the program under test finds the file unlocked.
class TestCatalogue {
public:
    explicit TestCatalogue(const QString& path);
    ~TestCatalogue();

    void exec(const QString& sql, const QVariantList& values = {});
    void addBook(const QString& label, bool active = true,
                 const std::array<QVariant, 6>& breaks = {0.25, 1.0, 3.0, 9.0, 20.0, 0.0});
    // Fields not given stay Null; active defaults to 1.
    void addPhoto(qint64 id, const QString& book, const QVariant& photoLabel,
                  const QVariantMap& fields = {});

private:
    QString connection_;
};

// A catalogue with one active book and the given number of active photos.
void writeSmallCatalogue(const QString& path, int photos = 3);

} // namespace tarnwick::test
