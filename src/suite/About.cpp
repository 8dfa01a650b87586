#include "suite/About.h"

namespace tarnwick {

QString aboutCaption(const QString& title) {
    return QStringLiteral("About ") + title;
}

QString versionText(int major, int minor, int revision) {
    return QStringLiteral("Version: %1.%2.%3").arg(major).arg(minor).arg(revision);
}

} // namespace tarnwick
