#include "app/AppState.h"
#include "app/commands/PhotoDisplayCommands.h"
#include "app/commands/QueryCommands.h"
#include "app/commands/ReportCommands.h"
#include "app/commands/ResultsListCommands.h"
#include "app/commands/Startup.h"
#include "app/widgets/MainWindow.h"
#include "app/widgets/QtDialogs.h"
#include "catalogue/CatalogueStatements.h"
#include "display/widgets/LoadingChartView.h"
#include "document/ReportRenderer.h"
#include "platform/Dialogs.h"
#include "reports/ReportFiles.h"
#include "reports/widgets/ReportPreview.h"
#include "support/PaintedText.h"
#include "support/PrintedReport.h"
#include "support/ReportFixture.h"
#include "support/ReportItems.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedSeams.h"
#include "support/TestInstallation.h"
#include "support/TestPrintServer.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMap>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

using namespace tarnwick;
using namespace tarnwick::commands;
using namespace Qt::StringLiterals;
using tarnwick::test::ScriptedDialogs;
using tarnwick::test::TestCatalogue;
using tarnwick::test::TestInstallation;

namespace {

using test::itemsOf;
using test::textsOf;

const TextBlock* bodyText(const ReportPage& page, const QString& text) {
    for (const TextBlock* block : textsOf(page, TextRole::Body))
        if (block->text == text)
            return block;
    return nullptr;
}

QStringList linesOf(const TextBlock& block) {
    QStringList lines;
    for (const TextRun& run : block.runs)
        lines << run.text;
    return lines;
}

// Where the page's first run of a text starts.
QPointF origin(const ReportPage& page, const QString& text) {
    const TextBlock* block = bodyText(page, text);
    return block && !block->runs.empty() ? block->rect.topLeft() : QPointF(-1, -1);
}

constexpr double margin = 1000;
const QString notice = reportNoticeLine();

class ReportsTest : public test::ReportFixture {};

} // namespace

TEST_F(ReportsTest, FuelProfileReportPrintsItsValuesAndOnePictureOfEachSourcePhoto) {
    // All four components from one photo: one caption and one picture under the paragraphs.
    const auto same = profileReport(profileFrom(u"B1/P1"_s, u"B1/P1"_s, u"B1/P1"_s, u"B1/P1"_s));
    ASSERT_EQ(same->document.pageCount(), 1);
    const ReportPage& page = same->document.pages()[0];
    QStringList paragraphs;
    for (const TextBlock* block : textsOf(page, TextRole::Body))
        paragraphs << block->text;
    const QString source = u"Source Photo: "_s;
    EXPECT_EQ(paragraphs, (QStringList{
                              u"Loading(t/ac): "_s,
                              u"\tDDW .0\"3\":\t4.5\t"_s + source + u"\tB1/P1"_s,
                              u"\tDDW 3.1\" plus:\t10\t"_s + source + u"\tB1/P1"_s,
                              u"\tDDW Total:\t14.5"_s,
                              u"\tHerb:\t\t0.5"_s,
                              u"\tShrub:\t\t1.2"_s,
                              u"\rDepths:"_s,
                              u"\tDuff Depth:\t1.0\t"_s + source + u"\tB1/P1"_s,
                              u"\tFuel Bed Depth:\t2.5\t"_s + source + u"\tB1/P1"_s,
                              u"Notes: \r"_s,
                              u"B1/P1"_s,
                          }));
    EXPECT_EQ(origin(page, u"B1/P1"_s), QPointF(margin + 1440, 4500));
    // The values line up: the short labels' second tab reaches where the long ones' first does.
    const TextBlock* herb = bodyText(page, u"\tHerb:\t\t0.5"_s);
    const TextBlock* total = bodyText(page, u"\tDDW Total:\t14.5"_s);
    ASSERT_TRUE(herb && total);
    EXPECT_DOUBLE_EQ(herb->runs.back().origin.x(), total->runs.back().origin.x());
    const auto pictures = itemsOf<PictureItem>(page);
    ASSERT_EQ(pictures.size(), 1u);
    // 3:2 into 3.2 by 2.16 in: the full width, the height in proportion, at the box's top.
    EXPECT_EQ(pictures[0]->rect, QRectF(margin, 5000, 4608, 3072));
    EXPECT_TRUE(itemsOf<RectangleItem>(page).empty());

    // Four photos, two without a picture (one with no file, one no longer in the list): the
    // grid's positions, and frames with " No image available" where pictures are missing.
    const auto four = profileReport(profileFrom(u"B1/P1"_s, u"B2/P2"_s, u"B2/P3"_s, u"B9/P9"_s));
    const ReportPage& grid = four->document.pages()[0];
    EXPECT_EQ(origin(grid, u"B1/P1"_s), QPointF(margin + 1440, 4500));
    EXPECT_EQ(origin(grid, u"B2/P2"_s), QPointF(margin + 6336, 4500));
    EXPECT_EQ(origin(grid, u"B2/P3"_s), QPointF(margin + 1440, 8500));
    EXPECT_EQ(origin(grid, u"B9/P9"_s), QPointF(margin + 6336, 8500));
    std::vector<QPointF> pictureCorners;
    for (const PictureItem* picture : itemsOf<PictureItem>(grid))
        pictureCorners.push_back(picture->rect.topLeft());
    EXPECT_EQ(pictureCorners, (std::vector<QPointF>{{margin, 5000}, {margin + 5040, 5000}}));
    std::vector<QRectF> frames;
    for (const RectangleItem* frame : itemsOf<RectangleItem>(grid))
        frames.push_back(frame->rect);
    EXPECT_EQ(frames, (std::vector<QRectF>{QRectF(QPointF(margin, 9000), QPointF(5608, 11880)),
                                           QRectF(QPointF(6048, 9000), QPointF(10656, 12110.4))}));
    std::vector<QPointF> missing;
    for (const TextBlock* block : textsOf(grid, TextRole::Body))
        if (block->text == u" "_s + noImageText)
            missing.push_back(block->rect.topLeft());
    EXPECT_EQ(missing, (std::vector<QPointF>{{margin + 1440, 10440}, {margin + 6192, 10440}}));
}

TEST_F(ReportsTest, ComparisonReportPutsPicturesChartsAndPlatesSideBySide) {
    show(0, 1);
    show(1, 3);
    const auto report = comparisonReportOf(state, reportLoadingChart);
    EXPECT_EQ(report->title, u"Tarnwick - Comparison of Photos"_s);
    ASSERT_EQ(report->document.pageCount(), 1);
    const ReportPage& page = report->document.pages()[0];

    const TextBlock* labels = bodyText(page, u"B1/P1\t\t\t\t\tB2/P3"_s);
    ASSERT_TRUE(labels);
    ASSERT_EQ(labels->runs.size(), 2u);
    EXPECT_DOUBLE_EQ(labels->runs[1].origin.x(), margin + 5040); // over the right-hand picture

    const auto pictures = itemsOf<PictureItem>(page);
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0]->rect.topLeft(), QPointF(margin, 1910));
    const auto frames = itemsOf<RectangleItem>(page);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0]->rect, QRectF(QPointF(6048, 1910), QPointF(10656, 4996.8)));
    EXPECT_EQ(origin(page, noImageText), QPointF(margin + 6192, 3350));

    std::vector<QRectF> charts;
    for (const DrawingItem* chart : itemsOf<DrawingItem>(page))
        charts.push_back(chart->rect);
    EXPECT_EQ(charts, (std::vector<QRectF>{QRectF(margin, 5300, 4608, 2880),
                                           QRectF(margin + 5040, 5300, 4608, 2880)}));

    const auto plates = itemsOf<TableBlock>(page);
    ASSERT_EQ(plates.size(), 2u);
    EXPECT_EQ(plates[0]->rect.topLeft(), QPointF(margin, 8500));
    EXPECT_EQ(plates[1]->rect.topLeft(), QPointF(margin + 5040, 8500));
    EXPECT_LE(plates[0]->rect.right(), plates[1]->rect.left()) << "the plates overlap";
    EXPECT_EQ(plates[0]->rowHeights.size(), 19u);
    EXPECT_EQ(plates[1]->rowHeights.size(), 16u);

    // Drawn at the comparison's size, the charts still paint their heading and every bar label
    // whole, as text.
    test::TextRecordingDevice device(QSize(1224, 1584), 144);
    QPainter painter(&device);
    painter.scale(144 / twipsPerInch, 144 / twipsPerInch);
    paintPageInTwips(painter, page);
    painter.end();
    QStringList painted = device.texts();
    for (QString& text : painted)
        text.replace(QChar::Nbsp, u' ').remove(QChar(0x200B));
    const QString all = painted.join(u'\n');
    EXPECT_EQ(all.count(u"DDW Total Tons per Acre(t/ac) by Size Class"_s), 2);
    for (int slot = 0; slot < 2; ++slot) {
        const PlateSource source{state.displaySlot(slot).photo, state.displaySlot(slot).book,
                                 QString()};
        for (const ChartBar& bar :
             loadingChartContent(source, overThreeClassCase(state.displaySlot(slot).book)).bars)
            EXPECT_TRUE(painted.contains(bar.label.trimmed()) || painted.contains(bar.label))
                << bar.label.toStdString();
    }
    EXPECT_FALSE(all.contains(u'\u2026')) << "a text was cut short";

    // Both pictures there: each in its own column (the right one starts 3.5 in from the margin),
    // at the column's left edge and clear of the other.
    show(1, 2);
    const auto both = comparisonReportOf(state, reportLoadingChart);
    const auto shown = itemsOf<PictureItem>(both->document.pages()[0]);
    ASSERT_EQ(shown.size(), 2u);
    const QRectF leftPicture = shown[0]->rect;
    const QRectF rightPicture = shown[1]->rect;
    // 3:2 into 3.2 by 2.16 in: the full width, the height in proportion.
    EXPECT_EQ(leftPicture, QRectF(margin, 1910, 4608, 3072));
    EXPECT_EQ(rightPicture, QRectF(margin + 5040, 1910, 4608, 3072));
    EXPECT_FALSE(leftPicture.intersects(rightPicture));
    EXPECT_LE(leftPicture.right(), margin + 5040);
    EXPECT_LE(rightPicture.right(), 12240 - margin);
    EXPECT_TRUE(itemsOf<RectangleItem>(both->document.pages()[0]).empty());
}

TEST_F(ReportsTest, PhotoReportFitsOnePageAndEveryPageCarriesHeadingAndFooter) {
    show(0, 1);
    const auto photo = photoReportOf(state, reportLoadingChart);
    EXPECT_EQ(photo->title, u"Tarnwick - B1/P1"_s);
    ASSERT_EQ(photo->document.pageCount(), 1) << "a 19-row plate with picture and chart";
    const ReportPage& page = photo->document.pages()[0];
    const auto pictures = itemsOf<PictureItem>(page);
    const auto charts = itemsOf<DrawingItem>(page);
    const auto plates = itemsOf<TableBlock>(page);
    ASSERT_EQ(pictures.size(), 1u);
    ASSERT_EQ(charts.size(), 1u);
    ASSERT_EQ(plates.size(), 1u);
    // 3:2 into 5 by 2.7 in: the full height, the width in proportion, from the box's left edge
    // like the chart and the plate under it.
    EXPECT_EQ(pictures[0]->rect.topLeft(), QPointF(margin, 1440));
    EXPECT_NEAR(pictures[0]->rect.height(), 3888, 0.5);
    EXPECT_NEAR(pictures[0]->rect.width(), 3888 * 1.5, 0.5);
    EXPECT_EQ(charts[0]->rect, QRectF(margin, pictures[0]->rect.bottom() + 200, 7200, 3888));
    EXPECT_EQ(plates[0]->rect.topLeft(), QPointF(margin, charts[0]->rect.bottom() + 200));
    EXPECT_EQ(plates[0]->rowHeights.size(), 19u);

    // Without its picture file the photo report says so and the chart moves up.
    show(0, 3);
    const auto bare = photoReportOf(state, reportLoadingChart);
    const ReportPage& barePage = bare->document.pages()[0];
    EXPECT_EQ(origin(barePage, noImageText), QPointF(margin, 2000));
    ASSERT_EQ(itemsOf<DrawingItem>(barePage).size(), 1u);
    EXPECT_EQ(itemsOf<DrawingItem>(barePage)[0]->rect.top(), 2500);

    // Long notes: the pictures go to the next page, and every page has the title, the rule of
    // exactly 90 underscores and its own number at the right of the footer.
    FuelProfile long_ = profileFrom(u"B1/P1"_s, {}, {}, {});
    long_.notes = u"Thinned in 2019, slash piled on the east side of the unit. "_s.repeated(40);
    const auto profile = profileReport(long_);
    ASSERT_EQ(profile->document.pageCount(), 2);
    EXPECT_EQ(origin(profile->document.pages()[1], u"B1/P1"_s), QPointF(margin + 1440, 1440));
    for (const auto& report : {photo, bare, profile}) {
        for (const ReportPage& each : report->document.pages()) {
            SCOPED_TRACE(report->title.toStdString() + " page " + std::to_string(each.number));
            const auto heading = textsOf(each, TextRole::Heading);
            ASSERT_EQ(heading.size(), 2u);
            EXPECT_EQ(linesOf(*heading[0]), QStringList{report->title});
            EXPECT_EQ(linesOf(*heading[1]), QStringList{QString(90, u'_')});
            const auto footer = textsOf(each, TextRole::Footer);
            ASSERT_EQ(footer.size(), 2u);
            EXPECT_EQ(linesOf(*footer[0]), QStringList{notice});
            EXPECT_EQ(linesOf(*footer[1]), QStringList{u" Page: %1"_s.arg(each.number)});
            const TextRun& number = footer[1]->runs.back();
            EXPECT_NEAR(number.origin.x() + number.width, 12240 - margin, 1);
            for (const PageItem& item : each.items) {
                const auto* text = std::get_if<TextBlock>(&item);
                if (!text || text->role == TextRole::Body) {
                    EXPECT_LE(boundsOf(item).bottom(), 15840 - 1440 + 1) << "below the margin";
                }
            }
        }
    }
}

TEST_F(ReportsTest, SavingFollowsTheNameAsksBeforeReplacingAndSaysWhatFailed) {
    show(0, 1);
    const auto report = photoReportOf(state, reportLoadingChart);
    const QString reports = installation.paths().file(u"Reports"_s);
    ASSERT_FALSE(QFileInfo::exists(reports));

    // The first save makes the Reports folder and opens the dialog there; the name decides.
    dialogs.fileNext(reports + u"/summary.rtf.pdf"_s);
    EXPECT_EQ(saveReportCommand(dialogs, installation.paths(), *report), SaveOutcome::Saved);
    EXPECT_TRUE(QFileInfo(reports).isDir());
    ASSERT_FALSE(dialogs.shown().empty());
    const ScriptedDialogs::Shown dialog = dialogs.shown().back();
    EXPECT_EQ(dialog.kind, u"save"_s);
    EXPECT_EQ(dialog.title, u"Save Report ..."_s);
    EXPECT_EQ(QDir(dialog.directory), QDir(reports));
    EXPECT_EQ(dialog.filter, u"WORD Richtext (*.rtf);;Portable Document Format (*.pdf)"_s);
    const auto contents = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    EXPECT_EQ(contents(reports + u"/summary.rtf.pdf"_s), report->richText);
    dialogs.fileNext(reports + u"/B.RTF"_s);
    saveReportCommand(dialogs, installation.paths(), *report);
    EXPECT_EQ(contents(reports + u"/B.RTF"_s), report->richText);
    const QString pdf = reports + u"/c.pdf"_s;
    dialogs.fileNext(pdf);
    saveReportCommand(dialogs, installation.paths(), *report);
    EXPECT_TRUE(contents(pdf).startsWith("%PDF"));
    EXPECT_TRUE(contents(pdf).contains("/MediaBox [0 0 612.000000 792.000000]"));

    // The dialog's name: without an extension it takes the chosen filter's, so "summary" under
    // the rich-text filter is rich text; with one the name still decides; a cancel stays empty.
    const QStringList filters = reportSaveFilter.split(u";;"_s);
    ASSERT_EQ(filters.size(), 2);
    const QString typed = reports + u"/summary"_s;
    EXPECT_EQ(withChosenFilterExtension(typed, filters[0]), typed + u".rtf"_s);
    EXPECT_EQ(withChosenFilterExtension(typed, filters[1]), typed + u".pdf"_s);
    EXPECT_EQ(withChosenFilterExtension(typed + u"."_s, filters[0]), typed + u".rtf"_s);
    EXPECT_EQ(withChosenFilterExtension(typed + u".RTF"_s, filters[1]), typed + u".RTF"_s);
    EXPECT_EQ(withChosenFilterExtension(typed + u".rtf.pdf"_s, filters[0]), typed + u".rtf.pdf"_s);
    const QString dotted = installation.appDir() + u"/v1.2/summary"_s; // a folder's dot
    EXPECT_EQ(withChosenFilterExtension(dotted, filters[1]), dotted + u".pdf"_s);
    EXPECT_EQ(withChosenFilterExtension(typed, u"All files (*)"_s), typed);
    EXPECT_EQ(withChosenFilterExtension(QString(), filters[0]), QString());
    dialogs.fileNext(withChosenFilterExtension(typed, filters[0]));
    EXPECT_EQ(saveReportCommand(dialogs, installation.paths(), *report), SaveOutcome::Saved);
    EXPECT_EQ(contents(typed + u".rtf"_s), report->richText);
    EXPECT_FALSE(QFileInfo::exists(typed));

    // An existing file: the question with the full name; No keeps it, Yes replaces it.
    QFile old(pdf);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old report");
    old.close();
    dialogs.answerNext(Answer::No);
    EXPECT_EQ(saveReport(dialogs, pdf, *report), SaveOutcome::NotReplaced);
    EXPECT_EQ(dialogs.shown().back().kind, u"warningQuestion"_s);
    EXPECT_EQ(dialogs.shown().back().text, pdf + u" exists. Do you wish to replace it?"_s);
    EXPECT_EQ(contents(pdf), QByteArray("old report"));
    dialogs.answerNext(Answer::Yes);
    EXPECT_EQ(saveReport(dialogs, pdf, *report), SaveOutcome::Saved);
    EXPECT_TRUE(contents(pdf).startsWith("%PDF"));

    // A name that cannot be written is told, with the file, the cause and what to do.
    const QString nowhere = installation.appDir() + u"/no such folder/d.pdf"_s;
    EXPECT_EQ(saveReport(dialogs, nowhere, *report), SaveOutcome::Failed);
    EXPECT_EQ(dialogs.shown().back().kind, u"warning"_s);
    EXPECT_TRUE(dialogs.shown().back().text.contains(QDir::toNativeSeparators(nowhere)));
    EXPECT_TRUE(dialogs.shown().back().text.contains(u"does not exist. Choose another folder"_s));

    // Cancelling the dialog ends the command; a file in the way of the folder is told and the
    // dialog opens in the application folder instead.
    ASSERT_TRUE(QDir(reports).removeRecursively());
    QFile blocker(reports);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    dialogs.fileNext(QString());
    EXPECT_EQ(saveReportCommand(dialogs, installation.paths(), *report), SaveOutcome::Cancelled);
    const auto& shown = dialogs.shown();
    EXPECT_EQ(shown[shown.size() - 2].kind, u"warning"_s);
    EXPECT_TRUE(shown[shown.size() - 2].text.contains(QDir::toNativeSeparators(reports)));
    EXPECT_EQ(QDir(shown.back().directory), QDir(installation.appDir()));
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(ReportsTest, ReportCommandsCheckTheirPhotosWarnOfNoPrinterAndKeepTheAssistantAside) {
    QStringList events;
    bool assistantShown = true;
    std::shared_ptr<const ComposedReport> previewed;
    ReportHooks hooks;
    hooks.dialogs = &dialogs;
    hooks.printerInstalled = [] { return false; };
    hooks.chart = reportLoadingChart;
    hooks.list = list;
    hooks.assistantShown = [&] { return assistantShown; };
    hooks.hideAssistant = [&] { events << u"hide"_s; };
    hooks.showAssistant = [&] { events << u"show"_s; };
    hooks.preview = [&](std::shared_ptr<const ComposedReport> report) {
        events << u"preview"_s;
        previewed = std::move(report);
    };
    hooks.closePreview = [&] { events << u"close"_s; };
    const auto message = [&] { return state.statusLine.panelText(StatusLine::Message); };

    // Right after start-up no slot shows a photo: nothing is composed or asked.
    EXPECT_FALSE(printPhotoCommand(state, hooks));
    EXPECT_EQ(message(), u"ERROR - Can't print, no photo selected"_s);
    show(0, 1);
    EXPECT_FALSE(printComparisonCommand(state, hooks));
    EXPECT_EQ(message(), u"ERROR - Can't print, two photos  not selected"_s);
    EXPECT_TRUE(events.isEmpty());
    EXPECT_TRUE(dialogs.shown().empty());

    // A report: the assistant goes while it is composed, the missing printer is said once, the
    // export file holds the report's rich text.
    EXPECT_TRUE(printPhotoCommand(state, hooks));
    EXPECT_EQ(events, (QStringList{u"hide"_s, u"preview"_s, u"show"_s}));
    ASSERT_TRUE(previewed);
    EXPECT_EQ(previewed->title, u"Tarnwick - B1/P1"_s);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].kind, u"warning"_s);
    EXPECT_EQ(dialogs.shown()[0].text, u"Printer is not connected"_s);
    QFile exported(installation.paths().file(u"tmp_ddwrpt.rtf"_s));
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    EXPECT_EQ(exported.readAll(), previewed->richText);
    exported.close();

    // With the assistant closed it stays closed; an empty profile still prints.
    assistantShown = false;
    events.clear();
    hooks.printerInstalled = [] { return true; };
    EXPECT_TRUE(printFuelProfileCommand(state, hooks));
    EXPECT_EQ(events, QStringList{u"preview"_s});
    EXPECT_EQ(previewed->title, u"Tarnwick - Fuel Profile: Untitled"_s);
    EXPECT_EQ(dialogs.shown().size(), 1u);

    // Printer Setup chooses the printer of the reports to come and closes the preview, chosen
    // or cancelled.
    dialogs.printerNext(u"Office"_s);
    printerSetupCommand(state, hooks);
    EXPECT_EQ(state.reportPrinter, u"Office"_s);
    dialogs.printerNext(std::nullopt);
    printerSetupCommand(state, hooks);
    EXPECT_EQ(state.reportPrinter, u"Office"_s);
    EXPECT_EQ(dialogs.shown().back().directory, u"Office"_s) << "opened on the printer chosen";
    EXPECT_EQ(events, (QStringList{u"preview"_s, u"close"_s, u"close"_s}));
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(ReportsTest, ThePreviewZoomsTurnsPagesPrintsSavesAndCloses) {
    MainWindow window(state);
    test::ScriptedProcessRunner runner;
    test::ScriptedPathProbe probe({ProbeResult::Found});
    window.setServices(dialogs, runner, probe);
    window.setUp();
    window.reportHooks().printerInstalled = [] { return true; };
    window.listItemClicked(u"P1"_s);
    window.action(u"mnuPrintPhoto"_s)->trigger();
    ReportPreview* preview = window.reportPreview();
    ASSERT_TRUE(preview);
    preview->resize(800, 700);
    preview->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(preview));
    EXPECT_EQ(preview->report()->title, u"Tarnwick - B1/P1"_s);
    EXPECT_EQ(preview->findChild<QLabel*>(u"lblPage"_s)->text(), u"Page 1 of 1"_s);
    EXPECT_EQ(preview->findChild<QPushButton*>(u"cmdSave"_s)->toolTip(),
              u"Save Report to RTF or PDF format"_s);

    // Zoom: the page's width fills the view, the whole page fits it, or true size.
    const QSize view = preview->scrollArea()->viewport()->size();
    preview->setZoom(ReportPreview::Zoom::FitWidth);
    const QRect wide = preview->pagesView()->pageRect(0);
    EXPECT_LE(wide.width(), view.width());
    EXPECT_GT(wide.width(), view.width() - 80);
    preview->setZoom(ReportPreview::Zoom::FitPage);
    const QRect whole = preview->pagesView()->pageRect(0);
    EXPECT_LE(whole.height(), view.height());
    EXPECT_LT(whole.width(), wide.width());
    preview->setZoom(ReportPreview::Zoom::ActualSize);
    EXPECT_NEAR(preview->pagesView()->pageRect(0).width(), 8.5 * preview->logicalDpiX(), 2);
    const double before = preview->scale();
    QWheelEvent wheel(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(preview->scrollArea()->viewport(), &wheel);
    EXPECT_GT(preview->scale(), before * 1.1);
    EXPECT_EQ(preview->zoom(), ReportPreview::Zoom::Custom);

    // Print: the document goes to the printer the print dialog set up, on the printer chosen.
    state.reportPrinter = u"Office"_s;
    dialogs.printNext(PrintOutcome::Printed);
    QTest::mouseClick(preview->findChild<QPushButton*>(u"cmdPrint"_s), Qt::LeftButton);
    EXPECT_EQ(dialogs.shown().back().kind, u"print"_s);
    EXPECT_EQ(dialogs.shown().back().directory, u"Office"_s);
    EXPECT_TRUE(dialogs.printed().startsWith("%PDF"));
    EXPECT_TRUE(dialogs.printed().contains("/Count 1"));

    // A report of two pages: Page Down turns to the second.
    state.fuelProfile = profileFrom(u"B1/P1"_s, {}, {}, {});
    state.fuelProfile.notes = u"Notes that run long. "_s.repeated(500);
    // Taking a value enables the item; the profile was set here directly.
    window.action(u"mnuFuelProfilePrint"_s)->setEnabled(true);
    window.action(u"mnuFuelProfilePrint"_s)->trigger();
    ASSERT_EQ(window.reportPreview(), preview) << "one preview, its report replaced";
    ASSERT_GE(preview->pageCount(), 2);
    preview->setZoom(ReportPreview::Zoom::FitPage);
    QTest::keyClick(preview, Qt::Key_PageDown);
    EXPECT_EQ(preview->currentPage(), 1);
    EXPECT_EQ(preview->findChild<QLabel*>(u"lblPage"_s)->text(),
              u"Page 2 of %1"_s.arg(preview->pageCount()));
    QTest::keyClick(preview, Qt::Key_PageUp);
    EXPECT_EQ(preview->currentPage(), 0);

    // Save writes the report shown; Printer Setup closes the preview.
    const QString saved = installation.appDir() + u"/Reports/ridge.pdf"_s;
    dialogs.fileNext(saved);
    QTest::mouseClick(preview->findChild<QPushButton*>(u"cmdSave"_s), Qt::LeftButton);
    ASSERT_TRUE(QFileInfo::exists(saved));
    dialogs.printerNext(std::nullopt);
    QPointer<ReportPreview> watched(preview);
    window.action(u"mnuPrinterSetup"_s)->trigger();
    EXPECT_FALSE(window.reportPreview());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(watched) << "the preview and its report are gone";

    // The next report opens a fresh preview; Cancel closes it.
    window.action(u"mnuPrintPhoto"_s)->trigger();
    ASSERT_TRUE(window.reportPreview());
    QTest::mouseClick(window.reportPreview()->findChild<QPushButton*>(u"cmdCancel"_s),
                      Qt::LeftButton);
    EXPECT_FALSE(window.reportPreview());
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

// After a search by site values the photo report names the site's values and the photo's Match
// in one line right of the picture, still on one page; the comparison report gives each photo's
// Match between its chart and plate. An ordinary search drops the line again.
TEST_F(ReportsTest, AfterASiteSearchTheReportsCarryTheMatch) {
    SiteSearch site;
    site.site[size_t(SiteQuantity::Fine)] = 3.0;
    ASSERT_TRUE(runSiteSearch(state, site, [this] { fillResultsList(state); }));
    // 0-3" of every photo: 0.75 + 1.25 + 1.75; 1 - 0.75 / 6.85 rounds to 89 %.
    const QString line = u"Site: DDW 0\"-3\" (t/ac) 3; Match 89 %"_s;
    show(0, 1);
    const auto photo = photoReportOf(state, reportLoadingChart);
    ASSERT_EQ(photo->document.pageCount(), 1);
    const ReportPage& page = photo->document.pages()[0];
    const TextBlock* block = bodyText(page, line);
    ASSERT_NE(block, nullptr);
    const auto pictures = itemsOf<PictureItem>(page);
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_GE(block->rect.left(), pictures[0]->rect.right());
    EXPECT_FALSE(block->rect.intersects(itemsOf<TableBlock>(page)[0]->rect));

    show(1, 2);
    const auto both = comparisonReportOf(state, reportLoadingChart);
    const ReportPage& compared = both->document.pages()[0];
    EXPECT_EQ(origin(compared, u"Match 89 %"_s), QPointF(margin, 8200));
    const auto plates = itemsOf<TableBlock>(compared);
    ASSERT_FALSE(plates.empty());
    EXPECT_LE(bodyText(compared, u"Match 89 %"_s)->rect.bottom(), plates[0]->rect.top());

    state.activePhotoSet = state.database->run(statements::activePhotosAtStartUp);
    fillResultsList(state);
    EXPECT_EQ(bodyText(photoReportOf(state, reportLoadingChart)->document.pages()[0], line),
              nullptr);
}

namespace {

// Answers the next modal dialog as a person would: inspect sees it first, then it is accepted.
void acceptNextDialog(std::function<void(QDialog&)> inspect) {
    auto* poll = new QTimer(qApp); // gone with the application should no dialog come
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [poll, inspect = std::move(inspect)] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        inspect(*dialog);
        dialog->accept();
    });
    poll->start();
}

// The printers a dialog offers, and the one it has chosen.
QStringList printersOffered(QDialog& dialog, const QString& printer, QString* chosen) {
    QStringList offered;
    for (QComboBox* box : dialog.findChildren<QComboBox*>()) {
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        if (!items.contains(printer))
            continue;
        offered = items;
        if (chosen)
            *chosen = box->currentText();
    }
    return offered;
}

// The window's reports on a CUPS scheduler of the test's own with a PDF printer: the print and
// printer set-up dialogs are Qt's own on it, every other question is scripted.
class CupsPrintingTest : public ReportsTest {
protected:
    class PrintingDialogs : public ScriptedDialogs {
    public:
        std::optional<QString> choosePrinter(const QString& printer) override {
            return people.choosePrinter(printer);
        }
        PrintOutcome print(const QString& title, const QString& printer, int pageCount,
                           const PrintPages& paint) override {
            return people.print(title, printer, pageCount, paint);
        }
        QtDialogs people;
    };

    static void SetUpTestSuite() { server = new test::TestPrintServer; }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }

    void SetUp() override {
        if (!server->unavailable().isEmpty())
            GTEST_SKIP() << server->unavailable().toStdString();
        ReportsTest::SetUp();
        window = std::make_unique<MainWindow>(state);
        window->setServices(printing, runner, probe);
        window->setUp();
        window->listItemClicked(u"P1"_s);
    }

    void TearDown() override {
        if (server && server->unavailable().isEmpty())
            server->removePrinter();
    }

    qsizetype warningsShown() const {
        return std::count_if(
            printing.shown().begin(), printing.shown().end(),
            [](const ScriptedDialogs::Shown& shown) { return shown.kind == u"warning"_s; });
    }

    static inline test::TestPrintServer* server = nullptr;
    PrintingDialogs printing;
    test::ScriptedProcessRunner runner;
    test::ScriptedPathProbe probe{{ProbeResult::Found}};
    std::unique_ptr<MainWindow> window;
};

} // namespace

TEST_F(CupsPrintingTest, TheNoPrinterWarningAndPrinterSetupFollowWhatCupsHas) {
    // No printer at all: the check says so and a report warns before it is shown.
    EXPECT_FALSE(window->reportHooks().printerInstalled());
    window->action(u"mnuPrintPhoto"_s)->trigger();
    ASSERT_EQ(warningsShown(), 1);
    EXPECT_EQ(printing.shown().back().text, u"Printer is not connected"_s);
    ASSERT_TRUE(window->reportPreview());

    // The PDF printer: no warning, and Printer Setup lists it and chooses it.
    ASSERT_TRUE(server->addPrinter());
    EXPECT_TRUE(window->reportHooks().printerInstalled());
    window->action(u"mnuPrintPhoto"_s)->trigger();
    EXPECT_EQ(warningsShown(), 1);
    QStringList offered;
    acceptNextDialog([&](QDialog& dialog) {
        offered = printersOffered(dialog, server->printerName(), nullptr);
    });
    window->action(u"mnuPrinterSetup"_s)->trigger();
    EXPECT_TRUE(offered.contains(server->printerName())) << offered.join(u", ").toStdString();
    EXPECT_EQ(state.reportPrinter, server->printerName());

    // Taken away again, the warning is back.
    ASSERT_TRUE(server->removePrinter());
    window->action(u"mnuPrintPhoto"_s)->trigger();
    EXPECT_EQ(warningsShown(), 2);
}

TEST_F(CupsPrintingTest, APhotoReportPrintedOnThePdfPrinterHoldsTheReportsText) {
    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
        GTEST_SKIP() << "pdftotext is not installed (Debian package poppler-utils)";
    ASSERT_TRUE(server->addPrinter());
    state.reportPrinter = server->printerName();
    window->action(u"mnuPrintPhoto"_s)->trigger();
    ReportPreview* preview = window->reportPreview();
    ASSERT_TRUE(preview);
    const std::shared_ptr<const ComposedReport> report = preview->report();
    // The printer's folder is the machine's and may hold earlier jobs: a file counts as printed
    // when it is new or newer.
    const QDir outbox(server->outbox());
    const auto snapshot = [&] {
        QMap<QString, QDateTime> files;
        for (const QFileInfo& file : outbox.entryInfoList({u"*.pdf"_s}, QDir::Files))
            files.insert(file.fileName(), file.lastModified());
        return files;
    };
    const QMap<QString, QDateTime> before = snapshot();

    // The print dialog opens on the printer Printer Setup chose; printing sends the job.
    QString chosen;
    acceptNextDialog(
        [&](QDialog& dialog) { printersOffered(dialog, server->printerName(), &chosen); });
    QTest::mouseClick(preview->findChild<QPushButton*>(u"cmdPrint"_s), Qt::LeftButton);
    EXPECT_EQ(chosen, server->printerName());
    EXPECT_EQ(warningsShown(), 0) << "printed without a complaint";

    // The PDF printer writes the job once CUPS has run it through its filters.
    QString printed;
    QByteArray content;
    for (QDeadlineTimer deadline(90000); !deadline.hasExpired(); QTest::qWait(200)) {
        const QMap<QString, QDateTime> now = snapshot();
        for (auto file = now.begin(); file != now.end(); ++file)
            if (!before.contains(file.key()) || before.value(file.key()) != file.value())
                printed = outbox.filePath(file.key());
        if (printed.isEmpty())
            continue;
        QFile file(printed);
        if (file.open(QIODevice::ReadOnly) &&
            (content = file.readAll()).trimmed().endsWith("%%EOF"))
            break;
    }
    ASSERT_FALSE(printed.isEmpty()) << "nothing printed into " << server->outbox().toStdString();
    const QString text = test::pdfText(printed);
    QFile::remove(printed);
    ASSERT_TRUE(content.trimmed().endsWith("%%EOF"));
    test::expectPrintedAsComposed(text, *report);
}
