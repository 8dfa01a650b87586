#pragma once

#include <QImage>
#include <QString>

namespace tarnwick {

// What a quick look at an image file, before decoding it, tells.
enum class ImageFileState {
    Readable,    // opens and looks like a picture
    Unreachable, // cannot be opened: missing, no permission, drive gone
    NotAPicture, // opens, but no image format recognises it
};

ImageFileState probeImageFile(const QString& path);

struct DecodedImage {
    QImage image; // null when decoding failed
    QSize originalSize;
    QString error;
};

// Decodes a picture, turned upright as its metadata says. A picture larger than maxSize in
// either direction is reduced while decoding, keeping its aspect ratio; an invalid maxSize keeps
// the full resolution. Safe to call on any thread.
DecodedImage decodeImage(const QString& path, const QSize& maxSize = QSize());

} // namespace tarnwick
