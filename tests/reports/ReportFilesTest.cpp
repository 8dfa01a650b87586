#include "reports/ReportFiles.h"
#include "document/ReportRenderer.h"
#include "support/FailingWrites.h"

#include <gtest/gtest.h>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

using namespace tarnwick;
using namespace Qt::StringLiterals;
using tarnwick::test::DeviceFailingAfter;
using tarnwick::test::FileSizeLimit;

namespace {

std::shared_ptr<const ComposedReport> reportOfPages(int pages) {
    ReportDocument document;
    document.setPaperSize(PaperSize::Letter);
    document.setMargins(1000, 1440, 1000, 1440);
    document.startDocument();
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            document.newPage();
        for (int line = 0; line < 30; ++line)
            document.printParagraph(
                u"Page %1, line %2 of a fuel profile report"_s.arg(page).arg(line));
    }
    document.endDocument();
    return finishReport(std::move(document), u"Ridge"_s);
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(ReportFilesTest, AWriteThatFailsPartWayKeepsTheOldFileWholeAndSaysSo) {
    const auto report = reportOfPages(8);
    QTemporaryDir dir;
    for (const QString& name : {u"ridge.pdf"_s, u"ridge.rtf"_s}) {
        SCOPED_TRACE(name.toStdString());
        const QString path = dir.filePath(name);
        ASSERT_FALSE(writeReportFile(path, *report));
        const QByteArray good = bytesOf(path);
        ASSERT_GT(good.size(), 4000);
        // The old file's bytes stay reachable whatever a save does to the name.
        const QString kept = dir.filePath(name + u".kept"_s);
        ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(kept).constData()),
                  0);

        std::optional<QString> problem;
        {
            const FileSizeLimit limit(rlim_t(good.size() / 3));
            problem = writeReportFile(path, *report);
        }
        ASSERT_TRUE(problem) << "a cut-short file was reported as saved";
        EXPECT_TRUE(problem->contains(QDir::toNativeSeparators(path))) << problem->toStdString();
        EXPECT_TRUE(problem->contains(u"unchanged"_s)) << problem->toStdString();
        EXPECT_FALSE(problem->contains(u"Unknown error"_s)) << problem->toStdString();
        EXPECT_EQ(bytesOf(path), good);
        EXPECT_EQ(bytesOf(kept), good);
        // Nothing half-written is left beside it.
        EXPECT_EQ(QDir(dir.path()).entryList({name + u'*'}, QDir::Files | QDir::Hidden),
                  QStringList({name, name + u".kept"_s}));
    }
}

TEST(ReportFilesTest, ADeviceThatFillsUpIsAFailureAndIsNeverReplaced) {
    const auto report = reportOfPages(2);
    QByteArray whole;
    {
        QBuffer buffer(&whole);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(writePdf(report->document, buffer));
    }
    DeviceFailingAfter device(whole.size() - 1);
    EXPECT_FALSE(writePdf(report->document, device)) << "one byte short, yet written";
    DeviceFailingAfter roomy(whole.size());
    EXPECT_TRUE(writePdf(report->document, roomy));
    EXPECT_EQ(roomy.taken(), whole.size());

    struct stat before {};
    if (::stat("/dev/full", &before) != 0 || !S_ISCHR(before.st_mode))
        GTEST_SKIP() << "this machine has no /dev/full";
    const std::optional<QString> problem = writeReportFile(u"/dev/full"_s, *report);
    ASSERT_TRUE(problem) << "a PDF written to a full disk was reported as saved";
    EXPECT_TRUE(problem->contains(u"the disk is full"_s)) << problem->toStdString();
    struct stat after {};
    ASSERT_EQ(::stat("/dev/full", &after), 0);
    EXPECT_TRUE(S_ISCHR(after.st_mode)) << "the device was replaced by a plain file";
    EXPECT_EQ(after.st_rdev, before.st_rdev);
}
