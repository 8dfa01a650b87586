#pragma once

#include "display/DataPlate.h"
#include "document/ReportDocument.h"

#include <QSizeF>
#include <QWidget>

#include <optional>
#include <utility>

namespace tarnwick {

// A photo's data plate on screen: the plate is drawn into the view's own document, on a page the
// size of the view (less 50 twips each way) unless the main window has fixed the plate page size,
// and shown scaled to the view so it stays readable at any pane size.
class DataPlateView : public QWidget {
    Q_OBJECT
public:
    explicit DataPlateView(QWidget* parent = nullptr);

    // The plate page size held for both screen plates (twips); an empty size lets the page
    // follow the view.
    void setPlatePageSize(const QSizeF& twips);
    QSizeF pageSize() const { return document_.pageSize(); }

    // Shows the plate of a photo's rows; the view is cleared when the rows are incomplete (photo
    // no longer active, book missing). Returns the plate's class case, to be kept for the chart.
    std::optional<int> showPhoto(const PlateSource& source);
    void showPlate(const DataPlateContent& content);
    void clear();
    bool hasPlate() const { return content_.has_value(); }
    const std::optional<DataPlateContent>& plate() const { return content_; }
    const ReportDocument& document() const { return document_; }

    // The scale from twips to the view's pixels the plate is drawn at.
    // The widest page and the pages' heights added up, in twips.
    std::pair<double, double> contentSize() const;
    double zoom() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void redraw();
    double twipsPerPixel() const;
    // The area the plate's content covers on each page, stacked one under the other.
    QRectF contentBounds(const ReportPage& page) const;

    ReportDocument document_;
    std::optional<DataPlateContent> content_;
    QSizeF fixedPageSize_;
};

} // namespace tarnwick
