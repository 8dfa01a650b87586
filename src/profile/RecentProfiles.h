#pragma once

#include <QStringList>

namespace tarnwick {

// The profile files saved or loaded last, most recent first, each once, at most eight: what
// File > Recent Profiles offers. Kept in Tarnwick's own settings.
class RecentProfiles {
public:
    static constexpr qsizetype limit = 8;

    // The list as kept; a hand-edited one is put in order the same way.
    explicit RecentProfiles(const QStringList& paths = {});
    // The list kept in the settings.
    static RecentProfiles read();
    void write() const;

    // The file goes first as an absolute path, taking the place of an entry for the same path.
    void add(const QString& path);
    void remove(const QString& path);
    // Takes out the files that are no longer there; returns them.
    QStringList dropMissing();

    const QStringList& paths() const { return paths_; }

private:
    QStringList paths_;
};

// Remembers a file just saved or loaded in the settings' list.
void rememberRecentProfile(const QString& path);

} // namespace tarnwick
