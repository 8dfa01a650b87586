#pragma once

#include <QImage>
#include <QString>

namespace tarnwick {

// The most memory, in MiB, one picture may take when it must be decoded at its full size (the
// viewer's Actual Size, or a format that cannot be reduced while decoding): a photo of about
// 268 megapixels. Qt's own limit for every other image stays as it is.
inline constexpr int fullSizeAllocationLimitMiB = 1024;

struct DecodedImage {
    QImage image;       // null when decoding failed
    QSize originalSize; // the file's size in pixels, upright
    QString error;
};

// Decodes a picture, turned upright as its metadata says. A picture larger than maxSize in
// either direction is reduced while decoding, keeping its aspect ratio; an invalid maxSize keeps
// the full resolution. Safe to call on any thread; photos go through here rather than straight
// to QImageReader, so that a full-size decode may take the memory it needs.
DecodedImage decodeImage(const QString& path, const QSize& maxSize = QSize());

} // namespace tarnwick
