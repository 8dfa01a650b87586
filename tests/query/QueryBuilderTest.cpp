#include "query/QueryBuilder.h"
#include "app/AppState.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QCursor>
#include <QGuiApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <set>

using namespace tarnwick;
using namespace Qt::StringLiterals;
using tarnwick::test::TestCatalogue;
using tarnwick::test::TestInstallation;

namespace {

QueryCriteria ofKind(QueryKind kind) {
    QueryCriteria c;
    c.kind = kind;
    return c;
}

QString statementOf(const QueryCriteria& c) {
    const std::optional<QString> statement = composeQueryStatement(c);
    EXPECT_TRUE(statement.has_value());
    return statement.value_or(QString());
}

} // namespace

// The statements as the worked examples give them, character for character. Rows carry their
// descriptions (or the "- " of a code missing from its list): only the code may reach the text.
TEST(QueryStatement, WorkedExamplesToTheCharacter) {
    EXPECT_EQ(statementOf(ofKind(QueryKind::AllPhotos)),
              QStringLiteral("SELECT * FROM qryactive;"));

    QueryCriteria books = ofKind(QueryKind::Books);
    books.bookRow = QStringLiteral("B-7, Second volume");
    EXPECT_EQ(statementOf(books),
              QStringLiteral("SELECT * FROM qryactive where BookLabel = \"B-7\""));

    QueryCriteria total = ofKind(QueryKind::TotalLoading);
    total.totalLow = QStringLiteral("0");
    total.totalHigh = QStringLiteral(" 40");
    EXPECT_EQ(
        statementOf(total),
        QStringLiteral("SELECT * From qryactive WHERE ((([TotalFL])>= 0 And ([TotalFL])<=  40));"));

    total.totalLow = QStringLiteral(" 2");
    total.totalHigh = QStringLiteral(" 10");
    total.vegTypes = {QStringLiteral("AB1-Dry grass"), QStringLiteral("CD2- ")};
    total.activities = {QStringLiteral("X-Thinned")};
    EXPECT_EQ(statementOf(total),
              QStringLiteral("SELECT * From qryactive WHERE ([TotalFL]>=  2 And [TotalFL]<=  10) "
                             "And Vegtype in ('AB1','CD2') and  Activity in ('X');"));

    QueryCriteria size = ofKind(QueryKind::SizeClassLoading);
    size.fineLow = QStringLiteral("0");
    size.fineHigh = QStringLiteral(" 6");
    size.coarseLow = QStringLiteral(" 2");
    size.coarseHigh = QStringLiteral(" 20");
    size.activities = {QStringLiteral("X-Thinned")};
    size.vegTypes.clear();
    EXPECT_EQ(
        statementOf(size),
        QStringLiteral(
            "SELECT * From qryactive WHERE "
            "((([TonsPerAcreBreak1]+[TonsPerAcreBreak2]+[TonsPerAcreBreak3])>= 0 And "
            "([TonsPerAcreBreak1]+[TonsPerAcreBreak2]+[TonsPerAcreBreak3])<=  6)) AND "
            "(([TonsPerAcreBreak4]+[TonsPerAcreBreak5]+[TonsPerAcreBreak6]+[TonsPerAcreBreak7])>=  "
            "2 And "
            "([TonsPerAcreBreak4]+[TonsPerAcreBreak5]+[TonsPerAcreBreak6]+[TonsPerAcreBreak7])<=  "
            "20 and  (Activity in ('X')));"));

    QueryCriteria live = ofKind(QueryKind::LiveLoading);
    live.herbLow = QStringLiteral("0");
    live.herbHigh = QStringLiteral(" 2");
    live.shrubLow = QStringLiteral("0");
    live.shrubHigh = QStringLiteral(" 4");
    live.vegTypes = {QStringLiteral("AB1-Dry grass")};
    EXPECT_EQ(statementOf(live),
              QStringLiteral("SELECT * From qryactive WHERE ((([herbtonsperacre])>= 0 And "
                             "([herbtonsperacre])<=  2)) AND (([Woodytonsperacre])>= 0 And "
                             "([woodytonsperacre])<=  4 and (Vegtype in ('AB1')));"));

    QueryCriteria models = ofKind(QueryKind::FuelModels);
    models.dangerModels = {QStringLiteral("AB1-Grass"), QStringLiteral(" CD2-Brush")};
    models.fireModels = {QStringLiteral("X-Timber")};
    EXPECT_EQ(statementOf(models),
              QStringLiteral("SELECT * From qryactive where (DangerRatingFM in('AB1','CD2')) and  "
                             "(FireBehaveFM in ('X'));"));

    models.dangerModels.clear();
    models.use2005Models = false;
    EXPECT_EQ(statementOf(models),
              QStringLiteral("SELECT * From qryactive where  (FireBehaveFM2 in ('X'));"));
}

// The rows of the statement table not covered by the worked examples.
TEST(QueryStatement, RemainingRowsOfTheStatementTable) {
    QueryCriteria books = ofKind(QueryKind::Books);
    books.bookRow = QStringLiteral("All Books");
    EXPECT_EQ(statementOf(books), QStringLiteral("SELECT * FROM qryactive"));

    QueryCriteria total = ofKind(QueryKind::TotalLoading);
    total.totalLow = QStringLiteral("0");
    total.totalHigh = QStringLiteral(" 8");
    total.activities = {QStringLiteral("X-Thinned"), QStringLiteral("Y-Burned")};
    EXPECT_EQ(statementOf(total),
              QStringLiteral("SELECT * From qryactive WHERE ([TotalFL]>= 0 And [TotalFL]<=  8) "
                             "And  Activity in ('X','Y');"));

    QueryCriteria size = ofKind(QueryKind::SizeClassLoading);
    size.fineLow = QStringLiteral("0");
    size.fineHigh = QStringLiteral(" 6");
    size.coarseLow = QStringLiteral(" 2");
    size.coarseHigh = QStringLiteral(" 20");
    EXPECT_EQ(
        statementOf(size),
        QStringLiteral(
            "SELECT * From qryactive WHERE "
            "((([TonsPerAcreBreak1]+[TonsPerAcreBreak2]+[TonsPerAcreBreak3])>= 0 And "
            "([TonsPerAcreBreak1]+[TonsPerAcreBreak2]+[TonsPerAcreBreak3])<=  6)) AND "
            "(([TonsPerAcreBreak4]+[TonsPerAcreBreak5]+[TonsPerAcreBreak6]+[TonsPerAcreBreak7])>=  "
            "2 And "
            "([TonsPerAcreBreak4]+[TonsPerAcreBreak5]+[TonsPerAcreBreak6]+[TonsPerAcreBreak7])<=  "
            "20);"));
    size.vegTypes = {QStringLiteral("AB1-Dry grass")};
    size.activities = {QStringLiteral("X-Thinned")};
    EXPECT_TRUE(statementOf(size).endsWith(
        QStringLiteral("<=  20 and (Vegtype in ('AB1')) and  (Activity in ('X')));")));

    QueryCriteria live = ofKind(QueryKind::LiveLoading);
    live.herbLow = QStringLiteral("0");
    live.herbHigh = QStringLiteral(" 2");
    live.shrubLow = QStringLiteral("0");
    live.shrubHigh = QStringLiteral(" 4");
    EXPECT_EQ(statementOf(live),
              QStringLiteral("SELECT * From qryactive WHERE ((([herbtonsperacre])>= 0 And "
                             "([herbtonsperacre])<=  2)) AND (([Woodytonsperacre])>= 0 And "
                             "([woodytonsperacre])<=  4);"));

    QueryCriteria models = ofKind(QueryKind::FuelModels);
    EXPECT_EQ(statementOf(models), QStringLiteral("SELECT * From qryactive"));
    models.dangerModels = {QStringLiteral("AB1-Grass")};
    EXPECT_EQ(statementOf(models),
              QStringLiteral("SELECT * From qryactive where (DangerRatingFM in('AB1'));"));

    // Other pages' bounds and lists take no part.
    QueryCriteria all = ofKind(QueryKind::AllPhotos);
    all.totalLow = QStringLiteral("nonsense");
    all.vegTypes = {QStringLiteral("AB1-Dry grass")};
    EXPECT_EQ(statementOf(all), QStringLiteral("SELECT * FROM qryactive;"));
}

TEST(QueryStatement, OnlyPlainNumbersAreUsedAsBounds) {
    for (const char* number : {"0", " 40", "12", "1.5", ".5", "7.", "-1", "+2", "  3  "})
        EXPECT_TRUE(isPlainDecimalNumber(QString::fromLatin1(number))) << number;
    for (const char* text : {"", " ", "1e3", "1.2.3", "--1", "0x10", "1,5", "5 or 1=1", "\xd9\xa3",
                             "1; DROP TABLE Photos", "."})
        EXPECT_FALSE(isPlainDecimalNumber(QString::fromUtf8(text))) << text;

    QueryCriteria herb = ofKind(QueryKind::LiveLoading);
    herb.herbLow = QStringLiteral("0");
    herb.herbHigh = QStringLiteral("2) OR (1=1");
    herb.shrubLow = QStringLiteral("0");
    herb.shrubHigh = QStringLiteral(" 4");
    EXPECT_FALSE(composeQueryStatement(herb).has_value());
    herb.herbHigh = QStringLiteral(" 2");
    herb.shrubLow = QString();
    EXPECT_FALSE(composeQueryStatement(herb).has_value());

    QueryCriteria size = ofKind(QueryKind::SizeClassLoading);
    size.fineLow = size.fineHigh = size.coarseLow = QStringLiteral("1");
    size.coarseHigh = QStringLiteral("abc");
    EXPECT_FALSE(composeQueryStatement(size).has_value());
}

TEST(QueryStatement, QuotesInCodesAndLabelsStayInsideTheirLiterals) {
    QueryCriteria models = ofKind(QueryKind::FuelModels);
    models.dangerModels = {QStringLiteral("O'K- ")};
    models.fireModels = {QStringLiteral("A''B-x")};
    EXPECT_EQ(statementOf(models),
              QStringLiteral("SELECT * From qryactive where (DangerRatingFM in('O''K')) and  "
                             "(FireBehaveFM in ('A''''B'));"));

    QueryCriteria books = ofKind(QueryKind::Books);
    books.bookRow = QStringLiteral("The \"Big\" Book, Description, with commas");
    EXPECT_EQ(statementOf(books),
              QStringLiteral("SELECT * FROM qryactive where BookLabel = \"The \"\"Big\"\" Book\""));
}

namespace {

class BuildAndRunQueryTest : public ::testing::Test {
protected:
    void SetUp() override {
        {
            TestCatalogue catalogue(installation.cataloguePath());
            catalogue.addBook(QStringLiteral("B1"));
            catalogue.addBook(QStringLiteral("Say \"Hi\""));
            const auto photo = [&](qint64 id, const QString& book, double total, double herb,
                                   const QString& veg, const QString& act) {
                catalogue.addPhoto(id, book, QStringLiteral("P%1").arg(id),
                                   {{QStringLiteral("TotalFL"), total},
                                    {QStringLiteral("TonsPerAcreBreak1"), total / 2},
                                    {QStringLiteral("TonsPerAcreBreak2"), 0.0},
                                    {QStringLiteral("TonsPerAcreBreak3"), 0.0},
                                    {QStringLiteral("TonsPerAcreBreak4"), total / 2},
                                    {QStringLiteral("TonsPerAcreBreak5"), 0.0},
                                    {QStringLiteral("TonsPerAcreBreak6"), 0.0},
                                    {QStringLiteral("TonsPerAcreBreak7"), 0.0},
                                    {QStringLiteral("HerbTonsPerAcre"), herb},
                                    {QStringLiteral("WoodyTonsPerAcre"), 1.0},
                                    {QStringLiteral("VegType"), veg},
                                    {QStringLiteral("Activity"), act},
                                    {QStringLiteral("DangerRatingFM"), QStringLiteral("T")},
                                    {QStringLiteral("FireBehaveFM"), QStringLiteral("GR1")},
                                    {QStringLiteral("FireBehaveFM2"), QStringLiteral("O'1")}});
            };
            photo(1, QStringLiteral("B1"), 2.0, 0.5, QStringLiteral("PP"), QStringLiteral("NAT"));
            photo(2, QStringLiteral("B1"), 10.0, 1.5, QStringLiteral("pp"), QStringLiteral("CC"));
            photo(3, QStringLiteral("B1"), 10.5, 3.0, QStringLiteral("O'K"), QStringLiteral("CC"));
            photo(4, QStringLiteral("Say \"Hi\""), 40.0, 0.0, QStringLiteral("DF"),
                  QStringLiteral("NAT"));
        }
        state.database = PhotoDatabase::open(installation.cataloguePath());
        state.activePhotoSet = state.database->run(QStringLiteral("SELECT * FROM qryactive;"));
    }

    std::set<qint64> found(const QueryCriteria& c) {
        int refills = 0;
        EXPECT_TRUE(buildAndRunQuery(state, c, [&] { ++refills; }));
        EXPECT_EQ(refills, 1);
        std::set<qint64> ids;
        for (int row = 0; row < state.activePhotoSet.recordCount(); ++row)
            ids.insert(state.activePhotoSet.value(row, u"ID").toLongLong());
        return ids;
    }

    TestInstallation installation;
    AppState state{installation.paths()};
};

} // namespace

// The composed statements, through the dialect adapter, find what the criteria say: inclusive
// bounds, codes without regard to case, quotes in stored text matched literally.
TEST_F(BuildAndRunQueryTest, StatementsFindThePhotosTheCriteriaDescribe) {
    QueryCriteria total = ofKind(QueryKind::TotalLoading);
    total.totalLow = QStringLiteral(" 2");
    total.totalHigh = QStringLiteral(" 10");
    EXPECT_EQ(found(total), (std::set<qint64>{1, 2}));
    total.vegTypes = {QStringLiteral("PP-Ponderosa pine")};
    total.activities = {QStringLiteral("CC-Clearcut")};
    EXPECT_EQ(found(total), (std::set<qint64>{2}));
    total.totalLow = QStringLiteral(" 12");
    EXPECT_EQ(found(total), (std::set<qint64>{})); // low above high finds nothing

    QueryCriteria size = ofKind(QueryKind::SizeClassLoading);
    size.fineLow = QStringLiteral("0");
    size.fineHigh = QStringLiteral(" 6");
    size.coarseLow = QStringLiteral("0");
    size.coarseHigh = QStringLiteral(" 6");
    size.vegTypes = {QStringLiteral("O'K- "), QStringLiteral("DF-Douglas-fir")};
    EXPECT_EQ(found(size), (std::set<qint64>{3}));

    QueryCriteria live = ofKind(QueryKind::LiveLoading);
    live.herbLow = QStringLiteral(".5");
    live.herbHigh = QStringLiteral(" 2");
    live.shrubLow = QStringLiteral("0");
    live.shrubHigh = QStringLiteral(" 2");
    EXPECT_EQ(found(live), (std::set<qint64>{1, 2}));

    QueryCriteria books = ofKind(QueryKind::Books);
    books.bookRow = QStringLiteral("Say \"Hi\", Photo series Say \"Hi\"");
    EXPECT_EQ(found(books), (std::set<qint64>{4}));
    books.bookRow = QStringLiteral("All Books");
    EXPECT_EQ(found(books), (std::set<qint64>{1, 2, 3, 4}));

    QueryCriteria models = ofKind(QueryKind::FuelModels);
    models.fireModels = {QStringLiteral("o'1- ")};
    models.use2005Models = false;
    EXPECT_EQ(found(models), (std::set<qint64>{1, 2, 3, 4}));
    models.use2005Models = true;
    EXPECT_EQ(found(models), (std::set<qint64>{}));
}

TEST_F(BuildAndRunQueryTest, ReportsTheSearchOnTheStatusLineWithTheWaitCursor) {
    QueryCriteria total = ofKind(QueryKind::TotalLoading);
    total.totalLow = QStringLiteral("0");
    total.totalHigh = QStringLiteral(" 4");
    bool waitCursorDuringRefill = false;
    QString messageDuringRefill;
    ASSERT_TRUE(buildAndRunQuery(state, total, [&] {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        waitCursorDuringRefill = cursor && cursor->shape() == Qt::WaitCursor;
        messageDuringRefill = state.statusLine.panelText(StatusLine::Message);
        EXPECT_EQ(state.activePhotoSet.recordCount(), 1); // the new set is in place
    }));
    EXPECT_TRUE(waitCursorDuringRefill);
    EXPECT_EQ(messageDuringRefill, QStringLiteral("Searching..."));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(state.statusLine.panelText(StatusLine::Message), QStringLiteral(" "));
    EXPECT_EQ(state.statusLine.icon(), StatusIcon::InfoOK);
}

TEST_F(BuildAndRunQueryTest, ARejectedSearchKeepsThePreviousSetAndList) {
    int beeps = 0;
    AppState beeping(installation.paths(), [&] { ++beeps; });
    beeping.database = std::move(state.database);
    beeping.activePhotoSet = std::move(state.activePhotoSet);
    int refills = 0;
    const auto refill = [&] { ++refills; };

    // A bound that is not a number runs nothing.
    QueryCriteria herb = ofKind(QueryKind::LiveLoading);
    herb.herbLow = QStringLiteral("0");
    herb.herbHigh = QStringLiteral("lots");
    herb.shrubLow = QStringLiteral("0");
    herb.shrubHigh = QStringLiteral(" 4");
    EXPECT_FALSE(buildAndRunQuery(beeping, herb, refill));
    EXPECT_EQ(beeping.statusLine.panelText(StatusLine::Message),
              QStringLiteral("ERROR - Range values must be numbers"));
    EXPECT_EQ(beeping.activePhotoSet.recordCount(), 4);

    // A statement the catalogue rejects (here: a column gone from under the program).
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), u"alter"_s);
        other.setDatabaseName(installation.cataloguePath());
        ASSERT_TRUE(other.open());
        ASSERT_TRUE(QSqlQuery(other).exec(u"ALTER TABLE Photos RENAME COLUMN TotalFL TO Gone"_s));
        other.close();
    }
    QSqlDatabase::removeDatabase(u"alter"_s);
    QueryCriteria total = ofKind(QueryKind::TotalLoading);
    total.totalLow = QStringLiteral("0");
    total.totalHigh = QStringLiteral(" 4");
    EXPECT_FALSE(buildAndRunQuery(beeping, total, refill));
    EXPECT_TRUE(beeping.statusLine.panelText(StatusLine::Message).startsWith(u"ERROR - "));
    EXPECT_EQ(beeping.statusLine.icon(), StatusIcon::Error);
    EXPECT_EQ(beeping.activePhotoSet.recordCount(), 4);
    EXPECT_EQ(beeping.activePhotoSet.statement(), QStringLiteral("SELECT * FROM qryactive;"));
    EXPECT_EQ(refills, 0);
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
