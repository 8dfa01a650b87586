#pragma once

#include <QString>

namespace tarnwick::demo {

// The largest catalogue the generator agrees to write; big enough to stress every view.
inline constexpr int maxDemoPhotoCount = 1'000'000;

// Photos in the standard demo set, over six books (one of them withdrawn).
inline constexpr int standardDemoPhotoCount = 180;

struct DemoOptions {
    // Number of photos across all books; 0 writes the standard demo set.
    // Larger catalogues reuse a pool of image files so the disk use stays small.
    int photoCount = 0;
    // A folder that already holds a catalogue, code lists or images is refused unless this is
    // set, so that a user's own installation is never replaced by mistake.
    bool replaceInstallation = false;
};

// Writes a complete installation into dir (created if needed): the catalogue Photo3.db, the photo
// and data-sheet images under PhotoImages/, the four code lists and an empty data/ folder. The
// output depends only on the options, never on the clock or the machine.
//
// Needs a QGuiApplication (text is painted into the images). The catalogue is written under a
// temporary name and moved into place last, so a failed run never leaves a partial Photo3.db.
// Throws std::runtime_error with a readable message on failure, and before writing anything when
// the folder holds an installation that the options do not allow replacing.
void writeDemoInstallation(const QString& dir, const DemoOptions& options = {});

} // namespace tarnwick::demo
