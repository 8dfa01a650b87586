#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace tarnwick {

// The schema other tools of the suite create catalogues with. The program opens any file that holds
// exactly this; it never requires more (indexes are optional).
inline constexpr const char* catalogueSchemaSql = R"sql(
CREATE TABLE Books (id INTEGER PRIMARY KEY, BookLabel TEXT NOT NULL UNIQUE, BookDescription TEXT,
  active INTEGER NOT NULL DEFAULT 1,
  BreakInches1 REAL, BreakInches2 REAL, BreakInches3 REAL, BreakInches4 REAL, BreakInches5 REAL, BreakInches6 REAL);
CREATE TABLE Photos (ID INTEGER PRIMARY KEY, BookLabel TEXT, PhotoLabel TEXT, GroupLabel TEXT,
  active INTEGER NOT NULL DEFAULT 1,
  TonsPerAcreBreak1 REAL, TonsPerAcreBreak2 REAL, TonsPerAcreBreak3 REAL, TonsPerAcreBreak4 REAL,
  TonsPerAcreBreak5 REAL, TonsPerAcreBreak6 REAL, TonsPerAcreBreak7 REAL, TotalFL REAL, Oto3FL REAL,
  AverageDuffDepth REAL, AverageFuelbedDepth REAL, HerbTonsPerAcre REAL, WoodyTonsPerAcre REAL,
  CanopyClosure REAL, TreesPerAcre REAL, VegType TEXT, Activity TEXT,
  FireBehaveFM TEXT, FireBehaveFM2 TEXT, DangerRatingFM TEXT, PhotoPic TEXT, DataPic TEXT);
CREATE VIEW qryactive AS SELECT Photos.* FROM Photos INNER JOIN Books ON Books.BookLabel = Photos.BookLabel
  WHERE Books.active <> 0 AND Photos.active <> 0;
)sql";

// The same catalogue on a PostgreSQL server, as tarnwick-cli catalogue push creates it. Text
// compares and sorts without regard to letter case, as in the catalogue's original engine: its
// columns take a non-deterministic ICU collation, so "=", IN, GROUP BY and ORDER BY need no
// rewriting. Numbers keep SQLite's 64-bit integers and doubles. The indexes, made here once by
// the catalogue's owner, as start-up makes none on a server: the list's order, under the name
// start-up gives it in a file (statements::listOrderIndex), with Null first as the translated
// ORDER BY asks; and one for each code the query choices group by.
inline constexpr const char* serverCatalogueSchemaSql = R"sql(
CREATE COLLATION IF NOT EXISTS tarnwick_nocase (provider = icu, locale = 'und-u-ks-level2', deterministic = false);
CREATE TABLE Books (id bigint PRIMARY KEY, BookLabel text COLLATE tarnwick_nocase NOT NULL UNIQUE,
  BookDescription text COLLATE tarnwick_nocase, active integer NOT NULL DEFAULT 1,
  BreakInches1 double precision, BreakInches2 double precision, BreakInches3 double precision,
  BreakInches4 double precision, BreakInches5 double precision, BreakInches6 double precision);
CREATE TABLE Photos (ID bigint PRIMARY KEY, BookLabel text COLLATE tarnwick_nocase,
  PhotoLabel text COLLATE tarnwick_nocase, GroupLabel text COLLATE tarnwick_nocase,
  active integer NOT NULL DEFAULT 1,
  TonsPerAcreBreak1 double precision, TonsPerAcreBreak2 double precision,
  TonsPerAcreBreak3 double precision, TonsPerAcreBreak4 double precision,
  TonsPerAcreBreak5 double precision, TonsPerAcreBreak6 double precision,
  TonsPerAcreBreak7 double precision, TotalFL double precision, Oto3FL double precision,
  AverageDuffDepth double precision, AverageFuelbedDepth double precision,
  HerbTonsPerAcre double precision, WoodyTonsPerAcre double precision,
  CanopyClosure double precision, TreesPerAcre double precision,
  VegType text COLLATE tarnwick_nocase, Activity text COLLATE tarnwick_nocase,
  FireBehaveFM text COLLATE tarnwick_nocase, FireBehaveFM2 text COLLATE tarnwick_nocase,
  DangerRatingFM text COLLATE tarnwick_nocase, PhotoPic text COLLATE tarnwick_nocase,
  DataPic text COLLATE tarnwick_nocase);
CREATE VIEW qryactive AS SELECT Photos.* FROM Photos INNER JOIN Books ON Books.BookLabel = Photos.BookLabel
  WHERE Books.active <> 0 AND Photos.active <> 0;
CREATE INDEX PhotosByVegType ON Photos (VegType, BookLabel, active);
CREATE INDEX PhotosByActivity ON Photos (Activity, BookLabel, active);
CREATE INDEX PhotosByDangerRatingFM ON Photos (DangerRatingFM, BookLabel, active);
CREATE INDEX PhotosByFireBehaveFM ON Photos (FireBehaveFM, BookLabel, active);
CREATE INDEX PhotosByFireBehaveFM2 ON Photos (FireBehaveFM2, BookLabel, active);
CREATE INDEX PhotosInListOrder ON Photos (GroupLabel NULLS FIRST, PhotoLabel NULLS FIRST);
)sql";

// Statements are separated by ";\n" so callers can run them one by one through drivers that take
// a single statement per call.
QStringList catalogueSchemaStatements();
QStringList serverCatalogueSchemaStatements();

// A table or the stored query with the columns the programs read from it by name.
struct RequiredColumns {
    QString object;
    QStringList columns;
};

// What a catalogue must hold for every statement and record of the programs to work: Books,
// Photos and qryactive with their columns. Checked once when a catalogue opens.
const std::vector<RequiredColumns>& requiredCatalogueColumns();

} // namespace tarnwick
