#pragma once

#include <QStringList>

// tarnwick-cli plate --id ID [--app-dir DIR]: what the data plate and the loading chart of one
// active photo show, as one JSON object on standard output.
int runPlate(const QStringList& args);
