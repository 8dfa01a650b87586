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

// Statements are separated by ";\n" so callers can run them one by one through drivers that take
// a single statement per call.
QStringList catalogueSchemaStatements();

// A table or the stored query with the columns the programs read from it by name.
struct RequiredColumns {
    QString object;
    QStringList columns;
};

// What a catalogue must hold for every statement and record of the programs to work: Books,
// Photos and qryactive with their columns. Checked once when a catalogue opens.
const std::vector<RequiredColumns>& requiredCatalogueColumns();

} // namespace tarnwick
