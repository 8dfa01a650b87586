#pragma once

#include "display/DataPlate.h"
#include "document/ReportDocument.h"

#include <QChartView>
#include <QImage>
#include <QSize>

#include <optional>

namespace tarnwick {

// Fills a chart with a photo's size-class loadings: the two-line header as the title and one bar
// in its own colour for each size class, labelled with its bar label. Anything the chart held
// before is removed.
void fillLoadingChart(QChart& chart, const LoadingChartContent& content);
// Sizes the bar labels for a chart of the given width (pixels); their texts stay as they are.
void fitBarLabels(QChart& chart, double width);
// Breaks the heading's first line between words to fit a chart of the given width; the photo's
// label keeps its own line. The texts stay as they are.
void fitChartHeading(QChart& chart, double width);
// The width (in units of 1/96 in, the chart's own) at which the heading's words, the photo's
// label and the bar labels at their smallest size are all drawn whole.
double wholeChartWidth(const QChart& chart, const LoadingChartContent& content);
// The label text a bar category of the chart's axis shows.
QString shownBarLabel(const QString& category);

// The chart of a photo as a picture, for a report's picture box.
QImage renderLoadingChart(const LoadingChartContent& content, const QSize& pixels);

// The chart as vector graphics for a report's box (twips), laid out at the box's proportions and
// never so small that its heading or bar labels are cut: a small box prints it smaller instead.
ReportChart reportLoadingChart(const LoadingChartContent& content, const QSizeF& boxTwips);

// A photo's size-class loading chart on screen.
class LoadingChartView : public QChartView {
    Q_OBJECT
public:
    explicit LoadingChartView(QWidget* parent = nullptr);

    // Shows the chart of a photo's rows with the class case of the last plate drawn; the view is
    // cleared when the rows are incomplete.
    void showPhoto(const PlateSource& source, int overThreeClassCase);
    void showChart(const LoadingChartContent& content);
    void clear();
    bool hasChart() const { return content_.has_value(); }
    const std::optional<LoadingChartContent>& content() const { return content_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void clicked();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void fitToView();

    std::optional<LoadingChartContent> content_;
};

} // namespace tarnwick
