#pragma once

#include <QString>

namespace tarnwick {

// The first folder on the way to path that this user may not search (enter). Behind such a
// folder a file can be neither found nor opened, though it may well be there, so a message must
// not call it missing. Empty when every folder on the way that exists can be searched.
QString firstUnsearchableFolder(const QString& path);

// Whether this user may write into the folder: create, rename and remove files in it.
bool folderIsWritable(const QString& folder);

} // namespace tarnwick
