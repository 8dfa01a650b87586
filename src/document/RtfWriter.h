#pragma once

#include <QByteArray>
#include <QString>

namespace tarnwick {

class ReportDocument;

// The document as rich text (RTF 1.9) that word processors open as it was composed: the page
// size and margins; a header with the heading and a footer with its three parts and a page-number
// field; the body's paragraphs in their fonts with their tab stops, at their heights through
// exact line spacing and the space before each; the tables as tables (tables side by side as one
// table); pictures embedded as PNG, and pictures, charts, rectangles, lines and text placed
// beside the flow as shapes anchored to their page.
QByteArray writeRtf(const ReportDocument& document, const QString& title = QString());

} // namespace tarnwick
