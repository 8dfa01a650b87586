#include "reports/widgets/ReportPreview.h"

#include "document/ReportRenderer.h"
#include "platform/Dialogs.h"
#include "ui/widgets/HighlightButton.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace tarnwick {

namespace {

const QColor deskColour(0x80, 0x86, 0x8c);
const QColor shadowColour(0x3c, 0x3f, 0x42, 150);

constexpr double smallestScale = 0.01; // a page about 120 pixels wide
constexpr double largestScale = 0.5;   // eight times true size on a common screen
constexpr double zoomStep = 1.2;
constexpr qint64 largestCachedPixels = 12'000'000;

QToolButton* navigationButton(const QString& text, const QString& tip, const QString& name) {
    auto* button = new QToolButton;
    button->setText(text);
    button->setToolTip(tip);
    button->setObjectName(name);
    button->setAutoRaise(true);
    return button;
}

} // namespace

// ---- ReportPagesView

ReportPagesView::ReportPagesView(QWidget* parent) : QWidget(parent) {
    setObjectName(u"vspView"_s);
    setAutoFillBackground(false);
}

void ReportPagesView::setReport(std::shared_ptr<const ComposedReport> report) {
    report_ = std::move(report);
    cache_.clear();
    resize(sizeHint());
    update();
}

void ReportPagesView::setScale(double scale) {
    scale = std::clamp(scale, smallestScale, largestScale);
    if (scale == scale_)
        return;
    scale_ = scale;
    cache_.clear();
    resize(sizeHint());
    update();
}

int ReportPagesView::pageCount() const {
    return report_ ? report_->document.pageCount() : 0;
}

QRect ReportPagesView::pageRect(int index) const {
    if (!report_ || index < 0 || index >= pageCount())
        return QRect();
    const std::vector<ReportPage>& pages = report_->document.pages();
    int top = gap;
    for (int i = 0; i < index; ++i)
        top += int(std::lround(pages[size_t(i)].size.height() * scale_)) + gap;
    const QSize size = (pages[size_t(index)].size * scale_).toSize();
    // Centred across the view, or at the left when the view is narrower than the page.
    const int left = std::max(gap, (width() - size.width()) / 2);
    return QRect(QPoint(left, top), size);
}

QSize ReportPagesView::sizeHint() const {
    if (!report_ || pageCount() == 0)
        return QSize(200, 200);
    int widest = 0;
    int height = gap;
    for (const ReportPage& page : report_->document.pages()) {
        widest = std::max(widest, int(std::lround(page.size.width() * scale_)));
        height += int(std::lround(page.size.height() * scale_)) + gap;
    }
    return QSize(widest + 2 * gap + shadow, height + shadow);
}

QPixmap ReportPagesView::pageImage(int index, const QSize& size) {
    const auto cached = cache_.constFind(index);
    if (cached != cache_.constEnd() && cached->deviceIndependentSize().toSize() == size)
        return *cached;
    // Drawn once per scale: photos and charts need not be scaled again at every repaint.
    const qreal ratio = devicePixelRatioF();
    QPixmap image(size * ratio);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintPage(painter, report_->document.pages()[size_t(index)], QRectF(QPointF(0, 0), size));
    painter.end();
    // The pages in view at one scale; a long report does not keep every page it ever showed.
    if (cache_.size() >= 6)
        cache_.clear();
    cache_.insert(index, image);
    return image;
}

void ReportPagesView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), deskColour);
    for (int i = 0; i < pageCount(); ++i) {
        const QRect sheet = pageRect(i);
        if (!sheet.adjusted(0, 0, shadow, shadow).intersects(event->rect()))
            continue;
        painter.fillRect(sheet.translated(shadow, shadow), shadowColour);
        if (qint64(sheet.width()) * sheet.height() <= largestCachedPixels) {
            painter.drawPixmap(sheet.topLeft(), pageImage(i, sheet.size()));
        } else {
            // Zoomed far in, a page drawn whole would take hundreds of megabytes: only the
            // part in view is drawn.
            painter.save();
            painter.setClipRect(sheet.intersected(event->rect()));
            paintPage(painter, report_->document.pages()[size_t(i)], sheet);
            painter.restore();
        }
        painter.setPen(QColor(0x50, 0x50, 0x50));
        painter.drawRect(sheet.adjusted(0, 0, -1, -1));
    }
}

// ---- ReportPreview

ReportPreview::ReportPreview(Dialogs& dialogs, AppPaths paths, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs), paths_(std::move(paths)), pages_(new ReportPagesView),
      scroll_(new QScrollArea), zoomChoice_(new QComboBox), position_(new QLabel),
      first_(navigationButton(u"|<"_s, u"First page"_s, u"cmdFirst"_s)),
      previous_(navigationButton(u"<"_s, u"Previous page (Page Up)"_s, u"cmdPrevious"_s)),
      next_(navigationButton(u">"_s, u"Next page (Page Down)"_s, u"cmdNext"_s)),
      last_(navigationButton(u">|"_s, u"Last page"_s, u"cmdLast"_s)) {
    setObjectName(u"sfrmViewRpt"_s);
    setWindowTitle(u"Report Preview"_s);
    setMinimumSize(420, 360);
    setFocusPolicy(Qt::StrongFocus);

    scroll_->setObjectName(u"ElasticOne1"_s);
    scroll_->setWidget(pages_);
    scroll_->setWidgetResizable(false);
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scroll_->setBackgroundRole(QPalette::Dark);
    scroll_->viewport()->setAutoFillBackground(true);
    QPalette desk = scroll_->viewport()->palette();
    desk.setColor(QPalette::Window, deskColour);
    scroll_->viewport()->setPalette(desk);
    scroll_->viewport()->installEventFilter(this);
    scroll_->setFocusProxy(this);
    connect(scroll_->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &ReportPreview::showPosition);

    zoomChoice_->setObjectName(u"cboZoom"_s);
    zoomChoice_->addItem(u"Fit Width"_s);
    zoomChoice_->addItem(u"Fit Page"_s);
    zoomChoice_->addItem(u"100 %"_s);
    zoomChoice_->setToolTip(u"Zoom (Ctrl and the mouse wheel zoom in steps)"_s);
    connect(zoomChoice_, &QComboBox::activated, this,
            [this](int index) { setZoom(index <= 2 ? Zoom(index) : Zoom::Custom); });
    auto* zoomOut = navigationButton(u"-"_s, u"Zoom out"_s, u"cmdZoomOut"_s);
    auto* zoomIn = navigationButton(u"+"_s, u"Zoom in"_s, u"cmdZoomIn"_s);
    connect(zoomOut, &QToolButton::clicked, this, [this] { zoomBy(-1); });
    connect(zoomIn, &QToolButton::clicked, this, [this] { zoomBy(1); });

    position_->setObjectName(u"lblPage"_s);
    position_->setMinimumWidth(position_->fontMetrics().horizontalAdvance(u"Page 888 of 888"_s));
    position_->setAlignment(Qt::AlignCenter);
    connect(first_, &QToolButton::clicked, this, [this] { showPage(0); });
    connect(previous_, &QToolButton::clicked, this, [this] { showPage(currentPage() - 1); });
    connect(next_, &QToolButton::clicked, this, [this] { showPage(currentPage() + 1); });
    connect(last_, &QToolButton::clicked, this, [this] { showPage(pageCount() - 1); });

    auto* top = new QHBoxLayout;
    top->setContentsMargins(6, 4, 6, 4);
    for (QWidget* widget : {static_cast<QWidget*>(first_), static_cast<QWidget*>(previous_),
                            static_cast<QWidget*>(position_), static_cast<QWidget*>(next_),
                            static_cast<QWidget*>(last_)})
        top->addWidget(widget);
    top->addSpacing(16);
    top->addWidget(zoomOut);
    top->addWidget(zoomChoice_);
    top->addWidget(zoomIn);
    top->addStretch(1);

    auto* print = new HighlightButton(u"&Print..."_s);
    print->setObjectName(u"cmdPrint"_s);
    print->setToolTip(u"Print the report"_s);
    auto* save = new HighlightButton(u"&Save..."_s);
    save->setObjectName(u"cmdSave"_s);
    save->setToolTip(u"Save Report to RTF or PDF format"_s);
    auto* cancel = new HighlightButton(u"&Cancel"_s);
    cancel->setObjectName(u"cmdCancel"_s);
    cancel->setToolTip(u"Close the preview"_s);
    connect(print, &QPushButton::clicked, this, &ReportPreview::printCommand);
    connect(save, &QPushButton::clicked, this, &ReportPreview::saveCommand);
    connect(cancel, &QPushButton::clicked, this, &ReportPreview::cancelCommand);
    for (QPushButton* button : {print, save, cancel}) {
        button->setMinimumWidth(96);
        button->setAutoDefault(false);
    }

    auto* bottomBar = new QWidget;
    bottomBar->setObjectName(u"elBottom"_s);
    auto* bottom = new QHBoxLayout(bottomBar);
    bottom->setContentsMargins(6, 4, 6, 6);
    bottom->addStretch(1);
    bottom->addWidget(print);
    bottom->addWidget(save);
    bottom->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(top);
    layout->addWidget(scroll_, 1);
    layout->addWidget(bottomBar);
    showPosition();
}

void ReportPreview::setReport(std::shared_ptr<const ComposedReport> report) {
    report_ = std::move(report);
    pages_->setReport(report_);
    if (report_)
        setWindowTitle(report_->title);
    applyZoom();
    showPage(0);
}

double ReportPreview::scale() const {
    return pages_->scale();
}

void ReportPreview::setZoom(Zoom zoom) {
    zoom_ = zoom;
    applyZoom();
}

void ReportPreview::zoomBy(int steps) {
    customScale_ = std::clamp(scale() * std::pow(zoomStep, steps), smallestScale, largestScale);
    setZoom(Zoom::Custom);
}

void ReportPreview::applyZoom() {
    // The page in view stays in view whatever the scale becomes.
    const int page = currentPage();
    const QSize room =
        scroll_->maximumViewportSize() - QSize(2 * ReportPagesView::gap + ReportPagesView::shadow +
                                                   scroll_->verticalScrollBar()->sizeHint().width(),
                                               2 * ReportPagesView::gap + ReportPagesView::shadow);
    QSizeF page0(12240, 15840);
    if (report_ && report_->document.pageCount() > 0)
        page0 = report_->document.pages().front().size;
    double scale = customScale_;
    switch (zoom_) {
    case Zoom::FitWidth:
        scale = room.width() / page0.width();
        break;
    case Zoom::FitPage:
        scale = std::min(room.width() / page0.width(), room.height() / page0.height());
        break;
    case Zoom::ActualSize:
        scale = logicalDpiX() / twipsPerInch;
        break;
    case Zoom::Custom:
        break;
    }
    pages_->setScale(scale);
    pages_->resize(pages_->sizeHint().expandedTo(scroll_->viewport()->size()));
    zoomChoice_->blockSignals(true);
    if (zoom_ == Zoom::Custom) {
        const QString percent =
            u"%1 %"_s.arg(std::lround(pages_->scale() * twipsPerInch / logicalDpiX() * 100));
        if (zoomChoice_->count() < 4)
            zoomChoice_->addItem(percent);
        else
            zoomChoice_->setItemText(3, percent);
        zoomChoice_->setCurrentIndex(3);
    } else {
        zoomChoice_->setCurrentIndex(int(zoom_));
    }
    zoomChoice_->blockSignals(false);
    showPage(page);
}

int ReportPreview::pageCount() const {
    return pages_->pageCount();
}

int ReportPreview::currentPage() const {
    // The page that holds the middle of the upper part of the view.
    const int probe = scroll_->verticalScrollBar()->value() + scroll_->viewport()->height() / 3;
    int current = 0;
    for (int i = 0; i < pageCount(); ++i)
        if (pages_->pageRect(i).top() - ReportPagesView::gap <= probe)
            current = i;
    return current;
}

void ReportPreview::showPage(int index) {
    if (pageCount() == 0) {
        showPosition();
        return;
    }
    index = std::clamp(index, 0, pageCount() - 1);
    scroll_->verticalScrollBar()->setValue(pages_->pageRect(index).top() - ReportPagesView::gap);
    showPosition();
}

void ReportPreview::showPosition() {
    const int count = pageCount();
    const int page = currentPage();
    position_->setText(count == 0 ? QString() : u"Page %1 of %2"_s.arg(page + 1).arg(count));
    first_->setEnabled(page > 0);
    previous_->setEnabled(page > 0);
    next_->setEnabled(page + 1 < count);
    last_->setEnabled(page + 1 < count);
}

void ReportPreview::saveCommand() {
    if (report_)
        saveReportCommand(dialogs_, paths_, *report_);
}

void ReportPreview::printCommand() {
    if (!report_)
        return;
    const QString printer = printer_ ? printer_() : QString();
    const std::shared_ptr<const ComposedReport> report = report_;
    const PrintOutcome outcome = dialogs_.print(
        report->title, printer, report->document.pageCount(),
        [report](QPagedPaintDevice& device) { return printDocument(report->document, device); });
    if (outcome == PrintOutcome::Failed)
        dialogs_.warning(defaultDialogTitle,
                         u"The report could not be printed%1: the printer did not take it. Check "
                         "that it is switched on and connected, or choose another one."_s.arg(
                             printer.isEmpty() ? QString() : u" on "_s + printer));
}

void ReportPreview::cancelCommand() {
    Q_EMIT closeRequested();
}

void ReportPreview::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_PageDown:
        showPage(currentPage() + 1);
        return;
    case Qt::Key_PageUp:
        showPage(currentPage() - 1);
        return;
    case Qt::Key_Home:
        showPage(0);
        return;
    case Qt::Key_End:
        showPage(pageCount() - 1);
        return;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        if (event->modifiers() & Qt::ControlModifier) {
            zoomBy(1);
            return;
        }
        break;
    case Qt::Key_Minus:
        if (event->modifiers() & Qt::ControlModifier) {
            zoomBy(-1);
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void ReportPreview::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    applyZoom();
    // A window restored from maximised is resized in several steps, the scroll area's last
    // after this one: the page is fitted again once every size has settled.
    QMetaObject::invokeMethod(this, &ReportPreview::applyZoom, Qt::QueuedConnection);
}

bool ReportPreview::eventFilter(QObject* watched, QEvent* event) {
    if (watched == scroll_->viewport() && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            const int steps = wheel->angleDelta().y() / 120;
            if (steps != 0)
                zoomBy(steps);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tarnwick
