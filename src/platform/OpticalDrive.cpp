#include "platform/OpticalDrive.h"

#include "platform/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace tarnwick {

namespace {

// The kernel writes blanks, tabs, newlines and backslashes of a mount point as three-digit
// octal escapes ("\040").
QString unescapeMountField(QStringView field) {
    const auto isOctal = [](QChar c) { return c >= u'0' && c <= u'7'; };
    QString text;
    text.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == u'\\' && i + 3 < field.size() && isOctal(field[i + 1]) &&
            isOctal(field[i + 2]) && isOctal(field[i + 3])) {
            text += QChar(field.mid(i + 1, 3).toInt(nullptr, 8));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

bool isOpticalDevice(QStringView device) {
    static const QRegularExpression opticalDevice(
        QStringLiteral("^/dev/(sr\\d+|scd\\d+|cdrom\\d*|cdrw\\d*|dvd\\d*|dvdrw\\d*)$"));
    return opticalDevice.match(device).hasMatch();
}

bool isOpticalFileSystem(QStringView type) {
    return type == u"iso9660" || type == u"udf";
}

QString readMountsTable() {
    for (const char* name : {"/proc/self/mounts", "/proc/mounts"}) {
        QFile file(QString::fromLatin1(name));
        if (file.open(QIODevice::ReadOnly | QIODevice::Text))
            return QString::fromLocal8Bit(file.readAll());
    }
    return {};
}

// The mount points of the optical discs in a mounts table, in its order.
QStringList opticalMountPoints(QStringView mountsTable) {
    static const QRegularExpression blanks(QStringLiteral("[ \\t]+"));
    QStringList points;
    for (QStringView line : mountsTable.split(u'\n', Qt::SkipEmptyParts)) {
        const QList<QStringView> fields = line.split(blanks, Qt::SkipEmptyParts);
        if (fields.size() < 3)
            continue;
        if (isOpticalDevice(fields[0]) || isOpticalFileSystem(fields[2]))
            points << unescapeMountField(fields[1]);
    }
    return points;
}

} // namespace

QString firstOpticalMountPoint(QStringView mountsTable) {
    return opticalMountPoints(mountsTable).value(0);
}

bool isOnOpticalDisc(const QString& path, QStringView mountsTable) {
    const QString file = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    for (const QString& point : opticalMountPoints(mountsTable)) {
        const QString root = QDir::cleanPath(point);
        if (file == root || file.startsWith(root.endsWith(u'/') ? root : root + u'/'))
            return true;
    }
    return false;
}

bool isOnOpticalDisc(const QString& path) {
    return isOnOpticalDisc(path, readMountsTable());
}

QString manageDefaultPhotoDirFor(QStringView mountsTable, const QString& localPhotoImagesDir) {
    const QString mountPoint = QDir::toNativeSeparators(firstOpticalMountPoint(mountsTable));
    if (mountPoint.isEmpty())
        return joinPath(QDir::toNativeSeparators(localPhotoImagesDir), QString());
    return joinPath(mountPoint, QStringLiteral("photoimages") + QDir::separator());
}

QString manageDefaultPhotoDir(const QString& localPhotoImagesDir) {
    return manageDefaultPhotoDirFor(readMountsTable(), localPhotoImagesDir);
}

} // namespace tarnwick
