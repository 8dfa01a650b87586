#include "display/widgets/PhotoThumbnails.h"

#include <QFutureWatcher>
#include <QImageReader>
#include <QPointer>
#include <QtConcurrent>

namespace tarnwick {

namespace {

// Enough for several thousand thumbnails; the least recently used go first.
constexpr int cacheKilobytes = 64 * 1024;

} // namespace

QImage decodeThumbnail(const QString& file, const QSize& size) {
    QImageReader reader(file);
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    if (full.isValid()) {
        // A JPEG decodes straight to a fraction of its size: cheap even for a huge photo.
        reader.setScaledSize(full.scaled(size, Qt::KeepAspectRatio));
    }
    QImage image = reader.read();
    if (image.isNull())
        return {};
    if (image.width() > size.width() || image.height() > size.height())
        image = image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

PhotoThumbnails::PhotoThumbnails(const QSize& size, QObject* parent, Decoder decode)
    : QObject(parent), size_(size), decode_(decode ? std::move(decode) : decodeThumbnail),
      cache_(cacheKilobytes) {
    // Two threads: the screen fills quickly while the rest of the program stays responsive.
    pool_.setMaxThreadCount(2);
}

PhotoThumbnails::~PhotoThumbnails() {
    // Pictures nobody will see are not decoded; the ones under way are let finish.
    pool_.clear();
    pool_.waitForDone();
}

void PhotoThumbnails::finish() {
    pool_.waitForDone();
}

void PhotoThumbnails::clear() {
    pool_.clear();
    cache_.clear();
    pending_.clear();
    unreadable_.clear();
    ++generation_;
}

QImage PhotoThumbnails::thumbnail(const QString& key, const QStringList& files) {
    if (const QImage* cached = cache_.object(key))
        return *cached;
    if (pending_.contains(key) || unreadable_.contains(key) || files.isEmpty())
        return {};
    pending_.insert(key);
    const int generation = generation_;
    auto* watcher = new QFutureWatcher<QImage>(this);
    connect(watcher, &QFutureWatcher<QImage>::finished, this, [this, watcher, key, generation] {
        watcher->deleteLater();
        if (generation != generation_ || watcher->future().isCanceled())
            return;
        pending_.remove(key);
        const QImage image = watcher->future().result();
        if (image.isNull()) {
            unreadable_.insert(key);
            return;
        }
        cache_.insert(key, new QImage(image), std::max<qsizetype>(1, image.sizeInBytes() / 1024));
        Q_EMIT ready(key);
    });
    const Decoder decode = decode_;
    const QSize size = size_;
    watcher->setFuture(QtConcurrent::run(&pool_, [decode, files, size] {
        for (const QString& file : files) {
            if (file.isEmpty())
                continue;
            QImage image = decode(file, size);
            if (!image.isNull())
                return image;
        }
        return QImage();
    }));
    return {};
}

} // namespace tarnwick
