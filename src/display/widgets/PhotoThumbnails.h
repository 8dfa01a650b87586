#pragma once

#include <functional>
#include <QCache>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QSize>
#include <QThreadPool>

namespace tarnwick {

// Small pictures of the photos for the icon view, decoded on worker threads and kept, so that
// scrolling through a series never waits for a disk or a large file.
class PhotoThumbnails : public QObject {
    Q_OBJECT
public:
    // Reads a file into an image that fits the size; a null image when it cannot.
    using Decoder = std::function<QImage(const QString& file, const QSize& size)>;

    explicit PhotoThumbnails(const QSize& size, QObject* parent = nullptr, Decoder decode = {});
    ~PhotoThumbnails() override;

    // The thumbnail of a photo from the first of its files that can be read. Null until it has
    // been decoded (ready follows) and for a photo none of whose files can be read.
    QImage thumbnail(const QString& key, const QStringList& files);
    // Forgets every thumbnail: the photo directory or the catalogue changed.
    void clear();
    // Waits until every decode asked for has been done.
    void finish();

Q_SIGNALS:
    void ready(const QString& key);

private:
    QSize size_;
    Decoder decode_;
    QThreadPool pool_;
    QCache<QString, QImage> cache_;
    QSet<QString> pending_;
    QSet<QString> unreadable_;
    // Decodes started before a clear() deliver nothing.
    int generation_ = 0;
};

// Decodes just enough of an image file for a picture of the given size.
QImage decodeThumbnail(const QString& file, const QSize& size);

} // namespace tarnwick
