#include "display/ImageProblem.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace tarnwick {

namespace {

// What a decode of the whole picture would need, four bytes a pixel, against the reader's limit.
bool exceedsAllocationLimit(const QSize& size) {
    const int limitMegabytes = QImageReader::allocationLimit();
    if (limitMegabytes <= 0 || !size.isValid())
        return false;
    const double bytes = double(size.width()) * double(size.height()) * 4.0;
    return bytes > double(limitMegabytes) * 1024.0 * 1024.0;
}

} // namespace

ImageProblem diagnoseImageFile(const QString& path, bool decodeFailed) {
    const QFileInfo info(path);
    if (!info.exists())
        return ImageProblem::Missing;
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return ImageProblem::Unreadable;
    QImageReader reader(&file);
    if (!reader.canRead())
        return ImageProblem::NotAnImage;
    if (!decodeFailed)
        return ImageProblem::None;
    return exceedsAllocationLimit(reader.size()) ? ImageProblem::TooLarge
                                                 : ImageProblem::NotAnImage;
}

QString imageProblemMessage(const QString& path, ImageProblem problem) {
    const QString start = QStringLiteral("Can't show the picture %1: ").arg(path);
    switch (problem) {
    case ImageProblem::None:
        return QString();
    case ImageProblem::Missing:
        return start + QStringLiteral("the file is missing. Check that the disc or folder of the "
                                      "photo images is in place.");
    case ImageProblem::Unreadable:
        return start + QStringLiteral("the file cannot be read. Check your permission to read it "
                                      "and that the disc or drive works.");
    case ImageProblem::NotAnImage:
        return start + QStringLiteral("the file is not a picture Tarnwick can read, or it is "
                                      "damaged. Copy it again from the photo series.");
    case ImageProblem::TooLarge:
        return start + QStringLiteral("the picture is too large to show. Save a smaller copy "
                                      "of it in its place.");
    }
    return QString();
}

} // namespace tarnwick
