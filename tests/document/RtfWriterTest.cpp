#include "display/DataPlate.h"
#include "display/widgets/LoadingChartView.h"
#include "reports/ReportComposition.h"
#include "reports/ReportFiles.h"
#include "support/PrintedReport.h"
#include "support/ReportFixture.h"

#include <gtest/gtest.h>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cctype>
#include <vector>

using namespace tarnwick;
using namespace tarnwick::commands;
using namespace Qt::StringLiterals;

// The rich text of composed reports: the same pages as the document holds, as a word processor
// reads them.
class RtfWriterTest : public test::ReportFixture {
protected:
    const QString notice = reportNoticeLine();
};

namespace {

// Whether every group the text opens is closed, none too early, the last at its very end.
bool groupsBalance(const QByteArray& rtf) {
    int depth = 0;
    qsizetype last = rtf.size();
    while (last > 0 && std::isspace(static_cast<unsigned char>(rtf[last - 1])))
        --last;
    for (qsizetype i = 0; i < last; ++i) {
        const char c = rtf[i];
        if (c == '\\') {
            ++i; // an escaped brace or backslash, or the first letter of a control word
        } else if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth < 0 || (depth == 0 && i != last - 1))
                return false;
        }
    }
    return depth == 0;
}

// The group that starts at the first occurrence of a destination such as "{\header ".
QByteArray groupOf(const QByteArray& rtf, const QByteArray& start) {
    const qsizetype from = rtf.indexOf(start);
    if (from < 0)
        return {};
    int depth = 0;
    for (qsizetype i = from; i < rtf.size(); ++i) {
        if (rtf[i] == '\\')
            ++i;
        else if (rtf[i] == '{')
            ++depth;
        else if (rtf[i] == '}' && --depth == 0)
            return rtf.mid(from, i - from + 1);
    }
    return {};
}

struct Blip {
    QSize pixels;
    QSize goal;
    QImage image;
};

std::vector<Blip> pngBlips(const QByteArray& rtf) {
    static const QRegularExpression blip(
        uR"(\\pngblip\\picw(\d+)\\pich(\d+)\\picwgoal(\d+)\\pichgoal(\d+)\s+([0-9a-f\s]+)\})"_s);
    std::vector<Blip> found;
    auto matches = blip.globalMatch(QString::fromLatin1(rtf));
    while (matches.hasNext()) {
        const auto m = matches.next();
        QByteArray hex = m.captured(5).toLatin1();
        hex.replace('\n', QByteArray());
        found.push_back({QSize(m.captured(1).toInt(), m.captured(2).toInt()),
                         QSize(m.captured(3).toInt(), m.captured(4).toInt()),
                         QImage::fromData(QByteArray::fromHex(hex), "PNG")});
    }
    return found;
}

// The file's colour table: one entry up to each ";", an empty one the reader's automatic
// colour (an invalid colour here).
std::vector<QColor> colourTable(const QByteArray& rtf) {
    static const QRegularExpression entry(uR"(\\red(\d+)\\green(\d+)\\blue(\d+))"_s);
    QString table = QString::fromLatin1(groupOf(rtf, "{\\colortbl"));
    table = table.mid(10).chopped(1); // without "{\colortbl" and "}"
    QStringList entries = table.split(u';');
    entries.removeLast(); // what follows the last ";"
    std::vector<QColor> colours;
    for (const QString& each : entries) {
        const auto m = entry.match(each);
        colours.push_back(m.hasMatch() ? QColor(m.captured(1).toInt(), m.captured(2).toInt(),
                                                m.captured(3).toInt())
                                       : QColor());
    }
    return colours;
}

// Each table row's cells as their definitions give them: shading and the four borders' colours
// looked up in the colour table (invalid where a cell has none).
struct CellColours {
    QColor fill;
    std::vector<QColor> borders;
};

std::vector<std::vector<CellColours>> tableCellColours(const QByteArray& rtf) {
    const std::vector<QColor> colours = colourTable(rtf);
    const auto lookUp = [&colours](const QString& index) {
        const size_t i = size_t(index.toInt());
        return i < colours.size() ? colours[i] : QColor(Qt::transparent);
    };
    static const QRegularExpression fill(uR"(\\clcbpat(\d+))"_s);
    static const QRegularExpression border(uR"(\\brdrcf(\d+))"_s);
    std::vector<std::vector<CellColours>> rows;
    for (qsizetype at = rtf.indexOf("\\trowd"); at >= 0; at = rtf.indexOf("\\trowd", at + 1)) {
        const QString row = QString::fromLatin1(rtf.mid(at, rtf.indexOf("\\row", at) - at));
        // The definitions come before the first paragraph; each cell's ends with its right
        // edge, \cellxN, so piece i of the split holds cell i's and the last piece none.
        QStringList pieces = row.left(row.indexOf(u"\\pard"_s)).split(u"\\cellx"_s);
        pieces.removeLast();
        std::vector<CellColours> cells;
        for (const QString& cell : pieces) {
            CellColours found;
            if (const auto m = fill.match(cell); m.hasMatch())
                found.fill = lookUp(m.captured(1));
            for (auto m = border.globalMatch(cell); m.hasNext();)
                found.borders.push_back(lookUp(m.next().captured(1)));
            cells.push_back(found);
        }
        rows.push_back(std::move(cells));
    }
    return rows;
}

} // namespace

TEST_F(RtfWriterTest, HoldsThePagesAsComposed) {
    show(0, 1);
    show(1, 3);
    const auto comparison = comparisonReportOf(state, reportLoadingChart);
    const QByteArray rtf = comparison->richText;
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi"));
    EXPECT_TRUE(groupsBalance(rtf));
    EXPECT_TRUE(rtf.contains("\\paperw12240\\paperh15840\\margl1000\\margr1000\\margt1440"
                             "\\margb1440"));
    const QByteArray header = groupOf(rtf, "{\\header ");
    EXPECT_TRUE(header.contains("Tarnwick - Comparison of Photos\\par"));
    EXPECT_TRUE(header.contains(QByteArray(90, '_') + "\\par"));
    EXPECT_FALSE(header.contains(QByteArray(91, '_')));
    const QByteArray footer = groupOf(rtf, "{\\footer ");
    EXPECT_TRUE(footer.contains(notice.toLatin1() + "\\tab  Page: {\\field{\\*\\fldinst { PAGE }}"))
        << footer.toStdString();

    // One PNG for the picture and one for each chart, each the box's proportions.
    const std::vector<Blip> blips = pngBlips(rtf);
    ASSERT_EQ(blips.size(), 3u);
    for (const Blip& blip : blips) {
        ASSERT_FALSE(blip.image.isNull());
        EXPECT_EQ(blip.image.size(), blip.pixels);
        EXPECT_NEAR(double(blip.pixels.width()) / blip.pixels.height(),
                    double(blip.goal.width()) / blip.goal.height(), 0.02);
    }
    EXPECT_EQ(rtf.count("{\\sp{\\sn shapeType}{\\sv 1}}"), 1) << "the missing picture's frame";
    EXPECT_TRUE(rtf.contains(noImageText.toLatin1()));

    // The plates side by side are one table: 19 rows, the left plate's two columns, the gap to
    // the right plate at 3.5 in, its two columns.
    EXPECT_EQ(rtf.count("\\trowd"), 19);
    const QByteArray row =
        rtf.mid(rtf.indexOf("\\trowd"), rtf.indexOf("\\row") - rtf.indexOf("\\trowd"));
    static const QRegularExpression cellx(u"\\\\cellx(\\d+)"_s);
    QStringList bounds;
    for (auto m = cellx.globalMatch(QString::fromLatin1(row)); m.hasNext();)
        bounds << m.next().captured(1);
    EXPECT_EQ(bounds, (QStringList{u"3500"_s, u"4500"_s, u"5040"_s, u"8540"_s, u"9540"_s}));
    EXPECT_TRUE(row.contains("\\trleft0"));

    // Two pages: the break, the paragraphs with their tab stops, and text escaped.
    FuelProfile profile = profileFrom(u"B1/P1"_s, u"B2/P2"_s, {}, {});
    profile.name = u"Ridge {7} \\ \u00e9"_s;
    profile.notes = u"Thinned in 2019, slash piled on the east side of the unit. "_s.repeated(40);
    const auto twoPages = profileReport(profile);
    ASSERT_EQ(twoPages->document.pageCount(), 2);
    const QByteArray pages = twoPages->richText;
    EXPECT_TRUE(groupsBalance(pages));
    EXPECT_EQ(pages.count("\\pagebb"), 1);
    EXPECT_TRUE(groupOf(pages, "{\\header ").contains("Ridge \\{7\\} \\\\ \\u233?"));
    EXPECT_TRUE(pages.contains("\\tx720\\tx1440\\tx2520\\tx3600\\tx5220"));
    EXPECT_TRUE(pages.contains("\\tab DDW .0\"3\":\\tab 4.5\\tab Source Photo: \\tab B1/P1\\par"));
    EXPECT_EQ(pngBlips(pages).size(), 2u);

    // A photo report's plate: every cell's shading and borders, through the colour table, are
    // the plate's colours, row by row.
    show(0, 1);
    const auto photo = photoReportOf(state, reportLoadingChart);
    const auto rows = tableCellColours(photo->richText);
    ASSERT_EQ(rows.size(), 19u);
    for (size_t r = 0; r < rows.size(); ++r) {
        SCOPED_TRACE(r);
        ASSERT_EQ(rows[r].size(), 2u);
        const QColor expectedFill =
            r == 8 ? plateHeadingFill : (r >= 16 ? plateTotalsFill : QColor());
        for (const CellColours& cell : rows[r]) {
            EXPECT_EQ(cell.fill, expectedFill);
            EXPECT_EQ(cell.borders, std::vector<QColor>(4, plateGridColour));
        }
    }
}

TEST_F(RtfWriterTest, OpensInLibreOfficeAsComposed) {
    const QString office = QStandardPaths::findExecutable(u"soffice"_s);
    const QString pdftotext = QStandardPaths::findExecutable(u"pdftotext"_s);
    if (office.isEmpty() || pdftotext.isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) or pdftotext is not installed";
    show(0, 1);
    show(1, 3);
    FuelProfile profile = profileFrom(u"B1/P1"_s, u"B2/P3"_s, {}, {});
    profile.notes = u"Thinned in 2019. "_s.repeated(300);
    const std::vector<std::pair<QString, std::shared_ptr<const ComposedReport>>> reports{
        {u"comparison"_s, comparisonReportOf(state, reportLoadingChart)},
        {u"profile"_s, profileReport(profile)}};
    QTemporaryDir dir;
    QStringList files;
    for (const auto& [name, report] : reports) {
        files << dir.filePath(name + u".rtf"_s);
        ASSERT_FALSE(writeReportFile(files.back(), *report));
    }
    QProcess convert;
    convert.setWorkingDirectory(dir.path());
    // A profile of its own, so a LibreOffice the user has open is not disturbed.
    convert.start(office, QStringList{u"-env:UserInstallation=file://"_s + dir.filePath(u"lo"_s),
                                      u"--headless"_s, u"--convert-to"_s, u"pdf"_s, u"--outdir"_s,
                                      dir.path()} +
                              files);
    ASSERT_TRUE(convert.waitForFinished(180000));
    for (const auto& [name, report] : reports) {
        SCOPED_TRACE(name.toStdString());
        test::expectPrintedAsComposed(test::pdfText(dir.filePath(name + u".pdf"_s)), *report);
    }
}
