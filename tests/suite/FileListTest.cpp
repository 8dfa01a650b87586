#include "suite/FileList.h"
#include "app/AppState.h"
#include "app/commands/ProfileFileCommands.h"
#include "suite/CommandLine.h"

#include "support/QtPrinting.h"
#include "support/ScriptedDialogs.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace tarnwick;
using namespace tarnwick::commands;
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
    QString time() const { return u"12/8/2026 1:05:09 PM"_s; }
    QByteArray recordOf(const char* kind, const QString& path) const {
        return "\"" + QByteArray(kind) + "\",\"" + path.toUtf8() + "\",\"" + time().toUtf8() +
               "\"\r\n";
    }

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

TEST_F(FileListTest, EveryRecordOfTheFileIsRewrittenAndOthersSurviveWhateverTheirLineEnds) {
    // Lines ended by a lone CR (old Macs), LF, CR LF and nothing at all, the saved file first.
    const QByteArray other1 = "\"fbp\",\"/w/x.fbp\",\"1/2/2003 4:05:06 AM\"\r";
    const QByteArray other2 = "\"dat\",\"/w/b.dat\",\"x\"\r\n";
    const QByteArray other3 = "\"dat\",\"/w/c.dat\",\"y\"";
    writeAll(list(), "\"pr3\",\"/w/a.pr3\",\"1/1/2020\"\r" + other1 +
                         "\"tarnwick\",\"/W/A.PR3\",\"1/1/2021\"\n" + other2 + other3);

    ASSERT_FALSE(addToFileList(dir.path(), u"/w/A.pr3"_s, u"pr3"_s, noon));
    EXPECT_EQ(readAll(list()), recordOf("pr3", u"/w/A.pr3"_s) + other1 +
                                   recordOf("tarnwick", u"/w/A.pr3"_s) + other2 + other3 + "\r\n");
}

TEST_F(FileListTest, APathIsEnteredWholeOrNotAtAll) {
    // A relative name is entered as the other programs can open it from wherever they run.
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const std::optional<QString> relative =
        addToFileList(dir.path(), u"data/../rel/./x.pr3"_s, u"pr3"_s, noon);
    QDir::setCurrent(before);
    ASSERT_FALSE(relative);
    const QByteArray listed = recordOf("pr3", QDir(dir.path()).absolutePath() + u"/rel/x.pr3"_s);
    EXPECT_EQ(readAll(list()), listed);

    // Names the list would write broken or as another name are left out, and the user is told.
    for (const QString& name : {u"/w/\u5b57.pr3"_s, u"/w/say \"hi\".pr3"_s, u"/w/two\nlines.pr3"_s,
                                u"/w/cr\rline.pr3"_s}) {
        const std::optional<QString> told = addToFileList(dir.path(), name, u"pr3"_s, noon);
        ASSERT_TRUE(told.has_value()) << name.toStdString();
        EXPECT_TRUE(told->contains(u"not entered in the suite's file list"_s))
            << told->toStdString();
        EXPECT_EQ(readAll(list()), listed) << name.toStdString();
    }

    // Saved from the assistant: the profile is written, the user learns why it is not listed.
    test::TestInstallation installation;
    QDir().mkpath(installation.paths().dataDir());
    AppState state{installation.paths()};
    test::ScriptedDialogs dialogs;
    const QString site = installation.paths().dataDir() + u"/\u5c71.pr3"_s;
    ASSERT_EQ(saveProfile(state, site, dialogs, {}), site);
    EXPECT_TRUE(QFile::exists(site));
    EXPECT_FALSE(QFile::exists(installation.paths().file(u"CBLFileList3.txt"_s)));
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].kind, u"message"_s);
    EXPECT_TRUE(dialogs.shown()[0].text.startsWith(site + u" is saved, but it is not entered"_s))
        << dialogs.shown()[0].text.toStdString();
    EXPECT_TRUE(dialogs.shown()[0].text.contains(u"\u5c71"_s));
}

TEST_F(FileListTest, TheTimeIsWrittenInTheCodePageWithoutAZone) {
    const auto timeIn = [&](const char* locale) {
        QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
        return fileListTime(noon);
    };
    EXPECT_EQ(timeIn("en_US"), u"12/8/2026 1:05:09 PM"_s);
    EXPECT_EQ(timeIn("de_DE"), u"08.12.2026 13:05:09"_s);
    // The zone before the time, in brackets or after a comma is left out.
    EXPECT_EQ(timeIn("zh_CN"), u"2026/12/8 13:05:09"_s);
    EXPECT_EQ(timeIn("ca_ES"), u"8/12/2026 13:05:09"_s);
    // Letters and marks the code page lacks: the neutral form.
    for (const char* locale : {"ja_JP", "ko_KR", "ar_EG", "th_TH"})
        EXPECT_EQ(timeIn(locale), u"12/8/2026 1:05:09 PM"_s) << locale;
}

TEST_F(FileListTest, ProgramsSavingAtOnceLoseNoRecord) {
    writeAll(list(), "\"fbp\",\"/w/x.fbp\",\"t\"\r\n");
    const auto saves = [&](char program) {
        for (int i = 0; i < 30; ++i)
            if (addToFileList(dir.path(), u"/w/%1%2.pr3"_s.arg(program).arg(i), u"pr3"_s, noon))
                ADD_FAILURE() << program << i;
    };
    std::thread first(saves, 'a');
    std::thread second(saves, 'b');
    first.join();
    second.join();
    const QByteArray after = readAll(list());
    EXPECT_EQ(after.count("\r\n"), 61) << after.toStdString();
    for (char program : {'a', 'b'})
        for (int i = 0; i < 30; ++i)
            EXPECT_TRUE(after.contains(recordOf("pr3", u"/w/%1%2.pr3"_s.arg(program).arg(i))))
                << program << i;
}

TEST_F(FileListTest, TheListKeepsItsPermissionsOwnerAndLink) {
    const QByteArray other = "\"fbp\",\"/w/x.fbp\",\"t\"\r\n";
    writeAll(list(), other);
    ASSERT_EQ(::chmod(list().toLocal8Bit(), 0664), 0);
    // Shared with the group, and, where we may give it away, another user's.
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(list().toLocal8Bit(), 65534, 65534), 0);
    }
    ASSERT_FALSE(addToFileList(dir.path(), u"/w/a.pr3"_s, u"pr3"_s, noon));
    struct stat status {};
    ASSERT_EQ(::stat(list().toLocal8Bit(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0664u);
    if (root) {
        EXPECT_EQ(status.st_uid, 65534u);
    }
    EXPECT_EQ(readAll(list()), other + recordOf("pr3", u"/w/a.pr3"_s));

    // A list that is a link to a shared one: the shared list is written, the link stays.
    QTemporaryDir shared;
    const QString target = shared.filePath(u"CBLFileList3.txt"_s);
    ASSERT_TRUE(QFile::rename(list(), target));
    ASSERT_TRUE(QFile::link(target, list()));
    ASSERT_FALSE(addToFileList(dir.path(), u"/w/b.pr3"_s, u"pr3"_s, noon));
    EXPECT_TRUE(QFileInfo(list()).isSymLink());
    EXPECT_EQ(readAll(target),
              other + recordOf("pr3", u"/w/a.pr3"_s) + recordOf("pr3", u"/w/b.pr3"_s));
    EXPECT_FALSE(QFile::exists(dir.filePath(u"famlist.tmp"_s)));
    EXPECT_FALSE(QFile::exists(shared.filePath(u"famlist.tmp"_s)));

    // Write-protected: refused, and left as it was, even for root.
    const QByteArray before = readAll(target);
    ASSERT_EQ(::chmod(target.toLocal8Bit(), 0444), 0);
    const std::optional<QString> refused = addToFileList(dir.path(), u"/w/c.pr3"_s, u"pr3"_s, noon);
    ASSERT_TRUE(refused.has_value());
    EXPECT_TRUE(refused->startsWith(u"Problem saving to CBL list\n75-"_s))
        << refused->toStdString();
    EXPECT_TRUE(refused->contains(u"write-protected"_s) && refused->contains(u"chmod u+w"_s))
        << refused->toStdString();
    EXPECT_EQ(readAll(target), before);
    ASSERT_EQ(::stat(target.toLocal8Bit(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0444u);
}

TEST_F(FileListTest, AWriteThatFailsLeavesTheOldListByteForByte) {
    QByteArray old;
    for (int i = 0; i < 200; ++i)
        old += "\"dat\",\"/w/" + QByteArray::number(i) + ".dat\",\"t\"\r\n";
    writeAll(list(), old);
    // Files may grow no larger than half the list: the new list cannot be written whole.
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit small{rlim_t(old.size() / 2), limit.rlim_max};
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::optional<QString> problem = addToFileList(dir.path(), u"/w/a.pr3"_s, u"pr3"_s, noon);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, oldSignal);

    ASSERT_TRUE(problem.has_value());
    EXPECT_TRUE(problem->startsWith(u"Problem saving to CBL list\n"_s)) << problem->toStdString();
    EXPECT_TRUE(problem->contains(list() + u" is left as it was"_s)) << problem->toStdString();
    EXPECT_EQ(readAll(list()), old);
    EXPECT_FALSE(QFile::exists(dir.filePath(u"famlist.tmp"_s)));
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
