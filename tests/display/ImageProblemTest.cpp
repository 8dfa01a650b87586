#include "display/ImageProblem.h"

#include "support/QtPrinting.h"

#include <gtest/gtest.h>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

using namespace tarnwick;

namespace {

QString write(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
    QFile file(dir.filePath(QString::fromLatin1(name)));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return file.fileName();
}

} // namespace

TEST(ImageProblem, TellsWhyAPictureCannotBeShownAndNamesTheFile) {
    QTemporaryDir dir;
    QImage small(8, 8, QImage::Format_RGB32);
    small.fill(Qt::green);
    const QString good = dir.filePath(QStringLiteral("good.png"));
    ASSERT_TRUE(small.save(good));
    EXPECT_EQ(diagnoseImageFile(good), ImageProblem::None);

    const QString missing = dir.filePath(QStringLiteral("gone.jpg"));
    EXPECT_EQ(diagnoseImageFile(missing), ImageProblem::Missing);
    EXPECT_EQ(diagnoseImageFile(dir.path()), ImageProblem::Unreadable); // a folder, not a file
    EXPECT_EQ(diagnoseImageFile(write(dir, "text.jpg", "just words")), ImageProblem::NotAnImage);
    // A picture whose header declares 30000 x 30000 pixels: too large to hold once decoding
    // fails. A small JPEG with its frame size written over.
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(small.save(&buffer, "JPG"));
    const qsizetype frame = jpeg.indexOf(QByteArray("\xff\xc0", 2));
    ASSERT_GT(frame, 0);
    jpeg.replace(frame + 5, 4, QByteArray("\x75\x30\x75\x30", 4));
    const QString huge = write(dir, "huge.jpg", jpeg);
    EXPECT_EQ(diagnoseImageFile(huge), ImageProblem::None);
    EXPECT_EQ(diagnoseImageFile(huge, true), ImageProblem::TooLarge);
    EXPECT_EQ(diagnoseImageFile(write(dir, "cut.png", QByteArray("\x89PNG\r\n\x1a\n", 8)), true),
              ImageProblem::NotAnImage);

    const QString message = imageProblemMessage(missing, ImageProblem::Missing);
    EXPECT_TRUE(message.contains(missing)) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("missing")));
    EXPECT_TRUE(
        imageProblemMessage(huge, ImageProblem::TooLarge).contains(QStringLiteral("too large")));
}
