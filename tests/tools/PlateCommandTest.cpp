#include "support/BuiltProgram.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>

using tarnwick::test::TestCatalogue;
using tarnwick::test::TestInstallation;

namespace {

tarnwick::test::ProgramOutput runCli(const QStringList& args, const QString& home = QString()) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    if (!home.isEmpty())
        environment.insert(QStringLiteral("TARNWICK_HOME"), home);
    return tarnwick::test::runBuiltProgram(QStringLiteral("tarnwick-cli"), args, environment);
}

} // namespace

class PlateCommandOnBothEngines : public ::testing::TestWithParam<tarnwick::CatalogueEngine> {};

TARNWICK_ON_BOTH_ENGINES(PlateCommandOnBothEngines);

TEST_P(PlateCommandOnBothEngines, PrintsThePlateAndChartOfOnePhotoAsJson) {
    TestInstallation installation(GetParam());
    TARNWICK_SKIP_WITHOUT_ENGINE(installation);
    {
        TestCatalogue catalogue(installation.cataloguePath());
        catalogue.addBook(QStringLiteral("NE-4"), true, {0.25, 1.0, 3.0, 6.0, 9.0, 20.0});
        catalogue.addBook(QStringLiteral("Shelved"), false);
        catalogue.addPhoto(41, QStringLiteral("NE-4"), QStringLiteral("4-MC-02"),
                           {{QStringLiteral("AverageDuffDepth"), -1.0},
                            {QStringLiteral("VegType"), QStringLiteral("MC")},
                            {QStringLiteral("TonsPerAcreBreak1"), 12.345},
                            {QStringLiteral("TonsPerAcreBreak4"), 3.0},
                            {QStringLiteral("Oto3FL"), 2.25},
                            {QStringLiteral("TotalFL"), 12.5}});
        catalogue.addPhoto(42, QStringLiteral("Shelved"), QStringLiteral("1"));
    }
    installation.serveCatalogue();

    // The installation given by --app-dir, or the program's own (here through TARNWICK_HOME).
    const tarnwick::test::ProgramOutput byOption =
        runCli({QStringLiteral("plate"), QStringLiteral("--id"), QStringLiteral("41"),
                QStringLiteral("--app-dir"), installation.appDir()});
    const tarnwick::test::ProgramOutput byHome =
        runCli({QStringLiteral("plate"), QStringLiteral("--id=41")}, installation.appDir());
    ASSERT_EQ(byOption.exitCode, 0) << byOption.errors.toStdString();
    ASSERT_EQ(byHome.exitCode, 0) << byHome.errors.toStdString();
    EXPECT_EQ(byOption.output, byHome.output);

    QJsonParseError error;
    const QJsonObject plate = QJsonDocument::fromJson(byOption.output, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << byOption.output.toStdString();
    EXPECT_EQ(plate.value(QStringLiteral("case")).toInt(-1), 3);
    const QJsonArray rows = plate.value(QStringLiteral("rows")).toArray();
    ASSERT_EQ(rows.size(), 19);
    EXPECT_EQ(rows[0].toArray(), (QJsonArray{"Average Duff Depth (in)", "N/A"}));
    EXPECT_EQ(rows[2].toArray(), (QJsonArray{"Vegetation Type", "MC"}));
    EXPECT_EQ(rows[9].toArray(), (QJsonArray{"\t0\"-.25\"", "12.35"}));
    EXPECT_EQ(rows[13].toArray(), (QJsonArray{"\t 6.1\"- 9\"", ""}));
    EXPECT_EQ(rows[17].toArray(), (QJsonArray{"\tTotal 3.1\"+  ", "10.25"}));

    const QJsonObject chart = plate.value(QStringLiteral("chart")).toObject();
    EXPECT_EQ(chart.value(QStringLiteral("header")).toArray(),
              (QJsonArray{"DDW Total Tons per Acre(t/ac) by Size Class ", "NE-4/4-MC-02"}));
    const QJsonArray bars = chart.value(QStringLiteral("bars")).toArray();
    ASSERT_EQ(bars.size(), 7);
    EXPECT_EQ(bars[3].toObject().value(QStringLiteral("label")).toString(),
              QStringLiteral("3.1\" - 6\"       3.00 t/ac  "));
    EXPECT_EQ(bars[3].toObject().value(QStringLiteral("value")).toDouble(), 3.0);
    EXPECT_TRUE(bars[4].toObject().value(QStringLiteral("value")).isNull());

    // Photos that are not active, or not there at all, are reported with status 2.
    for (const char* id : {"42", "7"}) {
        const tarnwick::test::ProgramOutput missing =
            runCli({QStringLiteral("plate"), QStringLiteral("--id"), QString::fromLatin1(id),
                    QStringLiteral("--app-dir"), installation.appDir()});
        EXPECT_EQ(missing.exitCode, 2);
        EXPECT_TRUE(missing.output.isEmpty());
        EXPECT_TRUE(missing.errors.contains(
            QStringLiteral("photo ID %1 is not among the active").arg(QString::fromLatin1(id))))
            << missing.errors.toStdString();
    }
    EXPECT_EQ(runCli({QStringLiteral("plate")}, installation.appDir()).exitCode, 2);
}

// A catalogue the program has never started on keeps its limits as stored; the read-only
// commands show them as start-up would leave them, and change nothing.
TEST(PlateCommand, ShowsTheLimitsAsStartUpLeavesThemWithoutWritingThem) {
    TestInstallation installation;
    {
        TestCatalogue catalogue(installation.cataloguePath());
        catalogue.addBook(QStringLiteral("NE-4"), true, {0.3, 1.7, 3.2, 9.6, 15.4, 20.5});
        catalogue.addPhoto(41, QStringLiteral("NE-4"), QStringLiteral("4-MC-02"),
                           {{QStringLiteral("DataPic"), QStringLiteral("d41.jpg")},
                            {QStringLiteral("TonsPerAcreBreak4"), 3.0}});
    }
    const auto bytes = [&installation] {
        return tarnwick::test::fileContents(installation.cataloguePath());
    };
    const QByteArray stored = bytes();
    ASSERT_FALSE(stored.isEmpty());

    const tarnwick::test::ProgramOutput plate =
        runCli({QStringLiteral("plate"), QStringLiteral("--id=41")}, installation.appDir());
    ASSERT_EQ(plate.exitCode, 0) << plate.errors.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(plate.output).object();
    const QJsonArray rows = json.value(QStringLiteral("rows")).toArray();
    ASSERT_EQ(rows.size(), 19);
    // Limits 4 and 5 lose their fractions (9.6 is 9, 15.4 is 15); limit 6 stays 20.5.
    const QStringList overThree{QStringLiteral("\t3.1\"- 9\"  "), QStringLiteral("\t 9.1\"- 15\""),
                                QStringLiteral("\t15.1\"- 20.5\"  "),
                                QStringLiteral("\t20.6\" + ")};
    for (int i = 0; i < overThree.size(); ++i)
        EXPECT_EQ(rows[12 + i].toArray()[0].toString(), overThree[i]);
    const QJsonArray bars =
        json.value(QStringLiteral("chart")).toObject().value(QStringLiteral("bars")).toArray();
    ASSERT_EQ(bars.size(), 7);
    EXPECT_TRUE(bars[3]
                    .toObject()
                    .value(QStringLiteral("label"))
                    .toString()
                    .startsWith(QStringLiteral("3.1\" - 9\" ")));

    // The photo report goes the window's way (its commands and hooks) to the same plate.
    const QString out = installation.appDir() + QStringLiteral("/photo.rtf");
    const tarnwick::test::ProgramOutput report =
        runCli({QStringLiteral("report"), QStringLiteral("photo"), QStringLiteral("--id"),
                QStringLiteral("41"), QStringLiteral("--out"), out},
               installation.appDir());
    ASSERT_EQ(report.exitCode, 0) << report.errors.toStdString();
    QFile rtf(out);
    ASSERT_TRUE(rtf.open(QIODevice::ReadOnly));
    const QByteArray text = rtf.readAll();
    EXPECT_TRUE(text.contains("\\tab 3.1\"- 9\"  \\cell")) << text.toStdString();
    EXPECT_TRUE(text.contains("\\tab  9.1\"- 15\"\\cell"));
    EXPECT_FALSE(text.contains("9.6\""));

    EXPECT_EQ(bytes(), stored) << "the catalogue was written";
}
