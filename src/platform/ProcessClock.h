#pragma once

#include <QtGlobal>

namespace tarnwick {

// Milliseconds since this process was started by the system (so library loading before main
// counts too); -1 when the system does not say.
qint64 millisecondsSinceProcessStart();

// The most memory this process has held in RAM so far, in kilobytes; -1 when the system does
// not say.
qint64 peakResidentKilobytes();

} // namespace tarnwick
