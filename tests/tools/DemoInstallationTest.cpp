#include "demo/DemoInstallation.h"
#include "support/BuiltProgram.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <algorithm>
#include <set>
#include <stdexcept>
#include <tuple>

using namespace Qt::StringLiterals;
using tarnwick::demo::DemoOptions;
using tarnwick::demo::writeDemoInstallation;

namespace {

// Read-only view of a written catalogue on its own connection, closed when it goes.
class Catalogue {
public:
    explicit Catalogue(const QString& dir)
        : connection_(u"demo-installation-test-%1"_s.arg(++counter_)) {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, connection_);
        db.setDatabaseName(QDir(dir).filePath(u"Photo3.db"_s));
        db.setConnectOptions(u"QSQLITE_OPEN_READONLY"_s);
        EXPECT_TRUE(db.open()) << db.lastError().text().toStdString();
    }
    ~Catalogue() {
        QSqlDatabase::database(connection_, false).close();
        QSqlDatabase::removeDatabase(connection_);
    }
    Catalogue(const Catalogue&) = delete;
    Catalogue& operator=(const Catalogue&) = delete;

    QList<QVariantList> rows(const QString& sql) const {
        QSqlQuery query(QSqlDatabase::database(connection_, false));
        EXPECT_TRUE(query.exec(sql))
            << sql.toStdString() << ": " << query.lastError().text().toStdString();
        QList<QVariantList> result;
        while (query.next()) {
            QVariantList row;
            for (int i = 0; i < query.record().count(); ++i)
                row << query.value(i);
            result << row;
        }
        return result;
    }
    QVariant value(const QString& sql) const {
        const QList<QVariantList> result = rows(sql);
        return result.isEmpty() ? QVariant() : result.first().value(0);
    }
    int count(const QString& sql) const { return value(sql).toInt(); }

private:
    static inline int counter_ = 0;
    QString connection_;
};

struct CodeFile {
    QStringList codes;
    QStringList descriptions;
    QByteArray bytes;
};

// Reads one of the code lists the way the program is meant to: Latin-1, "code","description".
CodeFile readCodeFile(const QString& dir, const QString& name) {
    QFile file(QDir(dir).filePath(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    CodeFile result;
    result.bytes = file.readAll();
    static const QRegularExpression line(uR"re(^"([^"]*)","([^"]*)"$)re"_s);
    for (const QString& text : QString::fromLatin1(result.bytes).split(u'\n', Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = line.match(text);
        EXPECT_TRUE(match.hasMatch()) << name.toStdString() << ": " << text.toStdString();
        result.codes << match.captured(1);
        result.descriptions << match.captured(2);
    }
    return result;
}

int countFiles(const QString& dir) {
    int files = 0;
    for (QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories); it.hasNext(); it.next())
        ++files;
    return files;
}

class DemoInstallationTest : public ::testing::Test {
protected:
    QString dir() const { return scratch.filePath(u"install"_s); }
    QTemporaryDir scratch;
};

} // namespace

TEST_F(DemoInstallationTest, StandardSetHasEveryCaseTheProgramHandles) {
    ASSERT_TRUE(scratch.isValid());
    writeDemoInstallation(dir());

    // Only the finished catalogue is left, next to an empty data folder.
    const QDir root(dir());
    EXPECT_EQ(root.entryList(QDir::Files, QDir::Name),
              (QStringList{u"ActCodes.txt"_s, u"BehaveCodes.txt"_s, u"DangerRatingCodes.txt"_s,
                           u"Photo3.db"_s, u"VegCodes.txt"_s}));
    EXPECT_TRUE(QFileInfo(root.filePath(u"data"_s)).isDir());
    EXPECT_TRUE(QDir(root.filePath(u"data"_s)).isEmpty());

    Catalogue catalogue(dir());
    // Exactly the shared schema: nothing a foreign catalogue would lack.
    QStringList objects;
    for (const QVariantList& row :
         catalogue.rows(u"SELECT type, name FROM sqlite_master WHERE name NOT LIKE 'sqlite_%' "
                        "ORDER BY name"_s))
        objects << row[0].toString() + u' ' + row[1].toString();
    EXPECT_EQ(objects.join(u", "), u"table Books, table Photos, view qryactive"_s);

    // Books: one withdrawn, every data-plate layout among the active ones, and one stored with
    // limits that still need normalising.
    EXPECT_GE(catalogue.count(u"SELECT COUNT(*) FROM Books"_s), 5);
    EXPECT_EQ(catalogue.count(u"SELECT COUNT(*) FROM Books WHERE active = 0"_s), 1);
    std::set<std::tuple<double, double, double>> layouts;
    for (const QVariantList& row :
         catalogue.rows(u"SELECT BreakInches4, BreakInches5, BreakInches6 FROM Books "
                        "WHERE active <> 0"_s))
        layouts.emplace(row[0].toDouble(), row[1].toDouble(), row[2].toDouble());
    for (const auto& layout : {std::tuple{0.0, 0.0, 0.0}, std::tuple{9.0, 0.0, 0.0},
                               std::tuple{9.0, 20.0, 0.0}, std::tuple{6.0, 9.0, 20.0}})
        EXPECT_TRUE(layouts.contains(layout))
            << std::get<0>(layout) << "/" << std::get<1>(layout) << "/" << std::get<2>(layout);
    EXPECT_GE(catalogue.count(u"SELECT COUNT(*) FROM Books WHERE BreakInches1 <> 0.25 "
                              "OR BreakInches4 <> CAST(BreakInches4 AS INTEGER)"_s),
              1);
    for (const QVariantList& row : catalogue.rows(u"SELECT BookLabel FROM Books"_s)) {
        const QString label = row[0].toString();
        EXPECT_FALSE(label.isEmpty() || label.contains(u',') || label.contains(u'"'))
            << label.toStdString();
    }

    // Photos: enough active ones, withdrawn ones in active books, one without a label.
    EXPECT_GE(catalogue.count(u"SELECT COUNT(*) FROM qryactive"_s), 150);
    EXPECT_GE(
        catalogue.count(u"SELECT COUNT(*) FROM Photos p JOIN Books b "
                        "ON b.BookLabel = p.BookLabel WHERE b.active <> 0 AND p.active = 0"_s),
        2);
    EXPECT_GE(catalogue.count(u"SELECT COUNT(*) FROM Photos p JOIN Books b "
                              "ON b.BookLabel = p.BookLabel WHERE b.active = 0"_s),
              1);
    EXPECT_EQ(catalogue.count(u"SELECT COUNT(*) FROM Photos WHERE PhotoLabel IS NULL"_s), 1);
    EXPECT_EQ(catalogue.count(u"SELECT COUNT(*) FROM qryactive WHERE PhotoLabel IS NULL"_s), 1);

    // Each of the six stand fields has both "not measured" (negative) and Null values.
    for (const QString& field :
         {u"AverageDuffDepth"_s, u"AverageFuelbedDepth"_s, u"HerbTonsPerAcre"_s,
          u"WoodyTonsPerAcre"_s, u"CanopyClosure"_s, u"TreesPerAcre"_s}) {
        EXPECT_GE(catalogue.count(u"SELECT COUNT(*) FROM qryactive WHERE %1 < 0"_s.arg(field)), 1)
            << field.toStdString();
        EXPECT_GE(catalogue.count(u"SELECT COUNT(*) FROM qryactive WHERE %1 IS NULL"_s.arg(field)),
                  1)
            << field.toStdString();
    }

    // Loadings add up, and a book's unused classes hold nothing.
    const QList<QVariantList> loadings = catalogue.rows(
        u"SELECT p.TonsPerAcreBreak1, p.TonsPerAcreBreak2, p.TonsPerAcreBreak3, "
        "p.TonsPerAcreBreak4, p.TonsPerAcreBreak5, p.TonsPerAcreBreak6, p.TonsPerAcreBreak7, "
        "p.TotalFL, p.Oto3FL, b.BreakInches4, b.BreakInches5, b.BreakInches6, p.ID "
        "FROM Photos p JOIN Books b ON b.BookLabel = p.BookLabel"_s);
    for (const QVariantList& row : loadings) {
        double total = 0;
        for (int i = 0; i < 7; ++i)
            total += row[i].toDouble();
        const double upTo3 = row[0].toDouble() + row[1].toDouble() + row[2].toDouble();
        EXPECT_NEAR(row[7].toDouble(), total, 0.011) << "photo " << row[12].toInt();
        EXPECT_NEAR(row[8].toDouble(), upTo3, 0.011) << "photo " << row[12].toInt();
        int classes = 4;
        for (int i = 9; i < 12; ++i)
            classes += row[i].toDouble() > 0 ? 1 : 0;
        for (int i = classes; i < 7; ++i)
            EXPECT_EQ(row[i].toDouble(), 0.0) << "photo " << row[12].toInt() << " class " << i + 1;
    }

    // Every image an active photo names is there, unique to it and readable as a JPEG.
    EXPECT_EQ(catalogue.count(u"SELECT COUNT(DISTINCT PhotoPic) FROM Photos"_s),
              catalogue.count(u"SELECT COUNT(*) FROM Photos"_s));
    const QList<QVariantList> pictures =
        catalogue.rows(u"SELECT BookLabel, PhotoPic, DataPic FROM qryactive"_s);
    ASSERT_FALSE(pictures.isEmpty());
    for (const QVariantList& row : pictures) {
        for (int column : {1, 2}) {
            const QString path = root.filePath(
                u"PhotoImages/%1/%2"_s.arg(row[0].toString(), row[column].toString()));
            QImageReader reader(path);
            EXPECT_TRUE(reader.canRead()) << path.toStdString();
            EXPECT_EQ(reader.format(), "jpeg") << path.toStdString();
            EXPECT_FALSE(reader.size().isEmpty()) << path.toStdString();
        }
    }
    const QVariantList first = pictures.first();
    const QImage photo(
        root.filePath(u"PhotoImages/%1/%2"_s.arg(first[0].toString(), first[1].toString())));
    const QImage sheet(
        root.filePath(u"PhotoImages/%1/%2"_s.arg(first[0].toString(), first[2].toString())));
    EXPECT_GT(photo.width(), photo.height());
    EXPECT_LT(sheet.width(), sheet.height());

    // Code lists: Latin-1, quoted, some descriptions with commas; the catalogue uses a few codes
    // they lack and stores some in lower case.
    for (const QString& name :
         {u"VegCodes.txt"_s, u"ActCodes.txt"_s, u"DangerRatingCodes.txt"_s, u"BehaveCodes.txt"_s}) {
        const CodeFile file = readCodeFile(dir(), name);
        EXPECT_GE(file.codes.size(), 5) << name.toStdString();
        for (const QString& code : file.codes)
            EXPECT_FALSE(code.isEmpty() || code.contains(u'-')) << code.toStdString();
    }
    const CodeFile veg = readCodeFile(dir(), u"VegCodes.txt"_s);
    EXPECT_TRUE(veg.bytes.contains('\xF1')) << "a Latin-1 character, stored in one byte";
    EXPECT_FALSE(veg.bytes.contains("\xC3\xB1"));
    EXPECT_TRUE(std::ranges::any_of(veg.descriptions,
                                    [](const QString& text) { return text.contains(u','); }));
    const CodeFile behave = readCodeFile(dir(), u"BehaveCodes.txt"_s);
    EXPECT_TRUE(behave.codes.contains(u"TL1"_s));
    EXPECT_TRUE(behave.codes.contains(u"13"_s));

    QSet<QString> listedVeg;
    for (const QString& code : veg.codes)
        listedVeg << code.toUpper();
    int unlisted = 0;
    for (const QVariantList& row :
         catalogue.rows(u"SELECT DISTINCT VegType FROM qryactive WHERE VegType IS NOT NULL"_s))
        unlisted += listedVeg.contains(row[0].toString().toUpper()) ? 0 : 1;
    EXPECT_GE(unlisted, 1);
    EXPECT_GE(catalogue.count(u"SELECT COUNT(*) FROM qryactive WHERE VegType <> UPPER(VegType)"_s),
              1);
    EXPECT_GE(catalogue.count(u"SELECT COUNT(*) FROM qryactive WHERE VegType IS NULL"_s), 1);
}

TEST_F(DemoInstallationTest, SameOutputEveryRunAndLargeCataloguesShareImages) {
    ASSERT_TRUE(scratch.isValid());
    const QString again = scratch.filePath(u"again"_s);
    writeDemoInstallation(dir(), DemoOptions{.photoCount = 40});
    writeDemoInstallation(again, DemoOptions{.photoCount = 40});
    QList<QVariantList> firstRows;
    QString someImage;
    {
        Catalogue first(dir());
        Catalogue second(again);
        firstRows = first.rows(u"SELECT * FROM Photos ORDER BY ID"_s);
        EXPECT_EQ(firstRows.size(), 40);
        EXPECT_EQ(second.rows(u"SELECT * FROM Photos ORDER BY ID"_s), firstRows);
        someImage = u"PhotoImages/%1/%2"_s.arg(
            first.value(u"SELECT BookLabel FROM Photos WHERE ID = 1"_s).toString(),
            first.value(u"SELECT PhotoPic FROM Photos WHERE ID = 1"_s).toString());
    }
    QFile image(QDir(dir()).filePath(someImage));
    QFile imageAgain(QDir(again).filePath(someImage));
    ASSERT_TRUE(image.open(QIODevice::ReadOnly));
    ASSERT_TRUE(imageAgain.open(QIODevice::ReadOnly));
    EXPECT_EQ(image.readAll(), imageAgain.readAll());

    // Written over the small one, which it is told to replace.
    writeDemoInstallation(dir(), DemoOptions{.photoCount = 5000, .replaceInstallation = true});
    Catalogue catalogue(dir());
    EXPECT_EQ(catalogue.count(u"SELECT COUNT(*) FROM Photos"_s), 5000);
    EXPECT_EQ(catalogue.count(u"SELECT COUNT(DISTINCT ID) FROM Photos"_s), 5000);
    const int distinctImages = catalogue.count(
        u"SELECT COUNT(*) FROM (SELECT DISTINCT BookLabel, PhotoPic FROM Photos)"_s);
    EXPECT_LE(distinctImages, 400);
    EXPECT_LT(countFiles(QDir(dir()).filePath(u"PhotoImages"_s)), 1000);
    for (const QVariantList& row :
         catalogue.rows(u"SELECT DISTINCT BookLabel, PhotoPic, DataPic FROM Photos"_s)) {
        for (int column : {1, 2}) {
            const QString path = QDir(dir()).filePath(
                u"PhotoImages/%1/%2"_s.arg(row[0].toString(), row[column].toString()));
            EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
        }
    }
}

TEST_F(DemoInstallationTest, FailureLeavesNoCatalogueBehind) {
    ASSERT_TRUE(scratch.isValid());
    EXPECT_THROW(writeDemoInstallation(dir(), DemoOptions{.photoCount = -1}), std::runtime_error);
    EXPECT_THROW(writeDemoInstallation(dir(), DemoOptions{.photoCount = 1'000'001}),
                 std::runtime_error);

    // A folder in the catalogue's place: the new catalogue cannot be moved there.
    ASSERT_TRUE(QDir().mkpath(QDir(dir()).filePath(u"Photo3.db/keep"_s)));
    try {
        writeDemoInstallation(dir(), DemoOptions{.photoCount = 12, .replaceInstallation = true});
        ADD_FAILURE() << "a folder was replaced by the catalogue";
    } catch (const std::runtime_error& error) {
        EXPECT_TRUE(QString::fromUtf8(error.what()).contains(u"Photo3.db"_s)) << error.what();
    }
    EXPECT_TRUE(QFileInfo(QDir(dir()).filePath(u"Photo3.db/keep"_s)).isDir());
    EXPECT_EQ(QDir(dir()).entryList({u"Photo3*"_s}, QDir::Files), QStringList());
}

TEST_F(DemoInstallationTest, TheCommandNeverReplacesAnInstallationUnlessForced) {
    ASSERT_TRUE(scratch.isValid());
    const auto demo = [](const QString& folder, const QStringList& more = {}) {
        return tarnwick::test::runBuiltProgram(
            u"tarnwick-cli"_s, QStringList{u"demo"_s, folder, u"--photos"_s, u"3"_s} + more);
    };
    const auto write = [](const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };

    // Images alone are a user's too.
    const QString images = scratch.filePath(u"images"_s);
    write(images + u"/PhotoImages/B1/p1.jpg"_s, "a user's photo");
    tarnwick::test::ProgramOutput run = demo(images);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.contains(u"already holds an installation (1 file under PhotoImages)"_s))
        << run.errors.toStdString();
    EXPECT_FALSE(QFileInfo::exists(images + u"/Photo3.db"_s));

    const QString installation = scratch.filePath(u"installation"_s);
    QDir().mkpath(installation);
    tarnwick::test::writeSmallCatalogue(installation + u"/Photo3.db"_s, 2);
    write(installation + u"/VegCodes.txt"_s, "\"PP\",\"my own pines\"\n");
    const QByteArray catalogue = tarnwick::test::fileContents(installation + u"/Photo3.db"_s);
    run = demo(installation);
    EXPECT_EQ(run.exitCode, 1);
    for (const QString& part :
         {QDir::toNativeSeparators(installation), u"Photo3.db, VegCodes.txt"_s, u"--force"_s})
        EXPECT_TRUE(run.errors.contains(part)) << run.errors.toStdString();
    EXPECT_EQ(tarnwick::test::fileContents(installation + u"/Photo3.db"_s), catalogue);
    EXPECT_EQ(tarnwick::test::fileContents(installation + u"/VegCodes.txt"_s),
              "\"PP\",\"my own pines\"\n");
    EXPECT_EQ(QDir(installation).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{u"Photo3.db"_s, u"VegCodes.txt"_s}));

    run = demo(installation, {u"--force"_s});
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(Catalogue(installation).count(u"SELECT COUNT(*) FROM Photos"_s), 3);

    // An empty folder, or one with only an empty profiles folder, is written as a new one.
    const QString empty = scratch.filePath(u"empty"_s);
    QDir().mkpath(empty + u"/data"_s);
    run = demo(empty);
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(Catalogue(empty).count(u"SELECT COUNT(*) FROM Photos"_s), 3);
}
