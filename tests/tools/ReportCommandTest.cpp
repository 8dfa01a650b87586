#include "profile/ProfileFile.h"
#include "support/BuiltProgram.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QScopeGuard>

using namespace tarnwick;
using namespace Qt::StringLiterals;
using tarnwick::test::TestCatalogue;
using tarnwick::test::TestInstallation;

namespace {

// A PDF's information text as QPdfWriter writes it: UTF-16 with its byte-order mark.
QByteArray pdfText(const QString& text) {
    QByteArray bytes("\xfe\xff");
    for (QChar c : text)
        bytes += char(c.unicode() >> 8), bytes += char(c.unicode() & 0xff);
    return bytes;
}

class ReportCommand : public ::testing::Test {
protected:
    void SetUp() override {
        {
            TestCatalogue catalogue(installation.cataloguePath());
            catalogue.addBook(u"B1"_s, true, {0.25, 1.0, 3.0, 6.0, 9.0, 20.0});
            for (int id = 1; id <= 2; ++id)
                catalogue.addPhoto(id, u"B1"_s, u"P%1"_s.arg(id),
                                   {{u"PhotoPic"_s, u"p%1.jpg"_s.arg(id)},
                                    {u"DataPic"_s, u"d%1.jpg"_s.arg(id)},
                                    {u"TonsPerAcreBreak1"_s, 1.5},
                                    {u"Oto3FL"_s, 1.5},
                                    {u"TotalFL"_s, 1.5}});
            catalogue.addPhoto(3, u"B1"_s, u"P3"_s); // names no data sheet: never shown
        }
        const QString folder = installation.paths().photoImagesDir() + u"/B1"_s;
        QDir().mkpath(folder);
        QImage picture(300, 200, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        ASSERT_TRUE(picture.save(folder + u"/p1.jpg"_s, "JPG"));
    }

    test::ProgramOutput report(const QStringList& arguments,
                               const test::RunOptions& options = {}) const {
        return test::runCli(installation,
                            QStringList{u"report"_s} + arguments +
                                QStringList{u"--app-dir"_s, installation.appDir()},
                            options);
    }

    TestInstallation installation;
};

} // namespace

TEST_F(ReportCommand, WritesEachReportAsTheNameSays) {
    const QString out = installation.appDir();
    const test::ProgramOutput photo =
        report({u"photo"_s, u"--id"_s, u"1"_s, u"--out"_s, out + u"/photo.pdf"_s});
    ASSERT_EQ(photo.exitCode, 0) << photo.errors.toStdString();
    const QByteArray pdf = test::fileContents(out + u"/photo.pdf"_s);
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_TRUE(pdf.endsWith("%%EOF\n")) << "the file is complete";
    EXPECT_TRUE(pdf.contains("/Title (" + pdfText(u"Tarnwick - B1/P1"_s) + ")"));
    EXPECT_TRUE(pdf.contains("/Creator (" + pdfText(u"Tarnwick"_s) + ")"));
    EXPECT_TRUE(pdf.contains("/MediaBox [0 0 612.000000 792.000000]"));
    EXPECT_TRUE(pdf.contains("/Subtype /Image")) << "the picture is embedded";

    // ".rtf" anywhere in the name, any case: rich text, A in slot 0 and B in slot 1.
    const test::ProgramOutput compare =
        report({u"compare"_s, u"--id=1"_s, u"--id=2"_s, u"--out"_s, out + u"/both.RTF.pdf"_s});
    ASSERT_EQ(compare.exitCode, 0) << compare.errors.toStdString();
    const QByteArray rtf = test::fileContents(out + u"/both.RTF.pdf"_s);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1"));
    EXPECT_TRUE(rtf.contains("B1/P1\\tab \\tab \\tab \\tab \\tab B1/P2"));

    FuelProfile profile;
    profile.name = u"Ridge"_s;
    profile.source0to3 = u"B1/P1"_s;
    profile.duffSource = u"B1/P2"_s;
    ASSERT_FALSE(writeProfileFile(out + u"/ridge.pr3"_s, encodeProfile(profile).bytes));
    const test::ProgramOutput fuel = report(
        {u"profile"_s, u"--profile"_s, out + u"/ridge.pr3"_s, u"--out"_s, out + u"/ridge.rtf"_s});
    ASSERT_EQ(fuel.exitCode, 0) << fuel.errors.toStdString();
    const QByteArray profileRtf = test::fileContents(out + u"/ridge.rtf"_s);
    EXPECT_TRUE(profileRtf.contains("Tarnwick - Fuel Profile: Ridge"));
    EXPECT_EQ(profileRtf.count("\\pngblip"), 1) << "B1/P2 has no picture file";
    EXPECT_TRUE(profileRtf.contains(" No image available"));
    // The command only reads the installation.
    EXPECT_FALSE(QFileInfo::exists(installation.paths().file(u"tmp_ddwrpt.rtf"_s)));
}

TEST_F(ReportCommand, RefusesBadArgumentsAndKeepsTheOldFileWhenItCannotWrite) {
    const QString out = installation.appDir() + u"/x.pdf"_s;
    const auto refused = [&](const QStringList& arguments, const QString& message) {
        const test::ProgramOutput result = report(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(result.errors.contains(message)) << result.errors.toStdString();
        EXPECT_FALSE(QFileInfo::exists(out));
    };
    refused({}, u"photo, compare or profile"_s);
    refused({u"photo"_s, u"--id"_s, u"1"_s}, u"--out FILE"_s);
    refused({u"compare"_s, u"--id"_s, u"1"_s, u"--out"_s, out}, u"--id A --id B"_s);
    refused({u"photo"_s, u"--id"_s, u"99"_s, u"--out"_s, out},
            u"photo ID 99 is not among the active photos"_s);
    refused({u"photo"_s, u"--id"_s, u"3"_s, u"--out"_s, out}, u"names no data sheet"_s);
    refused({u"profile"_s, u"--profile"_s, installation.appDir() + u"/none.pr3"_s, u"--out"_s, out},
            u"none.pr3 does not exist"_s);
    refused({u"photo"_s, u"--id"_s, u"1"_s, u"--out"_s, out, u"--page"_s, u"2"_s},
            u"unknown argument '--page'"_s);

    // A folder the user may not write in: the old report stays as it was and the message says
    // which file, why and what to do.
    const QString locked = installation.appDir() + u"/locked"_s;
    ASSERT_TRUE(QDir().mkpath(locked));
    const QString old = locked + u"/old.pdf"_s;
    QFile file(old);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("the report of last week");
    file.close();
    test::openToOrdinaryUser(installation);
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                      QFileDevice::ReadOther | QFileDevice::ExeOther);
    const auto unlock = qScopeGuard([&] {
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
    });
    const test::ProgramOutput blocked = report({u"photo"_s, u"--id"_s, u"1"_s, u"--out"_s, old},
                                               {.workingDirectory = {}, .asOrdinaryUser = true});
    EXPECT_EQ(blocked.exitCode, 1) << blocked.errors.toStdString();
    EXPECT_TRUE(blocked.errors.contains(QDir::toNativeSeparators(old)));
    EXPECT_TRUE(blocked.errors.contains(u"you may not write in"_s)) << blocked.errors.toStdString();
    EXPECT_EQ(test::fileContents(old), QByteArray("the report of last week"));
    EXPECT_EQ(QDir(locked).entryList(QDir::Files), QStringList{u"old.pdf"_s}) << "no leftovers";
}
