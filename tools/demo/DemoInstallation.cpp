#include "DemoInstallation.h"

#include "catalogue/CatalogueSchema.h"
#include "platform/AppPaths.h"
#include "query/CodeList.h"
#include "text/Windows1252.h"

#include "DemoCatalogue.h"
#include "DemoContent.h"
#include "DemoImages.h"
#include "DemoPhotos.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStringList>

#include <span>
#include <stdexcept>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace tarnwick::demo {
namespace {

// ---------------------------------------------------------------------------------------------
// Code lists
// ---------------------------------------------------------------------------------------------

QByteArray codeLine(QStringView code, QStringView description) {
    const QString line = u"\"%1\",\"%2\"\n"_s.arg(code, description);
    return encodeWindows1252(line).bytes;
}

void writeFile(const QDir& root, const QString& name, const QByteArray& content) {
    QFile file(root.filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(content) != content.size() || !file.flush())
        throw std::runtime_error(
            u"Cannot write %1: %2"_s
                .arg(QDir::toNativeSeparators(file.fileName()), file.errorString())
                .toStdString());
}

void writeCodeLists(const QDir& root) {
    QByteArray veg;
    for (const VegType& type : vegTypes)
        if (type.listed)
            veg += codeLine(type.code, type.description);
    writeFile(root, codeListFile::vegetation, veg);

    const auto join = [](std::span<const Code> codes) {
        QByteArray text;
        for (const Code& code : codes)
            text += codeLine(code.code, code.description);
        return text;
    };
    writeFile(root, codeListFile::activity, join(activityCodes));
    writeFile(root, codeListFile::dangerRating, join(dangerCodes));
    writeFile(root, codeListFile::fireBehaviour, join(behaveCodes));
}

void makePath(const QDir& root, const QString& relative) {
    if (!root.mkpath(relative))
        throw std::runtime_error(
            u"Cannot create the folder %1"_s
                .arg(QDir::toNativeSeparators(QDir::cleanPath(root.filePath(relative))))
                .toStdString());
}

// What a user may have in the folder that writing the demo would replace: the catalogue, the code
// lists and the images.
QStringList installationContents(const QDir& root) {
    QStringList found;
    for (const QString& name :
         {QString::fromLatin1(catalogueFileName), codeListFile::vegetation, codeListFile::activity,
          codeListFile::dangerRating, codeListFile::fireBehaviour})
        if (QFileInfo::exists(root.filePath(name)))
            found << name;
    int images = 0;
    for (QDirIterator it(root.filePath(u"PhotoImages"_s), QDir::Files | QDir::Hidden,
                         QDirIterator::Subdirectories);
         it.hasNext(); it.next())
        ++images;
    if (images > 0)
        found << u"%1 %2 under PhotoImages"_s.arg(images).arg(images == 1 ? u"file"_s : u"files"_s);
    return found;
}

} // namespace

void writeDemoInstallation(const QString& dir, const DemoOptions& options) {
    if (options.photoCount < 0 || options.photoCount > maxDemoPhotoCount)
        throw std::runtime_error(
            u"The number of demo photos must be from 1 to %1 (or 0 for the standard set), not %2"_s
                .arg(maxDemoPhotoCount)
                .arg(options.photoCount)
                .toStdString());
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw std::runtime_error("Writing the demo images needs a running QGuiApplication");
    if (dir.isEmpty())
        throw std::runtime_error("No folder given for the demo installation");

    const QDir root(dir);
    if (const QStringList contents = installationContents(root);
        !contents.isEmpty() && !options.replaceInstallation)
        throw std::runtime_error(
            u"The folder %1 already holds an installation (%2), which the demo would replace. "
            u"Choose an empty or new folder, or give --force to replace it."_s
                .arg(QDir::toNativeSeparators(root.absolutePath()), contents.join(u", "_s))
                .toStdString());
    makePath(root, u"."_s);
    makePath(root, u"data"_s);
    for (const Book& book : books)
        makePath(root, u"PhotoImages/%1"_s.arg(book.label));
    writeCodeLists(root);

    const auto counts = photosPerBook(options.photoCount);
    CatalogueWriter catalogue(root);
    std::vector<Photo> pool;
    for (std::size_t b = 0; b < books.size(); ++b) {
        PhotoGenerator generator(static_cast<int>(b));
        for (int i = 0; i < counts[b]; ++i) {
            Photo photo = generator.next();
            catalogue.addPhoto(photo);
            if (i < imagePoolPerBook)
                pool.push_back(std::move(photo));
        }
    }
    // The catalogue goes in place last: it must never point at images that were not written.
    writeImages(root, pool);
    catalogue.install(root.filePath(QString::fromLatin1(catalogueFileName)));
}

} // namespace tarnwick::demo
