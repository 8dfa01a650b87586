#pragma once

#include <QString>

namespace tarnwick::bench {

// The reports: a photo report and a fuel profile report of four pictures composed and written
// as PDF (the rich-text export included, as every report writes it), against Qt's PDF writer
// drawing the same pictures and as many lines of text alone.
bool benchReports(const QString& installation, const QString& work);

} // namespace tarnwick::bench
