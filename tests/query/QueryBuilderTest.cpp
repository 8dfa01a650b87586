#include "query/QueryBuilder.h"
#include "app/AppState.h"
#include "app/commands/QueryCommands.h"
#include "catalogue/CatalogueStatements.h"
#include "query/QueryTestSupport.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QCursor>
#include <QGuiApplication>
#include <set>

using namespace tarnwick;
using namespace tarnwick::commands;
using namespace Qt::StringLiterals;
using tarnwick::test::TestCatalogue;
using tarnwick::test::TestInstallation;

namespace {

// Criteria of a kind; bounds go to the kind's own pair(s) in page order.
QueryCriteria criteria(QueryKind kind, const QStringList& bounds = {}, const QStringList& veg = {},
                       const QStringList& act = {}) {
    QueryCriteria c;
    c.kind = kind;
    c.vegTypes = veg;
    c.activities = act;
    std::vector<QString*> fields;
    if (kind == QueryKind::TotalLoading)
        fields = {&c.totalLow, &c.totalHigh};
    if (kind == QueryKind::SizeClassLoading)
        fields = {&c.fineLow, &c.fineHigh, &c.coarseLow, &c.coarseHigh};
    if (kind == QueryKind::LiveLoading)
        fields = {&c.herbLow, &c.herbHigh, &c.shrubLow, &c.shrubHigh};
    for (size_t i = 0; i < fields.size() && i < size_t(bounds.size()); ++i)
        *fields[i] = bounds[qsizetype(i)];
    return c;
}

QString statementOf(const QueryCriteria& c) {
    return composeQueryStatement(c).value_or(u"(rejected)"_s);
}

const QString fine = u"([TonsPerAcreBreak1]+[TonsPerAcreBreak2]+[TonsPerAcreBreak3])"_s;
const QString coarse =
    u"([TonsPerAcreBreak4]+[TonsPerAcreBreak5]+[TonsPerAcreBreak6]+[TonsPerAcreBreak7])"_s;

} // namespace

// The worked examples, character for character, and the rows of the statement table they leave
// out. Rows carry their descriptions (or the "- " of a code missing from its list): only the code
// reaches the statement.
TEST(QueryStatement, EveryRowOfTheStatementTable) {
    EXPECT_EQ(statementOf(criteria(QueryKind::AllPhotos)), u"SELECT * FROM qryactive;"_s);
    QueryCriteria books = criteria(QueryKind::Books);
    books.bookRow = u"B-7, Second volume"_s;
    EXPECT_EQ(statementOf(books), u"SELECT * FROM qryactive where BookLabel = \"B-7\""_s);
    books.bookRow = u"All Books"_s;
    EXPECT_EQ(statementOf(books), u"SELECT * FROM qryactive"_s);

    EXPECT_EQ(statementOf(criteria(QueryKind::TotalLoading, {u"0"_s, u" 40"_s})),
              u"SELECT * From qryactive WHERE ((([TotalFL])>= 0 And ([TotalFL])<=  40));"_s);
    EXPECT_EQ(statementOf(criteria(QueryKind::TotalLoading, {u" 2"_s, u" 10"_s},
                                   {u"AB1-Dry grass"_s, u"CD2- "_s}, {u"X-Thinned"_s})),
              u"SELECT * From qryactive WHERE ([TotalFL]>=  2 And [TotalFL]<=  10) And Vegtype "
              u"in ('AB1','CD2') and  Activity in ('X');"_s);
    EXPECT_EQ(
        statementOf(criteria(QueryKind::TotalLoading, {u"0"_s, u" 8"_s}, {}, {u"X-a"_s, u"Y-b"_s})),
        u"SELECT * From qryactive WHERE ([TotalFL]>= 0 And [TotalFL]<=  8) And  Activity "
        u"in ('X','Y');"_s);

    const QStringList sizeBounds{u"0"_s, u" 6"_s, u" 2"_s, u" 20"_s};
    const QString sizeStart = u"SELECT * From qryactive WHERE (("_s + fine + u">= 0 And "_s + fine +
                              u"<=  6)) AND ("_s + coarse + u">=  2 And "_s + coarse + u"<=  20"_s;
    EXPECT_EQ(statementOf(criteria(QueryKind::SizeClassLoading, sizeBounds, {}, {u"X-a"_s})),
              sizeStart + u" and  (Activity in ('X')));"_s);
    EXPECT_EQ(statementOf(criteria(QueryKind::SizeClassLoading, sizeBounds)), sizeStart + u");"_s);
    EXPECT_EQ(
        statementOf(criteria(QueryKind::SizeClassLoading, sizeBounds, {u"AB1-x"_s}, {u"X-a"_s})),
        sizeStart + u" and (Vegtype in ('AB1')) and  (Activity in ('X')));"_s);

    const QStringList liveBounds{u"0"_s, u" 2"_s, u"0"_s, u" 4"_s};
    const QString liveStart =
        u"SELECT * From qryactive WHERE ((([herbtonsperacre])>= 0 And ([herbtonsperacre])<=  2)) "
        u"AND (([Woodytonsperacre])>= 0 And ([woodytonsperacre])<=  4"_s;
    EXPECT_EQ(statementOf(criteria(QueryKind::LiveLoading, liveBounds, {u"AB1-Dry grass"_s})),
              liveStart + u" and (Vegtype in ('AB1')));"_s);
    EXPECT_EQ(statementOf(criteria(QueryKind::LiveLoading, liveBounds)), liveStart + u");"_s);

    QueryCriteria models = criteria(QueryKind::FuelModels);
    EXPECT_EQ(statementOf(models), u"SELECT * From qryactive"_s);
    models.dangerModels = {u"AB1-Grass"_s, u" CD2-Brush"_s};
    models.fireModels = {u"X-Timber"_s};
    EXPECT_EQ(statementOf(models), u"SELECT * From qryactive where (DangerRatingFM "
                                   u"in('AB1','CD2')) and  (FireBehaveFM in ('X'));"_s);
    models.dangerModels.clear();
    models.use2005Models = false;
    EXPECT_EQ(statementOf(models), u"SELECT * From qryactive where  (FireBehaveFM2 in ('X'));"_s);
    models.fireModels.clear();
    models.dangerModels = {u"AB1-Grass"_s};
    EXPECT_EQ(statementOf(models), u"SELECT * From qryactive where (DangerRatingFM in('AB1'));"_s);

    // Other pages' bounds and lists take no part.
    QueryCriteria all = criteria(QueryKind::AllPhotos, {}, {u"AB1-x"_s});
    all.totalLow = u"nonsense"_s;
    EXPECT_EQ(statementOf(all), u"SELECT * FROM qryactive;"_s);
}

TEST(QueryStatement, OnlyNumbersAreBoundsAndQuotesStayInsideLiterals) {
    for (const char* number : {"0", " 40", "12", "1.5", ".5", "7.", "-1", "+2", "  3  "})
        EXPECT_TRUE(isPlainDecimalNumber(QString::fromLatin1(number))) << number;
    for (const char* text : {"", " ", "1e3", "1.2.3", "--1", "0x10", "1,5", "5 or 1=1", "\xd9\xa3",
                             "1; DROP TABLE Photos", "."})
        EXPECT_FALSE(isPlainDecimalNumber(QString::fromUtf8(text))) << text;
    EXPECT_EQ(
        statementOf(criteria(QueryKind::LiveLoading, {u"0"_s, u"2) OR (1=1"_s, u"0"_s, u"4"_s})),
        u"(rejected)"_s);
    EXPECT_EQ(statementOf(criteria(QueryKind::SizeClassLoading, {u"1"_s, u"1"_s, u"1"_s})),
              u"(rejected)"_s);

    QueryCriteria models = criteria(QueryKind::FuelModels);
    models.dangerModels = {u"O'K- "_s};
    models.fireModels = {u"A''B-x"_s};
    EXPECT_EQ(statementOf(models), u"SELECT * From qryactive where (DangerRatingFM "
                                   u"in('O''K')) and  (FireBehaveFM in ('A''''B'));"_s);
    QueryCriteria books = criteria(QueryKind::Books);
    books.bookRow = u"The \"Big\" Book, Description, with commas"_s;
    EXPECT_EQ(statementOf(books),
              u"SELECT * FROM qryactive where BookLabel = \"The \"\"Big\"\" Book\""_s);
}

namespace {

class BuildAndRunQueryTest : public ::testing::TestWithParam<CatalogueEngine> {
protected:
    void SetUp() override {
        TARNWICK_SKIP_WITHOUT_ENGINE(installation);
        {
            TestCatalogue catalogue(installation.cataloguePath());
            catalogue.addBook(u"B1"_s);
            catalogue.addBook(u"Say \"Hi\""_s);
            const auto photo = [&](qint64 id, const QString& book, double total, double herb,
                                   const QString& veg, const QString& act) {
                catalogue.addPhoto(id, book, u"P%1"_s.arg(id),
                                   test::withSizeClasses({{u"TotalFL"_s, total},
                                                          {u"HerbTonsPerAcre"_s, herb},
                                                          {u"WoodyTonsPerAcre"_s, 1.0},
                                                          {u"VegType"_s, veg},
                                                          {u"Activity"_s, act},
                                                          {u"FireBehaveFM"_s, u"GR1"_s},
                                                          {u"FireBehaveFM2"_s, u"O'1"_s}},
                                                         total / 2, total / 2));
            };
            photo(1, u"B1"_s, 2.0, 0.5, u"PP"_s, u"NAT"_s);
            photo(2, u"B1"_s, 10.0, 1.5, u"pp"_s, u"CC"_s);
            photo(3, u"B1"_s, 10.5, 3.0, u"O'K"_s, u"CC"_s);
            photo(4, u"Say \"Hi\""_s, 40.0, 0.0, u"DF"_s, u"NAT"_s);
        }
        state.database = installation.openCatalogue();
        state.activePhotoSet = state.database->run(u"SELECT * FROM qryactive;"_s);
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

    TestInstallation installation{GetParam()};
    int beeps = 0;
    AppState state{installation.paths(), [this] { ++beeps; }};
};

TARNWICK_ON_BOTH_ENGINES(BuildAndRunQueryTest);

} // namespace

// Through the dialect adapter the statements find what the criteria say: inclusive bounds,
// codes without regard to case, quotes in stored text matched literally.
TEST_P(BuildAndRunQueryTest, StatementsFindThePhotosTheCriteriaDescribe) {
    EXPECT_EQ(found(criteria(QueryKind::TotalLoading, {u" 2"_s, u" 10"_s})),
              (std::set<qint64>{1, 2}));
    EXPECT_EQ(found(criteria(QueryKind::TotalLoading, {u" 2"_s, u" 10"_s}, {u"PP-Pine"_s},
                             {u"CC-Clearcut"_s})),
              (std::set<qint64>{2}));
    EXPECT_EQ(found(criteria(QueryKind::TotalLoading, {u" 12"_s, u" 10"_s})), std::set<qint64>{});
    EXPECT_EQ(found(criteria(QueryKind::SizeClassLoading, {u"0"_s, u" 6"_s, u"0"_s, u" 6"_s},
                             {u"O'K- "_s, u"DF-Douglas-fir"_s})),
              (std::set<qint64>{3}));
    EXPECT_EQ(found(criteria(QueryKind::LiveLoading, {u".5"_s, u" 2"_s, u"0"_s, u" 2"_s})),
              (std::set<qint64>{1, 2}));

    QueryCriteria books = criteria(QueryKind::Books);
    books.bookRow = u"Say \"Hi\", Photo series Say \"Hi\""_s;
    EXPECT_EQ(found(books), (std::set<qint64>{4}));

    QueryCriteria models = criteria(QueryKind::FuelModels);
    models.fireModels = {u"o'1- "_s};
    models.use2005Models = false;
    EXPECT_EQ(found(models), (std::set<qint64>{1, 2, 3, 4}));
    models.use2005Models = true;
    EXPECT_EQ(found(models), std::set<qint64>{});
}

TEST_P(BuildAndRunQueryTest, ReportsOnTheStatusLineAndKeepsThePreviousSetOnARejection) {
    bool waitCursor = false;
    QString message;
    ASSERT_TRUE(buildAndRunQuery(state, criteria(QueryKind::TotalLoading, {u"0"_s, u" 4"_s}), [&] {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        waitCursor = cursor && cursor->shape() == Qt::WaitCursor;
        message = state.statusLine.panelText(StatusLine::Message);
        EXPECT_EQ(state.activePhotoSet.recordCount(), 1);
    }));
    EXPECT_TRUE(waitCursor);
    EXPECT_EQ(message, u"Searching..."_s);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(state.statusLine.panelText(StatusLine::Message), u" "_s);
    EXPECT_EQ(state.statusLine.icon(), StatusIcon::InfoOK);

    int refills = 0;
    const auto refill = [&] { ++refills; };
    // A reversed range runs as composed, finds nothing, and the line says why; equal bounds are
    // in order.
    EXPECT_TRUE(buildAndRunQuery(
        state, criteria(QueryKind::LiveLoading, {u"0"_s, u" 4"_s, u" 20"_s, u" 10"_s}), refill));
    EXPECT_EQ(refills, 1);
    EXPECT_EQ(state.activePhotoSet.recordCount(), 0);
    EXPECT_EQ(state.statusLine.panelText(StatusLine::Message),
              u"No photo can match: the lower shrub loading bound (20) is above the upper one "
              "(10)"_s);
    EXPECT_EQ(state.statusLine.icon(), StatusIcon::InfoOK);
    EXPECT_TRUE(
        buildAndRunQuery(state, criteria(QueryKind::TotalLoading, {u" 10"_s, u" 10"_s}), refill));
    EXPECT_EQ(state.statusLine.panelText(StatusLine::Message), u" "_s);
    refills = 0;
    // A bound that is not a number runs nothing.
    EXPECT_FALSE(buildAndRunQuery(
        state, criteria(QueryKind::LiveLoading, {u"0"_s, u"lots"_s, u"0"_s, u" 4"_s}), refill));
    EXPECT_EQ(state.statusLine.panelText(StatusLine::Message),
              u"ERROR - Range values must be numbers"_s);
    // A statement the catalogue rejects: a column gone from under the program.
    ASSERT_TRUE(installation.execOnCatalogue(u"DROP VIEW qryactive"_s));
    ASSERT_TRUE(installation.execOnCatalogue(
        u"CREATE VIEW qryactive AS SELECT ID, BookLabel, PhotoLabel FROM Photos"_s));
    EXPECT_FALSE(
        buildAndRunQuery(state, criteria(QueryKind::TotalLoading, {u"0"_s, u" 9"_s}), refill));
    EXPECT_TRUE(state.statusLine.panelText(StatusLine::Message).startsWith(u"ERROR - "_s));
    EXPECT_EQ(state.statusLine.icon(), StatusIcon::Error);
    EXPECT_EQ(state.activePhotoSet.recordCount(), 1);
    EXPECT_EQ(refills, 0);
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

namespace {

// A catalogue for the worked examples: codes stored in either case, a Null group, a flag stored
// as the old engine's -1, an inactive book and an inactive photo that match everything.
class WorkedExamplesTest : public ::testing::TestWithParam<CatalogueEngine> {
protected:
    void SetUp() override {
        TARNWICK_SKIP_WITHOUT_ENGINE(installation);
        {
            TestCatalogue catalogue(installation.cataloguePath());
            catalogue.addBook(u"B-7"_s);
            catalogue.addBook(u"A1"_s);
            catalogue.addBook(u"Off"_s, false);
            catalogue.exec(u"UPDATE Books SET active = -1 WHERE BookLabel = 'B-7'"_s);
            struct Photo {
                qint64 id;
                const char* book;
                QVariant group;
                double total, fine, coarse, herb, shrub;
                const char *veg, *act;
                QVariant danger, fire2005, fire1982;
                int active;
            };
            const QVariant null;
            const Photo photos[] = {
                {1, "B-7", u"alpine"_s, 2, 1, 1, 1, 3, "ab1", "X", u"AB1"_s, u"x"_s, null, 1},
                {2, "B-7", u"Birch"_s, 10, 6, 20, 2, 4, "CD2", "x", u"cd2"_s, u"Y"_s, u"X"_s, 1},
                {3, "A1", u"alpine"_s, 10.5, 6.5, 2, 0, 0, "AB1", "Y", u"AB1"_s, u"X"_s, u"x"_s, 1},
                {4, "A1", null, 40, 0, 40, 2.5, 1, "EF3", "X", null, u"X"_s, null, 1},
                {5, "A1", u"cedar"_s, 41, 3, 19.9, 0.5, 4.5, "AB1", "X", u"CD2"_s, u"X"_s, u"X"_s,
                 1},
                {6, "Off", u"alpine"_s, 5, 1, 5, 1, 1, "AB1", "X", u"AB1"_s, u"X"_s, u"X"_s, 1},
                {7, "A1", u"alpine"_s, 5, 1, 5, 1, 1, "AB1", "X", u"AB1"_s, u"X"_s, u"X"_s, 0},
            };
            for (const Photo& p : photos)
                catalogue.addPhoto(
                    p.id, QString::fromLatin1(p.book), QString::number(p.id),
                    test::withSizeClasses({{u"GroupLabel"_s, p.group},
                                           {u"TotalFL"_s, p.total},
                                           {u"HerbTonsPerAcre"_s, p.herb},
                                           {u"WoodyTonsPerAcre"_s, p.shrub},
                                           {u"VegType"_s, QString::fromLatin1(p.veg)},
                                           {u"Activity"_s, QString::fromLatin1(p.act)},
                                           {u"DangerRatingFM"_s, p.danger},
                                           {u"FireBehaveFM"_s, p.fire2005},
                                           {u"FireBehaveFM2"_s, p.fire1982},
                                           {u"active"_s, p.active}},
                                          p.fine, p.coarse));
        }
        database = installation.openCatalogue();
    }

    // The IDs in the order the statement returns them.
    std::vector<qint64> ids(const QString& statement) {
        const RecordSet set = database->run(statement);
        std::vector<qint64> found;
        for (int row = 0; row < set.recordCount(); ++row)
            found.push_back(set.value(row, u"ID").toLongLong());
        return found;
    }
    std::set<qint64> idSet(const QString& statement) {
        const std::vector<qint64> found = ids(statement);
        return {found.begin(), found.end()};
    }
    // One column's values in the order returned, Null as "<null>", letters in upper case.
    QStringList column(const QString& statement, QStringView field) {
        const RecordSet set = database->run(statement);
        QStringList values;
        for (int row = 0; row < set.recordCount(); ++row)
            values << (set.isNull(row, field) ? u"<null>"_s : set.text(row, field).toUpper());
        return values;
    }

    TestInstallation installation{GetParam()};
    std::unique_ptr<PhotoDatabase> database;
};

TARNWICK_ON_BOTH_ENGINES(WorkedExamplesTest);

} // namespace

// The statements exactly as the program writes them find the same rows on either engine: codes
// and labels compared without case, inclusive bounds, Null first in sorts and groups.
TEST_P(WorkedExamplesTest, FindTheSameRowsOnEitherEngine) {
    using Ids = std::set<qint64>;
    EXPECT_EQ(idSet(u"SELECT * FROM qryactive;"_s), (Ids{1, 2, 3, 4, 5}));
    EXPECT_EQ(idSet(u"SELECT * FROM qryactive where BookLabel = \"B-7\""_s), (Ids{1, 2}));
    EXPECT_EQ(idSet(u"SELECT * From qryactive WHERE ((([TotalFL])>= 0 And ([TotalFL])<=  40));"_s),
              (Ids{1, 2, 3, 4}));
    EXPECT_EQ(idSet(u"SELECT * From qryactive WHERE ([TotalFL]>=  2 And [TotalFL]<=  10) And "
                    "Vegtype in ('AB1','CD2') and  Activity in ('X');"_s),
              (Ids{1, 2}));
    EXPECT_EQ(idSet(u"SELECT * From qryactive WHERE "
                    "((([TonsPerAcreBreak1]+[TonsPerAcreBreak2]+[TonsPerAcreBreak3])>= 0 And "
                    "([TonsPerAcreBreak1]+[TonsPerAcreBreak2]+[TonsPerAcreBreak3])<=  6)) AND "
                    "(([TonsPerAcreBreak4]+[TonsPerAcreBreak5]+[TonsPerAcreBreak6]+"
                    "[TonsPerAcreBreak7])>=  2 And ([TonsPerAcreBreak4]+[TonsPerAcreBreak5]+"
                    "[TonsPerAcreBreak6]+[TonsPerAcreBreak7])<=  20 and  (Activity in ('X')));"_s),
              (Ids{2, 5}));
    EXPECT_EQ(idSet(u"SELECT * From qryactive WHERE ((([herbtonsperacre])>= 0 And "
                    "([herbtonsperacre])<=  2)) AND (([Woodytonsperacre])>= 0 And "
                    "([woodytonsperacre])<=  4 and (Vegtype in ('AB1')));"_s),
              (Ids{1, 3}));
    EXPECT_EQ(idSet(u"SELECT * From qryactive where (DangerRatingFM in('AB1','CD2')) and  "
                    "(FireBehaveFM in ('X'));"_s),
              (Ids{1, 3, 5}));
    EXPECT_EQ(idSet(u"SELECT * From qryactive where  (FireBehaveFM2 in ('X'));"_s), (Ids{2, 3, 5}));

    // The fixed statements: the start-up order, the labels, the groups, the books, a maximum.
    EXPECT_EQ(ids(statements::activePhotosAtStartUp), (std::vector<qint64>{4, 1, 3, 2, 5}));
    EXPECT_EQ(idSet(statements::photoByLabel(u"b-7/1"_s)), (Ids{1}));
    EXPECT_EQ(column(u"SELECT VegType From qryactive GROUP BY Photos.VegType"_s, u"VegType"),
              (QStringList{u"AB1"_s, u"CD2"_s, u"EF3"_s}));
    EXPECT_EQ(column(u"SELECT DangerRatingFM From qryactive GROUP BY Photos.DangerRatingFM"_s,
                     u"DangerRatingFM"),
              (QStringList{u"<null>"_s, u"AB1"_s, u"CD2"_s}));
    EXPECT_EQ(
        column(u"SELECT * FROM Books where active = True order by BookLabel;"_s, u"BookLabel"),
        (QStringList{u"A1"_s, u"B-7"_s}));
    EXPECT_EQ(database->run(u"SELECT Max([totalFL]) AS Expr1 From qryactive"_s).number(0, u"expr1"),
              41.0);
}
