#include "ReportBench.h"

#include "BenchSupport.h"

#include "app/AppState.h"
#include "app/commands/PhotoDisplayCommands.h"
#include "app/commands/ReportCommands.h"
#include "app/commands/ResultsListCommands.h"
#include "catalogue/CatalogueStatements.h"
#include "display/ImageDecoding.h"
#include "display/widgets/LoadingChartView.h"
#include "reports/ReportFiles.h"

#include <cstdio>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>

namespace tarnwick::bench {

using namespace tarnwick::commands;

namespace {

// The least the two files of a report take, with nothing of ours: Qt's PDF writer drawing the
// pictures decoded for their boxes and the given number of text lines on a Letter page, and each
// picture encoded as PNG at the rich text's resolution.
void pdfOfPicturesAndText(const QString& file, const QStringList& pictures,
                          const std::vector<QRectF>& boxesInches, int lines) {
    QPdfWriter writer(file);
    writer.setResolution(1200);
    writer.setPageSize(QPageSize(QPageSize::Letter));
    QPainter painter(&writer);
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        const QRectF box = boxesInches[size_t(i)];
        const QImage image = decodeImage(pictures[i], (box.size() * 300).toSize()).image;
        painter.drawImage(QRectF(box.topLeft() * 1200, box.size() * 1200), image);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.scaled((box.size() * 200).toSize(), Qt::KeepAspectRatio, Qt::SmoothTransformation)
            .save(&buffer, "PNG", 80);
    }
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(10);
    painter.setFont(font);
    for (int line = 0; line < lines; ++line)
        painter.drawText(QPointF(1000, 1000 + line * 170),
                         QStringLiteral("Average Duff Depth (in)  4.60"));
    painter.end();
}

} // namespace

bool benchReports(const QString& installation, const QString& work) {
    AppState state{AppPaths(installation)};
    state.database = PhotoDatabase::open(state.paths.cataloguePath(), CatalogueAccess::ReadOnly);
    state.activePhotoSet = state.database->run(statements::activePhotosAtStartUp);
    state.photoImageDir = state.paths.photoImagesDir();
    fillResultsList(state);
    const ResultsListAccess list = resultsListAccess(state.resultsList, {});

    // Four photos whose pictures are there, each shown as a click on its row would.
    QStringList labels;
    QStringList pictures;
    for (int row = 0; row < state.resultsList.rowCount() && labels.size() < 4; ++row) {
        const std::optional<ListEntry> entry = list.entryAt(row);
        const QString picture = entry ? photoImagePathFor(state, entry->text, list) : QString();
        if (entry && QFileInfo(picture).isFile() && !pictures.contains(picture)) {
            labels << entry->text;
            pictures << picture;
        }
    }
    if (labels.size() < 4) {
        std::fprintf(stderr, "the installation has fewer than four photos with pictures\n");
        return false;
    }
    PhotoDisplayHooks display;
    display.list = list;
    showListRow(state, 0, display);
    const QString pdf = QDir(work).filePath(QStringLiteral("report.pdf"));
    const QString reference = QDir(work).filePath(QStringLiteral("reference.pdf"));

    const double photo = bestOf(5, [&] {
        const auto report = photoReportOf(state, reportLoadingChart);
        writeExportFile(state, *report);
        if (writeReportFile(pdf, *report))
            std::exit(1);
    });
    const double photoReference = bestOf(5, [&] {
        pdfOfPicturesAndText(reference, {photoImagePathFor(state, labels[0], list)},
                             {QRectF(0.7, 1, 5, 2.7)}, 22);
    });

    FuelProfile& profile = state.fuelProfile;
    profile.name = QStringLiteral("Benchmark");
    profile.source0to3 = labels[0];
    profile.source3Plus = labels[1];
    profile.duffSource = labels[2];
    profile.fuelBedSource = labels[3];
    const double fuel = bestOf(5, [&] {
        const auto report = fuelProfileReportOf(state, list);
        writeExportFile(state, *report);
        if (writeReportFile(pdf, *report))
            std::exit(1);
    });
    const double fuelReference = bestOf(5, [&] {
        pdfOfPicturesAndText(reference, pictures,
                             {QRectF(0.7, 3.5, 3.2, 2.16), QRectF(4.2, 3.5, 3.2, 2.16),
                              QRectF(0.7, 6.2, 3.2, 2.16), QRectF(4.2, 6.2, 3.2, 2.16)},
                             16);
    });

    const QString writer = QStringLiteral("Qt PDF+PNG alone");
    bool ok = report(QStringLiteral("photo report to PDF and rich text"), photo, writer,
                     photoReference, 3.0);
    ok = reportLimit(QStringLiteral("photo report to PDF and rich text"), photo, 300) && ok;
    ok = report(QStringLiteral("profile report, 4 pictures, to PDF and rich text"), fuel, writer,
                fuelReference, 3.0) &&
         ok;
    ok = reportLimit(QStringLiteral("profile report, 4 pictures, to PDF and rich text"), fuel,
                     500) &&
         ok;
    return ok;
}

} // namespace tarnwick::bench
