#include "display/ImageDecoding.h"

#include <algorithm>
#include <mutex>
#include <QFile>
#include <QImageReader>
#include <QScopeGuard>
#include <shared_mutex>

namespace tarnwick {

namespace {

// Qt's image allocation limit is one setting for the whole process. Decodes read it under a
// shared lock; a full-size decode that needs more takes the lock for itself, so the raised limit
// serves that one decode and no other picture decoded meanwhile.
std::shared_mutex allocationLimitLock;

void read(QImageReader& reader, DecodedImage& decoded) {
    if (!reader.read(&decoded.image)) {
        decoded.image = QImage();
        decoded.error = reader.errorString();
    }
}

// What the decoder allocates for the picture at full size, in bytes.
qint64 fullSizeBytes(const QImageReader& reader, const QSize& size) {
    const QImage::Format format = reader.imageFormat();
    const int bits =
        format == QImage::Format_Invalid ? 32 : QImage::toPixelFormat(format).bitsPerPixel();
    return qint64(size.width()) * size.height() * std::max(bits, 8) / 8;
}

} // namespace

DecodedImage decodeImage(const QString& path, const QSize& maxSize) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    DecodedImage decoded;
    const QSize stored = reader.size();
    bool reduced = false;
    if (maxSize.isValid() && stored.isValid() &&
        (stored.width() > maxSize.width() || stored.height() > maxSize.height())) {
        // JPEG decoders scale while decoding, which is much faster than scaling afterwards, and
        // never holds the full picture in memory.
        reader.setScaledSize(stored.scaled(maxSize, Qt::KeepAspectRatio));
        reduced = true;
    }
    const bool allocatesFullSize =
        stored.isValid() && (!reduced || !reader.supportsOption(QImageIOHandler::ScaledSize));
    const qint64 bytes = allocatesFullSize ? fullSizeBytes(reader, stored) : 0;
    int limit = 0;
    {
        std::shared_lock shared(allocationLimitLock);
        limit = QImageReader::allocationLimit();
        if (limit == 0 || bytes <= qint64(limit) * 1024 * 1024)
            read(reader, decoded);
    }
    if (limit != 0 && bytes > qint64(limit) * 1024 * 1024) {
        std::unique_lock exclusive(allocationLimitLock);
        const int previous = QImageReader::allocationLimit();
        const auto restore =
            qScopeGuard([previous] { QImageReader::setAllocationLimit(previous); });
        QImageReader::setAllocationLimit(
            previous == 0 ? 0 : std::max(previous, fullSizeAllocationLimitMiB));
        read(reader, decoded);
    }
    decoded.originalSize = stored;
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        decoded.originalSize.transpose();
    return decoded;
}

} // namespace tarnwick
