#pragma once

#include <QString>

namespace tarnwick {

class AppPaths;
struct ListEntry;

// Where a slot's picture came from.
enum class ImageSource { Local = 0, PhotoDirectory = 1, None = 2 };

// The image files of the photo shown in a slot: under the photo directory and their local
// copies under the application's PhotoImages folder.
struct SlotPaths {
    QString photo;
    QString data;
    QString localPhoto;
    QString localData;
};

inline const QString retrievingImageText = QStringLiteral("Retrieving Image...");
inline const QString cantLoadImageText =
    QStringLiteral("Can't load image.") + QLatin1Char('\n') + QStringLiteral("Check disk drive.");

// directory + dir + separator + file. The directory is taken as stored; a separator is put
// between it and dir only when it does not already end with one, so a photo directory setting
// written with or without its trailing separator names the same files.
QString joinImagePath(const QString& directory, const QString& dir, const QString& file);

SlotPaths composeSlotPaths(const QString& photoDir, const AppPaths& paths, const ListEntry& entry);

// The three lines shown where neither the photo directory nor the local folder has a picture.
QString noPictureText(const QString& photoDir, const AppPaths& paths);

} // namespace tarnwick
