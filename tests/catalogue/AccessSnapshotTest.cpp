#include "catalogue/AccessSnapshot.h"

#include "support/QtPrinting.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <map>
#include <thread>

using namespace tarnwick;
using namespace Qt::StringLiterals;

namespace {

const QString builtCli = QStringLiteral(TARNWICK_BINARY_DIR "/tarnwick-cli");

// Two tables whose values cover each kind a row may hold; reading the second gives up after its
// first row, as a damaged page does.
class SourceWithADamagedTable final : public TableSource {
public:
    QString name() const override { return u"/old/Photo3.mdb"_s; }
    std::vector<AccessTable> tables() const override {
        return {{u"Books"_s, {{u"id"_s, u"Long Integer"_s}, {u"Title"_s, u"Text"_s}}, 3},
                {u"Photos"_s, {{u"id"_s, u"Long Integer"_s}, {u"Picture"_s, u"OLE"_s}}, 2}};
    }
    QStringList storedQueries() const override { return {u"qryactive"_s, u"qryAppend"_s}; }
    QString storedQuerySql(const QString& query) const override {
        return query == u"qryactive" ? u"SELECT * FROM Photos WHERE active=-1"_s : QString();
    }
    void readRows(const QString& table,
                  const std::function<void(const QVariantList&)>& visit) const override {
        if (table == u"Books") {
            visit({qint64(1), u"Bénédicte"_s});
            visit({qint64(-1), QString(u""_s)});
            visit({2.5, QVariant()});
            return;
        }
        visit({qint64(7), QByteArray("\0\xff", 2)});
        throw DatabaseError(u"The Access file /old/Photo3.mdb has a damaged row 2 in Photos."_s,
                            DatabaseError::Kind::Corrupt);
    }
};

struct ReadBack {
    std::vector<QVariantList> rows;
    QString error;
};

// Every table's rows as read through the source, and the error that ended a table.
std::map<QString, ReadBack> everyRow(const TableSource& source) {
    std::map<QString, ReadBack> read;
    for (const AccessTable& table : source.tables()) {
        ReadBack& back = read[table.name];
        try {
            source.readRows(table.name, [&](const QVariantList& row) { back.rows.push_back(row); });
        } catch (const DatabaseError& error) {
            back.error = error.message();
        }
    }
    return read;
}

// Null, empty text and a value of each kind must come back as they went, typed alike.
void expectSameRows(const std::map<QString, ReadBack>& read,
                    const std::map<QString, ReadBack>& expected) {
    ASSERT_EQ(read.size(), expected.size());
    for (const auto& [table, back] : expected) {
        const ReadBack& got = read.at(table);
        EXPECT_EQ(got.error, back.error) << table.toStdString();
        ASSERT_EQ(got.rows.size(), back.rows.size()) << table.toStdString();
        for (size_t r = 0; r < back.rows.size(); ++r) {
            ASSERT_EQ(got.rows[r].size(), back.rows[r].size());
            for (qsizetype c = 0; c < back.rows[r].size(); ++c) {
                const QVariant& want = back.rows[r][c];
                const QVariant& have = got.rows[r][c];
                EXPECT_EQ(have.metaType(), want.metaType()) << table.toStdString() << " " << r;
                EXPECT_EQ(have.isNull(), want.isNull()) << table.toStdString() << " " << r;
                EXPECT_EQ(have, want) << table.toStdString() << " " << r;
            }
        }
    }
}

void expectSameSource(const TableSource& read, const TableSource& source) {
    EXPECT_EQ(read.name(), source.name());
    const auto tables = read.tables();
    const auto expected = source.tables();
    ASSERT_EQ(tables.size(), expected.size());
    for (size_t t = 0; t < tables.size(); ++t) {
        EXPECT_EQ(tables[t].name, expected[t].name);
        EXPECT_EQ(tables[t].rows, expected[t].rows);
        ASSERT_EQ(tables[t].columns.size(), expected[t].columns.size());
        for (size_t c = 0; c < tables[t].columns.size(); ++c) {
            EXPECT_EQ(tables[t].columns[c].name, expected[t].columns[c].name);
            EXPECT_EQ(tables[t].columns[c].type, expected[t].columns[c].type);
        }
    }
    EXPECT_EQ(read.storedQueries(), source.storedQueries());
    for (const QString& query : source.storedQueries())
        EXPECT_EQ(read.storedQuerySql(query), source.storedQuerySql(query)) << query.toStdString();
    expectSameRows(everyRow(read), everyRow(source));
}

QString writeScript(const QTemporaryDir& dir, const QString& name, const QByteArray& body) {
    QFile script(dir.filePath(name));
    EXPECT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\n" + body + "\n");
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    return script.fileName();
}

} // namespace

TEST(AccessSnapshot, HoldsWhatTheSourceHoldsTheErrorThatEndedATableAndRefusesWhatIsCutShort) {
    const SourceWithADamagedTable source;
    const QByteArray bytes = accessSnapshot(source);
    expectSameSource(*readAccessSnapshot(bytes, u"/old/Photo3.mdb"_s), source);

    const DatabaseError missing(u"The file /old/Photo3.mdb does not exist."_s,
                                DatabaseError::Kind::Missing);
    try {
        readAccessSnapshot(accessSnapshotOfError(missing), u"/old/Photo3.mdb"_s);
        ADD_FAILURE() << "an error's snapshot was read as a file's contents";
    } catch (const DatabaseError& error) {
        EXPECT_EQ(error.message(), missing.message());
        EXPECT_EQ(error.kind(), DatabaseError::Kind::Missing);
    }
    for (const QByteArray& damaged :
         {bytes.left(bytes.size() - 3), bytes + "x", QByteArray("not a snapshot")}) {
        try {
            readAccessSnapshot(damaged, u"/old/Photo3.mdb"_s);
            ADD_FAILURE() << "damaged bytes were read";
        } catch (const DatabaseError& error) {
            EXPECT_TRUE(error.message().startsWith(u"The Access file /old/Photo3.mdb could not "_s))
                << error.message().toStdString();
            EXPECT_EQ(error.kind(), DatabaseError::Kind::Corrupt);
        }
    }
}

TEST(AccessSnapshot, ReadApartGivesWhatTheFileHoldsAndEndsAReaderThatHangsGrowsOrCrashes) {
    QTemporaryDir dir;
    const RunControl going;
    const SnapshotReader cli{builtCli, snapshotMemoryLimit(0)};
    if (QDir(QString::fromUtf8(TARNWICK_ACCESS_TESTDATA)).exists(u"nwind.mdb"_s)) {
        // Dates, OLE pictures, memos, Null and stored queries of every kind: as read in process.
        for (const QString& name : {u"nwind.mdb"_s, u"ASampleDatabase.accdb"_s}) {
            const QString path = QDir(QString::fromUtf8(TARNWICK_ACCESS_TESTDATA)).filePath(name);
            expectSameSource(*readAccessFileApart(path, cli, going), *AccessFile::open(path));
        }
    } else {
        std::cerr << "Access test files absent: only the refusals are checked\n";
    }

    const auto expectRefusal = [&](const SnapshotReader& reader, const RunControl& control,
                                   const QString& file, const QString& says,
                                   DatabaseError::Kind kind) {
        try {
            readAccessFileApart(file, reader, control);
            ADD_FAILURE() << "read: " << says.toStdString();
        } catch (const DatabaseError& error) {
            EXPECT_TRUE(error.message().contains(file)) << error.message().toStdString();
            EXPECT_TRUE(error.message().contains(says)) << error.message().toStdString();
            EXPECT_EQ(error.kind(), kind) << error.message().toStdString();
        }
    };
    // The reader's own refusal comes through as it is.
    const QString text = dir.filePath(u"notes.mdb"_s);
    QFile notes(text);
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("Only some notes.\n");
    notes.close();
    expectRefusal(cli, going, text, u"is not an Access database"_s,
                  DatabaseError::Kind::NotACatalogue);

    // A reader lost in the file is ended on a stop within moments.
    RunControl stopping;
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        stopping.stopRequested = true;
    });
    QElapsedTimer clock;
    clock.start();
    expectRefusal({writeScript(dir, u"hangs"_s, "exec sleep 60"), snapshotMemoryLimit(0)}, stopping,
                  text, u"was stopped"_s, DatabaseError::Kind::Stopped);
    stopper.join();
    EXPECT_LT(clock.elapsed(), 3000);
    // One that piles up memory is ended at its limit.
    expectRefusal({writeScript(dir, u"grows"_s, "exec tail /dev/zero"), qint64(64) << 20}, going,
                  text, u"more than 64 MB of memory"_s, DatabaseError::Kind::Corrupt);
    expectRefusal({writeScript(dir, u"crashes"_s, "kill -SEGV $$"), snapshotMemoryLimit(0)}, going,
                  text, u"it crashed"_s, DatabaseError::Kind::Corrupt);
    expectRefusal({writeScript(dir, u"says-nothing"_s, "exit 0"), snapshotMemoryLimit(0)}, going,
                  text, u"handed over nothing"_s, DatabaseError::Kind::Corrupt);
    expectRefusal({QString(), snapshotMemoryLimit(0)}, going, text, u"tarnwick-cli"_s,
                  DatabaseError::Kind::Unreadable);
}
