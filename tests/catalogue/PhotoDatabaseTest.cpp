#include "catalogue/PhotoDatabase.h"
#include "catalogue/CatalogueStatements.h"
#include "catalogue/DatabaseError.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>

using namespace tarnwick;
using tarnwick::test::TestCatalogue;
using tarnwick::test::TestInstallation;

namespace {

class PhotoDatabaseTest : public ::testing::Test {
protected:
    explicit PhotoDatabaseTest(CatalogueEngine engine = CatalogueEngine::Sqlite)
        : installation(engine) {}

    QString path() const { return installation.cataloguePath(); }

    DatabaseError::Kind openFailure() {
        try {
            PhotoDatabase::open(path());
        } catch (const DatabaseError& error) {
            EXPECT_TRUE(error.message().contains(path())) << error.message().toStdString();
            return error.kind();
        }
        ADD_FAILURE() << "the catalogue opened";
        return DatabaseError::Kind::Statement;
    }

    TestInstallation installation;
};

class PhotoDatabaseOnBothEngines : public PhotoDatabaseTest,
                                   public ::testing::WithParamInterface<CatalogueEngine> {
protected:
    PhotoDatabaseOnBothEngines() : PhotoDatabaseTest(GetParam()) {}
    void SetUp() override { TARNWICK_SKIP_WITHOUT_ENGINE(installation); }
};

TARNWICK_ON_BOTH_ENGINES(PhotoDatabaseOnBothEngines);

} // namespace

TEST_P(PhotoDatabaseOnBothEngines, RecordSetKeepsNullApartAndFindsFieldsWithoutCase) {
    {
        TestCatalogue catalogue(path());
        catalogue.addBook(QStringLiteral("B1"));
        catalogue.addBook(QStringLiteral("Off"), false);
        catalogue.addPhoto(1, QStringLiteral("B1"), QStringLiteral("1"),
                           {{QStringLiteral("GroupLabel"), QStringLiteral("lodgepole")},
                            {QStringLiteral("AverageDuffDepth"), 0.0},
                            {QStringLiteral("VegType"), QStringLiteral("pp")}});
        catalogue.addPhoto(2, QStringLiteral("B1"), QVariant(),
                           {{QStringLiteral("GroupLabel"), QStringLiteral("Douglas-fir")},
                            {QStringLiteral("AverageDuffDepth"), -1.0},
                            {QStringLiteral("VegType"), QStringLiteral("")}});
        catalogue.addPhoto(3, QStringLiteral("B1"), QStringLiteral("3"),
                           {{QStringLiteral("GroupLabel"), QStringLiteral("Mixed conifer")}});
        catalogue.addPhoto(4, QStringLiteral("Off"), QStringLiteral("4"));
        catalogue.addPhoto(5, QStringLiteral("B1"), QStringLiteral("5"),
                           {{QStringLiteral("active"), 0}});
    }
    auto db = installation.openCatalogue();
    RecordSet set = db->run(statements::activePhotosAtStartUp);

    // Inactive books and photos are left out; a Null label is still a row.
    ASSERT_EQ(set.recordCount(), 3);
    EXPECT_EQ(set.text(0, u"grouplabel"), QStringLiteral("Douglas-fir"));
    EXPECT_EQ(set.text(1, u"GROUPLABEL"), QStringLiteral("lodgepole"));
    EXPECT_EQ(set.text(2, u"GroupLabel"), QStringLiteral("Mixed conifer"));

    EXPECT_TRUE(set.isNull(0, u"photolabel"));
    EXPECT_FALSE(set.isNull(0, u"VegType"));
    EXPECT_EQ(set.text(0, u"VegType"), QString());
    EXPECT_EQ(set.number(0, u"AverageDuffDepth"), -1.0);
    EXPECT_EQ(set.number(1, u"averageduffdepth"), 0.0);
    EXPECT_FALSE(set.number(2, u"AverageDuffDepth").has_value());
    EXPECT_THROW(set.value(0, u"NoSuchField"), DatabaseError);

    // A stored code in lower case is found by its upper-case spelling.
    const RecordSet pp = db->run(QStringLiteral("SELECT * From qryactive where VegType = \"PP\""));
    ASSERT_EQ(pp.recordCount(), 1);
    EXPECT_EQ(pp.value(0, u"id").toInt(), 1);
    EXPECT_EQ(
        db->run(QStringLiteral("SELECT * From qryactive where (VegType in ('PP'))")).recordCount(),
        1);

    // Requery sees rows added since.
    ASSERT_TRUE(installation.execOnCatalogue(
        QStringLiteral("INSERT INTO Photos (ID, BookLabel, PhotoLabel) VALUES (9, 'B1', '9')")));
    db->requery(set);
    EXPECT_EQ(set.recordCount(), 4);
    EXPECT_EQ(set.statement(),
              QStringLiteral("SELECT * From qryactive ORDER by GroupLabel, PhotoLabel"));
}

TEST_P(PhotoDatabaseOnBothEngines, NormalisingBooksRewritesLimitsInOneTransaction) {
    {
        TestCatalogue catalogue(path());
        catalogue.addBook(QStringLiteral("A"), true, {0.3, 1.7, 3.2, 9.6, 19.9, 20.5});
        catalogue.addBook(QStringLiteral("B"), false, {0.25, 1.0, 3.0, QVariant(), 0.0, 0.0});
    }
    auto db = installation.openCatalogue();
    db->normaliseBookBreaks();
    const RecordSet books = db->run(QStringLiteral("SELECT * FROM Books ORDER BY BookLabel"));
    ASSERT_EQ(books.recordCount(), 2);
    EXPECT_EQ(books.number(0, u"BreakInches1"), 0.25);
    EXPECT_EQ(books.number(0, u"BreakInches2"), 1.0);
    EXPECT_EQ(books.number(0, u"BreakInches3"), 3.0);
    EXPECT_EQ(books.number(0, u"BreakInches4"), 9.0);
    EXPECT_EQ(books.number(0, u"BreakInches5"), 19.0);
    EXPECT_EQ(books.number(0, u"BreakInches6"), 20.5);
    EXPECT_TRUE(books.isNull(1, u"BreakInches4"));

    // Limits already normalised are not written again: the file keeps its bytes and the
    // server's rows their version.
    const auto written = [&] {
        if (installation.engine() == CatalogueEngine::Sqlite) {
            QFile file(path());
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }
        const RecordSet versions =
            db->run(QStringLiteral("SELECT xmin::text AS v FROM Books ORDER BY BookLabel"));
        return (versions.text(0, u"v") + u' ' + versions.text(1, u"v")).toUtf8();
    };
    const QByteArray normalised = written();
    db->normaliseBookBreaks();
    EXPECT_EQ(written(), normalised);

    // A failure on the second row leaves the first as it was.
    db.reset();
    ASSERT_TRUE(QFile::remove(path()));
    {
        TestCatalogue catalogue(path());
        catalogue.addBook(QStringLiteral("A"), true, {0.3, 1.5, 3.0, 9.6, 0.0, 0.0});
        catalogue.addBook(QStringLiteral("B"), true, {0.3, 1.5, 3.0, 9.6, 0.0, 0.0});
    }
    auto second = installation.openCatalogue();
    if (installation.engine() == CatalogueEngine::Sqlite) {
        ASSERT_TRUE(installation.execOnCatalogue(
            QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON Books WHEN NEW.BookLabel = 'B' "
                           "BEGIN SELECT RAISE(ABORT, 'refused'); END")));
    } else {
        ASSERT_TRUE(installation.execOnCatalogue(
            QStringLiteral("CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN "
                           "IF NEW.BookLabel = 'B' THEN RAISE EXCEPTION 'refused'; END IF; "
                           "RETURN NEW; END$$")));
        ASSERT_TRUE(installation.execOnCatalogue(
            QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON Books FOR EACH ROW EXECUTE "
                           "FUNCTION refuse()")));
    }
    EXPECT_THROW(second->normaliseBookBreaks(), DatabaseError);
    const RecordSet unchanged =
        second->run(QStringLiteral("SELECT * FROM Books ORDER BY BookLabel"));
    EXPECT_EQ(unchanged.number(0, u"BreakInches1"), 0.3);
    EXPECT_EQ(unchanged.number(0, u"BreakInches4"), 9.6);
}

TEST_F(PhotoDatabaseTest, OpeningRefusesWhatIsNotAUsableCatalogue) {
    EXPECT_EQ(openFailure(), DatabaseError::Kind::Missing);
    EXPECT_FALSE(QFileInfo::exists(path())) << "a missing catalogue must not be created";

    {
        QFile garbage(path());
        ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(4096, 'x'));
    }
    const QByteArray before = [&] {
        QFile f(path());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    EXPECT_EQ(openFailure(), DatabaseError::Kind::Corrupt);
    QFile after(path());
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before) << "a refused file must stay untouched";
    after.close();
    QFile::remove(path());

    {
        TestCatalogue catalogue(path());
        catalogue.exec(QStringLiteral("DROP VIEW qryactive"));
    }
    EXPECT_EQ(openFailure(), DatabaseError::Kind::NotACatalogue);
}

TEST_F(PhotoDatabaseTest, OpeningNamesTheTableAndColumnsACatalogueLacks) {
    // Each catalogue differs from a good one by one change; the message names the file, what is
    // missing in which table or stored query, and what to do.
    const auto failureAfter = [&](const QString& name, const QStringList& changes) {
        const QString file = path() + u'.' + name;
        {
            TestCatalogue catalogue(file);
            for (const QString& change : changes)
                catalogue.exec(change);
        }
        try {
            PhotoDatabase::open(file);
        } catch (const DatabaseError& error) {
            EXPECT_EQ(error.kind(), DatabaseError::Kind::NotACatalogue);
            EXPECT_TRUE(error.message().contains(file)) << error.message().toStdString();
            EXPECT_TRUE(error.message().contains(
                QStringLiteral("Restore the catalogue from a backup, or let Slidekeep repair it.")))
                << error.message().toStdString();
            return error.message();
        }
        ADD_FAILURE() << name.toStdString() << " opened";
        return QString();
    };
    EXPECT_TRUE(failureAfter(QStringLiteral("books"),
                             {QStringLiteral("ALTER TABLE Books DROP COLUMN BreakInches3")})
                    .contains(QStringLiteral("the table Books lacks the column BreakInches3.")));
    EXPECT_TRUE(
        failureAfter(QStringLiteral("photos"),
                     {QStringLiteral("ALTER TABLE Photos DROP COLUMN TotalFL"),
                      QStringLiteral("ALTER TABLE Photos DROP COLUMN DataPic")})
            .contains(QStringLiteral("the table Photos lacks the columns TotalFL, DataPic.")));
    EXPECT_TRUE(
        failureAfter(QStringLiteral("narrow"),
                     {QStringLiteral("DROP VIEW qryactive"),
                      QStringLiteral("CREATE VIEW qryactive AS SELECT ID, BookLabel, PhotoLabel, "
                                     "GroupLabel FROM Photos")})
            .contains(QStringLiteral("the stored query qryactive lacks the columns "
                                     "TonsPerAcreBreak1, TonsPerAcreBreak2")));
    EXPECT_TRUE(
        failureAfter(QStringLiteral("broken"),
                     {QStringLiteral("DROP VIEW qryactive"),
                      QStringLiteral("CREATE VIEW qryactive AS SELECT Photos.*, Photos.Gone "
                                     "FROM Photos")})
            .contains(QStringLiteral("the stored query qryactive cannot be read (no such "
                                     "column: Photos.Gone)")));
}

TEST_F(PhotoDatabaseTest, ALockedCatalogueIsReportedAndLeftUnchanged) {
    {
        TestCatalogue catalogue(path());
        catalogue.addBook(QStringLiteral("A"), true, {0.3, 1.5, 3.0, 9.6, 0.0, 0.0});
    }
    QSqlDatabase other =
        QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
    other.setDatabaseName(path());
    ASSERT_TRUE(other.open());
    QSqlQuery(other).exec(QStringLiteral("BEGIN EXCLUSIVE"));

    try {
        auto db = PhotoDatabase::open(path());
        db->normaliseBookBreaks();
        ADD_FAILURE() << "a locked catalogue was changed";
    } catch (const DatabaseError& error) {
        EXPECT_EQ(error.kind(), DatabaseError::Kind::Locked);
        EXPECT_TRUE(error.message().contains(path()));
    }
    QSqlQuery(other).exec(QStringLiteral("ROLLBACK"));
    other.close();
    other = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("holder"));

    auto db = PhotoDatabase::open(path());
    EXPECT_EQ(db->run(statements::allBooks).number(0, u"BreakInches1"), 0.3);
}

TEST(CatalogueStatements, ComposeTheProgramsOwnText) {
    EXPECT_EQ(statements::oneBook(QStringLiteral("PNW-1")),
              QStringLiteral("SELECT * FROM Books where BookLabel = \"PNW-1\""));
    EXPECT_EQ(statements::oneBook(QStringLiteral("A\"B")),
              QStringLiteral("SELECT * FROM Books where BookLabel = \"A\"\"B\""));
    EXPECT_EQ(statements::onePhotoById(42),
              QStringLiteral("Select * From qryactive where ID = 42"));
}
