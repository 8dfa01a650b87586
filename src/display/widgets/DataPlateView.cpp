#include "display/widgets/DataPlateView.h"

#include "document/ReportRenderer.h"

#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>

namespace tarnwick {

namespace {

// The pane shows the page less this much each way.
constexpr double paneAllowance = 50;
constexpr int framePixels = 12;
// Bigger panes show the plate larger, up to twice its printed size, so it reads well on a
// projector; small panes shrink it only a little before it is cut off.
constexpr double largestZoom = 2.0;
// Below this the plate stops shrinking and scrolls instead: its text stays readable.
constexpr double smallestZoom = 0.85;

} // namespace

DataPlateView::DataPlateView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setBackgroundRole(QPalette::Base);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    redraw();
}

double DataPlateView::twipsPerPixel() const {
    return twipsPerInch / std::max(1, logicalDpiX());
}

void DataPlateView::setPlatePageSize(const QSizeF& twips) {
    fixedPageSize_ = twips;
    redraw();
}

std::optional<int> DataPlateView::showPhoto(const PlateSource& source) {
    if (!source.isComplete()) {
        clear();
        return std::nullopt;
    }
    const DataPlateContent content = dataPlateContent(source);
    showPlate(content);
    return content.overThreeClassCase;
}

void DataPlateView::showPlate(const DataPlateContent& content) {
    content_ = content;
    redraw();
}

void DataPlateView::clear() {
    content_.reset();
    redraw();
}

void DataPlateView::redraw() {
    QSizeF page = fixedPageSize_;
    if (page.isEmpty()) {
        const double perPixel = twipsPerPixel();
        page = QSizeF(std::max(1.0, width() * perPixel - paneAllowance),
                      std::max(1.0, height() * perPixel - paneAllowance));
    }
    prepareScreenPlate(document_, page.width(), page.height());
    if (content_)
        drawDataPlate(document_, 1, *content_, PlateDocument::Own);
    else
        document_.clear();
    updateGeometry();
    update();
}

QRectF DataPlateView::contentBounds(const ReportPage& page) const {
    return tarnwick::contentBounds(page);
}

std::pair<double, double> DataPlateView::contentSize() const {
    double width = 0;
    double height = 0;
    for (const ReportPage& page : document_.pages()) {
        const QRectF bounds = contentBounds(page);
        width = std::max(width, bounds.width());
        height += bounds.height();
    }
    return {width, height};
}

double DataPlateView::zoom() const {
    const auto [width, height] = contentSize();
    const double natural = 1.0 / twipsPerPixel();
    if (width <= 0 || height <= 0)
        return natural;
    const double fit = std::min((this->width() - 2.0 * framePixels) / width,
                                (this->height() - 2.0 * framePixels) / height);
    return std::clamp(fit, smallestZoom * natural, largestZoom * natural);
}

void DataPlateView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!content_ || document_.pages().empty()) {
        painter.fillRect(rect(), palette().base());
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(rect(), Qt::AlignCenter, tr("No photo selected"));
        return;
    }
    // The plate is drawn as it prints, black on paper with its light shading: it stays on white
    // whatever the desktop's palette, so a dark one leaves its texts legible.
    painter.fillRect(rect(), plateBackground);
    // A plate that ran onto a second page is shown in one piece: the parts stacked.
    const double scale = zoom();
    double y = framePixels;
    for (const ReportPage& page : document_.pages()) {
        const QRectF bounds = contentBounds(page);
        if (bounds.isEmpty())
            continue;
        painter.save();
        painter.translate(std::max<double>(framePixels, (width() - bounds.width() * scale) / 2), y);
        painter.scale(scale, scale);
        painter.translate(-bounds.topLeft());
        paintPageInTwips(painter, page);
        painter.restore();
        y += bounds.height() * scale;
    }
}

void DataPlateView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        Q_EMIT clicked();
    QWidget::mousePressEvent(event);
}

void DataPlateView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    redraw();
}

QSize DataPlateView::sizeHint() const {
    // The plate at its printed size: 4500 twips wide, about 19 rows.
    const double perPixel = twipsPerPixel();
    return QSize(int(4800 / perPixel) + 2 * framePixels, int(5600 / perPixel) + 2 * framePixels);
}

QSize DataPlateView::minimumSizeHint() const {
    // The plate at the smallest size that still reads; a scroll area around it shows the rest.
    const auto [width, height] = contentSize();
    if (!content_ || width <= 0 || height <= 0)
        return QSize(160, 120);
    const double scale = smallestZoom / twipsPerPixel();
    return QSize(int(std::ceil(width * scale)) + 2 * framePixels,
                 int(std::ceil(height * scale)) + 2 * framePixels);
}

} // namespace tarnwick
