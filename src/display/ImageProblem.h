#pragma once

#include <QString>

namespace tarnwick {

// Why a picture file cannot be shown.
enum class ImageProblem {
    None,       // opens and looks like a picture
    Missing,    // no such file
    Unreadable, // there, but cannot be opened (permission, a failing disc)
    NotAnImage, // opens, but no image format recognises it, or its data is damaged
    TooLarge,   // a picture too large to hold in memory
};

// A quick look at the file, before or after decoding it; decodeFailed says a decode of a file
// that looked like a picture has failed.
ImageProblem diagnoseImageFile(const QString& path, bool decodeFailed = false);

// The status line's account of the problem, naming the file.
QString imageProblemMessage(const QString& path, ImageProblem problem);

} // namespace tarnwick
