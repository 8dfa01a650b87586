#include "platform/ProgramSettings.h"

#include "Version.h"

#include <QSettings>

namespace tarnwick {

namespace {

const QString suiteName = QStringLiteral("Corbell 3");
const QString group = QStringLiteral("Tarnwick/");

} // namespace

QVariant ProgramSettings::value(const QString& key, const QVariant& defaultValue) const {
    const QSettings settings(suiteName, suiteName);
    return settings.value(group + key, defaultValue);
}

void ProgramSettings::setValue(const QString& key, const QVariant& value) {
    QSettings settings(suiteName, suiteName);
    settings.setValue(group + key, value);
    settings.sync();
}

QString ProgramSettings::sharedApplicationDir() const {
    return value(QStringLiteral("ApplicationDir")).toString().trimmed();
}

QString ProgramSettings::supportAddress() const {
    const QString address = value(QStringLiteral("SupportAddress")).toString().trimmed();
    return address.isEmpty() ? QString::fromLatin1(version::supportAddress) : address;
}

} // namespace tarnwick
