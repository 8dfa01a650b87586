#pragma once

#include "platform/AppPaths.h"
#include "support/QtPrinting.h"

#include <array>
#include <QTemporaryDir>
#include <QVariantMap>

namespace tarnwick::test {

// A private application directory and settings location for one test: TARNWICK_HOME points at
// the application directory and the suite settings live under the test's own folder.
class TestInstallation {
public:
    TestInstallation();
    ~TestInstallation();

    QString appDir() const;
    AppPaths paths() const { return AppPaths(appDir()); }
    QString cataloguePath() const { return paths().cataloguePath(); }
    QString configDir() const;

private:
    QTemporaryDir root_;
};

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
