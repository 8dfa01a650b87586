#pragma once

#include "reports/ReportDocument.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>

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

// Prints every page on a paged device (a PDF writer or a printer), each page on paper of its
// own size with no margins of the device's own. A printer should be in full-page mode. False when
// the device cannot be painted on.
bool printDocument(const ReportDocument& document, QPagedPaintDevice& device);

// Writes the document as a PDF file; false when the file cannot be written.
bool writePdf(const ReportDocument& document, const QString& fileName,
              const QString& title = QString());

} // namespace tarnwick
