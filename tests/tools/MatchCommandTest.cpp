#include "query/QueryTestSupport.h"
#include "support/BuiltProgram.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using tarnwick::test::TestCatalogue;
using tarnwick::test::TestInstallation;
using tarnwick::test::withSizeClasses;

namespace {

tarnwick::test::ProgramOutput runMatch(const TestInstallation& installation,
                                       const QStringList& args) {
    return tarnwick::test::runCli(
        installation, QStringList{u"match"_s, u"--app-dir"_s, installation.appDir()} + args);
}

// Each photo's Book/Photo ID and Match, the two first fields of the lines after the header.
QStringList ranking(const tarnwick::test::ProgramOutput& run) {
    QStringList rows;
    for (const QString& line : run.lines().mid(1))
        rows << line.section(u',', 1, 1) + u' ' + line.section(u',', 0, 0);
    return rows;
}

} // namespace

// Site: 0-3" 6 t/ac and duff 2 in. Exact photos first in list order, then the nearest; a photo
// without a duff depth last (its Match counts the missing depth as nothing alike: 50 %). The
// vegetation filter and the limit cut the list; no value or text that is no number is refused.
TEST(MatchCommand, RanksTheActivePhotosNearestFirstAsCsv) {
    TestInstallation installation;
    {
        TestCatalogue catalogue(installation.cataloguePath());
        catalogue.addBook(u"B1"_s);
        const auto photo = [](double fine, const QVariant& duff, const QString& veg) {
            return withSizeClasses({{u"AverageDuffDepth"_s, duff}, {u"VegType"_s, veg}}, fine, 1.0);
        };
        catalogue.addPhoto(1, u"B1"_s, u"1"_s, photo(6.0, 2.0, u"AB"_s));
        catalogue.addPhoto(2, u"B1"_s, u"2"_s, photo(5.0, 2.0, u"CD"_s));
        catalogue.addPhoto(3, u"B1"_s, u"3"_s, photo(6.0, QVariant(), u"AB"_s));
        catalogue.addPhoto(4, u"B1"_s, u"4"_s, photo(6.0, 2.0, u"AB"_s));
    }
    // 1 - (1 / 11.1) / 2 = 0.955 rounds to 95 %.
    const tarnwick::test::ProgramOutput all =
        runMatch(installation, {u"--fine"_s, u"6"_s, u"--duff=2.0"_s});
    EXPECT_EQ(all.exitCode, 0) << all.errors.toStdString();
    ASSERT_FALSE(all.lines().isEmpty());
    EXPECT_TRUE(all.lines().first().startsWith(u"Match,BookPhotoID,Description,0to3,"_s));
    EXPECT_TRUE(all.lines().first().trimmed().endsWith(u",Key"_s));
    EXPECT_EQ(ranking(all),
              QStringList({u"B1/1 100 %"_s, u"B1/4 100 %"_s, u"B1/2 95 %"_s, u"B1/3 50 %"_s}));

    EXPECT_EQ(ranking(runMatch(installation,
                               {u"--fine"_s, u"6"_s, u"--duff"_s, u"2"_s, u"--limit"_s, u"2"_s})),
              QStringList({u"B1/1 100 %"_s, u"B1/4 100 %"_s}));
    EXPECT_EQ(ranking(runMatch(installation, {u"--fine"_s, u"6"_s, u"--veg"_s, u"CD"_s})),
              QStringList({u"B1/2 91 %"_s}));

    const tarnwick::test::ProgramOutput none = runMatch(installation, {u"--veg"_s, u"AB"_s});
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_TRUE(none.errors.contains(u"at least one of --fine"_s)) << none.errors.toStdString();
    EXPECT_TRUE(none.lines().isEmpty());
    const tarnwick::test::ProgramOutput text = runMatch(installation, {u"--herb"_s, u"lots"_s});
    EXPECT_EQ(text.exitCode, 2);
    EXPECT_TRUE(text.errors.contains(u"'lots'"_s)) << text.errors.toStdString();
}
