#include "display/widgets/PhotoThumbnails.h"

#include <atomic>
#include <gtest/gtest.h>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

using namespace tarnwick;
using namespace Qt::StringLiterals;

TEST(PhotoThumbnails, PicturesAreDecodedOffTheWindowsThreadOnceAndKept) {
    QTemporaryDir dir;
    QImage photo(900, 600, QImage::Format_RGB32);
    photo.fill(QColor(40, 120, 60));
    const QString local = dir.filePath(u"local.jpg"_s);
    ASSERT_TRUE(photo.save(local));

    std::atomic<int> decodes = 0;
    std::atomic<bool> onWindowThread = false;
    QThread* windowThread = QThread::currentThread();
    PhotoThumbnails thumbnails(QSize(72, 48), nullptr, [&](const QString& file, const QSize& size) {
        ++decodes;
        if (QThread::currentThread() == windowThread)
            onWindowThread = true;
        return decodeThumbnail(file, size);
    });
    QSignalSpy ready(&thumbnails, &PhotoThumbnails::ready);

    // The photo directory's copy is missing: the local one is used.
    const QStringList files{dir.filePath(u"photoimages/AK-5/gone.jpg"_s), local};
    EXPECT_TRUE(thumbnails.thumbnail(u"P1"_s, files).isNull());
    EXPECT_TRUE(thumbnails.thumbnail(u"P1"_s, files).isNull()); // asked again while decoding
    ASSERT_TRUE(ready.wait(10000));
    EXPECT_EQ(ready[0][0].toString(), u"P1"_s);
    const QImage shown = thumbnails.thumbnail(u"P1"_s, files);
    EXPECT_EQ(shown.size(), QSize(72, 48));
    EXPECT_GT(QColor(shown.pixel(36, 24)).green(), 100);
    EXPECT_FALSE(onWindowThread);
    // Both files tried once, then kept.
    EXPECT_EQ(decodes, 2);

    // A photo none of whose files can be read is not tried again on every paint.
    EXPECT_TRUE(thumbnails.thumbnail(u"P2"_s, {dir.filePath(u"none.jpg"_s)}).isNull());
    thumbnails.finish();
    QCoreApplication::processEvents();
    EXPECT_TRUE(thumbnails.thumbnail(u"P2"_s, {dir.filePath(u"none.jpg"_s)}).isNull());
    thumbnails.finish();
    EXPECT_EQ(decodes, 3);

    // A new photo directory: everything is read again.
    thumbnails.clear();
    EXPECT_TRUE(thumbnails.thumbnail(u"P1"_s, files).isNull());
    ASSERT_TRUE(ready.wait(10000));
    EXPECT_EQ(decodes, 5);
}
