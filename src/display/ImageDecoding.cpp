#include "display/ImageDecoding.h"

#include <QFile>
#include <QImageReader>

namespace tarnwick {

ImageFileState probeImageFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ImageFileState::Unreachable;
    QImageReader reader(&file);
    return reader.canRead() ? ImageFileState::Readable : ImageFileState::NotAPicture;
}

DecodedImage decodeImage(const QString& path, const QSize& maxSize) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    DecodedImage decoded;
    decoded.originalSize = reader.size();
    if (maxSize.isValid() && decoded.originalSize.isValid() &&
        (decoded.originalSize.width() > maxSize.width() ||
         decoded.originalSize.height() > maxSize.height())) {
        // JPEG decoders scale while decoding, which is much faster than scaling afterwards.
        reader.setScaledSize(decoded.originalSize.scaled(maxSize, Qt::KeepAspectRatio));
    }
    if (!reader.read(&decoded.image)) {
        decoded.image = QImage();
        decoded.error = reader.errorString();
    }
    return decoded;
}

} // namespace tarnwick
