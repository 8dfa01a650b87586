#pragma once

#include <QString>
#include <QStringView>

namespace tarnwick {

// The mount point of the first optical disc in a mounts table (the text of /proc/mounts:
// device, mount point, file system type, ... per line); empty when no optical disc is mounted.
QString firstOpticalMountPoint(QStringView mountsTable);

// Where the photo images are looked for after Manage Photo Series when no photo directory is
// set: "photoimages" on the first optical disc of the mounts table, else the installation's own
// photo image folder (an absolute path: a folder relative to wherever the program was started
// from would name nothing). Ends with a separator, as a stored photo directory does.
QString manageDefaultPhotoDirFor(QStringView mountsTable, const QString& localPhotoImagesDir);

// The same for the mounts of this machine.
QString manageDefaultPhotoDir(const QString& localPhotoImagesDir);

// Whether a file lies on an optical disc of the mounts table, or of this machine.
bool isOnOpticalDisc(const QString& path, QStringView mountsTable);
bool isOnOpticalDisc(const QString& path);

} // namespace tarnwick
