#include "platform/SuiteSettings.h"

#include <QSettings>

namespace tarnwick {

namespace {

const QString suiteName = QStringLiteral("Corbell 3");
const QString photoDirKey = QStringLiteral("General/PhotoDir");
// The settings file keeps the "General" group as "[%General]"; a file written by hand with a
// plain "[General]" section puts its keys at the top level instead.
const QString handWrittenPhotoDirKey = QStringLiteral("PhotoDir");
const QString catalogueKey = QStringLiteral("General/Catalogue");
const QString handWrittenCatalogueKey = QStringLiteral("Catalogue");

} // namespace

QString SuiteSettings::photoDir(const QString& defaultValue) const {
    const QSettings settings(suiteName, suiteName);
    // An empty value names no folder at all: it counts as no setting.
    for (const QString& key : {photoDirKey, handWrittenPhotoDirKey}) {
        const QString value = settings.value(key).toString();
        if (!value.trimmed().isEmpty())
            return value;
    }
    return defaultValue;
}

void SuiteSettings::setPhotoDir(const QString& directory) {
    QSettings settings(suiteName, suiteName);
    settings.setValue(photoDirKey, directory);
    settings.sync();
}

QString SuiteSettings::catalogue() const {
    const QSettings settings(suiteName, suiteName);
    for (const QString& key : {catalogueKey, handWrittenCatalogueKey}) {
        const QString value = settings.value(key).toString().trimmed();
        if (!value.isEmpty())
            return value;
    }
    return QString();
}

QString SuiteSettings::fileName() const {
    return QSettings(suiteName, suiteName).fileName();
}

} // namespace tarnwick
