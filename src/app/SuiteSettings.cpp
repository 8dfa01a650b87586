#include "app/SuiteSettings.h"

#include <QSettings>

namespace tarnwick {

namespace {

const QString suiteName = QStringLiteral("Corbell 3");
const QString photoDirKey = QStringLiteral("General/PhotoDir");

} // namespace

QString SuiteSettings::photoDir(const QString& defaultValue) const {
    const QSettings settings(suiteName, suiteName);
    return settings.value(photoDirKey, defaultValue).toString();
}

void SuiteSettings::setPhotoDir(const QString& directory) {
    QSettings settings(suiteName, suiteName);
    settings.setValue(photoDirKey, directory);
    settings.sync();
}

} // namespace tarnwick
