#pragma once

#include <QStringList>

// tarnwick-cli choices [--app-dir DIR]: what the query pages offer, as JSON.
int runChoices(const QStringList& args);
