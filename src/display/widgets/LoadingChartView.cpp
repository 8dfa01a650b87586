#include "display/widgets/LoadingChartView.h"

#include "display/AxisScale.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QHorizontalStackedBarSeries>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>

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

const char* const fullLabelsProperty = "tarnwickFullLabels";
const char* const headingProperty = "tarnwickHeading";
// Room the chart keeps beside its title, in its own units.
constexpr double titleSlack = 12;
// Below this the labels no longer read on screen; a narrower chart asks for more room instead.
constexpr double smallestLabelPoints = 6.0;

} // namespace

namespace {

QFont labelFont(double points) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(points);
    return font;
}

double widestLabel(const QStringList& labels, const QFont& font) {
    const QFontMetricsF metrics(font);
    double most = 0;
    for (const QString& text : labels)
        most = std::max(most, metrics.horizontalAdvance(text));
    return most;
}

// The chart gives its left axis at most about a third of its width and cuts longer labels short.
// The labels pad with blanks so the loadings line up, which a fixed-pitch font keeps; they are
// fitted by their size alone, never by changing their text.
QFont barLabelFont(const QStringList& labels, double width) {
    const double room = width > 0 ? width / 3 : std::numeric_limits<double>::max();
    double size = std::max(smallestLabelPoints, QFont().pointSizeF() - 0.5);
    while (size > smallestLabelPoints && widestLabel(labels, labelFont(size)) > room)
        size -= 0.5;
    return labelFont(size);
}

} // namespace

QString shownBarLabel(const QString& category) {
    QString text = category;
    text.replace(QChar::Nbsp, u' ');
    text.remove(QChar(0x200B));
    return text;
}

void fitBarLabels(QChart& chart, double width) {
    for (QAbstractAxis* axis : chart.axes(Qt::Vertical)) {
        auto* classes = qobject_cast<QBarCategoryAxis*>(axis);
        if (!classes)
            continue;
        const QStringList labels = classes->property(fullLabelsProperty).toStringList();
        // The axis draws its labels as rich text, which would fold runs of blanks into one:
        // fixed blanks keep them. It takes each category once, so a label that happens to equal
        // another gets an invisible mark.
        QStringList categories;
        for (QString label : labels) {
            label.replace(u' ', QChar::Nbsp);
            while (categories.contains(label))
                label += QChar(0x200B);
            categories << label;
        }
        classes->setLabelsFont(barLabelFont(labels, width));
        if (classes->categories() != categories)
            classes->setCategories(categories);
    }
}

namespace {

QFont boldTitleFont(const QChart& chart) {
    QFont font = chart.titleFont();
    font.setBold(true);
    return font;
}

// The heading's first line broken between words into lines no wider than the room; a word wider
// than the room stands on a line of its own.
QStringList wrappedWords(const QString& text, const QFont& font, double room) {
    const QFontMetricsF metrics(font);
    QStringList lines;
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
        const QString longer = lines.isEmpty() ? word : lines.last() + u' ' + word;
        if (!lines.isEmpty() && metrics.horizontalAdvance(longer) <= room)
            lines.last() = longer;
        else
            lines << word;
    }
    return lines;
}

} // namespace

void fitChartHeading(QChart& chart, double width) {
    const QStringList header = chart.property(headingProperty).toStringList();
    if (header.isEmpty()) {
        chart.setTitle(QString());
        return;
    }
    const QMargins margins = chart.margins();
    const double room = width > 0 ? width - margins.left() - margins.right() - titleSlack
                                  : std::numeric_limits<double>::max();
    QStringList lines;
    for (const QString& line : wrappedWords(header.value(0), boldTitleFont(chart), room))
        lines << line.toHtmlEscaped();
    chart.setTitle(QStringLiteral("<b>%1</b><br>%2")
                       .arg(lines.join(QStringLiteral("<br>")), header.value(1).toHtmlEscaped()));
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

    // A fixed size, taken from the application's font and never from the chart's last one: the
    // chart is refilled for every photo.
    QFont titleFont;
    titleFont.setPointSizeF(std::max(10.0, QFont().pointSizeF() + 1));
    chart.setTitleFont(titleFont);
    chart.setProperty(headingProperty, content.header);
    fitChartHeading(chart, chart.size().width());
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
    const AxisScale scale = roundAxisScale(largest);
    loading->setRange(0, scale.top);
    loading->setTickType(QValueAxis::TicksDynamic);
    loading->setTickAnchor(0);
    loading->setTickInterval(scale.step);
    loading->setLabelFormat(QStringLiteral("%.%1f").arg(scale.decimals));
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
    fitChartHeading(*chart, area.width());
    chart->setGeometry(area);
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    scene.render(&painter, area, area);
    return image;
}

double wholeChartWidth(const QChart& chart, const LoadingChartContent& content) {
    // The heading's first line breaks between its words; its longest word and the photo's
    // label cannot break.
    double headingWidth =
        QFontMetricsF(chart.titleFont()).horizontalAdvance(content.header.value(1));
    const QFontMetricsF bold(boldTitleFont(chart));
    for (const QString& word : content.header.value(0).split(u' ', Qt::SkipEmptyParts))
        headingWidth = std::max(headingWidth, bold.horizontalAdvance(word));
    headingWidth += titleSlack;
    QStringList labels;
    for (const ChartBar& bar : content.bars)
        labels << bar.label;
    const double labelsWidth = widestLabel(labels, labelFont(smallestLabelPoints + 0.5)) * 3;
    const QMargins margins = chart.margins();
    return std::max(headingWidth, labelsWidth) + margins.left() + margins.right() + 24;
}

ReportChart reportLoadingChart(const LoadingChartContent& content, const QSizeF& boxTwips) {
    constexpr double twipsPerUnit = 1440.0 / 96.0;
    QGraphicsScene scene;
    auto* chart = new QChart;
    scene.addItem(chart);
    fillLoadingChart(*chart, content);
    // Never narrower than the photo report's 5 in box either, so the charts of every report
    // print their texts at one size, smaller boxes scaling the whole chart down.
    constexpr double narrowest = 5 * 96;
    const double width =
        std::max({boxTwips.width() / twipsPerUnit, narrowest, wholeChartWidth(*chart, content)});
    const double height =
        boxTwips.width() > 0 ? width * boxTwips.height() / boxTwips.width() : width / 2;
    const QRectF area(0, 0, width, height);
    fitBarLabels(*chart, width);
    fitChartHeading(*chart, width);
    chart->setGeometry(area);

    ReportChart drawn;
    drawn.size = area.size();
    QPainter painter(&drawn.picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    scene.render(&painter, area, area);
    painter.end();
    return drawn;
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
    fitToView();
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
    QChartView::resizeEvent(event);
    fitToView();
}

namespace {

QBarCategoryAxis* classAxis(const QChart& chart) {
    for (QAbstractAxis* axis : chart.axes(Qt::Vertical))
        if (auto* classes = qobject_cast<QBarCategoryAxis*>(axis))
            return classes;
    return nullptr;
}

// How much a chart laid out at its present size falls short of the height its bar labels need
// to stand one above the other (the axis hides every other label of rows too low for them): 1
// when they fit, else the factor its height must grow by. The labels shrink to fit first.
double rowsShortfall(QChart& chart) {
    QBarCategoryAxis* classes = classAxis(chart);
    if (!classes || classes->count() == 0)
        return 1;
    chart.layout()->activate();
    const double row = chart.plotArea().height() / classes->count();
    const auto needed = [](const QFont& font) { return QFontMetricsF(font).height() * 1.2; };
    QFont font = classes->labelsFont();
    while (needed(font) > row && font.pointSizeF() > smallestLabelPoints)
        font.setPointSizeF(std::max(smallestLabelPoints, font.pointSizeF() - 0.5));
    if (font != classes->labelsFont()) {
        classes->setLabelsFont(font);
        chart.layout()->activate();
    }
    return row > 0 ? std::max(1.0, needed(font) / row) : 2.0;
}

} // namespace

void LoadingChartView::fitToView() {
    // A view too small for the chart's texts at their smallest shows the chart laid out at the
    // size they need, scaled down as a whole: its texts get smaller, never cut.
    const double needed = content_ ? wholeChartWidth(*chart(), *content_) : 0;
    double scale = needed > width() ? width() / needed : 1.0;
    for (int attempt = 0; attempt < 4; ++attempt) {
        const QSizeF laidOut = QSizeF(size()) / scale;
        fitBarLabels(*chart(), laidOut.width());
        fitChartHeading(*chart(), laidOut.width());
        chart()->resize(laidOut);
        const double shortfall = content_ ? rowsShortfall(*chart()) : 1.0;
        if (shortfall <= 1.0)
            break;
        scale /= shortfall * 1.05;
    }
    setSceneRect(chart()->geometry());
    setTransform(QTransform::fromScale(scale, scale));
}

void LoadingChartView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        Q_EMIT clicked();
    QChartView::mousePressEvent(event);
}

QSize LoadingChartView::sizeHint() const {
    return QSize(560, 360);
}

QSize LoadingChartView::minimumSizeHint() const {
    // Wide enough for the labels at their smallest size in the third of the width they get.
    QStringList labels;
    if (content_)
        for (const ChartBar& bar : content_->bars)
            labels << bar.label;
    const int labelsWidth =
        labels.isEmpty() ? 0
                         : int(std::ceil(widestLabel(labels, labelFont(smallestLabelPoints)) * 3));
    return QSize(std::max(160, labelsWidth + 24), 160);
}

} // namespace tarnwick
