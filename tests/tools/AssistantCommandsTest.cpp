#include "support/BuiltProgram.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using tarnwick::test::TestCatalogue;
using tarnwick::test::TestInstallation;

namespace {

class AssistantCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestCatalogue catalogue(installation.cataloguePath());
        catalogue.addBook(u"B1"_s);
        const auto add = [&](qint64 id, double herb, double duff, double fine) {
            QVariantMap fields{{u"DataPic"_s, u"d.jpg"_s},      {u"HerbTonsPerAcre"_s, herb},
                               {u"WoodyTonsPerAcre"_s, 0.5},    {u"AverageDuffDepth"_s, duff},
                               {u"AverageFuelbedDepth"_s, 2.0}, {u"VegType"_s, u"PP"_s},
                               {u"Activity"_s, u"NAT"_s}};
            for (int k = 1; k <= 7; ++k)
                fields.insert(u"TonsPerAcreBreak%1"_s.arg(k), k == 1 ? fine : k == 4 ? 2.0 : 0.0);
            catalogue.addPhoto(id, u"B1"_s, u"P%1"_s.arg(id), fields);
        };
        add(1, 1.2, -1.0, 0.04);
        add(2, 0.4, 3.0, 0.33);
        catalogue.addPhoto(3, u"B1"_s, u"P3"_s, {{u"active"_s, 0}, {u"DataPic"_s, u"d.jpg"_s}});
        catalogue.addPhoto(4, u"B1"_s, u"P4"_s,
                           {{u"DataPic"_s, u"d.jpg"_s},
                            {u"AverageDuffDepth"_s, 2.0},
                            {u"AverageFuelbedDepth"_s, 0.0},
                            {u"HerbTonsPerAcre"_s, 0.0}});
    }

    QJsonObject run(const QStringList& args, int expectedExit = 0) {
        const auto result = tarnwick::test::runCli(
            installation, args + QStringList{u"--app-dir"_s, installation.appDir()});
        EXPECT_EQ(result.exitCode, expectedExit) << result.errors.toStdString();
        if (expectedExit != 0) {
            EXPECT_TRUE(result.output.isEmpty());
        }
        return QJsonDocument::fromJson(result.output).object();
    }

    TestInstallation installation;
};

} // namespace

TEST_F(AssistantCommandsTest, CompareSetsTwoPhotosAgainstEachOther) {
    const QJsonObject tab = run({u"compare"_s, u"--id"_s, u"1"_s, u"--id"_s, u"2"_s});
    EXPECT_EQ(tab[u"photos"_s].toArray(), (QJsonArray{u"B1/P1"_s, u"B1/P2"_s}));
    const QJsonArray rows = tab[u"rows"_s].toArray();
    ASSERT_EQ(rows.size(), 9);
    const QJsonObject herb = rows[5].toObject();
    EXPECT_EQ(herb[u"caption"_s].toString(), u"Herb (Tons Per Acre)"_s);
    EXPECT_EQ(herb[u"values"_s].toArray(), (QJsonArray{u"1.2"_s, u"0.4"_s}));
    EXPECT_EQ(herb[u"difference"_s].toString(), u"0.8"_s);
    EXPECT_EQ(herb[u"colours"_s].toArray(), (QJsonArray{u"#ff0000"_s, u"#0000ff"_s}));
    const QJsonObject duff = rows[3].toObject();
    EXPECT_EQ(duff[u"values"_s].toArray(), (QJsonArray{u"no data"_s, u"3.0"_s}));
    EXPECT_EQ(duff[u"difference"_s].toString(), u"N/A"_s);
    const QJsonObject vegetation = rows[7].toObject();
    EXPECT_EQ(vegetation[u"caption"_s].toString(), u"Vegetation Type"_s);
    EXPECT_TRUE(vegetation[u"difference"_s].isNull());

    run({u"compare"_s, u"--id"_s, u"1"_s, u"--id"_s, u"3"_s}, 2); // photo 3 is not active
}

TEST_F(AssistantCommandsTest, ProfileBuildTakesEachValueAsTheBuilderDoes) {
    const QJsonObject built =
        run({u"profile"_s, u"build"_s, u"--name"_s, u"Ridge"_s, u"--take"_s, u"0to3=1"_s,
             u"--take"_s, u"3plus=2"_s, u"--take"_s, u"duff=1"_s, u"--take"_s, u"herb=2"_s});
    const QJsonObject fields = built[u"fields"_s].toObject();
    EXPECT_EQ(fields[u"Name"_s].toString(), u"Ridge"_s);
    EXPECT_EQ(fields[u"Break1"_s].toDouble(), 0.04);
    EXPECT_EQ(fields[u"Source0to3"_s].toString(), u"B1/P1"_s);
    EXPECT_EQ(fields[u"Value3Plus"_s].toDouble(), 2.0);
    EXPECT_EQ(fields[u"DuffValue"_s].toString(), u"N/A"_s);
    EXPECT_EQ(fields[u"HerbValue"_s].toString(), u"0.4"_s);
    EXPECT_EQ(fields[u"FuelBedValue"_s].toString(), u"0"_s);
    const QJsonObject shown = built[u"shown"_s].toObject();
    EXPECT_EQ(shown[u"0to3"_s].toString(), u"0.0"_s); // 0.04 rounds to 0.0
    EXPECT_EQ(shown[u"Total"_s].toString(), u"2"_s);
    EXPECT_EQ(built[u"title"_s].toString(), u"Tarnwick Assistant[Untitled]"_s);
    EXPECT_TRUE(built[u"changed"_s].toBool());

    run({u"profile"_s, u"build"_s, u"--take"_s, u"herb=3"_s}, 2);
    run({u"profile"_s, u"build"_s, u"--take"_s, u"bark=1"_s}, 2);
}

TEST_F(AssistantCommandsTest, ValuesTakenIntoAProfileKeepTheirTextThroughSaveAndLoad) {
    const QString site = installation.appDir() + u"/site.pr3"_s;
    run({u"profile"_s, u"build"_s, u"--take"_s, u"duff=4"_s, u"--take"_s, u"fuelbed=4"_s,
         u"--take"_s, u"herb=4"_s, u"--notes"_s, u"one\r\ntwo"_s, u"--out"_s, site});
    QFile file(site);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 18); // sixteen fields, the notes on two lines, nothing after the last
    EXPECT_EQ(lines[1], "\"one\r");    // the notes' break written once as CR LF
    EXPECT_EQ(lines[11], "\"2.0\"\r"); // duff as shown
    EXPECT_EQ(lines[12], "\"0.0\"\r"); // fuel bed as shown
    EXPECT_EQ(lines[13], "\"0\"\r");   // herb as a number written out

    const QJsonObject fields = run({u"profile"_s, u"show"_s, site})[u"fields"_s].toObject();
    EXPECT_EQ(fields[u"DuffValue"_s].toString(), u"2.0"_s);
    EXPECT_EQ(fields[u"FuelBedValue"_s].toString(), u"0.0"_s);
    EXPECT_EQ(fields[u"HerbValue"_s].toString(), u"0"_s);
    EXPECT_EQ(fields[u"Notes"_s].toString(), u"one\ntwo"_s);

    // An empty name is refused, not saved as ".pr3" in the working folder.
    QTemporaryDir working;
    const auto empty = tarnwick::test::runBuiltProgram(
        u"tarnwick-cli"_s,
        {u"profile"_s, u"build"_s, u"--out"_s, QString(), u"--app-dir"_s, installation.appDir()},
        QProcessEnvironment::systemEnvironment(), {working.path()});
    EXPECT_EQ(empty.exitCode, 2);
    EXPECT_TRUE(empty.errors.contains(u"--out needs a file name"_s)) << empty.errors.toStdString();
    EXPECT_TRUE(QDir(working.path()).isEmpty());
}
