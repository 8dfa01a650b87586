#include "suite/FileList.h"
#include "suite/CommandLine.h"

#include "support/QtPrinting.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

using namespace tarnwick;
using namespace Qt::StringLiterals;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class FileListTest : public ::testing::Test {
protected:
    FileListTest() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    ~FileListTest() override { QLocale::setDefault(QLocale::c()); }

    QString list() const { return dir.filePath(u"CBLFileList3.txt"_s); }

    QTemporaryDir dir;
    const QDateTime noon{QDate(2026, 12, 8), QTime(13, 5, 9)};
};

} // namespace

TEST_F(FileListTest, ANewListHoldsOneRecordInTheSuitesForm) {
    ASSERT_FALSE(addToFileList(dir.path(), u"/w/A.pr3"_s, u"pr3"_s, noon));
    EXPECT_EQ(readAll(list()), QByteArray("\"pr3\",\"/w/A.pr3\",\"12/8/2026 1:05:09 PM\"\r\n"));
}

TEST_F(FileListTest, ASavedFileKeepsItsPlaceAndOthersAreCarriedOverByteForByte) {
    const QByteArray other1 = "\"fbp\", \"C:\\\\fire\\\\x.fbp\" ,\"1/2/2003 4:05:06 AM\"\r\n";
    const QByteArray mine = "\"tarnwick\",\"/W/a.PR3\",\"1/1/2020 0:00:00 AM\"\r\n";
    const QByteArray other2 = "\"dat\",\"/w/b.dat\",\"x\"\n";
    writeAll(list(), other1 + mine + other2);
    // A scratch file an interrupted run left behind.
    writeAll(dir.filePath(u"famlist.tmp"_s), "\"junk\",\"/junk\",\"\"\r\n");

    ASSERT_FALSE(addToFileList(dir.path(), u"/w/A.pr3"_s, u"pr3"_s, noon));
    // The same file whatever its case: kind kept, path as passed, new time, same place.
    EXPECT_EQ(readAll(list()),
              other1 + "\"tarnwick\",\"/w/A.pr3\",\"12/8/2026 1:05:09 PM\"\r\n" + other2);
    EXPECT_FALSE(QFile::exists(dir.filePath(u"famlist.tmp"_s)));

    ASSERT_FALSE(addToFileList(dir.path(), u"/w/new.pr3"_s, u"pr3"_s, noon));
    EXPECT_TRUE(
        readAll(list()).endsWith(other2 + "\"pr3\",\"/w/new.pr3\",\"12/8/2026 1:05:09 PM\"\r\n"));

    // A rewrite that cannot finish leaves the list as it was.
    const QByteArray before = readAll(list());
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"famlist.tmp"_s)); // nothing can be written there
    const std::optional<QString> problem =
        addToFileList(dir.path(), u"/w/third.pr3"_s, u"pr3"_s, noon);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(readAll(list()), before);
}

TEST(CommandLine, TheSuitesTwoArgumentsWithQuotesAndQuestionMarks) {
    using Args = std::array<QString, 2>;
    EXPECT_EQ(commandLineArgs(u"\"C:\\My Files\\a.pr3\" \"D:\\b c.pr3\" third"_s),
              (Args{u"C:\\My Files\\a.pr3"_s, u"D:\\b c.pr3"_s}));
    EXPECT_EQ(commandLineArgs(u"C:\\Program?Files\\a.pr3"_s),
              (Args{u"C:\\Program Files\\a.pr3"_s, QString()}));
    EXPECT_EQ(commandLineArgs(u"  #NEW#\t"_s), (Args{u"#NEW#"_s, QString()}));
    EXPECT_EQ(commandLineArgs(QString()), (Args{QString(), QString()}));
    // What the system split is joined again so the reader sees one argument per path.
    EXPECT_EQ(commandLineArgs(joinedCommandLine({u"/home/p/my site.pr3"_s, u"x"_s})),
              (Args{u"/home/p/my site.pr3"_s, u"x"_s}));
}
