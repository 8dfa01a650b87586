#pragma once

#include "document/ReportDocument.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>

class QIODevice;
class QPainter;
class QPagedPaintDevice;

namespace tarnwick {

// Draws a page with the painter's coordinates taken as twips: the caller has set a transform
// from twips to the device (see twipsToDevice). Draws no paper background.
void paintPageInTwips(QPainter& painter, const ReportPage& page);

// Draws a page on white paper into target (the painter's own coordinates), scaled to the
// target's width and height with the page's proportions kept and centred in it.
void paintPage(QPainter& painter, const ReportPage& page, const QRectF& target);

// The scale from twips to a device with the given resolution.
inline double twipsToDevice(double dotsPerInch) {
    return dotsPerInch / twipsPerInch;
}

// One page as an image at the given resolution, on white.
QImage renderPageImage(const ReportPage& page, double dotsPerInch = 96);

// Prints the pages of the device's page ranges (every page when it has none) on a paged device
// (a PDF writer or a printer), each page on paper of its own size with no margins of the
// device's own. A printer should be in full-page mode. False when the device cannot be painted on
// or no page is chosen.
bool printDocument(const ReportDocument& document, QPagedPaintDevice& device);

// Writes the document as PDF, with the title and "Tarnwick" as creator in its information.
// False when it could not be drawn or not every byte could be written. Files are written through
// writeReportFile (ReportFiles.h), which replaces them only once the new one is complete.
bool writePdf(const ReportDocument& document, QIODevice& output, const QString& title = QString());

} // namespace tarnwick
