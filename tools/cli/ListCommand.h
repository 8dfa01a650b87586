#pragma once

#include <QStringList>

// tarnwick-cli list [--app-dir DIR]: the results list of the start-up photo set as CSV.
int runList(const QStringList& args);
