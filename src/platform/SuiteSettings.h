#pragma once

#include <QString>

namespace tarnwick {

// The per-user settings the programs of the Corbell 3 suite share.
class SuiteSettings {
public:
    // The photo image directory, or defaultValue when none (or an empty one) is stored.
    QString photoDir(const QString& defaultValue) const;
    void setPhotoDir(const QString& directory);
};

} // namespace tarnwick
