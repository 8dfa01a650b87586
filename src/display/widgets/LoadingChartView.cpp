#include "display/widgets/LoadingChartView.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QHorizontalStackedBarSeries>
#include <QPainter>
#include <QResizeEvent>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace tarnwick {

namespace {

// Fine fuels light, large wood dark: the classes read in order at a glance.
const QColor classColours[] = {QColor(0xf2, 0xd0, 0x8a), QColor(0xe9, 0xae, 0x5b),
                               QColor(0xdb, 0x86, 0x3c), QColor(0xbf, 0x5b, 0x2c),
                               QColor(0x96, 0x41, 0x26), QColor(0x6b, 0x30, 0x1f),
                               QColor(0x43, 0x22, 0x18)};

QColor colourOfClass(int sizeClass) {
    return classColours[std::clamp(sizeClass, 1, 7) - 1];
}

// A round upper end for the loading axis with five to eight steps.
double axisTop(double largest) {
    if (largest <= 0)
        return 1;
    const double raw = largest * 1.1 / 5;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    double step = magnitude;
    for (double factor : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        step = factor * magnitude;
        if (step >= raw)
            break;
    }
    return std::ceil(largest * 1.1 / step) * step;
}

const char* const fullLabelsProperty = "tarnwickFullLabels";

} // namespace

void fitBarLabels(QChart& chart, double width) {
    for (QAbstractAxis* axis : chart.axes(Qt::Vertical)) {
        auto* classes = qobject_cast<QBarCategoryAxis*>(axis);
        if (!classes)
            continue;
        const QStringList labels = classes->property(fullLabelsProperty).toStringList();
        // The chart cuts labels wider than about a third of it short. The labels pad with blanks
        // so the loadings line up, which a fixed-pitch font keeps; where even a small one is too
        // wide, the padding goes before any of the text does.
        const double room = width > 0 ? width / 3 : 1e9;
        QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        const double largest = std::max(8.0, QFont().pointSizeF() - 0.5);
        const auto widest = [&font](const QStringList& texts) {
            const QFontMetricsF metrics(font);
            double most = 0;
            for (const QString& text : texts)
                most = std::max(most, metrics.horizontalAdvance(text));
            return most;
        };
        QStringList shown;
        for (QString label : labels) {
            while (label.endsWith(u' '))
                label.chop(1);
            shown << label;
        }
        double size = largest;
        for (; size > 7.0; size -= 0.5) {
            font.setPointSizeF(size);
            if (widest(shown) <= room)
                break;
        }
        font.setPointSizeF(size);
        if (widest(shown) > room)
            for (QString& label : shown)
                label = label.simplified();
        // Fixed blanks keep runs of them from collapsing; the axis takes each category once.
        QStringList categories;
        for (QString label : shown) {
            label.replace(u' ', QChar::Nbsp);
            while (categories.contains(label))
                label += QChar::Nbsp;
            categories << label;
        }
        classes->setLabelsFont(font);
        if (classes->categories() != categories)
            classes->setCategories(categories);
    }
}

void fillLoadingChart(QChart& chart, const LoadingChartContent& content) {
    chart.removeAllSeries();
    for (QAbstractAxis* axis : chart.axes()) {
        chart.removeAxis(axis);
        delete axis;
    }
    chart.setAnimationOptions(QChart::NoAnimation);
    chart.setBackgroundRoundness(0);
    chart.setMargins(QMargins(6, 6, 12, 6));
    chart.setBackgroundBrush(Qt::white);
    chart.legend()->hide();

    QFont titleFont = chart.titleFont();
    titleFont.setPointSizeF(std::max(10.0, titleFont.pointSizeF() + 1));
    chart.setTitleFont(titleFont);
    const QString first = content.header.value(0).toHtmlEscaped();
    const QString second = content.header.value(1).toHtmlEscaped();
    chart.setTitle(content.header.isEmpty() ? QString()
                                            : QStringLiteral("<b>%1</b><br>%2").arg(first, second));
    if (content.bars.empty())
        return;

    // Bars lie across so each carries its whole label beside it. One bar set per size class,
    // each standing alone in its own row: every class gets its own colour.
    auto* series = new QHorizontalStackedBarSeries;
    QStringList categories;
    double largest = 0;
    const qsizetype count = qsizetype(content.bars.size());
    for (qsizetype i = 0; i < count; ++i) {
        const ChartBar& bar = content.bars[size_t(i)];
        auto* set = new QBarSet(bar.label);
        // Rows count from the bottom: the finest class goes in the top one.
        for (qsizetype j = 0; j < count; ++j)
            set->append(j == count - 1 - i ? bar.value.value_or(0.0) : 0.0);
        const QColor colour = colourOfClass(bar.sizeClass);
        set->setColor(colour);
        set->setBorderColor(colour.darker(130));
        series->append(set);
        largest = std::max(largest, bar.value.value_or(0.0));

        categories.prepend(bar.label);
    }
    series->setBarWidth(0.72);
    chart.addSeries(series);

    auto* classes = new QBarCategoryAxis;
    classes->setProperty(fullLabelsProperty, categories);
    classes->setGridLineVisible(false);
    chart.addAxis(classes, Qt::AlignLeft);
    fitBarLabels(chart, chart.size().width());
    series->attachAxis(classes);

    auto* loading = new QValueAxis;
    const double top = axisTop(largest);
    loading->setRange(0, top);
    loading->setTickType(QValueAxis::TicksDynamic);
    loading->setTickAnchor(0);
    loading->setTickInterval(top / 5);
    loading->setLabelFormat(top >= 10 ? QStringLiteral("%.0f") : QStringLiteral("%.1f"));
    loading->setTitleText(QObject::tr("Tons per acre (t/ac)"));
    loading->setGridLineColor(QColor(0xe2, 0xe2, 0xe2));
    chart.addAxis(loading, Qt::AlignBottom);
    series->attachAxis(loading);
}

QImage renderLoadingChart(const LoadingChartContent& content, const QSize& pixels) {
    QGraphicsScene scene;
    auto* chart = new QChart;
    scene.addItem(chart);
    const QRectF area(QPointF(0, 0), QSizeF(pixels));
    fillLoadingChart(*chart, content);
    fitBarLabels(*chart, area.width());
    chart->setGeometry(area);
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    scene.render(&painter, area, area);
    return image;
}

LoadingChartView::LoadingChartView(QWidget* parent) : QChartView(parent) {
    setRenderHint(QPainter::Antialiasing);
    setFrameShape(QFrame::NoFrame);
    chart()->legend()->hide();
    chart()->setBackgroundRoundness(0);
}

void LoadingChartView::showPhoto(const PlateSource& source, int overThreeClassCase) {
    if (source.isComplete())
        showChart(loadingChartContent(source, overThreeClassCase));
    else
        clear();
}

void LoadingChartView::showChart(const LoadingChartContent& content) {
    content_ = content;
    fillLoadingChart(*chart(), content);
    // The legend's label for a hovered bar, so it reads without looking across.
    for (QAbstractSeries* series : chart()->series())
        if (auto* bars = qobject_cast<QHorizontalStackedBarSeries*>(series))
            connect(bars, &QHorizontalStackedBarSeries::hovered, this,
                    [this](bool inside, int, QBarSet* set) {
                        setToolTip(inside ? set->label() : QString());
                    });
}

void LoadingChartView::clear() {
    content_.reset();
    fillLoadingChart(*chart(), {});
    setToolTip(QString());
}

void LoadingChartView::resizeEvent(QResizeEvent* event) {
    fitBarLabels(*chart(), event->size().width());
    QChartView::resizeEvent(event);
}

QSize LoadingChartView::sizeHint() const {
    return QSize(560, 360);
}

} // namespace tarnwick
