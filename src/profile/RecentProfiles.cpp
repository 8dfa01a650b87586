#include "profile/RecentProfiles.h"

#include "platform/ProgramSettings.h"

#include <QDir>
#include <QFileInfo>

namespace tarnwick {

namespace {

const QString settingsKey = QStringLiteral("RecentProfiles");

QString absolute(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

RecentProfiles::RecentProfiles(const QStringList& paths) {
    for (auto path = paths.crbegin(); path != paths.crend(); ++path)
        if (!path->isEmpty())
            add(*path);
}

RecentProfiles RecentProfiles::read() {
    return RecentProfiles(ProgramSettings().value(settingsKey).toStringList());
}

void RecentProfiles::write() const {
    ProgramSettings().setValue(settingsKey, paths_);
}

void RecentProfiles::add(const QString& path) {
    const QString entry = absolute(path);
    paths_.removeAll(entry);
    paths_.prepend(entry);
    if (paths_.size() > limit)
        paths_.resize(limit);
}

void RecentProfiles::remove(const QString& path) {
    paths_.removeAll(absolute(path));
}

QStringList RecentProfiles::dropMissing() {
    QStringList missing;
    for (const QString& path : std::as_const(paths_))
        if (!QFileInfo(path).isFile())
            missing << path;
    for (const QString& path : std::as_const(missing))
        paths_.removeAll(path);
    return missing;
}

void rememberRecentProfile(const QString& path) {
    RecentProfiles recent = RecentProfiles::read();
    recent.add(path);
    recent.write();
}

} // namespace tarnwick
