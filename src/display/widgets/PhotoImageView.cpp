#include "display/widgets/PhotoImageView.h"

#include "display/ImageDecoding.h"
#include "display/PhotoPaths.h"

#include <algorithm>
#include <QFutureWatcher>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScreen>
#include <QtConcurrent/QtConcurrentRun>

namespace tarnwick {

PhotoImageView::PhotoImageView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PhotoImageView::showImage(const QString& path) {
    path_ = path;
    decode(false);
}

void PhotoImageView::decode(bool keepPicture) {
    const quint64 request = ++request_;
    const QString path = path_;
    if (!keepPicture) {
        caption_ = retrievingImageText;
        originalSize_ = QSize();
        setImage(QImage());
    }
    setDecoding(true);

    auto* watcher = new QFutureWatcher<DecodedImage>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, request, path] {
        watcher->deleteLater();
        if (request != request_)
            return; // a newer request took over while this one decoded
        const DecodedImage decoded = watcher->result();
        setDecoding(false);
        if (decoded.image.isNull()) {
            path_.clear();
            caption_ = cantLoadImageText;
            originalSize_ = QSize();
            setImage(QImage());
            Q_EMIT imageFailed(path);
            return;
        }
        caption_.clear();
        originalSize_ = decoded.originalSize;
        setImage(decoded.image);
        Q_EMIT imageShown(path);
    });
    watcher->setFuture(QtConcurrent::run(&decodeImage, path, effectiveDecodeLimit()));
}

void PhotoImageView::showRetrieving() {
    showCaption(retrievingImageText);
}

void PhotoImageView::showCaption(const QString& text) {
    ++request_;
    path_.clear();
    caption_ = text;
    originalSize_ = QSize();
    setDecoding(false);
    setImage(QImage());
}

void PhotoImageView::setFit(Fit fit) {
    if (fit == fit_)
        return;
    fit_ = fit;
    scaled_ = QPixmap();
    updateGeometry();
    update();
    // Full size for ActualSize; back to the pane's size frees the full-size picture.
    if (!path_.isEmpty() && (decoding_ || !decodedAsTheFitNeeds()))
        decode(true);
}

bool PhotoImageView::decodedAsTheFitNeeds() const {
    if (image_.isNull() || !originalSize_.isValid())
        return true;
    const QSize limit = effectiveDecodeLimit();
    if (!limit.isValid())
        return image_.size() == originalSize_;
    return image_.width() <= limit.width() && image_.height() <= limit.height();
}

void PhotoImageView::setDecodeLimit(const QSize& limit) {
    explicitLimit_ = true;
    decodeLimit_ = limit;
}

QSize PhotoImageView::effectiveDecodeLimit() const {
    if (fit_ == Fit::ActualSize)
        return QSize();
    if (explicitLimit_)
        return decodeLimit_;
    const QScreen* shownOn = screen();
    if (!shownOn)
        return QSize();
    // A square box as large as the screen's longer side keeps landscape and portrait pictures
    // sharp at any pane size the screen can hold.
    const QSize pixels = shownOn->size() * shownOn->devicePixelRatio();
    const int edge = std::max(pixels.width(), pixels.height());
    return QSize(edge, edge);
}

void PhotoImageView::setImage(const QImage& image) {
    image_ = image;
    scaled_ = QPixmap();
    updateGeometry();
    update();
}

void PhotoImageView::setDecoding(bool decoding) {
    decoding_ = decoding;
    if (decoding)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

QRect PhotoImageView::imageRect() const {
    if (image_.isNull())
        return QRect();
    // At actual size the picture takes the file's size even while a reduced copy stands in
    // for it, so the scroll area is right before the full-size decode is done.
    const QSize pixels =
        fit_ == Fit::ActualSize && originalSize_.isValid() ? originalSize_ : image_.size();
    const QSizeF natural = QSizeF(pixels) / devicePixelRatioF();
    const QSize size = fit_ == Fit::Pane
                           ? natural.scaled(QSizeF(this->size()), Qt::KeepAspectRatio).toSize()
                           : natural.toSize();
    // Centred when smaller than the widget; from the top left corner when it overflows.
    const int x = std::max(0, (width() - size.width()) / 2);
    const int y = std::max(0, (height() - size.height()) / 2);
    return QRect(QPoint(x, y), size);
}

QSize PhotoImageView::sizeHint() const {
    if (fit_ == Fit::ActualSize && !image_.isNull())
        return imageRect().size();
    return QSize(320, 240);
}

QSize PhotoImageView::minimumSizeHint() const {
    if (fit_ == Fit::ActualSize && !image_.isNull())
        return imageRect().size();
    return QSize(16, 16);
}

void PhotoImageView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    QLinearGradient background(0, 0, 0, height());
    background.setColorAt(0, QColor(0x46, 0x52, 0x5c));
    background.setColorAt(1, QColor(0x24, 0x2b, 0x31));
    painter.fillRect(rect(), background);

    const QRect target = imageRect();
    if (!target.isEmpty() && fit_ == Fit::ActualSize) {
        // Only the part a scroll area shows: a copy of a full-size photo would double the
        // hundreds of megabytes it already takes.
        const QRect exposed = event->rect() & target;
        const qreal sx = qreal(image_.width()) / target.width();
        const qreal sy = qreal(image_.height()) / target.height();
        const QRectF source((exposed.x() - target.x()) * sx, (exposed.y() - target.y()) * sy,
                            exposed.width() * sx, exposed.height() * sy);
        painter.drawImage(QRectF(exposed), image_, source);
        return;
    }
    if (!target.isEmpty()) {
        const qreal ratio = devicePixelRatioF();
        const QSize pixels = (QSizeF(target.size()) * ratio).toSize();
        if (scaled_.isNull() || scaled_.size() != pixels) {
            // Always from the decoded original, so repeated resizing never blurs the picture.
            scaled_ = QPixmap::fromImage(
                pixels == image_.size()
                    ? image_
                    : image_.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
            scaled_.setDevicePixelRatio(ratio);
        }
        painter.drawPixmap(target.topLeft(), scaled_);
        return;
    }
    if (!caption_.isEmpty()) {
        QFont font = painter.font();
        font.setPointSizeF(font.pointSizeF() * 1.15);
        painter.setFont(font);
        painter.setPen(QColor(0xee, 0xea, 0xdc));
        painter.drawText(rect().adjusted(16, 16, -16, -16), Qt::AlignCenter | Qt::TextWordWrap,
                         caption_);
    }
}

void PhotoImageView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        Q_EMIT clicked();
    QWidget::mousePressEvent(event);
}

} // namespace tarnwick
