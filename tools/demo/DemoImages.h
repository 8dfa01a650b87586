#pragma once

#include "DemoContent.h"

#include <QDir>

#include <vector>

namespace tarnwick::demo {

// Paints each photo's picture and data sheet into PhotoImages/<book>/ under root, spread over
// the cores: painting and compressing dominate the run time and each image is independent.
void writeImages(const QDir& root, const std::vector<Photo>& photos);

} // namespace tarnwick::demo
