#include "catalogue/JetDialect.h"

#include "support/QtPrinting.h"

#include <gtest/gtest.h>

using tarnwick::translateJetToSqlite;

namespace {

std::string sql(const char* jet) {
    return translateJetToSqlite(QString::fromUtf8(jet)).toStdString();
}

} // namespace

TEST(JetDialect, LiteralsBecomeSingleQuotedAndCompareWithoutCase) {
    EXPECT_EQ(sql(R"(SELECT * FROM Books where BookLabel = "PNW-1")"),
              "SELECT * FROM Books where BookLabel = 'PNW-1' COLLATE NOCASE");
    // Quotes inside literals survive in both directions.
    EXPECT_EQ(sql(R"(x = "say ""hi"" it's")"), "x = 'say \"hi\" it''s' COLLATE NOCASE");
    EXPECT_EQ(sql("x = 'it''s'"), "x = 'it''s' COLLATE NOCASE");
    // A label equal to a column name is still a literal, never the column.
    EXPECT_EQ(sql(R"(where BookLabel = "PhotoLabel")"),
              "where BookLabel = 'PhotoLabel' COLLATE NOCASE");
}

TEST(JetDialect, OperatorsAndBooleanWords) {
    // A flag stored as -1 by the old engine is true as well.
    EXPECT_EQ(sql("SELECT * FROM Books where active = True order by BookLabel;"),
              "SELECT * FROM Books where active <> 0 order by BookLabel COLLATE NOCASE;");
    EXPECT_EQ(sql("where a = false or b <> True or c <> False"), "where a = 0 or b = 0 or c <> 0");
    EXPECT_EQ(sql("UPDATE t SET a = True WHERE b = True"), "UPDATE t SET a = 1 WHERE b <> 0");
    EXPECT_EQ(sql("SELECT True"), "SELECT 1");
    EXPECT_EQ(sql(R"(SELECT BookLabel & "/" & PhotoLabel FROM x)"),
              "SELECT BookLabel || '/' COLLATE NOCASE || PhotoLabel FROM x");
    // Words inside quotes or brackets are not operators.
    EXPECT_EQ(sql(R"(x = "True & False")"), "x = 'True & False' COLLATE NOCASE");
    EXPECT_EQ(sql("SELECT [True] FROM t"), "SELECT [True] FROM t");
    EXPECT_EQ(sql("a <> 1 and b >= 2 and c <= 3"), "a <> 1 and b >= 2 and c <= 3");
}

TEST(JetDialect, PhotosQualifierIsDroppedOverTheActiveView) {
    EXPECT_EQ(sql("SELECT VegType From qryactive GROUP BY Photos.VegType"),
              "SELECT VegType From qryactive GROUP BY VegType COLLATE NOCASE");
    EXPECT_EQ(sql("SELECT FireBehaveFM2 From qryactive GROUP BY Photos.FireBehaveFM2"),
              "SELECT FireBehaveFM2 From qryactive GROUP BY FireBehaveFM2 COLLATE NOCASE");
    // Elsewhere the qualifier names a real table and stays.
    EXPECT_EQ(sql("SELECT Photos.ID FROM Photos"), "SELECT Photos.ID FROM Photos");
}

TEST(JetDialect, BracketedNamesAndNumbersStay) {
    const char* statement = "SELECT Max([TonsPerAcreBreak1] +[TonsPerAcreBreak2] "
                            "+[TonsPerAcreBreak3]) AS Expr1 From qryactive";
    EXPECT_EQ(sql(statement), statement);
    EXPECT_EQ(sql("SELECT * From qryactive WHERE ((([TotalFL])>= 0 And ([TotalFL])<=  40));"),
              "SELECT * From qryactive WHERE ((([TotalFL])>= 0 And ([TotalFL])<=  40));");
    EXPECT_EQ(sql("where x = 0.25"), "where x = 0.25");
}

TEST(JetDialect, InListsAndSortTermsIgnoreCase) {
    EXPECT_EQ(sql("SELECT * From qryactive where (DangerRatingFM in('AB1','CD2')) and  "
                  "(FireBehaveFM in ('X'));"),
              "SELECT * From qryactive where (DangerRatingFM COLLATE NOCASE in('AB1' COLLATE "
              "NOCASE,'CD2' COLLATE NOCASE)) and  (FireBehaveFM COLLATE NOCASE in ('X' COLLATE "
              "NOCASE));");
    EXPECT_EQ(sql("x not in ('a')"), "x COLLATE NOCASE not in ('a' COLLATE NOCASE)");
    EXPECT_EQ(sql("SELECT * From qryactive ORDER by GroupLabel, PhotoLabel"),
              "SELECT * From qryactive ORDER by GroupLabel COLLATE NOCASE, PhotoLabel COLLATE "
              "NOCASE");
    EXPECT_EQ(sql("SELECT * FROM t ORDER BY a DESC, b ASC"),
              "SELECT * FROM t ORDER BY a COLLATE NOCASE DESC, b COLLATE NOCASE ASC");
    // A sub-select's ORDER BY ends at its closing parenthesis.
    EXPECT_EQ(sql("SELECT * FROM (SELECT * FROM t ORDER BY a) WHERE b = 1"),
              "SELECT * FROM (SELECT * FROM t ORDER BY a COLLATE NOCASE) WHERE b = 1");
}

TEST(JetDialect, TokenizerKeepsEveryCharacter) {
    const QString statement =
        QStringLiteral(R"(SELECT  "a,b" , 'c''d' ,[e f]&g<>h -- "unterminated)");
    QString joined;
    for (const auto& token : tarnwick::tokenizeJet(statement))
        joined += token.text;
    EXPECT_EQ(joined, statement);
}

TEST(JetDialect, ALiteralLeftOpenStaysOpenSoTheEngineRefusesIt) {
    // Found by fuzzing: closing it would run a statement with another meaning.
    EXPECT_EQ(sql(R"(SELECT * From qryactive where BookLabel = "PNW-1" AND (VegType in ('PLabel)"),
              "SELECT * From qryactive where BookLabel = 'PNW-1' COLLATE NOCASE AND (VegType "
              "COLLATE NOCASE in ('PLabel");
    EXPECT_EQ(sql(R"(x = "it's)"), "x = 'it''s");
    EXPECT_EQ(sql(R"(x = "a"")"), "x = 'a\"");
}

// The same statements for a catalogue on a PostgreSQL server, whose text columns compare
// without case by themselves: only what PostgreSQL spells otherwise changes, and Null still sorts
// first, with the groups of a GROUP BY in order as the old engine returned them.
TEST(JetDialect, PostgreSqlTargetKeepsTheMeaning) {
    const auto pg = [](const char* jet) {
        return tarnwick::translateJetToPostgreSql(QString::fromUtf8(jet)).toStdString();
    };
    EXPECT_EQ(pg(R"(SELECT * FROM Books where BookLabel = "PNW-1")"),
              "SELECT * FROM Books where BookLabel = 'PNW-1'");
    EXPECT_EQ(pg(R"(x = "say ""hi"" it's")"), "x = 'say \"hi\" it''s'");
    EXPECT_EQ(pg(R"(SELECT * From qryactive where BookLabel & "/" & PhotoLabel = "B1/P1")"),
              "SELECT * From qryactive where BookLabel || '/' || PhotoLabel = 'B1/P1'");
    EXPECT_EQ(pg("SELECT * FROM Books where active = True order by BookLabel;"),
              "SELECT * FROM Books where active <> 0 order by BookLabel NULLS FIRST;");
    EXPECT_EQ(pg("UPDATE t SET a = True WHERE b = False"), "UPDATE t SET a = 1 WHERE b = 0");

    // Brackets go; a name PostgreSQL would not read plainly is quoted as the tables spell it.
    EXPECT_EQ(pg("SELECT Max([TonsPerAcreBreak1] +[TonsPerAcreBreak2] +[TonsPerAcreBreak3]) AS "
                 "Expr1 From qryactive"),
              "SELECT Max(TonsPerAcreBreak1 +TonsPerAcreBreak2 +TonsPerAcreBreak3) AS Expr1 From "
              "qryactive");
    EXPECT_EQ(pg("SELECT * From qryactive WHERE ((([TotalFL])>= 0 And ([TotalFL])<=  40));"),
              "SELECT * From qryactive WHERE (((TotalFL)>= 0 And (TotalFL)<=  40));");
    EXPECT_EQ(pg("SELECT [True], [Fuel Bed], [Order] FROM t"),
              "SELECT \"true\", \"fuel bed\", \"order\" FROM t");
    // Names and literals that stood apart stay apart.
    EXPECT_EQ(pg(R"(SELECT [a][b c], [d]e, "f"'g')"), "SELECT a\"b c\", d e, 'f' 'g'");

    // IN lists need nothing; sort terms say where Null goes.
    EXPECT_EQ(pg("SELECT * From qryactive where (DangerRatingFM in('AB1','CD2')) and  "
                 "(FireBehaveFM in ('X'));"),
              "SELECT * From qryactive where (DangerRatingFM in('AB1','CD2')) and  "
              "(FireBehaveFM in ('X'));");
    EXPECT_EQ(pg("SELECT * From qryactive ORDER by GroupLabel, PhotoLabel"),
              "SELECT * From qryactive ORDER by GroupLabel NULLS FIRST, PhotoLabel NULLS FIRST");
    EXPECT_EQ(pg("SELECT * FROM t ORDER BY a DESC, b ASC"),
              "SELECT * FROM t ORDER BY a DESC NULLS LAST, b ASC NULLS FIRST");
    EXPECT_EQ(pg("SELECT * FROM (SELECT * FROM t ORDER BY a) WHERE b = 1"),
              "SELECT * FROM (SELECT * FROM t ORDER BY a NULLS FIRST) WHERE b = 1");

    EXPECT_EQ(pg("SELECT VegType From qryactive GROUP BY Photos.VegType"),
              "SELECT VegType From qryactive GROUP BY VegType ORDER BY VegType NULLS FIRST");
    EXPECT_EQ(pg("SELECT a FROM t GROUP BY a, t.b HAVING count(*) > 1;"),
              "SELECT a FROM t GROUP BY a, t.b HAVING count(*) > 1 ORDER BY a NULLS FIRST, t.b "
              "NULLS FIRST;");
    EXPECT_EQ(pg("SELECT a FROM t GROUP BY a ORDER BY a DESC"),
              "SELECT a FROM t GROUP BY a ORDER BY a DESC NULLS LAST");

    // The columns compare without case already.
    EXPECT_EQ(pg("CREATE INDEX IF NOT EXISTS PhotosByVegType ON Photos (VegType COLLATE NOCASE, "
                 "BookLabel, active)"),
              "CREATE INDEX IF NOT EXISTS PhotosByVegType ON Photos (VegType , BookLabel, active)");

    // What the old engine refused stays refused.
    EXPECT_EQ(pg(R"(x = "it's)"), "x = 'it''s");
    EXPECT_EQ(pg("SELECT [Total"), "SELECT \"total");
    // Found by fuzzing: nothing is added inside a literal left open.
    EXPECT_EQ(pg("SELECT a FROM t GROUP BY a HAVING b = 'x"),
              "SELECT a FROM t GROUP BY a HAVING b = 'x");
    EXPECT_EQ(pg("SELECT a FROM t ORDER BY ('x"), "SELECT a FROM t ORDER BY ('x");
}
