#include "query/QueryTestSupport.h"
#include "support/BuiltProgram.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;
using tarnwick::test::TestCatalogue;
using tarnwick::test::TestInstallation;

namespace {

QStringList texts(const QJsonValue& array) {
    QStringList rows;
    for (const QJsonValue& row : array.toArray())
        rows << row.toString();
    return rows;
}

} // namespace

TEST(ChoicesCommand, PrintsWhatTheQueryPagesOfferAndWhatCouldNotBeLoaded) {
    TestInstallation installation;
    tarnwick::test::writeLatin1(installation.paths().file(u"VegCodes.txt"_s),
                                u"\"PP\",\"Ponderosa pine\"\r\n"_s);
    {
        TestCatalogue catalogue(installation.cataloguePath());
        catalogue.addBook(u"RM-3"_s);
        catalogue.addPhoto(1, u"RM-3"_s, u"1"_s,
                           tarnwick::test::withSizeClasses({{u"TotalFL"_s, 5.5},
                                                            {u"VegType"_s, u"pp"_s},
                                                            {u"WoodyTonsPerAcre"_s, 0.4},
                                                            {u"FireBehaveFM"_s, u"GR1"_s}},
                                                           1.0, 2.0));
    }
    const auto result =
        tarnwick::test::runCli(installation, {u"choices"_s, u"--app-dir"_s, installation.appDir()});
    ASSERT_EQ(result.exitCode, 0) << result.errors.toStdString();
    const QJsonObject choices = QJsonDocument::fromJson(result.output).object();

    const QJsonArray books = choices[u"books"_s].toArray();
    ASSERT_EQ(books.size(), 2);
    EXPECT_EQ(books[0].toObject()[u"text"_s].toString(), u"All Books"_s);
    EXPECT_EQ(books[1].toObject()[u"text"_s].toString(), u"RM-3, Photo series RM-3"_s);
    EXPECT_EQ(books[1].toObject()[u"id"_s].toInt(), 1);
    const QJsonObject ranges = choices[u"ranges"_s].toObject();
    EXPECT_EQ(texts(ranges[u"total"_s]),
              QStringList({u"0"_s, u" 0"_s, u" 2"_s, u" 4"_s, u" 6"_s, u" 8"_s})); // floor(9.5)
    EXPECT_EQ(texts(ranges[u"shrub"_s]), QStringList({u"0"_s, u" 0"_s, u" 2"_s}));
    EXPECT_EQ(texts(ranges[u"herb"_s]), QStringList{u"0"_s}); // no herb value at all
    EXPECT_EQ(texts(choices[u"veg"_s]), QStringList{u"PP-Ponderosa pine"_s});
    EXPECT_EQ(texts(choices[u"fire2005"_s]), QStringList{u"GR1- "_s});
    EXPECT_EQ(texts(choices[u"fire1982"_s]), QStringList{QString()}); // the Null group
    EXPECT_TRUE(texts(choices[u"danger"_s]).isEmpty());
    const QStringList messages = texts(choices[u"messages"_s]);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(u"herb"_s));
}
